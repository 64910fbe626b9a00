// The server's answer to the event download: the whole reading and the taking over of its events.
//
// The install folder has no PBEM folder, so no input writes event files or the game list: every
// input meets the same disk, and millions of runs leave nothing behind. The write attempt and the
// on-disk check still run for every readable event; the raise of ids that follows a successful
// write does not depend on the input beyond the ids and is covered by the tests.
#include "install/InstallFolder.h"
#include "pbem/PBEMMessageManager.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace
{

CPBEMMessageManager& Manager()
{
    static CPBEMMessageManager* pManager = []
    {
        char szFolder[] = "/tmp/fuzz_answer.XXXXXX";
        if (::mkdtemp(szFolder) == nullptr)
            std::abort();
        SetInstallFolder(
            std::wstring(szFolder, szFolder + std::char_traits<char>::length(szFolder)));
        // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): kept to the process's end on purpose
        auto* pNew = new CPBEMMessageManager;
        for (const wchar_t* pszKey : {L"G1001-P02", L"G1001-P00", L"G2040-P01"})
        {
            auto pGame = std::make_unique<CPBEMGameState>();
            pGame->m_strPlayerId = pszKey;
            pNew->m_store.m_listGames.push_back(std::move(pGame));
        }
        return pNew;
    }();
    return *pManager;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CPBEMMessageManager& manager = Manager();
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    const bool bAccepted = manager.ProcessAnswer(answer).IsAnswer();
    if (!bAccepted && !manager.m_listNewEvents.empty())
        __builtin_trap(); // a rejected answer must not bring events
    const SNewEventsAnnouncement announcement = manager.TakeNewEvents();
    if (!manager.m_listNewEvents.empty() ||
        announcement.nCount != static_cast<int>(announcement.listAnnounced.size()))
        __builtin_trap();
    for (const auto& pGame : manager.m_store.m_listGames)
    {
        // Nothing is on disk, so no id may be raised.
        if (pGame->m_nHighestEventId != 0)
            __builtin_trap();
        pGame->m_listEvents.clear();
        pGame->m_bNewEvents = false;
    }
    return 0;
}
