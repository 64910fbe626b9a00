#include "pbem/PBEMGameStore.h"

#include "base/Paths.h"
#include "install/InstallFolder.h"
#include "pbem/DataBuffer.h"

#include <algorithm>
#include <cstdint>

namespace
{

constexpr std::uint8_t kHeaderVersion = 2;
constexpr std::int16_t kRecordVersion = 8;

void ReadPlayers(CDataBuffer& buffer, CPBEMGameState& game)
{
    // The count comes from the file: nothing is set aside for it, the loop simply ends with the
    // bytes. A negative count means no players.
    const std::int32_t nPlayers = buffer.ReadInt32();
    for (std::int32_t i = 0; i < nPlayers && !buffer.HasFailed(); ++i)
    {
        auto pPlayer = std::make_unique<CPBEMGamePlayer>();
        pPlayer->m_nPlayer = buffer.ReadInt32();
        pPlayer->m_strFlagName = buffer.ReadWide();
        pPlayer->m_strAnsiText = buffer.ReadBytes8();
        if (buffer.HasFailed())
            break;
        game.m_listPlayers.push_back(std::move(pPlayer));
    }
}

// One game record of any version the game program has written.
void ReadGameRecord(CDataBuffer& buffer, CPBEMGameState& game)
{
    const std::int16_t nVersion = buffer.ReadInt16();
    if (nVersion <= 2)
    {
        game.m_strPlayerId = buffer.ReadAnsi8();
        game.m_strPassword = buffer.ReadAnsi8();
        game.m_nTurn = buffer.ReadInt32();
        game.m_strFlagName = buffer.ReadAnsi8();
        game.m_strAnsiText = buffer.ReadAnsi8();
        return;
    }

    game.m_strAuxText = buffer.ReadWide();
    if (nVersion >= 6)
        game.m_strInstanceId = buffer.ReadWide();
    game.m_strPlayerId = buffer.ReadWide();
    game.m_strPassword = buffer.ReadWide();
    game.m_nTurn = buffer.ReadInt32();
    game.m_strFlagName = buffer.ReadWide();
    game.m_strAnsiText = buffer.ReadAnsi8();
    if (nVersion == 3)
        return;
    if (nVersion == 4)
        buffer.Skip(4);
    else
        game.m_bNewEvents = buffer.ReadByte() != 0;
    game.m_nHighestEventId = buffer.ReadUInt32();
    if (nVersion >= 7)
        ReadPlayers(buffer, game);
}

// Notes where the fixed-size values go. Versions, counts and texts are left out: they decide
// where the later fields lie, so only a save that keeps them may be written in place.
class CValueFields
{
public:
    CValueFields(CDataBuffer& buffer, std::vector<std::pair<std::size_t, std::size_t>>* pRanges)
        : m_buffer(buffer), m_pRanges(pRanges)
    {
    }
    template <typename Append> void Value(Append append)
    {
        const std::size_t nStart = m_buffer.GetSize();
        append();
        if (m_pRanges != nullptr)
            m_pRanges->emplace_back(nStart, m_buffer.GetSize());
    }

private:
    CDataBuffer& m_buffer;
    std::vector<std::pair<std::size_t, std::size_t>>* m_pRanges;
};

void WriteGameRecord(CDataBuffer& buffer, CValueFields& values, const CPBEMGameState& game)
{
    buffer.AppendInt16(kRecordVersion);
    buffer.AppendWide(game.m_strAuxText);
    buffer.AppendWide(game.m_strInstanceId);
    buffer.AppendWide(game.m_strPlayerId);
    buffer.AppendWide(game.m_strPassword);
    values.Value([&] { buffer.AppendInt32(game.m_nTurn); });
    buffer.AppendWide(game.m_strFlagName);
    buffer.AppendAnsi8(game.m_strAnsiText);
    values.Value([&] { buffer.AppendByte(game.m_bNewEvents ? 1 : 0); });
    values.Value([&] { buffer.AppendUInt32(game.m_nHighestEventId); });
    buffer.AppendInt32(static_cast<std::int32_t>(game.m_listPlayers.size()));
    for (const auto& pPlayer : game.m_listPlayers)
    {
        values.Value([&] { buffer.AppendInt32(pPlayer->m_nPlayer); });
        buffer.AppendWide(pPlayer->m_strFlagName);
        buffer.AppendBytes8(pPlayer->m_strAnsiText);
    }
}

} // namespace

