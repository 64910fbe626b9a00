// CZorvexMessengerDlg: construction, start-up, images, controls and the window's end. Layout is
// in MainWndLayout.cpp, the views and rows in MainWndViews.cpp and MainWndRows.cpp.
#include "mainwnd/ZorvexMessengerDlg.h"

#include "base/Paths.h"
#include "install/Autostart.h"
#include "install/InstallFolder.h"
#include "install/ProfilePlacement.h"
#include "pbem/PBEMMessageManager.h"
#include "platform/System.h"
#include "res/TextIds.h"
#include "ui/TextMeasure.h"

#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

CMaskedBitmap* g_pbmpCheck1 = nullptr;
CMaskedBitmap* g_pbmpCheck2 = nullptr;

namespace
{

constexpr int kInitialWidth = 220;
constexpr int kInitialHeight = 220;
constexpr int kMinWidth = 220;
constexpr int kMinHeight = 200;
constexpr COLORREF kGrey = RGB(215, 215, 215);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

void MakeLine(CVelStatic2& line, const CRect& rc, bool bVisible, CWnd* pParent)
{
    line.m_crFace = kGrey;
    line.Create(L"", WS_CHILD | (bVisible ? WS_VISIBLE : 0), rc, pParent);
}

// A bottom button of the game view: white, its text centred.
void MakeBottomButton(CVelButton& button, const std::wstring& strText, const CRect& rc, UINT nID,
                      CWnd* pParent)
{
    button.Create(strText.c_str(), WS_CHILD, rc, pParent, nID);
    button.m_crFace = kWhite;
    button.m_eTextAlign = ETextAlign::Center;
    button.m_nTextX = -1;
    button.m_nTextY = -1;
    button.Invalidate();
}

} // namespace

CZorvexMessengerDlg::CZorvexMessengerDlg(CWnd* pParentWnd)
    : CZorvexMessengerDlg(nullptr, pParentWnd)
{
}

CZorvexMessengerDlg::CZorvexMessengerDlg(std::unique_ptr<ITrayIconBackend> pTrayBackend,
                                         CWnd* pParentWnd)
    : CCustomDialog(IDD_CUSTOM_DIALOG, pParentWnd), m_trayIcon(std::move(pTrayBackend))
{
    m_strAutostartFile = AutostartFilePath();
    g_pbmpCheck1 = &m_bmpCheck1;
    g_pbmpCheck2 = &m_bmpCheck2;
    SetTextMeasureWindow(this);
    m_wndList.m_fnViewChanged = [this] { ShowRowsNearView(); };
}

void CZorvexMessengerDlg::EndDownloadToThis()
{
    // A download still running would tell this object when it ends.
    if (g_pMessageManager != nullptr && g_pMessageManager->m_pDownload != nullptr &&
        g_pMessageManager->m_pDownload->Observer() == this)
    {
        g_pMessageManager->Shutdown();
    }
}

CZorvexMessengerDlg::~CZorvexMessengerDlg()
{
    EndDownloadToThis();
    // The controls show this object's images and the rows are children of the list: every
    // window goes while all of it is still here, then the rows themselves.
    if (GetSafeHwnd() != nullptr)
        DestroyWindow();
    m_listRows.DeleteNow();
    m_listAllRows.clear();
    if (GetTextMeasureWindow() == this)
        SetTextMeasureWindow(nullptr);
    if (g_pbmpCheck1 == &m_bmpCheck1)
        g_pbmpCheck1 = nullptr;
    if (g_pbmpCheck2 == &m_bmpCheck2)
        g_pbmpCheck2 = nullptr;
}

