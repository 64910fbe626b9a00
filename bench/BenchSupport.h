// What the benchmarks share: a scratch folder and realistic event records, written with the
// program's own record writer.
#pragma once

#include "pbem/EventRecordWriter.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

// A fresh folder in the temporary folder; removed when the object goes.
class CBenchFolder
{
public:
    CBenchFolder()
    {
        std::string templ =
            (std::filesystem::temp_directory_path() / "zorvex-bench-XXXXXX").string();
        if (::mkdtemp(templ.data()) == nullptr)
            std::abort();
        m_strPath = templ;
    }
    ~CBenchFolder() { std::filesystem::remove_all(m_strPath); }
    CBenchFolder(const CBenchFolder&) = delete;
    CBenchFolder& operator=(const CBenchFolder&) = delete;

    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
};

// An escaped event record like the server's mail and war declarations: a text of nTextLength
// characters and up to nMaxData bytes of data, varied by nSeed.
inline std::string MakeBenchRecord(const std::wstring& strGameId, int nPlayer, int nSeed,
                                   int nTextLength, int nMaxData)
{
    static const char* const kinds[] = {"Mail", "IM", "DeclareWar", "OrdersSubmitted"};
    CPBEMGameEvent event;
    event.m_strGameId = strGameId;
    event.m_nFromPlayer = 1 + nSeed % 8;
    event.m_bShared = nSeed % 5 == 0;
    event.m_nPlayer = nPlayer;
    event.m_strKind = kinds[nSeed % 4];
    event.m_strText = std::wstring(static_cast<std::size_t>(nTextLength), L'a' + nSeed % 26);
    event.m_nDataSize = nSeed % nMaxData;
    event.m_pData = std::make_unique<unsigned char[]>(static_cast<std::size_t>(event.m_nDataSize));
    for (int i = 0; i < event.m_nDataSize; ++i)
        event.m_pData[i] = static_cast<unsigned char>(i * 7 + nSeed);
    return BuildEscapedEventRecord(event);
}
