// Bounds libcurl's process-wide state: the program (and each test program) holds one CCurlGlobal
// for its whole run, before any transfer thread exists until after the last one has ended. Holding
// it loads nothing: libcurl is loaded and set up by the first transfer (see CurlApi.h). When the
// last holder goes, libcurl's clean-up runs if it was loaded; a later holder sets it up again.
#pragma once

class CCurlGlobal
{
public:
    CCurlGlobal();
    ~CCurlGlobal();
    CCurlGlobal(const CCurlGlobal&) = delete;
    CCurlGlobal& operator=(const CCurlGlobal&) = delete;
};
