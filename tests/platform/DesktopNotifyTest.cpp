// The image of a desktop notification is named by a file URI that keeps the name's bytes.
#include "platform/DesktopNotify.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

TEST(DesktopNotifyTest, FileUriKeepsEveryByteOfTheName)
{
    const struct
    {
        std::string strPath;
        std::string strUri;
    } cases[] = {
        {"/opt/Zorvex/Data/Icons/icon134-64.png", "file:///opt/Zorvex/Data/Icons/icon134-64.png"},
        {"/home/a b/Zorvex%/x.png", "file:///home/a%20b/Zorvex%25/x.png"},
        // Valid UTF-8, and bytes that are not UTF-8 at all.
        {"/home/\xC3\xA9/x.png", "file:///home/%C3%A9/x.png"},
        {"/home/Zorvex \xE9\xFF/x.png", "file:///home/Zorvex%20%E9%FF/x.png"},
        {"/a/#?;/x.png", "file:///a/%23%3F%3B/x.png"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.strPath);
        EXPECT_EQ(FileUriOfNativePath(c.strPath), c.strUri);
    }
}

} // namespace