CPBEMGameStore::CPBEMGameStore() = default;

CPBEMGameStore::~CPBEMGameStore()
{
    CloseLocked();
}

std::wstring CPBEMGameStore::GetFilePath() const
{
    return m_strFilePath.empty() ? InstallPath(PATH_PBEM_DATA) : m_strFilePath;
}

bool CPBEMGameStore::Parse(CDataBuffer& buffer)
{
    const auto nVersion = static_cast<std::int8_t>(buffer.ReadByte());
    std::int32_t nStoredValue = m_nStoredValue;
    std::wstring strUsername = m_strUsername;
    std::wstring strPassword = m_strPassword;
    if (nVersion >= 1)
        nStoredValue = buffer.ReadInt32();
    if (nVersion >= 2)
    {
        strUsername = buffer.ReadWide();
        strPassword = buffer.ReadWide();
    }
    const std::int32_t nGames = buffer.ReadInt32();
    // A header cut short changes nothing.
    if (buffer.HasFailed())
        return false;
    m_nStoredValue = nStoredValue;
    m_strUsername = std::move(strUsername);
    m_strPassword = std::move(strPassword);

    for (std::int32_t i = 0; i < nGames; ++i)
    {
        auto pGame = std::make_unique<CPBEMGameState>();
        ReadGameRecord(buffer, *pGame);
        // A record cut short is not kept: half an entry would be saved back as a whole one.
        if (buffer.HasFailed())
            return false;
        m_listGames.push_back(std::move(pGame));
    }
    return true;
}

std::string CPBEMGameStore::Serialize() const
{
    return SerializeBytes(nullptr);
}

std::string CPBEMGameStore::SerializeBytes(std::vector<CByteRange>* pValueFields) const
{
    CDataBuffer buffer;
    CValueFields values(buffer, pValueFields);
    buffer.AppendByte(kHeaderVersion);
    values.Value([&] { buffer.AppendInt32(m_nStoredValue); });
    buffer.AppendWide(m_strUsername);
    buffer.AppendWide(m_strPassword);
    buffer.AppendInt32(static_cast<std::int32_t>(m_listGames.size()));
    for (const auto& pGame : m_listGames)
        WriteGameRecord(buffer, values, *pGame);
    return buffer.TakeBytes();
}

CPBEMGameState* CPBEMGameStore::FindGame(std::wstring_view strPlayerId)
{
    for (const auto& pGame : m_listGames)
    {
        if (pGame->m_strPlayerId == strPlayerId)
            return pGame.get();
    }
    return nullptr;
}

CPBEMGameState* CPBEMGameStore::FindGame(std::wstring_view strGameId, int nPlayer)
{
    for (const auto& pGame : m_listGames)
    {
        if (pGame->GetPlayerNumber() == nPlayer && pGame->GetGameId() == strGameId)
            return pGame.get();
    }
    return nullptr;
}

void CPBEMGameStore::RemoveGames(std::wstring_view strPlayerId)
{
    std::erase_if(m_listGames, [&](const std::unique_ptr<CPBEMGameState>& pGame)
                  { return pGame->m_strPlayerId == strPlayerId; });
}

void CPBEMGameStore::SetAccount(std::wstring strUsername, std::wstring strPassword)
{
    m_strUsername = std::move(strUsername);
    m_strPassword = std::move(strPassword);
}

void CPBEMGameStore::Clear()
{
    m_listGames.clear();
}
