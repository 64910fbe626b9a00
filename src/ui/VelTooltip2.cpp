#include "ui/VelTooltip2.h"

#include "platform/System.h"
#include "ui/TextMeasure.h"
#include "ui/VelStatic2.h"

#include <algorithm>

namespace
{

// Tips wrap at word boundaries within this width.
constexpr int kMaxTextWidth = 1000;
constexpr UINT kFirstLineID = 10001;
// Where the tip goes relative to the pointer (the owner interface's defaults).
constexpr int kOffsetX = 0;
constexpr int kOffsetY = 20;

} // namespace

CVelTooltip2::CVelTooltip2() : m_strClass(AfxRegisterWndClass(0))
{
    g_pTooltipManager = this;
}

CVelTooltip2::~CVelTooltip2()
{
    if (g_pTooltipManager == this)
        g_pTooltipManager = nullptr;
    ClearLines();
    if (GetSafeHwnd() != nullptr)
    {
        if (IsWindowVisible())
            s_bTipShown = false;
        DestroyWindow();
    }
}

BOOL CVelTooltip2::CreateTooltipWindow(CWnd* pMainWnd)
{
    m_nWidth = 0;
    m_nHeight = 0;
    // No input and no focus: the pointer acts on what lies below the tip.
    const DWORD dwExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;
    if (!CreateEx(dwExStyle, m_strClass.c_str(), L"", WS_POPUP, 0, 0, 0, 0,
                  pMainWnd != nullptr ? pMainWnd->GetSafeHwnd() : nullptr, 0))
        return FALSE;
    if (!m_wndContent.Create(1, 1, 97, 47, this))
    {
        DestroyWindow();
        return FALSE;
    }
    m_wndContent.m_crBackground = m_crBack;
    TrackPointerInProgram(GetSafeHwnd(), TRUE);
    StartPolling();
    return TRUE;
}

void CVelTooltip2::SetTooltipText(CWnd* pControl, const std::wstring& strText)
{
    m_mapText[pControl] = strText;
}

void CVelTooltip2::RemoveControl(CWnd* pControl)
{
    m_mapText.erase(pControl);
}

std::wstring CVelTooltip2::GetTooltipText(CWnd* pControl) const
{
    const auto it = m_mapText.find(pControl);
    return it != m_mapText.end() ? it->second : std::wstring();
}

void CVelTooltip2::RelayMouseMessage(MSG* pMsg)
{
    switch (pMsg->message)
    {
    case WM_MOUSEMOVE:
        if (CPoint(pMsg->pt) != m_ptLast)
            Hide();
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        Hide();
        break;
    default:
        break;
    }
}

void CVelTooltip2::Track()
{
    CPoint pt;
    GetCursorPos(&pt);
    const bool bMoved = pt != m_ptLast;
    m_ptLast = pt;
    CWnd* pUnder = CWnd::WindowFromPoint(pt);
    if (pUnder != m_pCurrent)
    {
        Hide();
        m_pCurrent = pUnder;
        return;
    }
    const double dNow = Now();
    if (bMoved)
        m_dStart = dNow;
    const double dElapsed = dNow - m_dStart;
    // A shown tip stays while the pointer rests.
    if (s_bTipShown)
    {
        if (bMoved)
            Hide();
        if (s_bTipShown)
            return;
    }
    if (dElapsed < REST_SECONDS || bMoved)
        return;
    ClearLines();
    const std::wstring strText = GetTooltipText(pUnder);
    if (!strText.empty())
        AddLine(strText);
    ShowAt(pt.x + kOffsetX, pt.y + kOffsetY);
}

void CVelTooltip2::AddLine(const std::wstring& strText)
{
    auto pItem = std::make_unique<CVelTooltip2Item>();
    pItem->m_strText = strText;
    m_listLines.push_back(std::move(pItem));
}

void CVelTooltip2::ClearLines()
{
    for (const auto& pLine : m_listLineWnds)
    {
        if (pLine->GetSafeHwnd() != nullptr)
            pLine->DestroyWindow();
    }
    m_listLineWnds.clear();
    m_listLines.clear();
}

