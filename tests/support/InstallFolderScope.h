// The installation folder (and, when given, the data folder) for a test: set while the object
// lives, the previous folders back when it goes, also when a failed assertion ends the test early.
#pragma once

#include "install/InstallFolder.h"

#include <string>
#include <utility>

class CInstallFolderScope
{
public:
    explicit CInstallFolderScope(std::wstring strInstall)
        : m_strOldInstall(GetInstallFolder()), m_strOldData(GetDataFolder())
    {
        SetInstallFolder(std::move(strInstall));
    }
    CInstallFolderScope(std::wstring strInstall, std::wstring strData)
        : CInstallFolderScope(std::move(strInstall))
    {
        SetDataFolder(std::move(strData));
    }
    ~CInstallFolderScope()
    {
        SetDataFolder(m_strOldData);
        SetInstallFolder(m_strOldInstall);
    }
    CInstallFolderScope(const CInstallFolderScope&) = delete;
    CInstallFolderScope& operator=(const CInstallFolderScope&) = delete;

private:
    std::wstring m_strOldInstall;
    std::wstring m_strOldData;
};
