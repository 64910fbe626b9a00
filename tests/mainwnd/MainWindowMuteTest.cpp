// Muting one game from its view's options menu, and the "muted" mark of the game list's rows:
// what the menu offers, what each choice writes into the profile's [Mute] section, and the
// marks following the menu, the tray's commands and the end of a timed mute.
#include "MessengerTest.h"

#include "base/Encoding.h"
#include "install/InstallFolder.h"
#include "install/ProfileFile.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"
#include "ui/TextMeasure.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace
{

using namespace std::chrono_literals;

const std::wstring kMuteItems[] = {L"Mute for 1 hour", L"Mute until tomorrow", L"Mute"};

class MainWindowMuteTest : public MessengerTest
{
protected:
    void SetUp() override
    {
        AddGame(L"G1-P02");
        AddGame(L"G2-P01");
        m_dlg.m_fnNow = [this] { return m_now; };
        Open();
        // The images came from the bundled installation; the profile is the test's own.
        m_installFolder.emplace(m_install.WidePath());
    }
    void TearDown() override
    {
        m_installFolder.reset();
        Pump();
    }

    std::wstring ProfilePath() const { return InstallPath(PATH_PROFILE); }
    // The profile holds these [Mute] lines, and the window has read them.
    void UseMuteLines(const std::string& strLines)
    {
        m_install.Write("Profile.ini", "[Mute]\r\n" + strLines);
        m_dlg.m_muteList.Load(ProfilePath());
    }
    std::wstring SavedValue(const std::wstring& strKey) const
    {
        return GetPrivateProfileString(L"Mute", strKey, L"(none)", ProfilePath());
    }

    // The options menu's items of the game's view, the menu closed again.
    std::vector<std::wstring> OptionsItems(const std::wstring& strPlayerId)
    {
        OpenGameView(strPlayerId);
        Command(IDC_GAME_OPTIONS);
        CGeneralPopup3* pMenu = MenuUnder(m_dlg.m_btnOptions);
        std::vector<std::wstring> items;
        if (pMenu == nullptr)
        {
            ADD_FAILURE() << "no options menu";
            return items;
        }
        for (const auto& pItem : pMenu->m_listItems)
            items.push_back(pItem->m_bSeparator ? L"-" : pItem->m_strText);
        pMenu->OnCancel();
        Pump();
        return items;
    }

    // The "muted" mark of the game's row in the game list; null when the row has none.
    const CTextDesc* MarkOf(const std::wstring& strPlayerId) const
    {
        for (const auto& pRow : m_dlg.m_listRows)
        {
            if (pRow->m_strKey != strPlayerId)
                continue;
            for (const auto& pText : pRow->GetTexts())
            {
                if (pText->m_strText == L"muted")
                    return pText.get();
            }
            return nullptr;
        }
        ADD_FAILURE() << "no row " << testing::PrintToString(strPlayerId);
        return nullptr;
    }
    // Which of the two games' rows are marked, as "G1 G2", "G1", "" ...
    std::string Marked() const
    {
        std::string str;
        for (const wchar_t* psz : {L"G1-P02", L"G2-P01"})
        {
            if (MarkOf(psz) != nullptr)
                str += (str.empty() ? "" : " ") + WideToUtf8(psz).substr(0, 2);
        }
        return str;
    }

    CTempDir m_install;
    std::optional<CInstallFolderScope> m_installFolder;
    // 2026-12-11T14:05:00Z
    std::chrono::system_clock::time_point m_now =
        std::chrono::sys_days(std::chrono::year(2026) / 12 / 11) + 14h + 5min;
};

// Each command of the menu writes its value under the game id (the player id without "-Pnn")
// at once, and the game list marks the game's row, and only it, while it is muted.
TEST_F(MainWindowMuteTest, EachMenuCommandWritesItsValueAndMarksTheRow)
{
    const struct
    {
        const char* pszName;
        std::string strBefore; // lines of [Mute]
        std::wstring strItem;
        std::wstring strValue; // of G1 afterwards
        std::string strMarked;
    } cases[] = {
        {"for 1 hour", "", L"Mute for 1 hour", L"2026-12-11T15:05:00Z", "G1"},
        {"until tomorrow", "", L"Mute until tomorrow",
         CMuteList::FormatValue(TomorrowMorning(m_now)), "G1"},
        {"until unmuted", "", L"Mute", L"always", "G1"},
        {"unmute", "G1=always\r\nG2=always\r\n", L"Unmute", L"(none)", "G2"},
        {"unmute a timed mute", "G1=2026-12-11T15:00:00Z\r\n", L"Unmute", L"(none)", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        UseMuteLines(c.strBefore);
        OpenGameView(L"G1-P02");

        Choose(IDC_GAME_OPTIONS, m_dlg.m_btnOptions, c.strItem);

        EXPECT_EQ(SavedValue(L"G1"), c.strValue);
        EXPECT_EQ(SavedValue(L"G1-P02"), L"(none)");
        EXPECT_EQ(m_dlg.m_eView, EView::Game);
        m_dlg.SwitchView(EView::GameList);
        EXPECT_EQ(Marked(), c.strMarked);
    }
}

// The menu offers the end of the game's own mute, else the mutes; the row is marked whenever
// the game's news are held back, also by the mute of every game.
TEST_F(MainWindowMuteTest, MenuAndMarkFollowWhatIsMuted)
{
    const std::vector<std::wstring> kUnmuteItem = {L"Unmute"};
    const std::vector<std::wstring> kMutes(std::begin(kMuteItems), std::end(kMuteItems));
    const struct
    {
        const char* pszName;
        std::string strLines;
        std::vector<std::wstring> g1Items; // after the two commands and the separator
        std::string strMarked;
    } cases[] = {
        {"nothing muted", "", kMutes, ""},
        {"the game", "G1=always\r\n", kUnmuteItem, "G1"},
        {"the game, another case", "g1=always\r\n", kUnmuteItem, "G1"},
        {"the game for a while", "G1=2026-12-11T14:05:01Z\r\n", kUnmuteItem, "G1"},
        {"a mute that has ended", "G1=2026-12-11T14:05:00Z\r\n", kMutes, ""},
        {"garbage", "G1=soon\r\n", kMutes, ""},
        {"the player id", "G1-P02=always\r\n", kMutes, ""},
        {"another game", "G2=always\r\n", kMutes, "G2"},
        {"every game", "*=2026-12-11T15:05:00Z\r\n", kMutes, "G1 G2"},
        {"every game and this one", "*=always\r\nG1=always\r\n", kUnmuteItem, "G1 G2"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        UseMuteLines(c.strLines);
        std::vector<std::wstring> expected = {L"Remove Game", L"Get Username/Password", L"-"};
        expected.insert(expected.end(), c.g1Items.begin(), c.g1Items.end());
        EXPECT_EQ(OptionsItems(L"G1-P02"), expected);
        m_dlg.SwitchView(EView::GameList);
        EXPECT_EQ(Marked(), c.strMarked);
    }
}

// The mark stands after the game's name, dimmer than it, leaving the name where it was.
TEST_F(MainWindowMuteTest, MarkStandsDimmerAfterTheName)
{
    UseMuteLines("G1=always\r\n");
    m_dlg.Rebuild();
    const CVelButton& row = *m_dlg.m_listRows.front();
    ASSERT_EQ(row.m_strKey, L"G1-P02");
    const CTextDesc* pMark = MarkOf(L"G1-P02");
    ASSERT_NE(pMark, nullptr);
    EXPECT_EQ(row.m_nTextX, 27);
    EXPECT_EQ(row.GetWindowText(), L"Game: G1");
    EXPECT_GT(pMark->m_nX, 27 + GetTextWidth(L"Game: G1"));
    EXPECT_EQ(pMark->m_nY, row.m_nTextY);
    EXPECT_NE(pMark->m_crColor, VEL_BUTTON_TEXT_COLOUR);
    EXPECT_NE(pMark->m_crColor, row.m_crText);
}

// The marks change with the tray's mute of every game at once, and go when a timed mute ends
// (the window checks at the next end, at most a minute apart).
TEST_F(MainWindowMuteTest, MarksFollowTheTrayAndTheEndOfATimedMute)
{
    UseMuteLines("");
    m_dlg.Rebuild();
    EXPECT_EQ(Marked(), "");
    Command(IDC_MUTE_ALL);
    EXPECT_EQ(SavedValue(L"*"), L"2026-12-11T15:05:00Z");
    EXPECT_EQ(Marked(), "G1 G2");
    Command(IDC_UNMUTE_ALL);
    EXPECT_EQ(Marked(), "");

    UseMuteLines("G1=2026-12-11T15:05:00Z\r\nG2=2026-12-11T16:05:00Z\r\n");
    m_dlg.Rebuild();
    EXPECT_EQ(Marked(), "G1 G2");
    m_now += 59min;
    m_dlg.SendMessage(WM_TIMER, IDT_MUTE_END, 0);
    EXPECT_EQ(Marked(), "G1 G2");
    m_now += 1min;
    m_dlg.SendMessage(WM_TIMER, IDT_MUTE_END, 0);
    EXPECT_EQ(Marked(), "G2");
    EXPECT_TRUE(m_dlg.KillTimer(IDT_MUTE_END)); // still watching G2's end
    m_now += 1h;
    m_dlg.SendMessage(WM_TIMER, IDT_MUTE_END, 0);
    EXPECT_EQ(Marked(), "");
    EXPECT_FALSE(m_dlg.KillTimer(IDT_MUTE_END)); // nothing left to end

    // Only "always": nothing to watch.
    UseMuteLines("G1=always\r\n");
    m_dlg.Rebuild();
    EXPECT_FALSE(m_dlg.KillTimer(IDT_MUTE_END));
}

} // namespace
