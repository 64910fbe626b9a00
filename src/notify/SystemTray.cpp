#include "notify/SystemTray.h"

#include "base/Paths.h"
#include "install/InstallFolder.h"
#include "platform/System.h"
#include "res/PngDecoder.h"
#include "res/TextIds.h"

#include <cstdint>
#include <string>

namespace
{

// The label of the desktop notification's action that opens the window on its news.
constexpr STextId IDS_OPEN_NOTIFICATION{90013, L"Open"};

// The sizes of the bundled icon pictures; the tray host picks one.
constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64};

UINT TaskbarCreatedMessage()
{
    static const UINT s_uMessage = RegisterWindowMessage(L"TaskbarCreated");
    return s_uMessage;
}

// The file's picture; an invalid one when the file is missing or does not decode.
SIconImage ReadIconPicture(const std::wstring& strPath)
{
    SIconImage icon;
    if (strPath.empty() || !FileExists(strPath))
        return icon;
    const CImageData image = DecodePngFile(strPath);
    if (image.IsEmpty())
        return icon;
    icon.nWidth = image.m_nWidth;
    icon.nHeight = image.m_nHeight;
    icon.pixels.reserve(image.GetByteCount() / 4);
    for (int y = 0; y < image.m_nHeight; ++y)
    {
        for (int x = 0; x < image.m_nWidth; ++x)
        {
            const std::uint8_t* p = image.GetPixel(x, y);
            icon.pixels.push_back(std::uint32_t{p[3]} << 24 | std::uint32_t{p[0]} << 16 |
                                  std::uint32_t{p[1]} << 8 | p[2]);
        }
    }
    return icon;
}

ETrayMessageIcon ToMessageIcon(DWORD dwInfoFlags)
{
    switch (dwInfoFlags & 0x0F)
    {
    case NIIF_INFO:
        return ETrayMessageIcon::Information;
    case NIIF_WARNING:
        return ETrayMessageIcon::Warning;
    case NIIF_ERROR:
        return ETrayMessageIcon::Critical;
    default:
        return ETrayMessageIcon::None;
    }
}

} // namespace

std::wstring CutToUtf16Units(const std::wstring& strText, size_t nMaxUnits)
{
    size_t nUnits = 0;
    size_t nChars = 0;
    for (wchar_t ch : strText)
    {
        const size_t nNeeded = static_cast<std::uint32_t>(ch) > 0xFFFF ? 2 : 1;
        if (nUnits + nNeeded > nMaxUnits)
            break;
        nUnits += nNeeded;
        ++nChars;
    }
    return strText.substr(0, nChars);
}

std::vector<STrayIconPicture> LoadTrayIconPictures(UINT nIconResourceID)
{
    std::vector<STrayIconPicture> pictures;
    for (int nSize : kIconSizes)
    {
        const std::wstring strRelative = L"Data/Icons/icon" + std::to_wstring(nIconResourceID) +
                                         L"-" + std::to_wstring(nSize) + L".png";
        for (const std::wstring& strPath : ResourceCandidates(strRelative))
        {
            SIconImage image = ReadIconPicture(strPath);
            if (image.IsValid())
            {
                pictures.push_back({strPath, std::move(image)});
                break;
            }
        }
    }
    return pictures;
}

std::vector<SIconImage> TrayIconImages(UINT nIconResourceID)
{
    std::vector<SIconImage> images;
    for (STrayIconPicture& picture : LoadTrayIconPictures(nIconResourceID))
        images.push_back(std::move(picture.image));
    return images;
}

CSystemTray::CSystemTray() = default;

CSystemTray::CSystemTray(std::unique_ptr<ITrayIconBackend> pBackend)
    : m_pBackend(std::move(pBackend))
{
}

CSystemTray::~CSystemTray()
{
    if (m_bUsable && !m_bIconRemoved && m_pBackend)
    {
        m_nid.uFlags = 0;
        m_pBackend->Hide();
        m_bIconHidden = m_bIconRemoved = true;
    }
    if (m_pBackend)
    {
        m_pBackend->SetActivationHandler(nullptr);
        m_pBackend->SetMessageClickHandler(nullptr);
        m_pBackend->SetAvailabilityHandler(nullptr);
        m_pBackend->SetMenuProvider(nullptr, nullptr);
    }
    if (s_pInstance == this)
        s_pInstance = nullptr;
    if (GetSafeHwnd())
        DestroyWindow();
}

