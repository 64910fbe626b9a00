// The frame widget of a window: geometry, scroll bars, timers, painting and the window-level
// events (activation, closing, state changes).
#include "platform/internal/WndHost.h"
#include "platform/System.h"
#include "platform/internal/MsgPump.h"
#include "platform/internal/QtConvert.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimerEvent>

#include <algorithm>

namespace
{

HWND g_hWndActive = nullptr;
int g_nQtPaintDepth = 0;

Qt::WindowFlags TopLevelFlags(DWORD dwExStyle)
{
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint;
    // On X11 a Qt::ToolTip loses the transparency for the pointer (an unmanaged tool window
    // keeps it); the offscreen platforms activate every window shown but a Qt::ToolTip.
    if (dwExStyle & WS_EX_TRANSPARENT)
        flags = (wnd::IsOffscreen() ? Qt::ToolTip : Qt::Tool | Qt::X11BypassWindowManagerHint) |
                Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                Qt::WindowDoesNotAcceptFocus;
    else if ((dwExStyle & WS_EX_TOOLWINDOW) && (dwExStyle & WS_EX_NOACTIVATE))
        flags = Qt::ToolTip | Qt::FramelessWindowHint;
    else if ((dwExStyle & WS_EX_TOOLWINDOW) && (dwExStyle & WS_EX_TOPMOST))
        // A menu: unmanaged, exactly where it is put, no task-bar entry, still taking keys.
        flags = Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint;
    else if (dwExStyle & WS_EX_TOOLWINDOW)
        flags = Qt::Tool | Qt::FramelessWindowHint;
    if (dwExStyle & WS_EX_TOPMOST)
        flags |= Qt::WindowStaysOnTopHint;
    if (dwExStyle & WS_EX_NOACTIVATE)
        flags |= Qt::WindowDoesNotAcceptFocus;
    return flags;
}

} // namespace

int CScrollBarState::MaxPos() const
{
    const int nPageSpan = nPage > 0 ? static_cast<int>(nPage) - 1 : 0;
    return std::max(nMin, nMax - nPageSpan);
}

CWndHost::CWndHost(CWnd* pWnd, QWidget* pParent, const CREATESTRUCT& cs)
    : QWidget(pParent), m_pWnd(pWnd)
{
    m_dwStyle = static_cast<DWORD>(cs.style) & ~(WS_VISIBLE | WS_DISABLED);
    m_dwExStyle = cs.dwExStyle;
    m_nID = (m_dwStyle & WS_CHILD) ? static_cast<UINT>(cs.hMenu) : 0;
    m_strText = cs.lpszName != nullptr ? std::wstring(cs.lpszName) : std::wstring();
    if (IsTopLevel())
    {
        setWindowFlags(TopLevelFlags(m_dwExStyle));
        setAttribute(Qt::WA_QuitOnClose, false);
        setAttribute(Qt::WA_ShowWithoutActivating,
                     (m_dwExStyle & (WS_EX_NOACTIVATE | WS_EX_TRANSPARENT)) != 0);
        setWindowTitle(ToQString(m_strText));
    }
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    m_pClient = new CWndClient(this);
    m_hWnd = wnd::Register(this);
    if (cs.style & WS_DISABLED)
        setEnabled(false);
    hide();
}

CWndHost::~CWndHost()
{
    wnd::PointerGone(this);
    // Deleted by Qt while still attached: the object only loses its window.
    if (m_pWnd != nullptr)
        wnd::DetachSilently(this);
}

QRect CWndHost::ClientRect() const
{
    return QRect(QPoint(0, 0), m_pClient->size());
}

