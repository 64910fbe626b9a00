#include "PbemCommands.h"

#include "JsonWriter.h"
#include "base/Encoding.h"
#include "base/FileIo.h"
#include "base/Paths.h"
#include "pbem/DataBuffer.h"
#include "pbem/EventFiles.h"
#include "pbem/PBEMGameStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

namespace
{

// Reads a whole regular file of at most nMaxBytes; false with a reason when it cannot.
// strTooLarge ends the reason for a larger file.
bool ReadForCommand(const std::wstring& strPath, std::string& bytes, std::string& reason,
                    std::uint64_t nMaxBytes, std::string_view strTooLarge)
{
    const SFileReadResult read = ReadWholeFile(strPath, bytes, nMaxBytes);
    if (read.Ok())
        return true;
    if (read.eResult == EFileRead::NotRegular)
        reason = "not a regular file";
    else if (read.eResult == EFileRead::TooLarge)
        reason =
            "larger than " + std::to_string(nMaxBytes >> 20) + " MiB, " + std::string(strTooLarge);
    else
        reason = read.strError;
    return false;
}

std::wstring HexOf(const unsigned char* p, std::size_t n)
{
    static const wchar_t kHex[] = L"0123456789abcdef";
    std::wstring out;
    out.reserve(n * 2);
    for (std::size_t i = 0; i < n; ++i)
    {
        out += kHex[p[i] >> 4];
        out += kHex[p[i] & 0xF];
    }
    return out;
}

void WriteGame(CJsonWriter& json, const CPBEMGameState& game)
{
    json.BeginObject()
        .Field("auxText", game.m_strAuxText)
        .Field("instanceId", game.m_strInstanceId)
        .Field("playerId", game.m_strPlayerId)
        .Field("gameId", game.GetGameId())
        .Field("playerNumber", game.GetPlayerNumber())
        .Field("password", game.m_strPassword)
        .Field("turn", game.m_nTurn)
        .Field("flagName", game.m_strFlagName)
        .Field("ansiText", game.m_strAnsiText)
        .FieldBool("newEvents", game.m_bNewEvents)
        .Field("highestEventId", game.m_nHighestEventId)
        .BeginArray("players");
    for (const auto& pPlayer : game.m_listPlayers)
    {
        json.BeginObject()
            .Field("player", pPlayer->m_nPlayer)
            .Field("flagName", pPlayer->m_strFlagName)
            .Field("ansiText", AnsiToWide(pPlayer->m_strAnsiText))
            .EndObject();
    }
    json.EndArray().EndObject();
}

// Prints the event file at strPath as one JSON line, reading it once; false with a reason when
// it cannot be read.
bool PrintEventFile(const std::wstring& strPath, std::ostream& out, std::string& reason)
{
    std::string bytes;
    if (!ReadForCommand(strPath, bytes, reason, MAX_EVENT_FILE_BYTES, "which no event file is"))
        return false;
    CPBEMGameEvent event;
    ReadEventFileBytes(strPath, bytes, event);

    CJsonWriter json;
    json.BeginObject()
        .Field("fileName", event.m_strFileName)
        .Field("eventId", event.m_nEventId)
        .Field("gameId", event.m_strGameId)
        .Field("fromPlayer", event.m_nFromPlayer)
        .FieldBool("shared", event.m_bShared)
        .Field("player", event.m_nPlayer)
        .Field("kind", AnsiToWide(event.m_strKind))
        .Field("text", event.m_strText)
        .Field("dataSize", event.m_nDataSize)
        .Field("data", HexOf(event.m_pData.get(),
                             event.m_pData ? static_cast<std::size_t>(event.m_nDataSize) : 0))
        .EndObject();
    out << json.Text() << "\n";
    return true;
}

} // namespace

int RunDumpCommand(const std::wstring& strPath, std::ostream& out, std::ostream& err)
{
    std::string bytes;
    std::string reason;
    // The same limit as the program's: what it refuses is no game list to show either.
    if (!ReadForCommand(strPath, bytes, reason, kMaxGameListBytes, "too large for a game list"))
    {
        err << "zorvex-pbem: cannot read " << ToNativePath(strPath) << ": " << reason << "\n";
        return EXIT_BAD_INPUT;
    }
    // A list near the limit may need more memory than there is: told, never an abort.
    try
    {
        CPBEMGameStore store;
        CDataBuffer buffer(std::move(bytes));
        const bool bComplete = store.Parse(buffer);

        CJsonWriter json;
        json.BeginObject()
            .Field("storedValue", store.m_nStoredValue)
            .Field("username", store.m_strUsername)
            .Field("password", store.m_strPassword)
            .FieldBool("complete", bComplete)
            .BeginArray("games");
        for (const auto& pGame : store.m_listGames)
            WriteGame(json, *pGame);
        json.EndArray().EndObject();
        out << json.Text() << "\n";
    }
    catch (const std::bad_alloc&)
    {
        err << "zorvex-pbem: cannot read " << ToNativePath(strPath) << ": out of memory\n";
        return EXIT_BAD_INPUT;
    }
    return EXIT_OK;
}

int RunEventCommand(const std::vector<std::wstring>& paths, std::ostream& out, std::ostream& err)
{
    int nResult = EXIT_OK;
    for (const std::wstring& strPath : paths)
    {
        // ReadEventFile silently leaves the event alone when it cannot open the file; a person
        // asking for the file deserves to be told.
        std::string reason;
        try
        {
            if (!PrintEventFile(strPath, out, reason))
            {
                err << "zorvex-pbem: cannot read " << ToNativePath(strPath) << ": " << reason
                    << "\n";
                nResult = EXIT_BAD_INPUT;
            }
        }
        catch (const std::bad_alloc&)
        {
            err << "zorvex-pbem: cannot read " << ToNativePath(strPath) << ": out of memory\n";
            nResult = EXIT_BAD_INPUT;
        }
    }
    return nResult;
}