BOOL CSystemTray::Create(LPCWSTR lpszTooltip, UINT nIconResourceID, UINT uID, BOOL bHidden,
                         LPCWSTR lpszBalloonText, LPCWSTR lpszBalloonTitle, DWORD dwBalloonIcon,
                         UINT uBalloonTimeoutSeconds)
{
    m_bUsable = true;
    if (!m_pBackend)
        m_pBackend = CreateTrayIconBackend();
    if (!CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, 0, 0, 0, 0, nullptr, 0))
    {
        m_bUsable = false;
        return FALSE;
    }
    if (!s_pInstance)
        s_pInstance = this;
    m_pBackend->SetActivationHandler([this](ETrayActivation reason) { OnActivated(reason); });
    m_pBackend->SetMessageClickHandler([this] { OnMessageClicked(); });
    ApplyMenuItems();

    m_nid = CTrayIconRecord{};
    m_nid.hWnd = GetSafeHwnd();
    m_nid.uID = uID;
    m_nid.nIconResourceID = nIconResourceID;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = WM_TRAYNOTIFY;
    m_nid.szTip = CutToUtf16Units(lpszTooltip ? lpszTooltip : L"", CTrayIconRecord::TIP_MAX);

    const bool bBalloon = m_bBalloons && lpszBalloonText;
    if (bBalloon)
    {
        m_nid.uFlags |= NIF_INFO;
        m_nid.szInfo = CutToUtf16Units(lpszBalloonText, CTrayIconRecord::INFO_MAX);
        m_nid.szInfoTitle = lpszBalloonTitle
                                ? CutToUtf16Units(lpszBalloonTitle, CTrayIconRecord::INFO_TITLE_MAX)
                                : std::wstring();
        m_nid.uTimeout = uBalloonTimeoutSeconds * 1000;
        m_nid.dwInfoFlags = dwBalloonIcon;
    }

    m_bIconHidden = bHidden;
    if (m_bBalloons && bHidden)
    {
        m_nid.uFlags = NIF_STATE;
        m_nid.dwState = m_nid.dwStateMask = NIS_HIDDEN;
    }
    m_nAddFlags = m_nid.uFlags;

    BOOL bResult = TRUE;
    if (!bHidden || m_bBalloons)
    {
        const bool bAdded = AddIcon();
        m_bIconRemoved = m_bIconHidden = m_bReAddPending = !bAdded;
        bResult = bAdded;
        // An empty text asks for no balloon.
        if (bAdded && bBalloon && !m_nid.szInfo.empty() && !(m_nid.dwState & NIS_HIDDEN))
            m_pBackend->ShowMessage(m_nid.szInfoTitle, m_nid.szInfo,
                                    ToMessageIcon(m_nid.dwInfoFlags),
                                    static_cast<int>(m_nid.uTimeout));
    }
    // Later changes must not repeat the balloon.
    if (bBalloon)
        m_nid.szInfo.clear();
    return bResult;
}

bool CSystemTray::AddIcon()
{
    // The platform keeps the icon while no tray host runs and places it when one starts, so
    // adding cannot fail here; the icon's pictures may be missing, which leaves it blank.
    m_pBackend->SetIcon(TrayIconImages(m_nid.nIconResourceID));
    m_pBackend->SetToolTip(m_nid.szTip);
    if ((m_nid.uFlags & NIF_STATE) && (m_nid.dwState & m_nid.dwStateMask & NIS_HIDDEN))
        m_pBackend->Hide();
    else
        m_pBackend->Show();
    return true;
}

BOOL CSystemTray::SetIconFromResource(UINT nIDResource)
{
    if (!m_bUsable || !m_pBackend)
        return FALSE;
    const std::vector<SIconImage> images = TrayIconImages(nIDResource);
    if (images.empty())
        return FALSE;
    m_nid.uFlags = NIF_ICON;
    // Set even while hidden, so that the icon shows the right picture when it comes back.
    if (!m_pBackend->SetIcon(images))
        return FALSE;
    m_nid.nIconResourceID = nIDResource;
    return TRUE;
}

BOOL CSystemTray::SetTooltipText(LPCWSTR lpszTooltip)
{
    if (!m_bUsable || !m_pBackend)
        return FALSE;
    m_nid.uFlags = NIF_TIP;
    m_nid.szTip = CutToUtf16Units(lpszTooltip ? lpszTooltip : L"", CTrayIconRecord::TIP_MAX);
    m_pBackend->SetToolTip(m_nid.szTip);
    return TRUE;
}

