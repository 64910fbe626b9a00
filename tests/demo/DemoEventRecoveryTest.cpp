// The sample installation polled against the demo server after what a crash or an odd folder
// name leaves: the events still end up whole on disk.
#include "DemoHttpServer.h"
#include "PbemCommands.h"
#include "SampleInstall.h"

#include "base/Paths.h"
#include "pbem/DataBuffer.h"
#include "pbem/PBEMGameStore.h"
#include "support/ServerEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <sstream>

namespace
{

class DemoEventRecoveryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const int nPort = m_http.Bind("127.0.0.1", 0);
        ASSERT_NE(nPort, 0);
        m_http.Start();
        m_serverEnv.emplace("http://127.0.0.1:" + std::to_string(nPort));
    }

    static std::set<std::string> EventFiles(const std::string& install)
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(install + "/PBEM"))
        {
            if (entry.path().extension() == ".event")
                names.insert(entry.path().filename().string());
        }
        return names;
    }
    static void Poll(const std::string& install)
    {
        std::ostringstream out, err;
        EXPECT_EQ(RunPollCommand(FromNativePath(install), out, err), EXIT_OK) << err.str();
    }

    CDemoGameServer m_game{4};
    CDemoHttpServer m_http{m_game};
    std::optional<CServerEnv> m_serverEnv;
    CTempDir m_temp;
};

} // namespace

// A crash while an event file was written left it empty, before the raised ids were saved. The
// server sends the event again; the empty file must not pass for it.
TEST_F(DemoEventRecoveryTest, EventFileCutByACrashIsStoredWholeByTheNextPoll)
{
    std::ostringstream err;
    ASSERT_TRUE(LayOutSampleInstall(m_temp.Path(), m_temp.File("no-assets"), err)) << err.str();
    const std::set<std::string> stored = EventFiles(m_temp.Path());
    Poll(m_temp.Path());
    std::string name;
    for (const std::string& file : EventFiles(m_temp.Path()))
    {
        if (!stored.count(file))
            name = file;
    }
    ASSERT_FALSE(name.empty());
    const std::string full = m_temp.Read("PBEM/" + name);
    ASSERT_GT(full.size(), 10u);

    ASSERT_EQ(::truncate(m_temp.File("PBEM/" + name).c_str(), 0), 0);
    m_temp.Write("PBEM/PBEM.data", SampleGameListBytes()); // the ids as before the crash
    Poll(m_temp.Path());

    EXPECT_EQ(m_temp.Read("PBEM/" + name), full) << name;
    // And the id is raised again, now that the file is whole.
    CPBEMGameStore store;
    CDataBuffer buffer(m_temp.Read("PBEM/PBEM.data"));
    ASSERT_TRUE(store.Parse(buffer));
    const std::string key = name.substr(0, name.rfind('-'));
    const CPBEMGameState* pGame = store.FindGame(FromNativePath(key));
    ASSERT_NE(pGame, nullptr) << key;
    EXPECT_GE(pGame->m_nHighestEventId, std::stoul(name.substr(name.rfind('-') + 1)));
}

// A Linux folder name is bytes; one that is not UTF-8 is still the installation folder.
TEST_F(DemoEventRecoveryTest, InstallationBelowAFolderNamedWithInvalidUtf8IsPolled)
{
    const std::string install = m_temp.File("Zorvex caf\xe9 \xff");
    std::ostringstream err;
    ASSERT_TRUE(LayOutSampleInstall(install, m_temp.File("no-assets"), err)) << err.str();
    const std::size_t nStored = EventFiles(install).size();
    Poll(install);
    EXPECT_GT(EventFiles(install).size(), nStored);
}