BOOL CZorvexMessengerDlg::OnInitDialog()
{
    m_bFullTopStrip = false;
    CCustomDialog::OnInitDialog();
    m_bResizable = true;

    ShowTitleButton(IDC_SKIN_CLOSE, true);
    ShowTitleButton(IDC_SKIN_MINIMIZE, true);

    SetWindowText(Text(IDS_ZORVEX_MESSENGER));
    m_nMinWidth = kMinWidth;
    m_nMinHeight = kMinHeight;
    SetWindowPos(nullptr, 0, 0, kInitialWidth, kInitialHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateGameFolder();

    // The saved place counts on any screen, not only the primary one; the saved size is kept
    // within what the screens together have room for.
    std::vector<SScreenRect> screens;
    std::vector<SScreenRect> workAreas;
    for (const CRect& rc : GetScreenRects())
    {
        screens.push_back(SScreenRect{rc.left, rc.top, rc.right, rc.bottom});
        MONITORINFO mi{sizeof(MONITORINFO), {}, {}, 0};
        const CRect rcWork =
            GetMonitorInfo(MonitorFromPoint(rc.CenterPoint(), MONITOR_DEFAULTTONULL), &mi)
                ? CRect(mi.rcWork)
                : rc;
        workAreas.push_back(SScreenRect{rcWork.left, rcWork.top, rcWork.right, rcWork.bottom});
    }
    if (const std::optional<SPlacement> placement = ReadProfilePlacement(screens, workAreas))
    {
        SetWindowPos(nullptr, placement->x, placement->y, placement->cx, placement->cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_muteList.Load(InstallPath(PATH_PROFILE));
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    // One icon for every window of the program: the task bar's and the window manager's.
    AfxSetAppIcon(TrayIconImages(IDR_MAINFRAME));

    LoadImages();
    CreateControls(rcWindow.Width(), rcWindow.Height());

    m_trayIcon.SetMenuItems([this] { return TrayMenuItems(); });
    // Without the icon the window stays open but shows and polls nothing.
    if (!m_trayIcon.Create(Text(IDS_ZORVEX).c_str(), IDR_MAINFRAME, IDI_TRAY, FALSE, L"", L"",
                           NIIF_NONE, 20))
    {
        return -1;
    }
    // The list and the events stored by an earlier run are read before the window shows, so that
    // its first frame is complete.
    LoadGameList();
    TakeStoredEvents();
    SwitchView(EView::GameList);
    Layout();
    ApplyStartHidden();
    m_bStartupWorkPending = true;
    SetTimer(IDT_STARTUP_WORK, STARTUP_WORK_FALLBACK_MS);
    return TRUE;
}

void CZorvexMessengerDlg::OnPaint()
{
    CCustomDialog::OnPaint();
    if (m_bStartupWorkPending)
        PostMessage(WM_STARTUP_WORK, 0, 0);
}

void CZorvexMessengerDlg::RunStartupWork()
{
    if (!m_bStartupWorkPending)
        return;
    m_bStartupWorkPending = false;
    KillTimer(IDT_STARTUP_WORK);
    // Tips are only wanted once the pointer can reach the window; their texts were registered
    // with the object already.
    m_wndTooltip.CreateTooltipWindow(this);
    StartPolling();
}

void CZorvexMessengerDlg::CreateGameFolder()
{
    // An existing folder is fine, and a folder that cannot be made shows later as a store that
    // cannot be opened.
    std::error_code error;
    std::filesystem::create_directory(ToNativePath(InstallPath(PATH_PBEM_FOLDER)), error);
}

void CZorvexMessengerDlg::LoadGameList()
{
    if (g_pMessageManager == nullptr)
        return;
    g_pMessageManager->ResetAll();
    g_pMessageManager->LoadAtStartup();
    g_pMessageManager->ScanEventFiles();
}

void CZorvexMessengerDlg::TakeStoredEvents()
{
    if (g_pMessageManager == nullptr)
        return;
    const auto tNow = Now();
    const SNewEventsAnnouncement stored = g_pMessageManager->TakeNewEvents(
        [&](std::wstring_view strGameId) { return m_muteList.IsMuted(strGameId, tNow); });
    if (stored.nCount == 0)
        return;
    // Announced with the first check's news, in one balloon, as if that check had brought them.
    HoldNews(stored);
    m_trayIcon.SetIconFromResource(IDI_NEW_EVENTS);
}

void CZorvexMessengerDlg::LoadImages()
{
    // A file that fails is reported by the loader and leaves a black square: start-up goes on.
    m_bmpCheck1.Load(L"Data/Skins/Default/Check1.bmp");
    m_bmpCheck2.Load(L"Data/Skins/Default/Check2.bmp");
    m_bmpAdd.Load(L"Data/Images/Add.bmp");
    m_bmpBack.Load(L"Data/Images/Back-Small.bmp");
    m_bmpGlobe.Load(L"Data/Images/Globe13x13.bmp");
    m_bmpFlagNeutral.Load(L"Data/Images/FlagNeutral.png", kMagenta);
    m_bmpYield.Load(L"Data/Images/UI-Yield.png", kMagenta);
    m_bmpMessage.Load(L"Data/Images/Message.bmp");
    m_bmpChat.Load(L"Data/Images/Chat.bmp");
    m_bmpMail.Load(L"Data/Images/Mail-17x11.png", kWhite);
    m_bmpTarget.Load(L"Data/Images/Target2.bmp");
    m_bmpHelp.Load(L"Data/Images/Help.bmp");
    m_bmpDropdown.Load(L"Data/Images/Dropdown.bmp");
    m_bmpClock.Load(L"Data/Images/Clock.bmp");
    m_bmpUserSmall.Load(L"Data/Images/User-small.png", kWhite);
}

void CZorvexMessengerDlg::CreateControls(int W, int H)
{
    m_wndContent.Create(10, 28, W - 20, H - 40, this);
    m_wndList.Create(2, 54, 150, 59, &m_wndContent);
    m_wndList.SetContentSize(100, 100);

    m_btnBack.Create(L"", WS_CHILD | WS_VISIBLE, CRect(2, 2, 25, 27), &m_wndContent, IDC_BACK);
    m_btnBack.m_crFace = kGrey;
    m_btnBack.Invalidate();

    m_btnMainMenu.Create(Text(IDS_MAIN_MENU).c_str(), WS_CHILD | WS_VISIBLE, CRect(25, 2, 150, 27),
                         &m_wndContent, IDC_MAIN_MENU);
    m_btnMainMenu.m_crFace = kGrey;
    m_btnMainMenu.m_nTextX = 4;
    m_btnMainMenu.AddImage(&m_bmpDropdown, 100, 11, false);

    m_stcGameHeader.Create(L"Turn 34", WS_CHILD | WS_VISIBLE, CRect(2, 27, 150, 52), &m_wndContent);
    m_stcGameHeader.m_crFace = kWhite;
    m_stcGameHeader.m_nTextX = 41;
    m_stcGameHeader.AddImage(&m_bmpClock, 27, 7, false);

    MakeLine(m_stcLineTop, CRect(2, 52, 150, 53), true, &m_wndContent);
    MakeLine(m_stcLineBottom, CRect(2, 60, 122, 61), false, &m_wndContent);
    MakeBottomButton(m_btnOptions, Text(IDS_OPTIONS), CRect(2, 60, 92, 85), IDC_GAME_OPTIONS,
                     &m_wndContent);
    MakeBottomButton(m_btnEnterGame, Text(IDS_ENTER_GAME), CRect(92, 60, 182, 85), IDC_ENTER_GAME,
                     &m_wndContent);
}

void CZorvexMessengerDlg::OnSize(UINT nType, int cx, int cy)
{
    CCustomDialog::OnSize(nType, cx, cy);
    Layout();
}

void CZorvexMessengerDlg::OnTransferDone(CVelCurlTransfer*)
{
    PostMessage(WM_COMMAND, IDC_DOWNLOAD_DONE, 0);
}