QScrollBar* CWndHost::Bar(int nBar)
{
    // Made when first needed: most windows (every list row) never show one, and two extra
    // widgets per window made a list of a thousand rows slow to build and to destroy.
    if (m_pBars[nBar] != nullptr)
        return m_pBars[nBar];
    auto* pBar = new QScrollBar(nBar == SB_VERT ? Qt::Vertical : Qt::Horizontal, this);
    pBar->setFocusPolicy(Qt::NoFocus);
    pBar->hide();
    QObject::connect(pBar, &QAbstractSlider::actionTriggered, this,
                     [this, nBar](int nAction) { OnScrollAction(nBar, nAction); });
    QObject::connect(pBar, &QAbstractSlider::sliderReleased, this,
                     [this, nBar]
                     {
                         const UINT message = nBar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
                         const int nTrack = m_bars[nBar].nTrackPos;
                         const HWND h = m_hWnd;
                         msg::Call(m_pWnd, message, MAKEWPARAM(SB_THUMBPOSITION, nTrack), 0);
                         msg::Call(wnd::WndOf(h), message, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
                     });
    m_pBars[nBar] = pBar;
    const CScrollBarState& s = m_bars[nBar];
    const QSignalBlocker blocker(pBar);
    pBar->setRange(s.nMin, s.MaxPos());
    pBar->setPageStep(std::max<int>(1, static_cast<int>(s.nPage)));
    pBar->setValue(s.nPos);
    pBar->setEnabled(s.bEnabled);
    return pBar;
}

void CWndHost::Relayout()
{
    const int nBarWidth = GetSystemMetrics(SM_CXVSCROLL);
    const int nBarHeight = GetSystemMetrics(SM_CYHSCROLL);
    const bool bVert = (m_dwStyle & WS_VSCROLL) != 0;
    const bool bHorz = (m_dwStyle & WS_HSCROLL) != 0;
    const int w = width();
    const int h = height();
    const int cw = std::max(0, w - (bVert ? nBarWidth : 0));
    const int ch = std::max(0, h - (bHorz ? nBarHeight : 0));
    m_pClient->setGeometry(0, 0, cw, ch);
    if (bVert || m_pBars[SB_VERT] != nullptr)
    {
        Bar(SB_VERT)->setGeometry(cw, 0, w - cw, ch);
        m_pBars[SB_VERT]->setVisible(bVert);
    }
    if (bHorz || m_pBars[SB_HORZ] != nullptr)
    {
        Bar(SB_HORZ)->setGeometry(0, ch, cw, h - ch);
        m_pBars[SB_HORZ]->setVisible(bHorz);
    }
}

void CWndHost::NotifyGeometry()
{
    if (m_pWnd == nullptr || m_nApplyingGeometry > 0)
        return;
    const HWND h = m_hWnd;
    const QPoint pos = IsTopLevel() ? geometry().topLeft() : this->pos();
    if (pos != m_ptLastMove)
    {
        m_ptLastMove = pos;
        msg::Call(m_pWnd, WM_MOVE, 0,
                  MAKELPARAM(static_cast<unsigned>(pos.x()), static_cast<unsigned>(pos.y())));
        if (wnd::HostOf(h) != this)
            return;
    }
    if (IsTopLevel())
    {
        const Qt::WindowStates state = windowState();
        m_nSizeType = (state & Qt::WindowMinimized)   ? SIZE_MINIMIZED
                      : (state & Qt::WindowMaximized) ? SIZE_MAXIMIZED
                                                      : SIZE_RESTORED;
    }
    const QSize size = m_pClient->size();
    if (size != m_sizeLastClient)
    {
        m_sizeLastClient = size;
        Invalidate(ClientRect(), true);
        msg::Call(
            m_pWnd, WM_SIZE, m_nSizeType,
            MAKELPARAM(static_cast<unsigned>(size.width()), static_cast<unsigned>(size.height())));
    }
}

void CWndHost::ApplyGeometry(const QRect& rect)
{
    ++m_nApplyingGeometry;
    // The window manager's minimum size never limits the program's own sizing.
    if (IsTopLevel())
        EndSystemResize();
    setGeometry(rect.normalized());
    Relayout();
    --m_nApplyingGeometry;
    NotifyGeometry();
}

std::shared_ptr<CSurface> CWndHost::Surface()
{
    const QSize size = m_pClient->size();
    if (!m_pSurface || m_pSurface->image.size() != size)
    {
        QImage image;
        if (!size.isEmpty())
        {
            image = QImage(size, QImage::Format_RGB32);
            image.fill(qRgb(0, 0, 0));
            if (m_pSurface && !m_pSurface->image.isNull())
            {
                QPainter p(&image);
                p.setCompositionMode(QPainter::CompositionMode_Source);
                p.drawImage(0, 0, m_pSurface->image);
            }
        }
        m_pSurface = std::make_shared<CSurface>(std::move(image));
    }
    return m_pSurface;
}

void CWndHost::Invalidate(const QRegion& region, bool bErase)
{
    const QRegion part = region & ClientRect();
    if (part.isEmpty())
        return;
    m_rgnUpdate += part;
    m_bErase = m_bErase || bErase;
    m_pClient->update(part);
}

void CWndHost::PaintPending()
{
    if (m_pWnd == nullptr || m_bInPaint)
        return;
    const QRegion region = m_rgnUpdate & ClientRect();
    m_rgnUpdate = QRegion();
    if (region.isEmpty())
    {
        m_bErase = false;
        return;
    }
    Surface();
    m_rgnPainting = region;
    m_bPaintErase = m_bErase;
    m_bErase = false;
    m_bInPaint = true;
    msg::Call(m_pWnd, WM_PAINT, 0, 0);
    m_bInPaint = false;
    m_rgnPainting = QRegion();
}

bool CWndHost::ShapeContains(QPoint pt) const
{
    return rect().contains(pt) && (!m_windowRgn || m_windowRgn->contains(pt));
}

void CWndHost::SetActualRegion(const std::optional<QRegion>& region)
{
    m_windowRgn = region;
    // The offscreen platforms cannot shape windows; the region is still kept and hit-tested.
    if (!wnd::IsOffscreen())
    {
        if (region)
            setMask(*region);
        else
            clearMask();
    }
}

void CWndHost::SyncScrollBar(int nBar)
{
    const bool bVisible = (m_dwStyle & (nBar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
    // A bar never shown keeps its state here until it is made.
    if (m_pBars[nBar] == nullptr && !bVisible)
        return;
    QScrollBar* pBar = Bar(nBar);
    const CScrollBarState& s = m_bars[nBar];
    const QSignalBlocker blocker(pBar);
    pBar->setRange(s.nMin, s.MaxPos());
    pBar->setPageStep(std::max<int>(1, static_cast<int>(s.nPage)));
    pBar->setSingleStep(1);
    pBar->setValue(s.nPos);
    pBar->setEnabled(s.bEnabled);
    const bool bWasVisible = !pBar->isHidden();
    if (bWasVisible != bVisible)
    {
        Relayout();
        NotifyGeometry();
    }
}

void CWndHost::OnScrollAction(int nBar, int nAction)
{
    QScrollBar* pBar = m_pBars[nBar];
    CScrollBarState& s = m_bars[nBar];
    UINT nCode = SB_ENDSCROLL;
    int nPos = 0;
    switch (nAction)
    {
    case QAbstractSlider::SliderSingleStepAdd:
        nCode = SB_LINEDOWN;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        nCode = SB_LINEUP;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        nCode = SB_PAGEDOWN;
        break;
    case QAbstractSlider::SliderPageStepSub:
        nCode = SB_PAGEUP;
        break;
    case QAbstractSlider::SliderToMinimum:
        nCode = SB_TOP;
        break;
    case QAbstractSlider::SliderToMaximum:
        nCode = SB_BOTTOM;
        break;
    case QAbstractSlider::SliderMove:
        nCode = SB_THUMBTRACK;
        nPos = pBar->sliderPosition();
        s.nTrackPos = nPos;
        break;
    default:
        return;
    }
    // As with the framework's scroll bars, the window moves the thumb (SetScrollPos).
    if (nAction != QAbstractSlider::SliderMove)
        pBar->setSliderPosition(s.nPos);
    msg::Call(m_pWnd, nBar == SB_VERT ? WM_VSCROLL : WM_HSCROLL,
              MAKEWPARAM(nCode, static_cast<unsigned>(nPos)), 0);
}

void CWndHost::paintEvent(QPaintEvent* e)
{
    // Only the corner between two scroll bars is the frame's own.
    QPainter p(this);
    for (const QRect& r : e->region())
        p.fillRect(r, ToQColor(GetSysColor(COLOR_BTNFACE)));
}

void CWndHost::timerEvent(QTimerEvent* e)
{
    for (const auto& timer : m_timers)
    {
        if (timer.second == e->timerId())
        {
            MSG m = msg::Make(m_hWnd, WM_TIMER, timer.first, 0, QCursor::pos());
            msg::Pump(m);
            return;
        }
    }
}

bool CWndHost::event(QEvent* e)
{
    if (m_pWnd == nullptr)
        return QWidget::event(e);
    switch (e->type())
    {
    case QEvent::Move:
    case QEvent::Resize:
        if (m_nApplyingGeometry == 0)
        {
            Relayout();
            NotifyGeometry();
        }
        return QWidget::event(e);
    case QEvent::WindowStateChange:
        // WM_SIZE tells the new state even when the size stays.
        if (IsTopLevel() && m_nApplyingGeometry == 0)
        {
            Relayout();
            m_sizeLastClient = QSize(-1, -1);
            NotifyGeometry();
        }
        return QWidget::event(e);
    case QEvent::Close:
        // The window manager's close: the window decides (WM_SYSCOMMAND SC_CLOSE -> WM_CLOSE).
        e->ignore();
        msg::Call(m_pWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    case QEvent::WindowActivate:
        if (IsTopLevel())
        {
            const HWND hOther = g_hWndActive;
            g_hWndActive = m_hWnd;
            msg::Call(m_pWnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, isMinimized() ? 1 : 0),
                      reinterpret_cast<LPARAM>(hOther));
        }
        return QWidget::event(e);
    case QEvent::WindowDeactivate:
        if (IsTopLevel())
        {
            CWndHost* pNew = wnd::HostOfWidget(QApplication::activeWindow());
            const HWND hNew = pNew != nullptr ? pNew->m_hWnd : nullptr;
            if (g_hWndActive == m_hWnd)
                g_hWndActive = nullptr;
            const HWND h = m_hWnd;
            msg::Call(m_pWnd, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, isMinimized() ? 1 : 0),
                      reinterpret_cast<LPARAM>(hNew));
            if (wnd::HostOf(h) == this)
                wnd::KillFocusOnDeactivate(this, hNew);
        }
        return QWidget::event(e);
    case QEvent::Enter:
        if (IsTopLevel())
            wnd::PointerEntered(this);
        return QWidget::event(e);
    case QEvent::Leave:
    case QEvent::Hide:
        // Qt reports no leave when a window goes away under the pointer.
        if (IsTopLevel())
            wnd::PointerGone(this);
        return QWidget::event(e);
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // A top-level window without a focused child gets the keys itself.
        return QCoreApplication::sendEvent(m_pClient, e);
    default:
        return QWidget::event(e);
    }
}

CWndClient::CWndClient(CWndHost* pHost) : QWidget(pHost), m_pHost(pHost)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

bool wnd::InQtPaint()
{
    return g_nQtPaintDepth > 0;
}

void CWndClient::paintEvent(QPaintEvent* e)
{
    ++g_nQtPaintDepth;
    if (m_pHost->m_pWnd != nullptr)
    {
        if (!m_pHost->m_bPaintedOnce)
        {
            m_pHost->m_bPaintedOnce = true;
            m_pHost->m_rgnUpdate += m_pHost->ClientRect();
            m_pHost->m_bErase = true;
        }
        m_pHost->PaintPending();
    }
    const std::shared_ptr<CSurface> pSurface = m_pHost->Surface();
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : e->region())
        p.drawImage(r, pSurface->image, r);
    --g_nQtPaintDepth;
}
