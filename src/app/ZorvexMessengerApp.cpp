#include "app/ZorvexMessengerApp.h"

#include "install/InstallFolder.h"
#include "mainwnd/ZorvexMessengerDlg.h"
#include "platform/System.h"
#include "platform/Wnd.h"
#include "res/LanguageTable.h"

#include <string>

CZorvexMessengerApp theApp;

namespace
{

// The language file's own number for English: every lookup gives the caller's English default
// unless the file has the text.
constexpr int kEnglish = 9;

} // namespace

BOOL CZorvexMessengerApp::InitInstance()
{
    // The controls and the default GUI font are ready once the window system is (InitPlatform);
    // nothing is kept in a registry here. main() has fixed the installation folder (the
    // executable's, or the one named on the command line) before the window system started.
    g_languageTable.m_nLanguage = kEnglish;
    g_languageTable.m_fnReportError = [](const std::wstring& strMessage)
    { AfxMessageBox(strMessage, MB_OK); };
    g_languageTable.LoadLanguageFile(ResourcePath(PATH_LANGUAGE_FILE));

    {
        // Its end takes the tray icon with it and ends a download that would still report to it.
        CZorvexMessengerDlg dlg;
        dlg.m_bStartHidden = m_bStartHidden;
        AfxSetMainWnd(&dlg);
        dlg.DoModal();
        AfxSetMainWnd(nullptr);
    }
    return FALSE;
}
