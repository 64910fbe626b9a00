// Window objects and their windows: the handle table, window classes, creation and destruction.
#include "platform/Wnd.h"
#include "platform/Dialog.h"
#include "platform/System.h"
#include "platform/internal/MsgPump.h"
#include "platform/internal/QtConvert.h"
#include "platform/internal/WndHost.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWindow>

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace
{

// Handles are numbers that are never reused; the first ones are kept for special meanings.
std::uintptr_t g_nNextHandle = 0x10000;
// Never destroyed: window objects with static lifetime may look up their handles at exit.
std::unordered_map<HWND, CWndHost*>& g_handles = *new std::unordered_map<HWND, CWndHost*>;
std::vector<CWndHost*>& g_topLevels = *new std::vector<CWndHost*>;
CWnd* g_pMainWnd = nullptr;
HWND const kDesktopHandle = reinterpret_cast<HWND>(0x100);

struct CWndClassInfo
{
    UINT nStyle = 0;
    HBRUSH hbrBackground = nullptr;
    HCURSOR hCursor = nullptr;
};

std::map<std::wstring, CWndClassInfo>& Classes()
{
    static std::map<std::wstring, CWndClassInfo> s_classes = {
        {L"button", CWndClassInfo{CS_DBLCLKS, nullptr, nullptr}},
        {L"#32770", CWndClassInfo{CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE), nullptr}},
    };
    return s_classes;
}

std::wstring ClassKey(LPCWSTR lpszName)
{
    std::wstring s = lpszName == nullptr ? std::wstring() : std::wstring(lpszName);
    std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return std::towlower(c); });
    return s;
}

} // namespace

