// An environment variable set (or removed, for null) while the object lives; what was there
// before comes back when it goes, also when a failed assertion ends the test early.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class CEnvVarScope
{
public:
    CEnvVarScope(const char* pszName, const char* pszValue) : m_strName(pszName)
    {
        if (const char* pszOld = std::getenv(pszName))
            m_strOld = pszOld;
        Set(pszValue);
    }
    CEnvVarScope(const char* pszName, const std::string& strValue)
        : CEnvVarScope(pszName, strValue.c_str())
    {
    }
    ~CEnvVarScope() { Set(m_strOld ? m_strOld->c_str() : nullptr); }
    CEnvVarScope(const CEnvVarScope&) = delete;
    CEnvVarScope& operator=(const CEnvVarScope&) = delete;

    // Another value for the rest of the scope (null: removed).
    void Set(const char* pszValue) const
    {
        if (pszValue != nullptr)
            ::setenv(m_strName.c_str(), pszValue, 1);
        else
            ::unsetenv(m_strName.c_str());
    }
    void Set(const std::string& strValue) const { Set(strValue.c_str()); }

private:
    std::string m_strName;
    std::optional<std::string> m_strOld;
};
