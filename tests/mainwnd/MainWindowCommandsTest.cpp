// The main window's commands: the two menus, opening, removing and starting a game, the boxes,
// logout, and the ways the window does and does not end. Message boxes are answered through the
// window's seam; PBEM.data lives in a temporary installation.
#include "MessengerTest.h"

#include "install/InstallFolder.h"
#include "install/ProfilePlacement.h"
#include "notify/FakeTray.h"
#include "notify/GeneralPopup3.h"
#include "pbem/StoreTransaction.h"
#include "support/FileSizeLimit.h"
#include "support/GuiTest.h"
#include "support/InstallFolderScope.h"
#include "support/TempDir.h"
#include "support/UnwritableFile.h"

#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <thread>
#include <vector>

namespace
{

using namespace std::chrono_literals;

struct SBox
{
    int nKind; // the kind's number
    std::wstring strTitle;
    std::wstring strText;
    bool bOkCancel;
};

const std::wstring kBusyText = L"The game list is in use by another program (probably the game), "
                               L"so nothing was changed.\nPlease try again in a moment.";

class MainWindowCommandsTest : public MessengerTest
{
protected:
    void TearDown() override
    {
        // The bundled installation again for the images of the next test.
        m_installFolder.reset();
        Pump();
    }

    // Boxes are recorded and answered with nAnswer.
    void Answer(INT_PTR nAnswer)
    {
        m_dlg.m_fnMessageBox = [this, nAnswer](EWarningKind eKind, const std::wstring& strTitle,
                                               const std::wstring& strText, bool bOkCancel)
        {
            m_boxes.push_back({static_cast<int>(eKind), strTitle, strText, bOkCancel});
            return nAnswer;
        };
    }

    // From here on the installation is a temporary one holding PBEM.data with the entries (and
    // the account) of the running store.
    void UseInstallWithGameList()
    {
        m_installFolder.emplace(m_install.WidePath());
        m_install.Write("PBEM/.keep", "");
        const CPBEMGameStore& running = m_manager.m_store;
        ASSERT_EQ(RunStoreTransaction(
                      [&](CPBEMGameStore& file)
                      {
                          file.Clear();
                          file.SetAccount(running.m_strUsername, running.m_strPassword);
                          for (const auto& pGame : running.m_listGames)
                          {
                              file.m_listGames.push_back(std::make_unique<CPBEMGameState>());
                              file.m_listGames.back()->m_strPlayerId = pGame->m_strPlayerId;
                          }
                      },
                      0ms),
                  ETransactionResult::Saved);
    }
    std::wstring DataPath() const { return m_install.WidePath() + L"/PBEM/PBEM.data"; }
    void LoadFile(CPBEMGameStore& file) const
    {
        file.SetFilePath(DataPath());
        ASSERT_TRUE(LoadStoreWaiting(file, 0ms));
    }

    CTempDir m_install;
    // Set once the window is open: it took its images from the bundled installation.
    std::optional<CInstallFolderScope> m_installFolder;
    std::vector<SBox> m_boxes;
};

TEST_F(MainWindowCommandsTest, MainMenuOpensUnderItsButtonWithEveryEntry)
{
    const struct
    {
        const char* pszCase;
        std::vector<std::wstring> games;
        std::vector<std::wstring> texts; // "-" a separator
        std::vector<std::wstring> keys;  // of the items after the separator
    } cases[] = {
        {"no games", {}, {L"Main Menu", L"Preferences"}, {}},
        {"games and a shared entry",
         {L"G1-P02", L"G2-P00"},
         {L"Main Menu", L"Preferences", L"-", L"Game: G1", L"Game: G2"},
         {L"G1-P02", L"G2-P00"}},
    };
    Open();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        m_manager.m_store.Clear();
        for (const std::wstring& strPlayerId : c.games)
            AddGame(strPlayerId);
        Command(IDC_MAIN_MENU);
        CGeneralPopup3* pMenu = MenuUnder(m_dlg.m_btnMainMenu);
        ASSERT_NE(pMenu, nullptr);
        CRect rcButton;
        m_dlg.m_btnMainMenu.GetWindowRect(&rcButton);
        CRect rcMenu;
        pMenu->GetWindowRect(&rcMenu);
        EXPECT_EQ(rcMenu.TopLeft(), CPoint(rcButton.left, rcButton.bottom - 1));
        EXPECT_EQ(pMenu->m_nTextIndent, 10);
        std::vector<std::wstring> texts;
        std::vector<std::wstring> keys;
        for (const auto& pItem : pMenu->m_listItems)
        {
            texts.push_back(pItem->m_bSeparator ? L"-" : pItem->m_strText);
            if (pItem->m_nValue == 3)
                keys.push_back(pItem->m_strKey);
        }
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ(keys, c.keys);
        pMenu->DestroyWindow();
        Pump();
    }
}

