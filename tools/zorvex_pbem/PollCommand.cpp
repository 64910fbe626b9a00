#include "PbemCommands.h"

#include "JsonWriter.h"
#include "PollSession.h"

int RunPollCommand(const std::wstring& strInstallDir, std::ostream& out, std::ostream& err)
{
    CPollSession session(err);
    if (const int nStatus = session.Open(strInstallDir); nStatus != EXIT_OK)
        return nStatus;
    const SPollRound round = session.Poll();
    for (const SAnnouncedEvent& announced : round.news.listAnnounced)
        out << EventJsonLine(announced) << "\n";
    CJsonWriter json;
    json.BeginObject()
        .Field("count", round.news.nCount)
        .Field("text", round.news.strText)
        .EndObject();
    out << json.Text() << "\n";
    return round.nStatus;
}
