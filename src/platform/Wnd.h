// CWnd: a C++ object separate from its window. Create... makes the window, DestroyWindow ends it;
// the window exists exactly while GetSafeHwnd() is non-null. Everything the window system reports
// arrives as a message in WindowProc, whose base implementation calls the On... handler of the
// message; the handlers' base implementations pass the message on to DefWindowProc (Default()).
// Input, posted and timer messages first pass PreTranslateMessage of the target window and of
// its parents and owners, from the target upwards.
//
// Top-level windows are frameless and placed at exact screen positions; child windows live in
// their parent's client area (which excludes the parent's scroll bars) and are clipped to it.
// WS_EX_TOOLWINDOW with WS_EX_TOPMOST makes a menu: left alone by the window manager, with no
// task-bar entry.
// Everything runs on the user-interface thread, except PostMessage, which any thread may call.
// A worker thread only posts: the user-interface thread may be waiting for it to end, so a worker
// that waited for a SendMessage would never finish (SendMessage refuses other threads).
#pragma once

#include "platform/Dc.h"
#include "platform/WinMessages.h"

#include <atomic>
#include <memory>
#include <string>

class CScrollBar;

class CWnd
{
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd.load(); }
    operator HWND() const { return GetSafeHwnd(); }
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd) { return FromHandle(hWnd); }
    // Insert-after values for SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;
    // Stands for the screen: its client and window rectangles are the primary screen's.
    static CWnd* GetDesktopWindow();

    // A child window (WS_CHILD) lives in pParentWnd; any other window is top-level, owned by
    // pParentWnd's top-level window if given. The class name picks a class registered with
    // AfxRegisterClass (background brush, double clicks) or none.
    virtual BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID pContext = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName,
                          DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                          UINT_PTR nIDorHMenu, LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    // Sends WM_DESTROY, destroys owned and child windows, then sends WM_NCDESTROY (after which
    // the object may delete itself).
    virtual BOOL DestroyWindow();

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Return TRUE to swallow the message; pMsg may also be changed before it is dispatched.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // User-interface thread only: from another thread it does nothing and returns 0 (and
    // asserts in debug builds); workers use PostMessage.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // A timer with the same id replaces the earlier one. Returns nIDEvent, 0 without a window.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, void* lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);

    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT pRect, BOOL bRepaint = TRUE);
    // Returns whether the window was visible before.
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL IsZoomed() const;
    BOOL GetWindowPlacement(WINDOWPLACEMENT* pPlacement) const;
    void GetClientRect(LPRECT pRect) const;
    // Screen coordinates.
    void GetWindowRect(LPRECT pRect) const;
    void ClientToScreen(LPPOINT pPoint) const;
    void ClientToScreen(LPRECT pRect) const;
    void ScreenToClient(LPPOINT pPoint) const;
    void ScreenToClient(LPRECT pRect) const;
    // The innermost visible window at a screen point; disabled windows and points outside a
    // window's region do not count (a disabled child gives its parent). Top-level windows with
    // WS_EX_TRANSPARENT are looked through.
    static CWnd* WindowFromPoint(POINT point);
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    BOOL BringWindowToTop();

    CWnd* SetCapture();
    static CWnd* GetCapture();
    CWnd* SetFocus();
    static CWnd* GetFocus();
    BOOL SetForegroundWindow();
    CWnd* SetActiveWindow();
    static CWnd* GetActiveWindow();
    // Returns whether the window was disabled before. Disabling sends WM_CANCELMODE first.
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;

    void SetWindowText(const std::wstring& strText);
    void GetWindowText(std::wstring& strText) const;
    int GetWindowText(LPWSTR lpszBuffer, int nMaxCount) const;
    std::wstring GetWindowText() const;
    int GetWindowTextLength() const;
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int nID);
    // The first direct child with the id.
    CWnd* GetDlgItem(int nID) const;
    // The parent of a child window, the owner of a top-level one.
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    CWnd* GetTopLevelParent() const;
    BOOL IsChild(const CWnd* pWnd) const;
    // Children in z-order, topmost first (GW_CHILD, GW_HWNDNEXT, ...); new children go to the
    // bottom, so creation order is the order of GW_HWNDNEXT.
    CWnd* GetWindow(UINT nCmd) const;
    // The next (previous) visible, enabled WS_TABSTOP child after pWndCtl, wrapping around;
    // null when there is none other than pWndCtl.
    CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const;

    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    LONG GetWindowLong(int nIndex) const;
    LONG SetWindowLong(int nIndex, LONG dwNewLong);
    // Framework tooltips are not offered; kept so that callers read as usual.
    BOOL EnableToolTips(BOOL bEnable = TRUE);

    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT pRect, BOOL bErase = TRUE);
    void InvalidateRgn(CRgn* pRgn, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT pRect);
    BOOL GetUpdateRect(LPRECT pRect, BOOL bErase = FALSE);
    // Sends WM_PAINT now when part of the window needs painting and shows (a child clipped away
    // by its parents keeps what is pending until it comes into view).
    void UpdateWindow();
    // RDW_UPDATENOW paints at once (RDW_ALLCHILDREN: the children too).
    BOOL RedrawWindow(LPCRECT pRectUpdate = nullptr, CRgn* pRgnUpdate = nullptr,
                      UINT nFlags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    // Moves the client area's pixels (and, without pRect, the child windows) by the amounts;
    // what is uncovered needs painting.
    void ScrollWindow(int xAmount, int yAmount, LPCRECT pRect = nullptr,
                      LPCRECT pClipRect = nullptr);
    // The window's own scroll bars (SB_HORZ, SB_VERT). A bar is shown while its range exceeds
    // its page (or, with SIF_DISABLENOSCROLL, shown disabled); the client area excludes it.
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO pScrollInfo, BOOL bRedraw = TRUE);
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO pScrollInfo, UINT nMask = SIF_ALL);
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE);
    int GetScrollPos(int nBar) const;
    void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
    void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const;
    int GetScrollLimit(int nBar);
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE);
    // The window's shape, in window coordinates; null makes it rectangular again. The window
    // keeps a copy; a handle without owner (detached) is deleted, as the framework does.
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw);
    // Copies the shape into hRgn; RGN_ERROR when the window has none.
    int GetWindowRgn(HRGN hRgn) const;
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);
    // What the client area shows now, painted if needed (for tests).
    BOOL GrabClientImage(CBitmap& bitmap);

