// Starting other programs. Paths and arguments are the bytes the operating system takes (UTF-8).
#pragma once

#include <string>
#include <vector>

// Starts strFile with the arguments argv (argv[0] included), without a shell and without waiting.
// The program runs in strFolder (the caller's current folder when empty) with the caller's
// environment, in a session of its own: it is nobody's child to wait for, so it never lingers as a
// zombie. Returns 0 once the program runs, else the errno of the failed start (ENOENT, EACCES,
// ENOEXEC, ..., or that of entering strFolder).
int SpawnDetached(const std::string& strFile, const std::vector<std::string>& argv,
                  const std::string& strFolder = {});

// The first executable file called strName in the folders of PATH; empty when there is none.
std::string FindProgramOnPath(const std::string& strName);

// A program built for Windows: started directly when the system can run the file, else through
// `wine` from PATH (as "wine strFile args..."). args are the arguments after argv[0]; strFolder is
// the folder it runs in, as for SpawnDetached. Returns 0 once the program runs, else the errno of
// the direct start.
int SpawnWindowsProgram(const std::string& strFile, const std::vector<std::string>& args,
                        const std::string& strFolder = {});
