#include "base/Paths.h"

#include "base/Encoding.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstddef>
#include <vector>

namespace
{

bool IsSeparator(wchar_t c)
{
    return c == L'/' || c == L'\\';
}

// Case folding for the letters of Windows-1252 and the rest of Latin-1; other characters compare
// exactly. That covers what the game's file names contain.
wchar_t FoldCase(wchar_t c)
{
    if (c >= L'A' && c <= L'Z')
        return static_cast<wchar_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<wchar_t>(c + 32);
    if (c == 0x160 || c == 0x152 || c == 0x17D)
        return static_cast<wchar_t>(c + 1);
    if (c == 0x178)
        return 0xFF;
    return c;
}

bool EqualNoCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    }
    return true;
}

bool Exists(const std::wstring& path)
{
    struct stat st;
    return ::stat(ToNativePath(path).c_str(), &st) == 0;
}

// The entry of folder whose name matches name case-insensitively, or an empty text.
std::wstring FindEntryNoCase(const std::wstring& folder, std::wstring_view name)
{
    DIR* pDir = ::opendir(ToNativePath(folder).c_str());
    if (pDir == nullptr)
        return {};
    std::wstring found;
    while (const dirent* pEntry = ::readdir(pDir))
    {
        const std::wstring entry = FromNativePath(pEntry->d_name);
        if (EqualNoCase(entry, name))
        {
            found = entry;
            break;
        }
    }
    ::closedir(pDir);
    return found;
}

} // namespace

std::string ToNativePath(std::wstring_view path)
{
    return WideToUtf8Lossless(path);
}

std::wstring FromNativePath(std::string_view path)
{
    return Utf8ToWideLossless(path);
}

std::wstring ToSlashPath(std::wstring_view path)
{
    std::wstring out(path);
    for (wchar_t& c : out)
    {
        if (c == L'\\')
            c = L'/';
    }
    return out;
}

bool IsRelativePath(std::wstring_view path)
{
    return path.empty() || path.front() != L'/';
}

std::wstring FileNamePart(std::wstring_view path)
{
    for (std::size_t i = path.size(); i > 0; --i)
    {
        if (IsSeparator(path[i - 1]))
            return std::wstring(path.substr(i));
    }
    return std::wstring(path);
}

std::wstring FolderPart(std::wstring_view path)
{
    const std::size_t pos = path.rfind(L'/');
    return pos == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, pos));
}

std::wstring JoinPath(std::wstring_view root, std::wstring_view relative)
{
    const std::wstring rel = ToSlashPath(relative);
    std::wstring out(root);
    for (std::size_t i = 0; i < rel.size();)
    {
        std::size_t j = rel.find(L'/', i);
        if (j == std::wstring::npos)
            j = rel.size();
        if (j > i)
        {
            if (!out.empty() && out.back() != L'/')
                out += L'/';
            out.append(rel, i, j - i);
        }
        i = j + 1;
    }
    return out;
}

std::wstring ResolvePathNoCase(std::wstring_view root, std::wstring_view relative)
{
    std::wstring exact = JoinPath(root, relative);
    if (Exists(exact))
        return exact;

    const std::wstring rel = ToSlashPath(relative);
    std::wstring out(root);
    bool bMatching = true;
    for (std::size_t i = 0; i < rel.size();)
    {
        std::size_t j = rel.find(L'/', i);
        if (j == std::wstring::npos)
            j = rel.size();
        if (j > i)
        {
            std::wstring component = rel.substr(i, j - i);
            const std::wstring parent = out.empty() ? std::wstring(L".") : out;
            if (!out.empty() && out.back() != L'/')
                out += L'/';
            if (bMatching && component != L"." && component != L".." && !Exists(out + component))
            {
                const std::wstring match = FindEntryNoCase(parent, component);
                if (match.empty())
                    bMatching = false;
                else
                    component = match;
            }
            out += component;
        }
        i = j + 1;
    }
    return out;
}

bool FileExists(std::wstring_view path)
{
    struct stat st;
    return ::stat(ToNativePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::wstring_view path)
{
    struct stat st;
    return ::stat(ToNativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
