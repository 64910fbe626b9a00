// Zorvex Messenger. What must outlive the main window is made here, in the order it is needed, and
// goes in reverse: the skin before the window system ends, the manager (which ends its download
// thread) before libcurl's clean-up. Nothing with a thread is left when main returns.
#include "app/ZorvexMessengerApp.h"
#include "net/CurlGlobal.h"
#include "pbem/PBEMMessageManager.h"
#include "platform/System.h"
#include "res/FlagImageLoader.h"
#include "res/FlagImages.h"
#include "ui/SkinImages.h"

int main(int argc, char** argv)
{
    // Without a display there is nothing to show (the window system already said why).
    if (!InitPlatform(argc, argv))
        return 1;
    {
        const CCurlGlobal curl;
        CBitmapFlagLoader flagLoader;
        const CFlagImageLoaderScope flagLoaderScope(flagLoader);
        CPBEMMessageManager manager;
        const CMessageManagerScope managerScope(manager);
        const CSkinImages skin;
        theApp.InitInstance();
    }
    ExitPlatform();
    return 0;
}
