#include "pbem/EventFiles.h"
#include "pbem/PBEMMessageManager.h"

#include "app/InstallFolder.h"
#include "base/Paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace
{

struct SEventFileEntry
{
    std::wstring strPlayerId;
    std::uint32_t nEventId = 0;
    std::wstring strName;
};

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
std::vector<SEventFileEntry> ListKnownEventFiles(const std::string& strFolder,
                                                 CPBEMGameStore& store)
{
    std::vector<SEventFileEntry> files;
    DIR* pDir = ::opendir(strFolder.c_str());
    if (pDir == nullptr)
        return files;
    while (const dirent* pEntry = ::readdir(pDir))
    {
        const std::string_view name = pEntry->d_name;
        if (name == "." || name == ".." || !name.ends_with(".event"))
            continue;
        if (IsDirectoryEntry(strFolder, *pEntry))
            continue;
        SEventFileEntry file;
        file.strName = FromNativePath(name);
        file.strPlayerId = SplitEventFileName(file.strName, file.nEventId);
        // Files of games the store does not know are left alone.
        if (file.strPlayerId.empty() || store.FindGame(file.strPlayerId) == nullptr)
            continue;
        files.push_back(std::move(file));
    }
    ::closedir(pDir);
    return files;
}

} // namespace

void CPBEMMessageManager::ScanEventFiles()
{
    const std::wstring strFolder = InstallPath(PATH_PBEM_FOLDER);
    std::vector<SEventFileEntry> files = ListKnownEventFiles(ToNativePath(strFolder), m_store);

    // The folder's order is arbitrary. Oldest first per entry: the main window puts each event it
    // takes over at the head of its entry's list, so the newest ends up first there.
    std::sort(files.begin(), files.end(),
              [](const SEventFileEntry& a, const SEventFileEntry& b)
              {
                  return std::tie(a.strPlayerId, a.nEventId, a.strName) <
                         std::tie(b.strPlayerId, b.nEventId, b.strName);
              });

    for (const SEventFileEntry& file : files)
    {
        auto pEvent = std::make_unique<CPBEMGameEvent>();
        ReadEventFile(strFolder + L"/" + file.strName, *pEvent);
        if (!pEvent->m_strGameId.empty())
            m_listNewEvents.push_back(std::move(pEvent));
    }
}
