// What zorvex-pbem poll tells on standard error about the game list itself.
#include "PbemCommands.h"

#include "pbem/PBEMGameStore.h"
#include "support/CurlTestEnvironment.h"
#include "support/DownloadAnswerText.h"
#include "support/ServerEnv.h"
#include "support/TempDir.h"
#include "support/TestHttpServer.h"
#include "support/UnwritableFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace
{

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t pos = text.find(part); pos != std::string::npos;
         pos = text.find(part, pos + part.size()))
        ++n;
    return n;
}

} // namespace

TEST(PollNotice, AReadOnlyGameListIsToldOnceAndLeftAsItWas)
{
    CTestHttpServer server;
    ASSERT_NE(server.Port(), 0);
    // An answer with a new event: the poll would raise the entry's id in the list.
    const std::string answer =
        CAnswerText().Player().Event(1058, ServerEvent(L"G12", 3, L"Mail")).Text();
    server.SetHandler([answer](const CTestHttpRequest&, httplib::Response& res)
                      { res.set_content(answer, "text/plain"); });
    const CServerEnv serverEnv(server.BaseURL());

    CTempDir dir;
    CPBEMGameStore list;
    list.m_listGames.push_back(std::make_unique<CPBEMGameState>());
    list.m_listGames.back()->m_strPlayerId = L"G12-P03";
    dir.Write("PBEM/PBEM.data", list.Serialize());
    const CUnwritableFile unwritable(dir.File("PBEM/PBEM.data"));
    if (!unwritable.Ok())
        GTEST_SKIP() << "no way to make a file unwritable here";

    std::ostringstream out, err;
    RunPollCommand(dir.WidePath(), out, err);

    EXPECT_EQ(Count(err.str(), "PBEM/PBEM.data is read-only"), 1u) << err.str();
    // The entry was still asked for: the list was read.
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Field("G1"), "G12");
    EXPECT_NE(dir.Read("PBEM/G12-P03-1058.event"), "");
    EXPECT_EQ(dir.Read("PBEM/PBEM.data"), list.Serialize());
}
