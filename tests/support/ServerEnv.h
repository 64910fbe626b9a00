// Sets ZORVEX_SERVER (or removes it, for null) while it lives and puts back what was there.
#pragma once

#include "support/EnvVarScope.h"

#include <string>

class CServerEnv : public CEnvVarScope
{
public:
    explicit CServerEnv(const char* pszValue) : CEnvVarScope("ZORVEX_SERVER", pszValue) {}
    explicit CServerEnv(const std::string& strValue) : CEnvVarScope("ZORVEX_SERVER", strValue) {}
};
