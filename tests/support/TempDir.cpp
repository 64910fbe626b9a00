#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

CTempDir::CTempDir()
{
    const char* pszBase = std::getenv("TMPDIR");
    std::string templ =
        std::string(pszBase != nullptr && *pszBase ? pszBase : "/tmp") + "/zorvex-test-XXXXXX";
    if (::mkdtemp(templ.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_strPath = templ;
}

CTempDir::~CTempDir()
{
    std::error_code ec;
    // Tests may leave read-only folders behind; give them back their write bit first.
    for (auto it = std::filesystem::recursive_directory_iterator(m_strPath, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    {
        if (it->is_directory(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
    }
    std::filesystem::permissions(m_strPath, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_strPath, ec);
}

std::wstring CTempDir::WidePath() const
{
    return std::filesystem::path(m_strPath).wstring();
}

void CTempDir::Write(const std::string& relative, const std::string& bytes) const
{
    const std::filesystem::path path = File(relative);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string CTempDir::Read(const std::string& relative) const
{
    std::ifstream in(File(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