TEST_F(MainWindowCommandsTest, MenuChoicesAndTheBackButtonSwitchTheView)
{
    AddGame(L"G1-P02");
    AddGame(L"G2-P00");
    Open();
    Choose(IDC_MAIN_MENU, m_dlg.m_btnMainMenu, L"Preferences");
    EXPECT_EQ(m_dlg.m_eView, EView::Preferences);
    Command(IDC_BACK);
    EXPECT_EQ(m_dlg.m_eView, EView::GameList);
    Choose(IDC_MAIN_MENU, m_dlg.m_btnMainMenu, L"Game: G2");
    EXPECT_EQ(m_dlg.m_eView, EView::Game);
    EXPECT_EQ(m_dlg.m_strCurrentGame, L"G2-P00");
    Choose(IDC_MAIN_MENU, m_dlg.m_btnMainMenu, L"Main Menu");
    EXPECT_EQ(m_dlg.m_eView, EView::GameList);
}

// The back button's arrow goes as it comes: on screen, not only in the button's image list.
TEST_F(MainWindowCommandsTest, BackArrowShowsOnlyOutsideTheGameList)
{
    Open();
    const COLORREF kFace = RGB(215, 215, 215);
    for (const EView eView : {EView::Preferences, EView::GameList, EView::Game, EView::GameList})
    {
        SCOPED_TRACE(static_cast<int>(eView));
        m_dlg.SwitchView(eView);
        Pump();
        CBitmap shot;
        ASSERT_TRUE(m_dlg.m_btnBack.GrabClientImage(shot));
        EXPECT_EQ(InkBox(shot, kFace).IsRectEmpty(), eView == EView::GameList);
    }
}

TEST_F(MainWindowCommandsTest, EveryGameRowOpensItsGame)
{
    // Counting ids up from 9000 for ever, row 58,626 would have 67,626, which a command carries
    // as 2090: quit.
    const int nGames = 58627;
    for (int i = 0; i < nGames; ++i)
        AddGame(L"G" + std::to_wstring(i) + L"-P01");
    Open();
    for (int i : {102, 1000, 58626})
    {
        SCOPED_TRACE(i);
        m_dlg.SwitchView(EView::GameList);
        m_dlg.m_wndList.ScrollBy(0, 1 + 25 * i - m_dlg.m_wndList.GetScrollY());
        const std::wstring strKey = L"G" + std::to_wstring(i) + L"-P01";
        const CVelButton* pRow = nullptr;
        for (const auto& pCandidate : m_dlg.m_listRows)
        {
            if (pCandidate->m_strKey == strKey)
                pRow = pCandidate.get();
        }
        ASSERT_NE(pRow, nullptr);
        // As the row's click arrives: through the list.
        const UINT nID = static_cast<UINT>(pRow->GetDlgCtrlID());
        m_dlg.m_wndList.SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED),
                                    reinterpret_cast<LPARAM>(pRow->GetSafeHwnd()));
        Pump();
        ASSERT_NE(m_dlg.GetSafeHwnd(), nullptr);
        EXPECT_EQ(m_dlg.m_eView, EView::Game);
        EXPECT_EQ(m_dlg.m_strCurrentGame, strKey);
    }
}

TEST_F(MainWindowCommandsTest, HelpAndCredentialsShowInformationBoxes)
{
    AddGame(L"G1-P02").m_strPassword = L"secret";
    Open();
    Answer(IDOK);
    Command(IDC_HELP_ROW);
    OpenGameView(L"G1-P02");
    Choose(IDC_GAME_OPTIONS, m_dlg.m_btnOptions, L"Get Username/Password");
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[0].nKind, 1);
    EXPECT_EQ(m_boxes[0].strTitle, L"What is this application?");
    EXPECT_EQ(m_boxes[0].strText.rfind(L"The Messenger Application is used", 0), 0u);
    EXPECT_FALSE(m_boxes[0].bOkCancel);
    EXPECT_EQ(m_boxes[1].nKind, 1);
    EXPECT_EQ(m_boxes[1].strTitle, L"Information");
    EXPECT_EQ(m_boxes[1].strText, L"PlayerId: G1-P02\nPassword: secret");
    EXPECT_FALSE(m_boxes[1].bOkCancel);
}