protected:
    // Called before the window exists; cs may be changed.
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Called when the window exists, before WM_CREATE.
    virtual void PreSubclassWindow();
    // Called by OnNcDestroy when the window is gone; the object may delete itself here.
    virtual void PostNcDestroy();
    // WM_DRAWITEM reflected from the parent to the control; return TRUE when handled.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Default processing of the message being handled.
    LRESULT Default();

    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnDestroy();
    virtual void OnNcDestroy();
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC* pDC);
    virtual void OnSize(UINT nType, int cx, int cy);
    // The rectangle the pointer gives while the layer resizes the window itself; the minimum
    // track size is applied after it.
    virtual void OnSizing(UINT fwSide, LPRECT pRect);
    virtual void OnMove(int x, int y);
    // Asked when the user starts resizing: the minimum track size limits the user's resizing
    // (the window manager's too, through size hints set only meanwhile), never SetWindowPos.
    virtual void OnGetMinMaxInfo(MINMAXINFO* pMMI);
    virtual void OnShowWindow(BOOL bShow, UINT nStatus);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnRButtonDown(UINT nFlags, CPoint point);
    virtual void OnRButtonUp(UINT nFlags, CPoint point);
    virtual void OnMButtonDown(UINT nFlags, CPoint point);
    virtual void OnMButtonUp(UINT nFlags, CPoint point);
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnMouseLeave();
    // point in screen coordinates. One message per whole notch (zDelta ±120): the small steps of
    // fine wheels and touchpads are added up first.
    virtual BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint point);
    virtual LRESULT OnNcHitTest(CPoint point);
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void OnClose();
    virtual void OnSysCommand(UINT nID, LPARAM lParam);
    virtual void OnCancelMode();
    virtual void OnCaptureChanged(CWnd* pWnd);
    virtual void OnSetFocus(CWnd* pOldWnd);
    virtual void OnKillFocus(CWnd* pNewWnd);
    virtual void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    virtual void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    virtual void OnEnable(BOOL bEnable);
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual UINT OnGetDlgCode();
    virtual void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    virtual void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);

