#include "res/TextIds.h"

#include "support/LanguageScope.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>
#include <string_view>

namespace
{

// The bundled language file is written from this list: every id once, every text a real one.
TEST(TextIdsTest, ListHoldsEachIdOnceWithItsText)
{
    std::set<std::int32_t> ids;
    for (const STextId& id : kAllTextIds)
    {
        EXPECT_TRUE(ids.insert(id.nId).second) << id.nId;
        EXPECT_GT(id.nId, 0);
        const std::wstring_view text = id.pszText;
        EXPECT_FALSE(text.empty()) << id.nId;
        // Line feeds are real characters here; the file's escapes are not.
        EXPECT_EQ(text.find(L'\\'), std::wstring_view::npos) << id.nId;
    }
    EXPECT_EQ(std::wstring_view(IDS_PLAYER_ID_PASSWORD.pszText), L"PlayerId: %s\nPassword: %s");
}

// A language file that has a line for every id of the list translates every text the program
// asks for by name: the constants and the list are the same entries.
TEST(TextIdsTest, EveryNamedTextIsTranslatedFromAFileOfTheList)
{
    std::wstring strFile;
    for (const STextId& id : kAllTextIds)
        strFile += std::to_wstring(id.nId) + L"=T" + std::to_wstring(id.nId) + L"\r\n";
    CLanguageTable table;
    table.m_nLanguage = 7;
    table.LoadFromBytes("\xFF\xFE" + WideToUtf16Le(strFile));
    for (const STextId& id : {IDS_ZORVEX, IDS_OK, IDS_TURN_N, IDS_CONFIRM_REMOVE_GAME,
                              IDS_ABOUT_TEXT, IDS_ONLINE_GAMES, IDS_NOT_LOGGED_IN})
        EXPECT_EQ(table.LookupText(id.nId, id.pszText), L"T" + std::to_wstring(id.nId));
    EXPECT_EQ(table.m_arrItems.size(), std::size(kAllTextIds));
}

TEST(TextIdsTest, TextFollowsTheLanguage)
{
    ASSERT_EQ(g_languageTable.m_nLanguage, 9);
    EXPECT_EQ(Text(IDS_MAIN_MENU), L"Main Menu");
    const CLanguageScope other(7, L"2152=M\r\n");
    EXPECT_EQ(Text(IDS_MAIN_MENU), L"M");
    EXPECT_EQ(Text(IDS_OPTIONS), L"");
}

} // namespace
