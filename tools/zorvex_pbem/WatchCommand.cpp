// zorvex-pbem watch: the program's polling without its window. Every event is printed; the
// events of muted games are left out of what announces (the command and the notification), as
// the program lists them but shows no balloon for them.
#include "WatchCommand.h"

#include "HookCommand.h"
#include "PbemCommands.h"
#include "PollSession.h"
#include "StopSignals.h"
#include "base/Bidi.h"
#include "base/Encoding.h"
#include "install/InstallFolder.h"
#include "install/MuteList.h"
#include "platform/HeadlessNotify.h"
#include "res/TextIds.h"

#include <memory>

namespace
{

// Environment values are limited in size by the system; the whole text is on standard input.
constexpr std::size_t kMaxEnvText = std::size_t{32} * 1024;

std::string CutUtf8(std::string text, std::size_t nMax)
{
    if (text.size() <= nMax)
        return text;
    std::size_t n = nMax;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n; // not inside a character
    text.resize(n);
    return text;
}

std::wstring GameIdOfKey(const std::wstring& strKey)
{
    // A key is the game id and "-Pnn".
    return strKey.size() >= 4 ? strKey.substr(0, strKey.size() - 4) : strKey;
}

class CWatcher
{
public:
    CWatcher(const SWatchOptions& options, std::ostream& out, std::ostream& err)
        : m_options(options), m_out(out), m_err(err), m_session(err)
    {
    }

    int Run()
    {
        if (!m_stop.Ok())
        {
            m_err << "zorvex-pbem: cannot set up the handling of SIGTERM and SIGINT\n";
            return EXIT_FAILED;
        }
        if (const int nStatus = m_session.Open(m_options.strInstallDir); nStatus != EXIT_OK)
            return nStatus;
        if (m_options.bNotify)
            m_pNotifier = std::make_unique<CHeadlessNotifier>();
        for (;;)
        {
            if (m_stop.Requested())
                return EXIT_OK;
            const SPollRound round = m_session.Poll();
            Announce(round.news);
            if (m_options.bOnce)
                return round.nStatus;
            if (m_stop.WaitFor(m_options.period))
                return EXIT_OK;
        }
    }

private:
    void Announce(const SNewEventsAnnouncement& news)
    {
        // Read at every poll: the program may have muted or unmuted a game meanwhile.
        CMuteList mutes;
        mutes.Load(InstallPath(PATH_PROFILE));
        const auto tNow = std::chrono::system_clock::now();

        std::vector<const SAnnouncedEvent*> listAnnounced;
        std::vector<std::string> listLines;
        for (const SAnnouncedEvent& announced : news.listAnnounced)
        {
            std::string strLine = EventJsonLine(announced);
            m_out << strLine << "\n";
            if (mutes.IsMuted(GameIdOfKey(announced.strKey), tNow))
                continue;
            listAnnounced.push_back(&announced);
            listLines.push_back(std::move(strLine));
        }
        m_out.flush();

        Notify(listAnnounced);
        for (std::size_t i = 0; i < listAnnounced.size(); ++i)
        {
            // Left for now, the event's file is announced again at the next start.
            if (m_stop.Requested())
                return;
            RunCommand(*listAnnounced[i], listLines[i]);
        }
    }

    void Notify(const std::vector<const SAnnouncedEvent*>& listAnnounced)
    {
        if (!m_pNotifier || listAnnounced.empty())
            return;
        // The program's balloon: the texts of the player's own entries, not of shared ones.
        std::vector<std::wstring> listTexts;
        for (const SAnnouncedEvent* pAnnounced : listAnnounced)
        {
            const CPBEMGameState* pGame = m_session.Manager().m_store.FindGame(pAnnounced->strKey);
            if (pGame != nullptr && pGame->GetPlayerNumber() > 0 &&
                !pAnnounced->pEvent->m_strText.empty())
                listTexts.push_back(CloseOpenBidi(pAnnounced->pEvent->m_strText));
        }
        SDesktopNotification notification;
        notification.strAppName = Text(IDS_ZORVEX_MESSENGER);
        notification.strTitle = BalloonTitle(static_cast<int>(listAnnounced.size()));
        notification.strText = BalloonText(listTexts);
        const bool bShown = m_pNotifier->Show(notification);
        // Told once until it works again: the watcher may run for days without a desktop.
        if (!bShown && !m_bToldNoNotify)
            m_err << "zorvex-pbem: no desktop notification service on the session bus; "
                     "nothing was shown\n";
        m_bToldNoNotify = !bShown;
    }

    void RunCommand(const SAnnouncedEvent& announced, const std::string& strLine)
    {
        if (m_options.strExec.empty())
            return;
        const CPBEMGameEvent& event = *announced.pEvent;
        SHookRun run;
        run.strCommand = m_options.strExec;
        run.strInput = strLine + "\n";
        run.listEnv = {
            "ZORVEX_GAME=" + WideToUtf8(GameIdOfKey(announced.strKey)),
            "ZORVEX_KIND=" + WideToUtf8(AnsiToWide(event.m_strKind)),
            "ZORVEX_TEXT=" + CutUtf8(WideToUtf8(event.m_strText), kMaxEnvText),
        };
        run.limit = m_options.execLimit;
        run.nStopFd = m_stop.Fd();
        const std::string strFailure = DescribeHookFailure(RunHookCommand(run));
        if (!strFailure.empty())
            m_err << "zorvex-pbem: the command for event " << event.m_nEventId << " of "
                  << WideToUtf8(announced.strKey) << " " << strFailure << "\n";
    }

    const SWatchOptions& m_options;
    std::ostream& m_out;
    std::ostream& m_err;
    CStopSignals m_stop; // before the session: a signal during its start-up is noted too
    CPollSession m_session;
    std::unique_ptr<CHeadlessNotifier> m_pNotifier;
    bool m_bToldNoNotify = false;
};

} // namespace

int RunWatchCommand(const SWatchOptions& options, std::ostream& out, std::ostream& err)
{
    CWatcher watcher(options, out, err);
    return watcher.Run();
}
