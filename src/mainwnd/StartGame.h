// Starting the game program for one PBEM game.
#pragma once

#include <string>

// Starts installation folder + "/Zorvex.exe" with the arguments "-PBEM" and strInstanceId (each
// one argument, no shell), without waiting; the game runs in the installation folder with the
// messenger's environment. A Windows program the system cannot run goes through `wine` when it is
// on PATH. A failure shows the player nothing: one line on standard error, and false.
bool StartGame(const std::wstring& strInstanceId);