void CVelTooltip2::ShowAt(int x, int y)
{
    if (m_listLines.empty() || GetSafeHwnd() == nullptr)
        return;
    s_bTipShown = true;
    int nTextWidth = 0;
    m_nHeight = 0;
    for (const auto& pItem : m_listLines)
    {
        const CSize size = GetTextSize(pItem->m_strText, nullptr, kMaxTextWidth);
        pItem->m_nWidth = size.cx;
        pItem->m_nHeight = size.cy + 2;
        nTextWidth = std::max<int>(nTextWidth, size.cx);
        m_nHeight += pItem->m_nHeight;
    }
    m_nWidth = nTextWidth + 9;

    // Kept on the screen the pointer is on.
    CPoint ptCursor;
    GetCursorPos(&ptCursor);
    MONITORINFO mi{sizeof(MONITORINFO), {}, {}, 0};
    const CRect rcScreen =
        GetMonitorInfo(MonitorFromPoint(ptCursor, MONITOR_DEFAULTTONEAREST), &mi)
            ? CRect(mi.rcWork)
            : CRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (x + m_nWidth > rcScreen.right)
        x -= m_nWidth;
    if (y + m_nHeight > rcScreen.bottom)
        y -= m_nHeight;

    int nTop = 0;
    UINT nID = kFirstLineID;
    for (const auto& pItem : m_listLines)
    {
        auto pLine = std::make_unique<CVelStatic2>();
        pItem->m_nID = nID++;
        const CRect rcLine(0, nTop, m_nWidth - 1, nTop + pItem->m_nHeight);
        if (pLine->Create(pItem->m_strText.c_str(), WS_CHILD | WS_VISIBLE, rcLine, &m_wndContent))
        {
            pLine->SetDlgCtrlID(static_cast<int>(pItem->m_nID));
            pLine->m_crFace = m_crBack;
            pLine->m_nTextX = 4;
            pLine->m_nTextY = 1;
            pLine->m_nValue = pItem->m_nValue;
            pLine->m_nValue2 = pItem->m_nValue2;
            pLine->m_strKey = pItem->m_strKey;
            m_listLineWnds.push_back(std::move(pLine));
        }
        nTop += pItem->m_nHeight;
    }

    SetWindowPos(&wndTop, x, y, m_nWidth + 1, m_nHeight + 2, SWP_NOACTIVATE);
    m_wndContent.SetWindowPos(nullptr, 1, 1, m_nWidth - 1, m_nHeight,
                              SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
    ShowWindow(SW_SHOWNA);
}

void CVelTooltip2::Hide()
{
    s_bTipShown = false;
    m_dStart = Now();
    if (GetSafeHwnd() != nullptr && IsWindowVisible())
        ShowWindow(SW_HIDE);
}

double CVelTooltip2::Now() const
{
    static const double s_dFrequency = []
    {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart);
    }();
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / s_dFrequency;
}

void CVelTooltip2::StartPolling()
{
    if (m_bPolling || GetSafeHwnd() == nullptr)
        return;
    SetTimer(TIMER_TRACK, TRACK_PERIOD_MS);
    m_bPolling = true;
}

void CVelTooltip2::StopPolling()
{
    if (!m_bPolling)
        return;
    KillTimer(TIMER_TRACK);
    m_bPolling = false;
}

LRESULT CVelTooltip2::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_POINTERINPROGRAM)
    {
        if (wParam != 0)
        {
            StartPolling();
        }
        else
        {
            // One last poll sees the pointer gone from the window and hides the tip.
            Track();
            StopPolling();
        }
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CVelTooltip2::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_TRACK)
    {
        Track();
        // Nothing to poll for while the pointer is away; its return restarts the timer.
        if (!IsPointerInProgram())
            StopPolling();
    }
    CWnd::OnTimer(nIDEvent);
}

void CVelTooltip2::OnPaint()
{
    CPaintDC dc(this);
    CRgn rgn;
    rgn.CreateRectRgn(0, 0, m_nWidth + 1, m_nHeight + 2);
    CBrush brBack(m_crBack);
    CBrush brFrame(RGB(0, 0, 0));
    dc.FillRgn(&rgn, &brBack);
    dc.FrameRgn(&rgn, &brFrame, 1, 1);
}

BOOL CVelTooltip2::OnEraseBkgnd(CDC*)
{
    // OnPaint covers everything.
    return TRUE;
}
