#include "install/ProfilePlacement.h"

#include "base/Format.h"
#include "install/InstallFolder.h"
#include "install/ProfileFile.h"

#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

namespace
{

constexpr std::wstring_view kSection = L"ZorvexMessenger";
// The value is read into a buffer of this many characters, terminator included.
constexpr std::size_t kValueBufferSize = 90;
// The part of the window that stays on the desktop, and the smallest size it is given.
constexpr long long kVisibleCorner = 40;
constexpr int kMinLeft = -20;
constexpr int kMinTop = -5;
constexpr int kMinSize = 200;
// Window sizes are 16-bit signed on X11.
constexpr int kMaxSize = 32767;

int ClampToInt(long long n)
{
    return static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX));
}

int ReadValue(std::wstring_view key, const std::wstring& path)
{
    std::wstring value = GetPrivateProfileString(kSection, key, L"0", path);
    if (value.size() > kValueBufferSize - 1)
        value.resize(kValueBufferSize - 1);
    return ClampToInt(WideToLong(value));
}

} // namespace

std::optional<SPlacement> ClampProfilePlacement(const SPlacement& read,
                                                const std::vector<SScreenRect>& screens,
                                                const std::vector<SScreenRect>& workAreas)
{
    if (read.x == 0 && read.y == 0 && read.cx == 0 && read.cy == 0)
        return std::nullopt;

    SPlacement placement = read;
    // In 64 bits: a value near INT_MAX from the file must not wrap and slip past the check. When a
    // screen is smaller than the corner, its upper bound wins.
    bool bFound = false;
    double dBest = 0;
    for (const SScreenRect& screen : screens)
    {
        const long long x = std::min<long long>(std::max<long long>(read.x, screen.left + kMinLeft),
                                                screen.right - kVisibleCorner);
        const long long y = std::min<long long>(std::max<long long>(read.y, screen.top + kMinTop),
                                                screen.bottom - kVisibleCorner);
        const double dx = static_cast<double>(x - read.x);
        const double dy = static_cast<double>(y - read.y);
        const double d = dx * dx + dy * dy;
        if (!bFound || d < dBest)
        {
            bFound = true;
            dBest = d;
            placement.x = ClampToInt(x);
            placement.y = ClampToInt(y);
        }
    }

    long long nMaxWidth = kMaxSize;
    long long nMaxHeight = kMaxSize;
    if (!workAreas.empty())
    {
        long long left = workAreas.front().left, top = workAreas.front().top;
        long long right = workAreas.front().right, bottom = workAreas.front().bottom;
        for (const SScreenRect& area : workAreas)
        {
            left = std::min<long long>(left, area.left);
            top = std::min<long long>(top, area.top);
            right = std::max<long long>(right, area.right);
            bottom = std::max<long long>(bottom, area.bottom);
        }
        nMaxWidth = std::min<long long>(nMaxWidth, right - left);
        nMaxHeight = std::min<long long>(nMaxHeight, bottom - top);
    }
    // The smallest size wins over a smaller desktop.
    placement.cx = std::max(ClampToInt(std::min<long long>(placement.cx, nMaxWidth)), kMinSize);
    placement.cy = std::max(ClampToInt(std::min<long long>(placement.cy, nMaxHeight)), kMinSize);
    return placement;
}

std::optional<SPlacement> ClampProfilePlacement(const SPlacement& read,
                                                const std::vector<SScreenRect>& screens)
{
    return ClampProfilePlacement(read, screens, screens);
}

std::optional<SPlacement> ClampProfilePlacement(const SPlacement& read, int nDesktopWidth,
                                                int nDesktopHeight)
{
    return ClampProfilePlacement(read, {{0, 0, nDesktopWidth, nDesktopHeight}});
}

std::optional<SPlacement> ReadProfilePlacement(const std::vector<SScreenRect>& screens,
                                               const std::vector<SScreenRect>& workAreas)
{
    const std::wstring path = InstallPath(PATH_PROFILE);
    SPlacement read;
    read.x = ReadValue(L"x", path);
    read.y = ReadValue(L"y", path);
    read.cx = ReadValue(L"cx", path);
    read.cy = ReadValue(L"cy", path);
    return ClampProfilePlacement(read, screens, workAreas);
}

std::optional<SPlacement> ReadProfilePlacement(int nDesktopWidth, int nDesktopHeight)
{
    const std::vector<SScreenRect> desktop = {{0, 0, nDesktopWidth, nDesktopHeight}};
    return ReadProfilePlacement(desktop, desktop);
}

bool WriteProfilePlacement(const SPlacement& placement)
{
    const std::wstring path = InstallPath(PATH_PROFILE);
    const std::pair<std::wstring_view, int> values[] = {
        {L"x", placement.x}, {L"y", placement.y}, {L"cx", placement.cx}, {L"cy", placement.cy}};
    for (const auto& [key, value] : values)
    {
        if (!WritePrivateProfileString(kSection, key, FormatText(L"%d", {value}), path))
            return false;
    }
    return true;
}