BOOL CSystemTray::ShowBalloon(LPCWSTR lpszText, LPCWSTR lpszTitle)
{
    if (!m_bBalloons || !m_bUsable || !m_pBackend)
        return FALSE;
    m_nid.uFlags = NIF_INFO;
    m_nid.szInfo = CutToUtf16Units(lpszText ? lpszText : L"", CTrayIconRecord::INFO_MAX);
    m_nid.szInfoTitle =
        lpszTitle ? CutToUtf16Units(lpszTitle, CTrayIconRecord::INFO_TITLE_MAX) : std::wstring();
    m_nid.dwInfoFlags = NIIF_INFO;
    m_nid.uTimeout = BALLOON_TIMEOUT_MS;
    bool bShown =
        m_pBackend->ShowMessage(m_nid.szInfoTitle, m_nid.szInfo, ETrayMessageIcon::Information,
                                static_cast<int>(m_nid.uTimeout));
    if (!bShown)
    {
        // Without a tray the news would otherwise reach nobody.
        const std::vector<STrayIconPicture> icon = LoadTrayIconPictures(NOTIFICATION_ICON_ID);
        SDesktopNotification notification;
        notification.strAppName = Text(IDS_ZORVEX_MESSENGER);
        notification.strTitle = m_nid.szInfoTitle;
        notification.strText = m_nid.szInfo;
        notification.strIconFile = icon.empty() ? std::string() : ToNativePath(icon.back().strPath);
        notification.strOpenLabel = Text(IDS_OPEN_NOTIFICATION);
        notification.nTimeoutMs = static_cast<int>(m_nid.uTimeout);
        bShown = m_pBackend->ShowNotification(notification);
    }
    m_nid.szInfo.clear();
    return bShown;
}

bool CSystemTray::IsShownInTray() const
{
    return m_bUsable && m_pBackend && !m_bIconHidden && !(m_nid.dwState & NIS_HIDDEN) &&
           m_pBackend->IsSystemTrayAvailable();
}

BOOL CSystemTray::SetDefaultCommand(UINT nID)
{
    if (nID == m_nDefaultCommand && !m_bDefaultIsPosition)
        return TRUE;
    m_nDefaultCommand = nID;
    m_bDefaultIsPosition = false;
    // There is no icon menu whose item could be marked as the default.
    return FALSE;
}

void CSystemTray::SetMenuItems(std::function<std::vector<STrayMenuItem>()> items)
{
    m_menuItems = std::move(items);
    if (GetSafeHwnd())
        ApplyMenuItems();
}

void CSystemTray::ApplyMenuItems()
{
    if (!m_pBackend)
        return;
    if (m_menuItems)
        m_pBackend->SetMenuProvider(m_menuItems,
                                    [this](unsigned int nID) { OnMenuItemChosen(nID); });
    else
        m_pBackend->SetMenuProvider(nullptr, nullptr);
}

void CSystemTray::OnMenuItemChosen(UINT nID)
{
    CWnd* pTarget = m_pCommandTarget ? m_pCommandTarget : AfxGetMainWnd();
    // Posted: the command may close the window while the menu is still winding down.
    if (pTarget && pTarget->GetSafeHwnd())
        pTarget->PostMessage(WM_COMMAND, nID, 0);
}

void CSystemTray::OnMessageClicked()
{
    CWnd* pTarget = m_pCommandTarget ? m_pCommandTarget : AfxGetMainWnd();
    // Posted, as the menu's commands: the owner may open a view or a box from it.
    if (pTarget && pTarget->GetSafeHwnd())
        pTarget->PostMessage(WM_TRAY_MESSAGE_CLICKED, 0, 0);
}

void CSystemTray::HideWindowToTray(CWnd* pWnd)
{
    if (!pWnd || !pWnd->GetSafeHwnd())
        return;
    // A hidden top-level window has no taskbar entry; it keeps running, timers included.
    pWnd->ShowWindow(SW_HIDE);
    if (s_pInstance)
        s_pInstance->SetWindowInTray(pWnd);
}

void CSystemTray::ShowWindowFromTray(CWnd* pWnd)
{
    if (!pWnd || !pWnd->GetSafeHwnd())
        return;
    if (s_pInstance && s_pInstance->m_pWndInTray == pWnd)
        s_pInstance->SetWindowInTray(nullptr);
    pWnd->ShowWindow(SW_SHOW);
    pWnd->RedrawWindow(nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
    pWnd->SetActiveWindow();
    pWnd->SetForegroundWindow();
}

void CSystemTray::FindTrayRect(LPRECT pRect)
{
    if (!pRect)
        return;
    long left = 0, top = 0, right = 0, bottom = 0;
    if (s_pInstance && s_pInstance->m_pBackend &&
        s_pInstance->m_pBackend->GetGeometry(left, top, right, bottom))
    {
        // Screen coordinates: they fit an int.
        *pRect = CRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                       static_cast<int>(bottom));
        return;
    }
    CRect rcWork;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &rcWork, 0);
    *pRect = rcWork;
    pRect->left = rcWork.right - 150;
    pRect->top = rcWork.bottom - 30;
}

