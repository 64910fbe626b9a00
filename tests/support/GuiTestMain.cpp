// main() of the window tests: the window system runs for the whole test program, offscreen
// unless QT_QPA_PLATFORM names a platform.
#include "platform/System.h"

#include <QByteArray>
#include <QtGlobal>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    InitPlatform(argc, argv);
    const int nResult = RUN_ALL_TESTS();
    ExitPlatform();
    return nResult;
}
