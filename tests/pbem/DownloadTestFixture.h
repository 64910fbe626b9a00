// An installation folder with a game list, and a manager holding the same entries, for the tests
// of the event download and of the handling of new events.
#pragma once

#include "pbem/DataBuffer.h"
#include "pbem/PBEMMessageManager.h"
#include "support/DownloadAnswerText.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class CDownloadTest : public ::testing::Test
{
protected:
    void SetUp() override { std::filesystem::create_directories(m_temp.File("PBEM")); }

    // An entry in memory and, unless bInMemoryOnly, the same in PBEM.data.
    CPBEMGameState& AddEntry(const std::wstring& playerId, std::uint32_t nHighest,
                             const std::wstring& password = L"", bool bInMemoryOnly = false)
    {
        if (!bInMemoryOnly)
        {
            AddTo(m_disk, playerId, nHighest, password);
            SaveDisk();
        }
        return AddTo(m_manager.m_store, playerId, nHighest, password);
    }
    static CPBEMGameState& AddTo(CPBEMGameStore& store, const std::wstring& playerId,
                                 std::uint32_t nHighest, const std::wstring& password)
    {
        auto pGame = std::make_unique<CPBEMGameState>();
        pGame->m_strPlayerId = playerId;
        pGame->m_nHighestEventId = nHighest;
        pGame->m_strPassword = password;
        pGame->m_nTurn = 3;
        pGame->m_strInstanceId = L"I-" + playerId;
        store.m_listGames.push_back(std::move(pGame));
        return *store.m_listGames.back();
    }
    void SaveDisk() const { m_temp.Write("PBEM/PBEM.data", m_disk.Serialize()); }

    std::uint32_t DiskHighest(const std::wstring& playerId) const
    {
        CPBEMGameStore store;
        CDataBuffer buffer(m_temp.Read("PBEM/PBEM.data"));
        EXPECT_TRUE(store.Parse(buffer)) << "the game list on disk does not parse whole";
        const CPBEMGameState* pGame = store.FindGame(playerId);
        return pGame ? pGame->m_nHighestEventId : 0xDEADu;
    }
    std::uint32_t Highest(const std::wstring& playerId)
    {
        const CPBEMGameState* pGame = m_manager.m_store.FindGame(playerId);
        return pGame ? pGame->m_nHighestEventId : 0xDEADu;
    }
    bool PbemFileExists(const std::string& name) const
    {
        return std::filesystem::is_regular_file(m_temp.File("PBEM/" + name));
    }

    CTempDir m_temp;
    const CInstallFolderScope m_installFolder{m_temp.WidePath()};
    CPBEMGameStore m_disk; // what PBEM.data holds
    CPBEMMessageManager m_manager;
};
