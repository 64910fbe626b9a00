// CVelTooltip2: the program's one tooltip. Controls register a text for themselves; when the
// pointer has rested 0.5 s on a registered control, a pale-yellow box with a black frame shows the
// text 20 pixels below the pointer (moved left or up by its own size where it would leave the
// pointer's screen). The first movement, a button press on a control or another window under the
// pointer hides it.
//
// Construct the object before any control registers a text (while it exists it is
// g_pTooltipManager; texts registered while there is none are lost). CreateTooltipWindow makes
// its window later: a top-level window that takes no input and never the focus, and a 50 ms
// timer that polls the pointer while it is over one of the program's windows (the timer sleeps
// while the pointer is elsewhere). User-interface thread only.
#pragma once

#include "platform/Wnd.h"
#include "ui/GeneralSubWindow.h"
#include "ui/VelTooltipManager.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CVelStatic2;

// One line of a tip.
struct CVelTooltip2Item
{
    std::wstring m_strText;
    // Copied into the line window's value, value2 and key.
    int m_nValue = 0;
    int m_nValue2 = 0;
    std::wstring m_strKey;
    // The line window's id: 10001 upwards, in order.
    UINT m_nID = 0;
    int m_nWidth = 0;
    // Measured text height + 2.
    int m_nHeight = 0;
};

class CVelTooltip2 : public CWnd, public CVelTooltipManager
{
public:
    static constexpr UINT_PTR TIMER_TRACK = 10;
    static constexpr UINT TRACK_PERIOD_MS = 50;
    static constexpr double REST_SECONDS = 0.5;

    CVelTooltip2();
    ~CVelTooltip2() override;

    // Makes the window, owned by pMainWnd, and starts polling the pointer.
    BOOL CreateTooltipWindow(CWnd* pMainWnd);

    void SetTooltipText(CWnd* pControl, const std::wstring& strText) override;
    void RemoveControl(CWnd* pControl) override;
    // A move away from the last polled position or a button press hides the tip.
    void RelayMouseMessage(MSG* pMsg) override;

    // One poll of the pointer: shows, keeps or hides the tip.
    void Track();
    void AddLine(const std::wstring& strText);
    // Destroys the line windows and forgets the lines.
    void ClearLines();
    // Lays out the lines and shows the tip with its top-left corner at (x, y) (screen); nothing
    // without lines.
    void ShowAt(int x, int y);
    void Hide();

    // A tip is on screen.
    static bool IsTipShown() { return s_bTipShown; }
    bool IsPolling() const { return m_bPolling; }
    // The registered text of a control (empty when none).
    std::wstring GetTooltipText(CWnd* pControl) const;

    int m_nWidth = 0;
    int m_nHeight = 0;
    CGeneralSubWindow m_wndContent;
    // The windows of the current lines, children of m_wndContent.
    std::vector<std::unique_ptr<CVelStatic2>> m_listLineWnds;
    std::vector<std::unique_ptr<CVelTooltip2Item>> m_listLines;
    std::wstring m_strClass;
    COLORREF m_crBack = RGB(255, 255, 225);
    // Window under the pointer and pointer position at the last poll.
    CWnd* m_pCurrent = nullptr;
    CPoint m_ptLast{0, 0};
    // Time of the last movement or change of window.
    double m_dStart = 0;

protected:
    // Seconds on a monotonic clock.
    virtual double Now() const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* pDC) override;

private:
    void StartPolling();
    void StopPolling();

    static inline bool s_bTipShown = false;

    std::unordered_map<CWnd*, std::wstring> m_mapText;
    bool m_bPolling = false;
};