TEST_F(MainWindowCommandsTest, RemoveGameAsksAndChangesFileAndListOnlyWhenConfirmed)
{
    const struct
    {
        const char* pszCase;
        INT_PTR nAnswer;
        bool bRemoved;
    } cases[] = {
        {"cancelled", IDCANCEL, false},
        {"confirmed", IDOK, true},
    };
    Open();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        m_boxes.clear();
        m_manager.m_store.Clear();
        AddGame(L"G1-P02").m_strPassword = L"pw";
        AddGame(L"G2-P01");
        UseInstallWithGameList();
        OpenGameView(L"G1-P02");
        Answer(c.nAnswer);

        Choose(IDC_GAME_OPTIONS, m_dlg.m_btnOptions, L"Remove Game");

        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].nKind, 0);
        EXPECT_EQ(m_boxes[0].strTitle, L"Warning");
        EXPECT_NE(m_boxes[0].strText.find(L"\nPlayerId: G1-P02\nPassword: pw"), std::wstring::npos);
        EXPECT_TRUE(m_boxes[0].bOkCancel);
        EXPECT_EQ(m_manager.m_store.FindGame(L"G1-P02") == nullptr, c.bRemoved);
        EXPECT_EQ(m_dlg.m_eView, c.bRemoved ? EView::GameList : EView::Game);
        CPBEMGameStore file;
        LoadFile(file);
        EXPECT_EQ(file.FindGame(L"G1-P02") == nullptr, c.bRemoved);
        EXPECT_NE(file.FindGame(L"G2-P01"), nullptr);
    }
}

// While another program holds PBEM.data the change waits 200 ms at a time for up to 5 s; a file
// still held changes nothing, not even the running list, and says so.
TEST_F(MainWindowCommandsTest, RemoveGameAndLogoutWaitForTheHeldFileThenGiveUp)
{
    const struct
    {
        const char* pszCase;
        bool bLogout;
        int nReleaseAtPause; // 0: never
    } cases[] = {
        {"remove, held throughout", false, 0},
        {"remove, let go while waiting", false, 3},
        {"logout, held throughout", true, 0},
        {"logout, let go while waiting", true, 3},
    };
    AddGame(L"G1-P02");
    Open();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        m_boxes.clear();
        m_manager.m_store.Clear();
        AddGame(L"G1-P02");
        m_manager.m_store.SetAccount(L"bob", L"pw");
        UseInstallWithGameList();
        OpenGameView(L"G1-P02");
        Answer(IDOK);

        auto pHolder = std::make_unique<CPBEMGameStore>();
        pHolder->SetFilePath(DataPath());
        ASSERT_TRUE(pHolder->OpenLocked());
        std::vector<std::chrono::milliseconds> pauses;
        m_dlg.m_fnPause = [&](std::chrono::milliseconds pause)
        {
            pauses.push_back(pause);
            if (static_cast<int>(pauses.size()) == c.nReleaseAtPause)
                pHolder.reset();
        };

        if (c.bLogout)
            Command(8306);
        else
            Choose(IDC_GAME_OPTIONS, m_dlg.m_btnOptions, L"Remove Game");
        pHolder.reset();

        const bool bChanged = c.nReleaseAtPause != 0;
        EXPECT_EQ(pauses, std::vector<std::chrono::milliseconds>(bChanged ? 3 : 25, 200ms));
        ASSERT_EQ(m_boxes.size(), bChanged ? 1u : 2u);
        if (!bChanged)
        {
            EXPECT_EQ(m_boxes[1].nKind, 0);
            EXPECT_EQ(m_boxes[1].strTitle, L"Warning");
            EXPECT_EQ(m_boxes[1].strText, kBusyText);
            EXPECT_FALSE(m_boxes[1].bOkCancel);
        }
        CPBEMGameStore file;
        LoadFile(file);
        if (c.bLogout)
        {
            EXPECT_EQ(m_manager.m_store.m_strUsername, bChanged ? L"" : L"bob");
            EXPECT_EQ(file.m_strUsername, bChanged ? L"" : L"bob");
        }
        else
        {
            EXPECT_EQ(m_manager.m_store.FindGame(L"G1-P02") != nullptr, !bChanged);
            EXPECT_EQ(file.FindGame(L"G1-P02") != nullptr, !bChanged);
            EXPECT_EQ(m_dlg.m_eView, bChanged ? EView::GameList : EView::Game);
        }
        m_dlg.m_fnPause = nullptr;
    }
}