namespace wnd
{

CWndHost* HostOf(HWND hWnd)
{
    auto it = g_handles.find(hWnd);
    return it == g_handles.end() ? nullptr : it->second;
}

CWndHost* HostOf(const CWnd* pWnd)
{
    return pWnd == nullptr ? nullptr : HostOf(pWnd->GetSafeHwnd());
}

CWnd* WndOf(HWND hWnd)
{
    if (hWnd == kDesktopHandle)
        return CWnd::GetDesktopWindow();
    CWndHost* p = HostOf(hWnd);
    return p == nullptr ? nullptr : p->m_pWnd;
}

CWndHost* HostOfWidget(QWidget* pWidget)
{
    for (QWidget* w = pWidget; w != nullptr; w = w->parentWidget())
    {
        if (auto* pHost = dynamic_cast<CWndHost*>(w))
            return pHost->m_pWnd != nullptr ? pHost : nullptr;
    }
    return nullptr;
}

HWND Register(CWndHost* pHost)
{
    HWND h = reinterpret_cast<HWND>(g_nNextHandle++);
    g_handles[h] = pHost;
    if (pHost->IsTopLevel())
        g_topLevels.push_back(pHost);
    return h;
}

void Unregister(HWND hWnd)
{
    CWndHost* pHost = HostOf(hWnd);
    g_handles.erase(hWnd);
    g_topLevels.erase(std::remove(g_topLevels.begin(), g_topLevels.end(), pHost),
                      g_topLevels.end());
}

std::vector<CWndHost*> TopLevels()
{
    return g_topLevels;
}

std::vector<CWndHost*> Children(const CWndHost* pHost)
{
    std::vector<CWndHost*> result;
    if (pHost == nullptr)
        return result;
    const QObjectList& list = pHost->Client()->children();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
    {
        auto* pChild = dynamic_cast<CWndHost*>(*it);
        if (pChild != nullptr && pChild->m_pWnd != nullptr)
            result.push_back(pChild);
    }
    return result;
}

bool IsOffscreen()
{
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

void Raise(QWidget* pWidget)
{
    if (!pWidget->isWindow() || !IsOffscreen())
        pWidget->raise();
}

void GrabMouse(QWidget* pWidget)
{
    if (!IsOffscreen() && pWidget->isVisible())
        pWidget->grabMouse();
}

void ReleaseMouse(QWidget* pWidget)
{
    if (!IsOffscreen())
        pWidget->releaseMouse();
}

void DetachSilently(CWndHost* pHost)
{
    for (CWndHost* pChild : Children(pHost))
        DetachSilently(pChild);
    if (pHost->m_pWnd == nullptr)
        return;
    ForgetWindow(pHost->m_hWnd);
    CWndAccess::SetHandle(pHost->m_pWnd, nullptr);
    Unregister(pHost->m_hWnd);
    pHost->m_pWnd = nullptr;
}

} // namespace wnd

namespace
{

// Destroys a window and what belongs to it; see CWnd::DestroyWindow.
void DestroyTree(CWndHost* pHost, bool bRoot)
{
    pHost->m_bDestroying = true;
    const HWND h = pHost->m_hWnd;
    CWnd* pWnd = pHost->m_pWnd;
    // By handle: destroying one window may take others with it.
    std::vector<HWND> owned;
    for (CWndHost* pTop : wnd::TopLevels())
    {
        if (pTop->m_hWndOwner == h)
            owned.push_back(pTop->m_hWnd);
    }
    for (HWND hOwned : owned)
    {
        CWndHost* pOwned = wnd::HostOf(hOwned);
        if (pOwned != nullptr && !pOwned->m_bDestroying)
            DestroyTree(pOwned, true);
    }
    if (bRoot)
        pHost->hide();
    msg::Call(pWnd, WM_DESTROY, 0, 0);
    std::vector<HWND> children;
    for (CWndHost* pChild : wnd::Children(pHost))
        children.push_back(pChild->m_hWnd);
    for (HWND hChild : children)
    {
        CWndHost* pChild = wnd::HostOf(hChild);
        if (pChild != nullptr && !pChild->m_bDestroying)
            DestroyTree(pChild, false);
    }
    for (const auto& timer : pHost->m_timers)
        pHost->killTimer(timer.second);
    pHost->m_timers.clear();
    wnd::ForgetWindow(h);
    if (g_pMainWnd == pWnd)
        g_pMainWnd = nullptr;
    wnd::Unregister(h);
    CWndAccess::SetHandle(pWnd, nullptr);
    pHost->m_pWnd = nullptr;
    if (bRoot)
    {
        // A handler of this window may be on the stack: then the widget goes later.
        if (msg::Depth() > 0)
        {
            pHost->setParent(nullptr);
            pHost->deleteLater();
        }
        else
        {
            delete pHost;
        }
    }
    if (auto* pDialog = dynamic_cast<CDialog*>(pWnd))
        CWndAccess::EndModalLoop(pDialog);
    // The last word: the object may delete itself here.
    msg::Call(pWnd, WM_NCDESTROY, 0, 0);
}

} // namespace

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd() = default;

CWnd::CWnd(HWND hWndSpecial) : m_hWnd(hWndSpecial) {}

CWnd::~CWnd()
{
    if (wnd::HostOf(this) != nullptr)
        DestroyWindow();
    if (g_pMainWnd == this)
        g_pMainWnd = nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    return wnd::WndOf(hWnd);
}

CWnd* CWnd::GetDesktopWindow()
{
    static CWnd s_desktop(kDesktopHandle);
    return &s_desktop;
}

BOOL CWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, LPVOID pContext)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr, nID, pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr, nID, lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, UINT_PTR nIDorHMenu,
                    LPVOID lpParam)
{
    if (GetSafeHwnd() != nullptr || QApplication::instance() == nullptr)
        return FALSE;
    msg::InitQueue();
    CREATESTRUCT cs{};
    cs.lpCreateParams = lpParam;
    cs.hMenu = nIDorHMenu;
    cs.hwndParent = hWndParent;
    cs.x = x;
    cs.y = y;
    cs.cx = std::max(0, nWidth);
    cs.cy = std::max(0, nHeight);
    cs.style = static_cast<LONG>(dwStyle);
    cs.lpszName = lpszWindowName;
    cs.lpszClass = lpszClassName;
    cs.dwExStyle = dwExStyle;
    if (!PreCreateWindow(cs))
        return FALSE;
    const DWORD dwFinalStyle = static_cast<DWORD>(cs.style);
    CWndHost* pParentHost = wnd::HostOf(cs.hwndParent);
    QWidget* pQtParent = nullptr;
    if (dwFinalStyle & WS_CHILD)
    {
        if (pParentHost == nullptr)
            return FALSE;
        pQtParent = pParentHost->Client();
    }
    const CWndClassInfo info = [&]
    {
        auto it = Classes().find(ClassKey(cs.lpszClass));
        return it == Classes().end() ? CWndClassInfo{CS_DBLCLKS, nullptr, nullptr} : it->second;
    }();

    auto* pHost = new CWndHost(this, pQtParent, cs);
    pHost->m_nClassStyle = info.nStyle;
    pHost->m_hbrBackground = info.hbrBackground;
    if (!(dwFinalStyle & WS_CHILD) && pParentHost != nullptr)
    {
        CWndHost* pOwnerTop = wnd::HostOf(FromHandle(cs.hwndParent)->GetTopLevelParent());
        if (pOwnerTop != nullptr)
        {
            pHost->m_hWndOwner = pOwnerTop->m_hWnd;
            pOwnerTop->winId();
            pHost->winId();
            if (pHost->windowHandle() != nullptr)
                pHost->windowHandle()->setTransientParent(pOwnerTop->windowHandle());
        }
    }
    // Children are created at the bottom of their siblings.
    if (dwFinalStyle & WS_CHILD)
        pHost->lower();
    m_hWnd.store(pHost->m_hWnd);
    // Placed quietly: WM_MOVE and WM_SIZE come after WM_CREATE.
    ++pHost->m_nApplyingGeometry;
    pHost->ApplyGeometry(QRect(cs.x, cs.y, cs.cx, cs.cy));
    --pHost->m_nApplyingGeometry;

    PreSubclassWindow();
    const HWND h = pHost->m_hWnd;
    if (msg::Call(this, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1)
    {
        if (wnd::HostOf(h) != nullptr)
            DestroyWindow();
        return FALSE;
    }
    if (wnd::HostOf(h) == nullptr)
        return FALSE;
    pHost->m_ptLastMove = QPoint(INT_MIN, INT_MIN);
    pHost->m_sizeLastClient = QSize(-1, -1);
    pHost->NotifyGeometry();
    if (wnd::HostOf(h) != nullptr && (dwFinalStyle & WS_VISIBLE))
        ShowWindow((dwExStyle & WS_EX_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    return wnd::HostOf(h) != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    CWndHost* pHost = wnd::HostOf(this);
    if (pHost == nullptr || pHost->m_bDestroying)
        return FALSE;
    DestroyTree(pHost, true);
    return TRUE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&)
{
    return TRUE;
}

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

void CWnd::OnNcDestroy()
{
    PostNcDestroy();
}

void AfxDeleteLater(std::unique_ptr<CWnd> pWnd)
{
    if (pWnd == nullptr)
        return;
    pWnd->DestroyWindow();
    msg::DeleteAfterDispatch(std::move(pWnd));
}

CWnd* AfxGetMainWnd()
{
    return g_pMainWnd;
}

void AfxSetMainWnd(CWnd* pWnd)
{
    g_pMainWnd = pWnd;
}

HWND GetDesktopWindow()
{
    return kDesktopHandle;
}

BOOL IsWindow(HWND hWnd)
{
    return wnd::HostOf(hWnd) != nullptr || hWnd == kDesktopHandle;
}

LPCWSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON)
{
    // One name per combination, kept for the whole run.
    static std::map<std::wstring, std::wstring> s_names;
    std::wstring strName = L"Afx:" + std::to_wstring(nClassStyle) + L":" +
                           std::to_wstring(reinterpret_cast<std::uintptr_t>(hCursor)) + L":" +
                           std::to_wstring(reinterpret_cast<std::uintptr_t>(hbrBackground));
    Classes()[ClassKey(strName.c_str())] = CWndClassInfo{nClassStyle, hbrBackground, hCursor};
    auto it = s_names.emplace(strName, strName).first;
    return it->second.c_str();
}

BOOL AfxRegisterClass(WNDCLASS* pWndClass)
{
    if (pWndClass == nullptr || pWndClass->lpszClassName == nullptr)
        return FALSE;
    const std::wstring strKey = ClassKey(pWndClass->lpszClassName);
    if (Classes().count(strKey) != 0)
        return TRUE;
    HBRUSH hbr = pWndClass->hbrBackground;
    // The classic "COLOR_x + 1" brush.
    const auto nValue = reinterpret_cast<std::uintptr_t>(hbr);
    if (nValue > 0 && nValue <= COLOR_MENUBAR + 1)
        hbr = GetSysColorBrush(static_cast<int>(nValue) - 1);
    Classes()[strKey] = CWndClassInfo{pWndClass->style, hbr, pWndClass->hCursor};
    return TRUE;
}

BOOL GetClassInfo(HINSTANCE, LPCWSTR lpszClassName, WNDCLASS* pWndClass)
{
    auto it = Classes().find(ClassKey(lpszClassName));
    if (it == Classes().end())
        return FALSE;
    if (pWndClass != nullptr)
    {
        *pWndClass = WNDCLASS{};
        pWndClass->style = it->second.nStyle;
        pWndClass->hbrBackground = it->second.hbrBackground;
        pWndClass->hCursor = it->second.hCursor;
        pWndClass->lpszClassName = lpszClassName;
    }
    return TRUE;
}

HCURSOR LoadCursor(HINSTANCE, LPCWSTR lpszCursorName)
{
    // Standard cursors are their numbers; windows always show the arrow.
    return reinterpret_cast<HCURSOR>(const_cast<wchar_t*>(lpszCursorName));
}
