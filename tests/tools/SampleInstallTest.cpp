// The sample installation folder and the bundled language file.
#include "SampleInstall.h"
#include "LanguageFileWriter.h"

#include "base/Encoding.h"
#include "base/Paths.h"
#include "pbem/DataBuffer.h"
#include "pbem/EventFiles.h"
#include "pbem/PBEMGameStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace

TEST(LanguageFileTest, EveryTextReadsBackExactly)
{
    std::string bytes, strError;
    ASSERT_TRUE(BuildLanguageFile(kAllTextIds, bytes, strError)) << strError;
    ASSERT_TRUE(bytes.starts_with("\xFF\xFE"));
    // Every line ends with CR LF; the texts' own line feeds are escapes.
    const std::wstring text = Utf16LeToWide(bytes.substr(2));
    std::size_t nLines = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == L'\n')
        {
            ++nLines;
            EXPECT_TRUE(i > 0 && text[i - 1] == L'\r') << i;
        }
    }
    EXPECT_EQ(nLines, std::size(kAllTextIds));
    EXPECT_TRUE(text.ends_with(L"\r\n"));
    EXPECT_NE(text.find(L"\n2161=PlayerId: %s\\nPassword: %s\r\n"), std::wstring::npos);

    CLanguageTable table;
    table.LoadFromBytes(bytes);
    table.m_nLanguage = 7; // answers from the file, not the built-in texts
    EXPECT_EQ(table.m_arrItems.size(), std::size(kAllTextIds));
    for (const STextId& id : kAllTextIds)
        EXPECT_EQ(table.LookupText(id.nId, L"-"), id.pszText) << id.nId;
}

TEST(LanguageFileTest, TextsTheEscapesCannotCarryAreRefused)
{
    struct SCase
    {
        const wchar_t* pszText;
        bool bWritten;
    };
    const SCase cases[] = {
        {L"Line\r\nand \"quotes\"", true},
        {L"back\\slash \\\" \\\n", true}, // a backslash before an escape still reads back
        {L"C:\\new", false},              // "\n" would come back as a line feed
        {L"\\r", false},
        {L"", false}, // empty texts are not loaded
    };
    for (const SCase& test : cases)
    {
        const STextId texts[] = {{5, L"Five"}, {7, test.pszText}};
        std::string bytes, strError;
        EXPECT_EQ(BuildLanguageFile(texts, bytes, strError), test.bWritten)
            << WideToUtf8(test.pszText);
        if (!test.bWritten)
        {
            EXPECT_NE(strError.find("7"), std::string::npos) << strError;
        }
    }
}

TEST(LanguageFileTest, BundledFileIsCurrent)
{
    std::string bytes, strError;
    ASSERT_TRUE(BuildLanguageFile(kAllTextIds, bytes, strError));
    EXPECT_EQ(ReadFile(DefaultAssetsFolder() / "RawEnglishUnicode.txt"), bytes)
        << "run: zorvex-make-sample --write-language-file assets/RawEnglishUnicode.txt";
}

TEST(SampleInstallTest, LaysOutAFolderTheProgramCanUse)
{
    CTempDir temp;
    temp.Write("assets/Data/Images/Flags/Tarn.png", "flag");
    temp.Write("assets/RawEnglishUnicode.txt", "stale");
    std::ostringstream err;
    ASSERT_TRUE(LayOutSampleInstall(temp.File("install"), temp.File("assets"), err)) << err.str();
    EXPECT_EQ(err.str(), "");

    EXPECT_EQ(temp.Read("install/Data/Images/Flags/Tarn.png"), "flag");
    std::string language, strError;
    ASSERT_TRUE(BuildLanguageFile(kAllTextIds, language, strError));
    EXPECT_EQ(temp.Read("install/RawEnglishUnicode.txt"), language);

    CPBEMGameStore store;
    CDataBuffer buffer(temp.Read("install/PBEM/PBEM.data"));
    ASSERT_TRUE(store.Parse(buffer));
    EXPECT_EQ(buffer.GetPosition(), buffer.GetSize());
    ASSERT_EQ(store.m_listGames.size(), 4u);
    const CPBEMGameState* pShared = store.FindGame(L"G1001-P00");
    ASSERT_NE(pShared, nullptr);
    EXPECT_EQ(pShared->m_strInstanceId, store.FindGame(L"G1001-P02")->m_strInstanceId);
    int nEmptyFlags = 0;
    for (const auto& pGame : store.m_listGames)
    {
        nEmptyFlags += pGame.get() != pShared && pGame->m_strFlagName.empty();
        // Every stored event file is known: its id is not sent again.
        for (const auto& entry : std::filesystem::directory_iterator(temp.File("install/PBEM")))
        {
            CPBEMGameEvent event;
            ReadEventFile(FromNativePath(entry.path().string()), event);
            if (entry.path().extension() == ".event" && GetEventKey(event) == pGame->m_strPlayerId)
            {
                EXPECT_LE(event.m_nEventId, pGame->m_nHighestEventId) << entry.path();
            }
        }
    }
    EXPECT_EQ(nEmptyFlags, 1);

    // The stand-in game program records how it was started.
    const std::string exe = temp.File("install/Zorvex.exe");
    struct stat st;
    ASSERT_EQ(::stat(exe.c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXUSR);
    ASSERT_EQ(std::system(("'" + exe + "' -PBEM 'I-1001' && '" + exe + "' -PBEM I-2045").c_str()),
              0);
    EXPECT_EQ(temp.Read("install/ZorvexExeCalls.log"), "-PBEM I-1001\n-PBEM I-2045\n");
}

TEST(SampleInstallTest, WithoutAnAssetsFolderTheRestIsStillLaidOut)
{
    CTempDir temp;
    std::ostringstream err;
    ASSERT_TRUE(LayOutSampleInstall(temp.File("a/b"), temp.File("missing"), err)) << err.str();
    EXPECT_TRUE(std::filesystem::exists(temp.File("a/b/PBEM/PBEM.data")));
    EXPECT_TRUE(std::filesystem::exists(temp.File("a/b/RawEnglishUnicode.txt")));
}