// A game list that cannot be read whole or written keeps the change out of the file, so the
// window keeps it out too (it would come back at the next start) and says why.
TEST_F(MainWindowCommandsTest, RemoveGameAndLogoutThatCannotBeSavedSaySoAndChangeNothing)
{
    enum class EFault
    {
        ReadOnly,
        Damaged,
        DiskFull,
    };
    const struct
    {
        const char* pszCase;
        EFault eFault;
        const wchar_t* pszReason; // a part of the warning's text
    } faults[] = {
        {"read-only", EFault::ReadOnly, L"may only be read"},
        {"damaged", EFault::Damaged, L"could not be read completely"},
        {"disk full", EFault::DiskFull, L"could not be opened or written"},
    };
    AddGame(L"G1-P02");
    Open();
    for (const auto& fault : faults)
    {
        for (const bool bLogout : {false, true})
        {
            SCOPED_TRACE(std::string(fault.pszCase) + (bLogout ? ", logout" : ", remove"));
            m_boxes.clear();
            m_manager.m_store.Clear();
            AddGame(L"G1-P02");
            m_manager.m_store.SetAccount(L"bob", L"pw");
            std::filesystem::remove(m_install.File("PBEM/PBEM.data")); // the damaged one
            UseInstallWithGameList();
            OpenGameView(L"G1-P02");
            Answer(IDOK);
            const std::string dataFile = m_install.File("PBEM/PBEM.data");
            if (fault.eFault == EFault::Damaged)
            {
                // A record cut short: what follows it cannot be known.
                const auto nSize = static_cast<off_t>(std::filesystem::file_size(dataFile));
                ASSERT_EQ(::truncate(dataFile.c_str(), nSize - 1), 0);
            }
            const std::string before = m_install.Read("PBEM/PBEM.data");
            {
                std::unique_ptr<CUnwritableFile> pUnwritable;
                std::unique_ptr<CFileSizeLimit> pLimit;
                if (fault.eFault == EFault::ReadOnly)
                {
                    pUnwritable = std::make_unique<CUnwritableFile>(dataFile);
                    if (!pUnwritable->Ok())
                    {
                        std::cout << "no way to make a file unwritable here: case skipped\n";
                        continue;
                    }
                }
                if (fault.eFault == EFault::DiskFull)
                    pLimit = std::make_unique<CFileSizeLimit>(0);

                if (bLogout)
                    Command(8306);
                else
                    Choose(IDC_GAME_OPTIONS, m_dlg.m_btnOptions, L"Remove Game");
            }

            EXPECT_EQ(m_install.Read("PBEM/PBEM.data"), before);
            ASSERT_EQ(m_boxes.size(), 2u);
            EXPECT_EQ(m_boxes[1].nKind, 0);
            EXPECT_EQ(m_boxes[1].strTitle, L"Warning");
            EXPECT_NE(m_boxes[1].strText.find(fault.pszReason), std::wstring::npos)
                << testing::PrintToString(m_boxes[1].strText);
            EXPECT_FALSE(m_boxes[1].bOkCancel);
            EXPECT_EQ(m_manager.m_store.m_strUsername, L"bob");
            EXPECT_NE(m_manager.m_store.FindGame(L"G1-P02"), nullptr);
            EXPECT_EQ(m_dlg.m_eView, EView::Game);
        }
    }
}

TEST_F(MainWindowCommandsTest, LogoutAsksWhenLoggedInAndEmptiesTheAccountWhenConfirmed)
{
    const struct
    {
        const char* pszCase;
        std::wstring strUsername;
        INT_PTR nAnswer;
        size_t nBoxes;
        std::wstring strAfter;
    } cases[] = {
        {"not logged in", L"", IDOK, 0, L""},
        {"cancelled", L"bob", IDCANCEL, 1, L"bob"},
        {"confirmed", L"bob", IDOK, 1, L""},
    };
    Open();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        m_boxes.clear();
        m_manager.m_store.SetAccount(c.strUsername, c.strUsername.empty() ? L"" : L"pw");
        UseInstallWithGameList();
        Answer(c.nAnswer);
        Command(8306);
        ASSERT_EQ(m_boxes.size(), c.nBoxes);
        if (c.nBoxes == 1)
        {
            EXPECT_EQ(m_boxes[0].nKind, 0);
            EXPECT_EQ(m_boxes[0].strText, L"Do you want to Logout?");
            EXPECT_TRUE(m_boxes[0].bOkCancel);
        }
        CPBEMGameStore file;
        LoadFile(file);
        EXPECT_EQ(m_manager.m_store.m_strUsername, c.strAfter);
        EXPECT_EQ(file.m_strUsername, c.strAfter);
        EXPECT_EQ(file.m_strPassword, c.strAfter.empty() ? L"" : L"pw");
    }
}