private:
    explicit CWnd(HWND hWndSpecial);
    friend class CWndHost;
    friend struct CWndAccess;

    std::atomic<HWND> m_hWnd{nullptr};
};

// The same operations on handles.
BOOL PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsWindow(HWND hWnd);
HWND GetDesktopWindow();
HWND WindowFromPoint(POINT point);
HWND GetCapture();
HWND SetCapture(HWND hWnd);
BOOL ReleaseCapture();
HWND GetFocus();
BOOL SetForegroundWindow(HWND hWnd);
HWND SetActiveWindow(HWND hWnd);
BOOL GetWindowRect(HWND hWnd, LPRECT pRect);
BOOL GetClientRect(HWND hWnd, LPRECT pRect);
BOOL ScreenToClient(HWND hWnd, LPPOINT pPoint);
BOOL ClientToScreen(HWND hWnd, LPPOINT pPoint);
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw);
BOOL RedrawWindow(HWND hWnd, LPCRECT pRectUpdate, HRGN hRgnUpdate, UINT nFlags);

BOOL GetCursorPos(LPPOINT pPoint);
BOOL SetCursorPos(int x, int y);
// Screen position (x in the low word, y in the high word) and time of the message being handled.
DWORD GetMessagePos();
LONG GetMessageTime();
// Delivers now the input and messages that waited while a handler kept this thread busy (a
// blocking call), so that the handler, still running, can recognise the clicks queued meanwhile
// and ignore them. User-interface thread only; elsewhere it does nothing.
void DispatchWaitingMessages();
// TME_LEAVE: WM_MOUSELEAVE is posted when the pointer is no longer over the window (at once if it
// is not over it now); TME_CANCEL stops that.
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT pEventTrack);
BOOL _TrackMouseEvent(LPTRACKMOUSEEVENT pEventTrack);
// Whether the pointer is over one of the program's visible top-level windows (those with
// WS_EX_TRANSPARENT do not count), as the window system last reported. While bTrack is set, the
// window gets WM_POINTERINPROGRAM (posted; wParam TRUE: entered, FALSE: left) whenever that
// changes; going straight from one window to another is no change. Lets a poller sleep while the
// pointer is elsewhere. Tracking ends with the window.
BOOL TrackPointerInProgram(HWND hWnd, BOOL bTrack);
BOOL IsPointerInProgram();
// A number from 0xC000 up, the same for the same name (ignoring case) for the whole run.
UINT RegisterWindowMessage(LPCWSTR lpszName);

// Ends a window whose object may still be running one of its handlers (a row removed by its own
// click, a popup closed by its item): the window and its children are destroyed now, the object
// is deleted when the outermost message handler returns, or at once when none is running. Until
// then nothing may use the object. User-interface thread only.
void AfxDeleteLater(std::unique_ptr<CWnd> pWnd);

// The program's main window: the owner of dialogs created without a parent.
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* pWnd);

// Window classes: only the class style (CS_DBLCLKS) and the background brush (which WM_ERASEBKGND
// fills with by default) have an effect.
LPCWSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                            HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);
BOOL AfxRegisterClass(WNDCLASS* pWndClass);
BOOL GetClassInfo(HINSTANCE hInstance, LPCWSTR lpszClassName, WNDCLASS* pWndClass);
HCURSOR LoadCursor(HINSTANCE hInstance, LPCWSTR lpszCursorName);
