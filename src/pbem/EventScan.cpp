#include "pbem/EventFiles.h"
#include "pbem/PBEMMessageManager.h"

#include "base/Encoding.h"
#include "base/FileIo.h"
#include "base/Paths.h"
#include "install/InstallFolder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace
{

struct SEventFileEntry
{
    std::wstring strPlayerId;
    std::uint32_t nEventId = 0;
    std::wstring strName;
    std::string strNativeName;   // the name's bytes in the folder
    bool bRegular = false;       // the listing said it is a regular file
    std::size_t nEntryOrder = 0; // the rank of its PlayerId among those of the folder
};

// Below this many files one thread reads them all; above it the reading is shared out, since a
// player with a long history may keep a hundred thousand files that are all read at every start.
constexpr std::size_t kFilesPerThread = 2000;
constexpr unsigned kMaxReaders = 4;

bool IsDirectoryEntry(const std::string& strFolder, const dirent& entry)
{
    if (entry.d_type == DT_DIR)
        return true;
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK)
        return false;
    struct stat st;
    const std::string strPath = strFolder + "/" + entry.d_name;
    return ::stat(strPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The names of the folder's "*.event" files whose PlayerId has an entry in the store.
std::vector<SEventFileEntry> ListKnownEventFiles(DIR* pDir, const std::string& strFolder,
                                                 const CPBEMGameStore& store)
{
    std::unordered_set<std::wstring_view> knownIds;
    for (const auto& pGame : store.m_listGames)
        knownIds.insert(pGame->m_strPlayerId);

    std::vector<SEventFileEntry> files;
    while (const dirent* pEntry = ::readdir(pDir))
    {
        const std::string_view name = pEntry->d_name;
        if (name.starts_with("."))
        {
            // What a writer that died left is never an event.
            if (const std::wstring strName = FromNativePath(name); IsEventTempName(strName))
            {
                RemoveLeftoverEventTemp(strName);
                continue;
            }
        }
        if (name == "." || name == ".." || !name.ends_with(".event"))
            continue;
        if (IsDirectoryEntry(strFolder, *pEntry))
            continue;
        SEventFileEntry file;
        file.strName = FromNativePath(name);
        // Only names the writer can make: one that is not valid UTF-8 belongs to no game id.
        if (!IsUtf8Exact(file.strName))
            continue;
        file.strPlayerId = SplitEventFileName(file.strName, file.nEventId);
        // Files of games the store does not know are left alone.
        if (file.strPlayerId.empty() || !knownIds.contains(file.strPlayerId))
            continue;
        file.strNativeName = name;
        file.bRegular = pEntry->d_type == DT_REG;
        files.push_back(std::move(file));
    }
    return files;
}

// Reads files[i] into events[i] for every i of [nFirst, nLast); an unreadable file, or one
// without a readable record, leaves its place empty.
void ReadEventFiles(int nFolderFd, const std::vector<SEventFileEntry>& files, std::size_t nFirst,
                    std::size_t nLast, std::vector<std::unique_ptr<CPBEMGameEvent>>& events)
{
    std::string bytes;
    for (std::size_t i = nFirst; i < nLast; ++i)
    {
        try
        {
            // Folders and pipes named *.event are never read (a pipe would block), nor is a file
            // larger than any answer: it would only take the memory.
            if (!ReadWholeFileAt(nFolderFd, files[i].strNativeName, bytes, MAX_EVENT_FILE_BYTES,
                                 files[i].bRegular)
                     .Ok())
                continue;
            auto pEvent = std::make_unique<CPBEMGameEvent>();
            ReadEventFileBytes(files[i].strName, bytes, *pEvent);
            if (!pEvent->m_strGameId.empty())
                events[i] = std::move(pEvent);
        }
        catch (const std::bad_alloc&)
        {
            // No memory for this one: it is read again at the next start.
        }
    }
}

} // namespace

void CPBEMMessageManager::ScanEventFiles()
{
    const std::string strFolder = ToNativePath(InstallPath(PATH_PBEM_FOLDER));
    DIR* pDir = ::opendir(strFolder.c_str());
    if (pDir == nullptr)
        return;
    std::vector<SEventFileEntry> files = ListKnownEventFiles(pDir, strFolder, m_store);

    // The folder's order is arbitrary. By entry, then oldest first: the main window puts each
    // event it takes over at the head of its entry's list, so the newest ends up first there.
    // The entries are ranked once, so the sort compares numbers, not texts.
    std::unordered_map<std::wstring_view, std::size_t> entryOrder;
    for (const SEventFileEntry& file : files)
        entryOrder.emplace(file.strPlayerId, 0);
    std::vector<std::wstring_view> entryIds;
    entryIds.reserve(entryOrder.size());
    for (const auto& [strId, nOrder] : entryOrder)
        entryIds.push_back(strId);
    std::sort(entryIds.begin(), entryIds.end());
    for (std::size_t i = 0; i < entryIds.size(); ++i)
        entryOrder[entryIds[i]] = i;
    for (SEventFileEntry& file : files)
        file.nEntryOrder = entryOrder[file.strPlayerId];
    std::sort(files.begin(), files.end(),
              [](const SEventFileEntry& a, const SEventFileEntry& b)
              {
                  if (a.nEntryOrder != b.nEntryOrder)
                      return a.nEntryOrder < b.nEntryOrder;
                  if (a.nEventId != b.nEventId)
                      return a.nEventId < b.nEventId;
                  return a.strName < b.strName;
              });

    std::vector<std::unique_ptr<CPBEMGameEvent>> events(files.size());
    const unsigned nCores = std::max(1u, std::thread::hardware_concurrency());
    const auto nReaders = static_cast<std::size_t>(
        std::min<std::size_t>({kMaxReaders, nCores, files.size() / kFilesPerThread + 1}));
    const std::size_t nShare = (files.size() + nReaders - 1) / nReaders;
    std::vector<std::thread> readers;
    std::size_t nNext = nShare; // this thread reads the first share
    for (; nNext < files.size(); nNext += nShare)
    {
        try
        {
            readers.emplace_back(ReadEventFiles, dirfd(pDir), std::cref(files), nNext,
                                 std::min(nNext + nShare, files.size()), std::ref(events));
        }
        catch (const std::system_error&)
        {
            break; // no thread to be had: the rest is read here
        }
    }
    ReadEventFiles(dirfd(pDir), files, 0, std::min(nShare, files.size()), events);
    if (nNext < files.size())
        ReadEventFiles(dirfd(pDir), files, nNext, files.size(), events);
    for (std::thread& reader : readers)
        reader.join();
    ::closedir(pDir);

    for (auto& pEvent : events)
    {
        if (pEvent)
            m_listNewEvents.push_back(std::move(pEvent));
    }
}