TEST_F(MainWindowCommandsTest, EnterGameStartsTheGameOfTheViewEachClick)
{
    // Appends its arguments, one line each, to a file beside itself.
    m_install.Write("Zorvex.exe", "#!/bin/sh\n"
                                  "echo \"$*\" >> \"$(dirname \"$0\")/ran.txt\"\n");
    ASSERT_EQ(::chmod(m_install.File("Zorvex.exe").c_str(), 0755), 0);
    AddGame(L"G1-P02", L"I7");
    Open();
    m_installFolder.emplace(m_install.WidePath());

    Command(IDC_ENTER_GAME); // no game shown: nothing
    OpenGameView(L"G1-P02");
    Command(IDC_ENTER_GAME);
    Command(IDC_ENTER_GAME);
    const std::string expected = "-PBEM I7\n-PBEM I7\n";
    for (int i = 0; i < 500 && m_install.Read("ran.txt") != expected; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(m_install.Read("ran.txt"), expected);
}

// Enter, OK and Cancel leave the running window alone; closing it saves its place and ends it.
TEST_F(MainWindowCommandsTest, OnlyClosingEndsTheWindowAndSavesItsPlace)
{
    m_install.Write("Profile.ini", "");
    m_dlg.SetInitialRect(CRect(100, 100, 320, 320));
    bool bRunningAfterKeys = false;
    CRect rcBeforeClose;
    const auto closeWindow = [&]
    {
        bRunningAfterKeys = m_dlg.IsModalRunning() != FALSE && m_dlg.IsWindowVisible();
        m_dlg.GetWindowRect(&rcBeforeClose);
        m_dlg.SendMessage(WM_CLOSE);
    };
    const auto pressKeys = [&]
    {
        m_installFolder.emplace(m_install.WidePath());
        QTest::keyClick(WindowOf(m_dlg), Qt::Key_Return);
        QTest::keyClick(WindowOf(m_dlg), Qt::Key_Escape);
        Command(IDOK);
        Command(IDCANCEL);
        QTimer::singleShot(50, closeWindow);
    };
    QTimer::singleShot(50, pressKeys);
    EXPECT_EQ(m_dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(bRunningAfterKeys);
    const std::optional<SPlacement> saved = ReadProfilePlacement(4000, 4000);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(*saved, (SPlacement{rcBeforeClose.left, rcBeforeClose.top, rcBeforeClose.Width(),
                                  rcBeforeClose.Height()}));
}

// The main window on a recorded tray icon.
class CTrayTestDlg : public CZorvexMessengerDlg
{
public:
    explicit CTrayTestDlg(CFakeTrayState& state)
        : CZorvexMessengerDlg(std::make_unique<CFakeTray>(state))
    {
    }

protected:
    void CreateGameFolder() override {}
    void LoadGameList() override {}
    void StartPolling() override {}
};

// The minimise button hides in the tray, then a double click on the icon alternates; event rows
// and 1101 switch the icon's picture.
TEST_F(MainWindowCommandsTest, TrayIconHidesShowsAndChangesPicture)
{
    CFakeTrayState state;
    state.bReportsDoubleClicks = true;
    CTrayTestDlg dlg(state);
    dlg.SetInitialRect(CRect(100, 100, 320, 320));
    ASSERT_TRUE(dlg.Create(nullptr));
    dlg.ShowWindow(SW_SHOW);
    dlg.m_trayIcon.m_pCommandTarget = &dlg;

    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SKIN_MINIMIZE, BN_CLICKED), 0);
    EXPECT_FALSE(dlg.IsWindowVisible());
    for (const bool bVisible : {true, false, true})
    {
        SCOPED_TRACE(bVisible);
        ASSERT_TRUE(state.handler);
        state.handler(ETrayActivation::DoubleClick);
        Pump();
        EXPECT_EQ(dlg.IsWindowVisible() != FALSE, bVisible);
        EXPECT_EQ(dlg.m_trayIcon.m_nDefaultCommand, bVisible ? 991u : 2000u);
    }

    const struct
    {
        UINT nCommand;
        unsigned int nIcon;
    } icons[] = {{1100, 134}, {1100, 134}, {1101, 128}};
    for (const auto& c : icons)
    {
        SCOPED_TRACE(c.nCommand);
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(c.nCommand, BN_CLICKED), 0);
        EXPECT_TRUE(state.ShowsBundledIcon(c.nIcon));
    }
}

} // namespace
