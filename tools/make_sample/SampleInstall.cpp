#include "SampleInstall.h"

#include "LanguageFileWriter.h"
#include "base/Encoding.h"
#include "base/Paths.h"
#include "pbem/EventFiles.h"
#include "pbem/EventRecordWriter.h"
#include "pbem/PBEMGameStore.h"
#include "res/TextIds.h"

#include <fstream>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace
{

struct SSamplePlayer
{
    int nPlayer;
    const wchar_t* pszFlag;
};

struct SSampleGame
{
    const wchar_t* pszPlayerId;
    const wchar_t* pszInstanceId;
    const wchar_t* pszPassword;
    const wchar_t* pszFlag;
    int nTurn;
    std::uint32_t nHighestEventId; // the highest of its stored event files
    std::vector<SSamplePlayer> players;
};

struct SSampleEvent
{
    const wchar_t* pszGameId;
    int nPlayer; // 0: shared
    std::uint32_t nEventId;
    int nFromPlayer;
    const char* pszKind;
    const wchar_t* pszText;
};

// The demo server deals each game's nations out and sets its first turn by its id; the flags and
// turns here follow it, so that its texts fit what the window shows.
const SSampleGame kGames[] = {
    {L"G1001-P02",
     L"I-1001",
     L"amber-fox",
     L"Ravenmark.png",
     12,
     102,
     {{1, L"Solvania.png"}, {2, L"Ravenmark.png"}, {3, L"Kethra.png"}, {4, L"Ostrevia.png"}}},
    {L"G1001-P00", L"I-1001", L"amber-fox", L"", 12, 103, {}},
    {L"G2045-P01",
     L"I-2045",
     L"salt-river",
     L"Veldmoor.png",
     6,
     58,
     {{1, L"Veldmoor.png"}, {2, L"Ashcombe.png"}, {3, L"Tarn.png"}, {4, L"Lunegard.png"}}},
    {L"G3183-P05",
     L"I-3183",
     L"north-wind",
     L"",
     4,
     0,
     {{1, L"Tarn.png"},
      {2, L"Lunegard.png"},
      {3, L"Solvania.png"},
      {4, L"Ravenmark.png"},
      {5, L""}}},
};

// Events that arrived in earlier runs; the start-up scan finds them.
const SSampleEvent kEvents[] = {
    {L"G1001", 2, 101, 3, "Mail", L"Mail from Kethra: The border at the Narrows"},
    {L"G1001", 2, 102, 1, "DeclareWar", L"Solvania has declared war on Ravenmark!"},
    {L"G1001", 0, 103, 0, "NewTurn", L"Turn 12 has begun."},
    {L"G2045", 1, 58, 2, "IM", L"Ashcombe: Ready when you are."},
    // A game that is not in the list: the scan leaves its file alone.
    {L"G9999", 1, 5, 0, "NewTurn", L"Turn 4 has begun."},
};

constexpr const char* kStandInExe =
    "#!/bin/sh\n"
    "# Stands in for the game program: records how it was started.\n"
    "printf '%s\\n' \"$*\" >> \"$(dirname \"$0\")/ZorvexExeCalls.log\"\n"
    "exit 0\n";

bool WriteFile(const fs::path& path, const std::string& bytes, std::ostream& err)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
    {
        err << "zorvex-make-sample: cannot write " << path.string() << "\n";
        return false;
    }
    return true;
}

bool CopyAssets(const fs::path& assets, const fs::path& dir, std::ostream& err)
{
    std::error_code error;
    if (!fs::exists(assets, error))
        return true; // nothing bundled yet
    fs::copy(assets, dir, fs::copy_options::recursive | fs::copy_options::overwrite_existing,
             error);
    if (error)
    {
        err << "zorvex-make-sample: cannot copy " << assets.string() << ": " << error.message()
            << "\n";
        return false;
    }
    return true;
}

bool WriteEventFiles(const fs::path& pbem, std::ostream& err)
{
    for (const SSampleEvent& sample : kEvents)
    {
        CPBEMGameEvent event;
        event.m_nEventId = sample.nEventId;
        event.m_strGameId = sample.pszGameId;
        event.m_bShared = sample.nPlayer == 0;
        event.m_nPlayer = sample.nPlayer;
        event.m_nFromPlayer = sample.nFromPlayer;
        event.m_strKind = sample.pszKind;
        event.m_strText = sample.pszText;
        if (!WriteFile(pbem / ToNativePath(MakeEventFileName(event)),
                       BuildEscapedEventRecord(event), err))
            return false;
    }
    return true;
}

bool WriteStandInExe(const fs::path& path, std::ostream& err)
{
    if (!WriteFile(path, kStandInExe, err))
        return false;
    std::error_code error;
    fs::permissions(path,
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec,
                    error);
    if (error)
    {
        err << "zorvex-make-sample: cannot make " << path.string() << " executable\n";
        return false;
    }
    return true;
}

} // namespace

fs::path DefaultAssetsFolder()
{
    return ZORVEX_ASSETS_DIR;
}

std::string SampleGameListBytes()
{
    CPBEMGameStore store;
    store.SetAccount(L"demo.player", L"secret");
    for (const SSampleGame& game : kGames)
    {
        auto pGame = std::make_unique<CPBEMGameState>();
        pGame->m_strPlayerId = game.pszPlayerId;
        pGame->m_strInstanceId = game.pszInstanceId;
        pGame->m_strPassword = game.pszPassword;
        pGame->m_strFlagName = game.pszFlag;
        pGame->m_nTurn = game.nTurn;
        pGame->m_nHighestEventId = game.nHighestEventId;
        for (const SSamplePlayer& player : game.players)
        {
            auto pPlayer = std::make_unique<CPBEMGamePlayer>();
            pPlayer->m_nPlayer = player.nPlayer;
            pPlayer->m_strFlagName = player.pszFlag;
            pGame->m_listPlayers.push_back(std::move(pPlayer));
        }
        store.m_listGames.push_back(std::move(pGame));
    }
    return store.Serialize();
}

bool WriteLanguageFile(const fs::path& path, std::ostream& err)
{
    std::string bytes, strError;
    if (!BuildLanguageFile(kAllTextIds, bytes, strError))
    {
        err << "zorvex-make-sample: " << strError << "\n";
        return false;
    }
    return WriteFile(path, bytes, err);
}

bool LayOutSampleInstall(const fs::path& dir, const fs::path& assets, std::ostream& err)
{
    const fs::path pbem = dir / "PBEM";
    std::error_code error;
    fs::create_directories(pbem, error);
    if (error)
    {
        err << "zorvex-make-sample: cannot create " << pbem.string() << "\n";
        return false;
    }
    // The assets first: what is written here is always current, whatever they hold.
    return CopyAssets(assets, dir, err) && WriteLanguageFile(dir / "RawEnglishUnicode.txt", err) &&
           WriteFile(pbem / "PBEM.data", SampleGameListBytes(), err) &&
           WriteEventFiles(pbem, err) && WriteStandInExe(dir / "Zorvex.exe", err);
}
