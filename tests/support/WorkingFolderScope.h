// The process's working folder for a test: changed while the object lives, the previous one back
// when it goes, also when a failed assertion ends the test early.
#pragma once

#include <filesystem>

class CWorkingFolderScope
{
public:
    explicit CWorkingFolderScope(const std::filesystem::path& folder)
        : m_oldFolder(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~CWorkingFolderScope()
    {
        std::error_code error; // a destructor must not throw; the old folder is there
        std::filesystem::current_path(m_oldFolder, error);
    }
    CWorkingFolderScope(const CWorkingFolderScope&) = delete;
    CWorkingFolderScope& operator=(const CWorkingFolderScope&) = delete;

private:
    std::filesystem::path m_oldFolder;
};
