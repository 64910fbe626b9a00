// A full disk for the tests: while a CFileSizeLimit lives, files of this process cannot grow past
// nBytes (for root too), and a write beyond fails with EFBIG instead of raising SIGXFSZ.
#pragma once

#include <sys/resource.h>

#include <csignal>

class CFileSizeLimit
{
public:
    explicit CFileSizeLimit(rlim_t nBytes)
    {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &m_previousAction);
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit small = m_saved;
        small.rlim_cur = nBytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~CFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        ::sigaction(SIGXFSZ, &m_previousAction, nullptr);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    rlimit m_saved = {};
    struct sigaction m_previousAction = {};
};
