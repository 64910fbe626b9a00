#include "pbem/PBEMGameStore.h"

#include "app/InstallFolder.h"
#include "base/Paths.h"
#include "pbem/DataBuffer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <limits>

namespace
{

constexpr std::uint8_t kHeaderVersion = 2;
constexpr std::int16_t kRecordVersion = 8;

SFileStamp StampOf(const struct stat& st)
{
    SFileStamp stamp;
    stamp.nSize = st.st_size;
    stamp.mtime = st.st_mtim;
    stamp.nDevice = st.st_dev;
    stamp.nInode = st.st_ino;
    return stamp;
}

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

void WriteGameRecord(CDataBuffer& buffer, const CPBEMGameState& game)
{
    buffer.AppendInt16(kRecordVersion);
    buffer.AppendWide(game.m_strAuxText);
    buffer.AppendWide(game.m_strInstanceId);
    buffer.AppendWide(game.m_strPlayerId);
    buffer.AppendWide(game.m_strPassword);
    buffer.AppendInt32(game.m_nTurn);
    buffer.AppendWide(game.m_strFlagName);
    buffer.AppendAnsi8(game.m_strAnsiText);
    buffer.AppendByte(game.m_bNewEvents ? 1 : 0);
    buffer.AppendUInt32(game.m_nHighestEventId);
    buffer.AppendInt32(static_cast<std::int32_t>(game.m_listPlayers.size()));
    for (const auto& pPlayer : game.m_listPlayers)
    {
        buffer.AppendInt32(pPlayer->m_nPlayer);
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

bool CPBEMGameStore::OpenLocked()
{
    m_bBusy = false;
    if (m_fd >= 0)
        return true;

    const std::string path = ToNativePath(GetFilePath());
    int fd;
    do
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;

    // Only a regular file can be read and written in place.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    {
        ::close(fd);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
    {
        m_bBusy = errno == EWOULDBLOCK || errno == EINTR;
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_bLocked = true;
    return true;
}

void CPBEMGameStore::DropFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_bLocked = false;
}

void CPBEMGameStore::CloseLocked()
{
    DropFile();
}

bool CPBEMGameStore::Load()
{
    if (m_fd < 0)
        return false;

    // The stamp is taken before reading, so a write that lands during the read shows as a change.
    struct stat st;
    if (::fstat(m_fd, &st) != 0 || st.st_size > std::numeric_limits<std::int32_t>::max())
    {
        DropFile();
        return false;
    }
    const SFileStamp stamp = StampOf(st);
    if (st.st_size == 0)
    {
        m_loadStamp = stamp;
        return true;
    }

    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t nRead = 0;
    while (nRead < bytes.size())
    {
        const ssize_t n =
            ::pread(m_fd, bytes.data() + nRead, bytes.size() - nRead, static_cast<off_t>(nRead));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
        {
            DropFile();
            return false;
        }
        nRead += static_cast<std::size_t>(n);
    }
    m_loadStamp = stamp;

    CDataBuffer buffer(bytes);
    return Parse(buffer);
}

bool CPBEMGameStore::Save()
{
    if (m_fd < 0)
        return false;

    // Written in place from the start and never shortened: readers stop after the last record,
    // and the game program expects the file it holds to stay the same file.
    const std::string bytes = Serialize();
    std::size_t nWritten = 0;
    while (nWritten < bytes.size())
    {
        const ssize_t n = ::pwrite(m_fd, bytes.data() + nWritten, bytes.size() - nWritten,
                                   static_cast<off_t>(nWritten));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        nWritten += static_cast<std::size_t>(n);
    }
    // On disk before the lock goes, so the next holder reads what was written.
    if (::fdatasync(m_fd) != 0)
        return false;
    struct stat st;
    if (::fstat(m_fd, &st) == 0)
        m_loadStamp = StampOf(st);
    return true;
}

SFileStamp CPBEMGameStore::StampNow() const
{
    struct stat st;
    if (::stat(ToNativePath(GetFilePath()).c_str(), &st) != 0)
        return {};
    return StampOf(st);
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
    CDataBuffer buffer;
    buffer.AppendByte(kHeaderVersion);
    buffer.AppendInt32(m_nStoredValue);
    buffer.AppendWide(m_strUsername);
    buffer.AppendWide(m_strPassword);
    buffer.AppendInt32(static_cast<std::int32_t>(m_listGames.size()));
    for (const auto& pGame : m_listGames)
        WriteGameRecord(buffer, *pGame);
    return std::string(reinterpret_cast<const char*>(buffer.GetData()), buffer.GetSize());
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