LRESULT CSystemTray::OnTrayNotification(WPARAM wParam, LPARAM lParam)
{
    if (wParam != m_nid.uID)
        return 0;
    CWnd* pTarget = m_pCommandTarget ? m_pCommandTarget : AfxGetMainWnd();
    if (!pTarget)
        return 0;
    switch (LOWORD(lParam))
    {
    case WM_LBUTTONDBLCLK:
        pTarget->SetForegroundWindow();
        if (m_bDefaultIsPosition)
            return 0; // no icon menu to take the command from
        pTarget->PostMessage(WM_COMMAND, m_nDefaultCommand, 0);
        return 1;
    case WM_RBUTTONUP:
        return 0; // the host opens the icon's menu itself
    default:
        return 1;
    }
}

void CSystemTray::PrepareMenu(CMenu*) {}

void CSystemTray::OnActivated(ETrayActivation reason)
{
    if (!GetSafeHwnd())
        return;
    UINT uMouseMessage = 0;
    switch (reason)
    {
    case ETrayActivation::Trigger:
        // Hosts without double clicks activate once for "open"; on the others the click that
        // starts a double click must not count a second time.
        uMouseMessage = m_pBackend->HostReportsDoubleClicks() ? WM_LBUTTONUP : WM_LBUTTONDBLCLK;
        break;
    case ETrayActivation::DoubleClick:
        uMouseMessage = WM_LBUTTONDBLCLK;
        break;
    case ETrayActivation::Context:
        uMouseMessage = WM_RBUTTONUP;
        break;
    case ETrayActivation::MiddleClick:
        uMouseMessage = WM_MBUTTONUP;
        break;
    }
    SendMessage(m_nid.uCallbackMessage, m_nid.uID, uMouseMessage);
}

void CSystemTray::SetWindowInTray(CWnd* pWnd)
{
    m_pWndInTray = pWnd;
    if (!m_pBackend)
        return;
    if (pWnd)
        m_pBackend->SetAvailabilityHandler([this](bool bAvailable)
                                           { OnTrayAvailability(bAvailable); });
    else
        m_pBackend->SetAvailabilityHandler(nullptr);
}

void CSystemTray::OnTrayAvailability(bool bAvailable)
{
    if (bAvailable || !m_pWndInTray)
        return;
    CWnd* pWnd = m_pWndInTray;
    // Nothing can bring the window back any more: do what a double click on the icon would do,
    // so that its owner's idea of "hidden" stays right; failing that, show it here.
    CWnd* pTarget = m_pCommandTarget ? m_pCommandTarget : AfxGetMainWnd();
    if (pTarget == pWnd && !m_bDefaultIsPosition)
        pTarget->SendMessage(WM_COMMAND, m_nDefaultCommand, 0);
    if (m_pWndInTray != pWnd)
        return;
    if (pWnd->GetSafeHwnd() && !pWnd->IsWindowVisible())
        ShowWindowFromTray(pWnd);
    else
        SetWindowInTray(nullptr);
}

LRESULT CSystemTray::OnTaskbarCreated(WPARAM, LPARAM)
{
    m_bReAddPending = true;
    if (!m_bIconHidden)
    {
        m_nid.uFlags = m_nAddFlags;
        m_bIconHidden = m_bReAddPending = !AddIcon();
    }
    return 0;
}

LRESULT CSystemTray::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TRAYNOTIFY)
        return OnTrayNotification(wParam, lParam);
    if (message == TaskbarCreatedMessage())
        return OnTaskbarCreated(wParam, lParam);
    if (message == WM_SETTINGCHANGE)
    {
        const LRESULT lResult = CWnd::WindowProc(message, wParam, lParam);
        if (wParam == SPI_SETWORKAREA)
        {
            m_bReAddPending = !m_bIconHidden;
            if (!m_bIconHidden)
            {
                m_nid.uFlags = m_nAddFlags;
                m_bIconHidden = m_bReAddPending = !AddIcon();
            }
        }
        return lResult;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
