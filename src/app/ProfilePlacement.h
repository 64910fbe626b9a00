// The main window's position and size, kept in Profile.ini between runs.
#pragma once

#include <optional>

struct SPlacement
{
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    bool operator==(const SPlacement&) const = default;
};

// The placement to give the window for the values read from the profile, on a desktop of the given
// size; nothing when all four are 0 (no profile yet: the window keeps its first place and size).
std::optional<SPlacement> ClampProfilePlacement(const SPlacement& read, int nDesktopWidth,
                                                int nDesktopHeight);

// Reads section "ZorvexMessenger" of Profile.ini in the installation folder and clamps it.
std::optional<SPlacement> ReadProfilePlacement(int nDesktopWidth, int nDesktopHeight);
// Writes the window's outer rectangle as "x", "y", "cx", "cy". False when it could not be written.
bool WriteProfilePlacement(const SPlacement& placement);
