// The main window's position and size, kept in Profile.ini between runs.
#pragma once

#include <optional>
#include <vector>

struct SPlacement
{
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    bool operator==(const SPlacement&) const = default;
};

// A rectangle of a screen in desktop coordinates; right and bottom are exclusive.
struct SScreenRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The placement to give the window for the values read from the profile; nothing when all four
// are 0 (no profile yet: the window keeps its first place and size). The top-left corner is kept
// where at least a 40-pixel corner of the window shows on one of the screens (at most 20 pixels
// past a screen's left edge, 5 past its top), else moved onto the nearest screen by that rule, so
// a window closed on a second screen reopens there. The size is at least 200, and at most the
// width and height of the rectangle that holds all work areas (the screens' areas without their
// panels): a size from another desktop, or a broken one, would make a window that no screen shows
// and whose back buffer alone takes gigabytes. Without work areas the upper limit is the window
// system's, 32767; without screens the position is kept as read.
std::optional<SPlacement> ClampProfilePlacement(const SPlacement& read,
                                                const std::vector<SScreenRect>& screens,
                                                const std::vector<SScreenRect>& workAreas);
// The same with the screens taken whole as work areas.
std::optional<SPlacement> ClampProfilePlacement(const SPlacement& read,
                                                const std::vector<SScreenRect>& screens);
// The same for a single screen of the given size at (0, 0).
std::optional<SPlacement> ClampProfilePlacement(const SPlacement& read, int nDesktopWidth,
                                                int nDesktopHeight);

// Reads section "ZorvexMessenger" of Profile.ini in the installation folder and clamps it.
std::optional<SPlacement> ReadProfilePlacement(const std::vector<SScreenRect>& screens,
                                               const std::vector<SScreenRect>& workAreas);
std::optional<SPlacement> ReadProfilePlacement(int nDesktopWidth, int nDesktopHeight);
// Writes the window's outer rectangle as "x", "y", "cx", "cy". False when it could not be written.
[[nodiscard]] bool WriteProfilePlacement(const SPlacement& placement);
