// Zorvex Messenger. Until the main window exists, the program runs its start-up on the game's
// installation folder (the folder of this executable) and prints what it found.
#include "app/InstallFolder.h"
#include "base/Encoding.h"
#include "base/Format.h"
#include "base/Paths.h"
#include "net/CurlGlobal.h"
#include "pbem/EventFiles.h"
#include "pbem/PBEMMessageManager.h"
#include "res/FlagImages.h"
#include "res/LanguageTable.h"
#include "res/TextIds.h"

#include <sys/stat.h>

#include <iostream>

namespace
{

std::string Utf8(std::wstring_view text)
{
    return WideToUtf8(text);
}

} // namespace

int main()
{
    SetInstallFolder(InstallFolderOfRunningExe());
    g_languageTable.m_nLanguage = 9;
    g_languageTable.m_fnReportError = [](const std::wstring& strMessage)
    { std::cerr << Utf8(strMessage) << "\n"; };
    g_languageTable.LoadLanguageFile(InstallPath(PATH_LANGUAGE_FILE));

    // The main window creates the data folder before it loads the game list.
    ::mkdir(ToNativePath(InstallPath(PATH_PBEM_FOLDER)).c_str(), 0755);

    // They go in reverse order: the manager, which ends its download thread, before libcurl's
    // clean-up.
    const CCurlGlobal curl;
    CBitmapFlagLoader flagLoader;
    const CFlagImageLoaderScope flagLoaderScope(flagLoader);
    CPBEMMessageManager manager;
    const CMessageManagerScope managerScope(manager);
    manager.ResetAll();
    manager.LoadAtStartup();
    manager.ScanEventFiles();

    std::cout << Utf8(Text(IDS_ZORVEX_MESSENGER)) << "\n"
              << "Installation folder: " << Utf8(GetInstallFolder()) << "\n";
    for (const auto& pGame : manager.m_store.m_listGames)
    {
        int nEvents = 0;
        for (const auto& pEvent : manager.m_listNewEvents)
        {
            if (GetEventKey(*pEvent) == pGame->m_strPlayerId)
                ++nEvents;
        }
        std::cout << "  " << Utf8(pGame->m_strPlayerId) << "  "
                  << Utf8(FormatText(Text(IDS_TURN_N), {pGame->m_nTurn})) << "  "
                  << Utf8(nEvents == 0   ? Text(IDS_NO_EVENTS_PAREN)
                          : nEvents == 1 ? Text(IDS_ONE_EVENT_PAREN)
                                         : FormatText(Text(IDS_N_EVENTS_PAREN), {nEvents}))
                  << "\n";
    }
    return 0;
}
