// Sets ZORVEX_SERVER (or removes it, for null) while it lives and puts back what was there.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class CServerEnv
{
public:
    explicit CServerEnv(const char* pszValue)
    {
        if (const char* pszOld = std::getenv("ZORVEX_SERVER"))
            m_strOld = pszOld;
        if (pszValue != nullptr)
            ::setenv("ZORVEX_SERVER", pszValue, 1);
        else
            ::unsetenv("ZORVEX_SERVER");
    }
    ~CServerEnv()
    {
        if (m_strOld)
            ::setenv("ZORVEX_SERVER", m_strOld->c_str(), 1);
        else
            ::unsetenv("ZORVEX_SERVER");
    }
    CServerEnv(const CServerEnv&) = delete;
    CServerEnv& operator=(const CServerEnv&) = delete;

private:
    std::optional<std::string> m_strOld;
};
