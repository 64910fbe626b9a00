// libcurl's process-wide set-up: once, before any transfer thread exists, and its clean-up once at
// the end. The program (and each test program) holds one CCurlGlobal for its whole run.
#pragma once

class CCurlGlobal
{
public:
    CCurlGlobal();
    ~CCurlGlobal();
    CCurlGlobal(const CCurlGlobal&) = delete;
    CCurlGlobal& operator=(const CCurlGlobal&) = delete;
};
