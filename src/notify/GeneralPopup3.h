// CGeneralPopup3: the program's own drop-down menu. A borderless window opened at a screen point
// (usually the lower-left corner of a button) that lists items as flat buttons with separator
// lines, scrolls when it would be taller than 200 pixels, and closes when an item is chosen, on a
// button release outside it, on Enter, or when the application loses activation.
//
// Use: new CGeneralPopup3, AddItem/AddSeparator, Show(owner, id, x, y). Never delete it: the
// popup deletes itself once its window is gone. The choice is not returned: the popup fills the
// static s_... values and posts WM_POPUP_CHOSEN (wParam = menu id) to the owner, which reads them.
// Closing without a choice posts WM_POPUP_DISMISSED. A click outside that closes the popup never
// reaches the window under the pointer.
#pragma once

#include "ui/CustomDialog.h"
#include "ui/GeneralWindow.h"

#include <memory>
#include <string>
#include <vector>

inline constexpr UINT WM_POPUP_CHOSEN = 0x1F50;
inline constexpr UINT WM_POPUP_DISMISSED = 0x1F51;

struct CGeneralPopup3Item
{
    bool m_bEnabled = true;
    bool m_bSeparator = false;
    std::wstring m_strImagePath; // empty: no image
    std::wstring m_strText;
    int m_nValue = 0;
    int m_nValue2 = 0;
    std::wstring m_strKey;
};

// Where a popup of the size goes when its top-left corner is wanted at ptAnchor: to the left of
// the point when it would pass the work area's right edge, above it when it would come within 30
// pixels of the bottom, and never past the work area's left or top edge after that.
CPoint PlacePopup(CPoint ptAnchor, CSize size, const CRect& rcWork);

class CGeneralPopup3 : public CCustomDialog
{
public:
    // The command ids of the items: the first is 10001.
    static constexpr UINT kFirstItemId = 10000;
    static constexpr UINT kLastItemId = 20000;
    static constexpr int kMaxHeight = 200;
    static constexpr int kScrollBarRoom = 18;

    // Resets the static choice.
    CGeneralPopup3();
    ~CGeneralPopup3() override;

    void AddItem(const std::wstring& strImagePath, const std::wstring& strText, int nValue,
                 int nValue2, const std::wstring& strKey);
    void AddSeparator();
    // Creates, sizes, places and shows the popup at screen point (x, y); returns at once.
    BOOL Show(CWnd* pOwner, int nMenuId, int x, int y);
    // Records the choice of the item with the command id, tells the owner and closes.
    void OnItemCommand(UINT nID) override;

    // The last choice; reset by every popup's constructor.
    static std::wstring s_strChosenKey;
    static std::wstring s_strChosenText;
    static int s_nChosenValue;
    static int s_nChosenValue2;

    int m_nTextIndent = 29;
    int m_nWidth = 0; // of the item area, set by Show
    int m_nItemHeight = 22;
    int m_nHeight = 0; // of the window, set by Show
    CWnd* m_pOwner = nullptr;
    int m_nMenuId = 0;
    bool m_bModernOS = true;
    bool m_bFlatMenus = false;
    std::vector<std::unique_ptr<CGeneralPopup3Item>> m_listItems;
    CGeneralWindow m_wndItems;
    std::vector<std::unique_ptr<CVelButton>> m_listButtons; // items and separator lines, in order

    // Enter and closing end the popup without a choice, as a release outside does.
    void OnOK() override;
    void OnCancel() override;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    // The enabled item shown at a screen point; null elsewhere (frame, separators, outside).
    const CVelButton* ItemAt(CPoint ptScreen) const;
    void OnActivateApp(BOOL bActive, DWORD dwThreadID) override;
    void OnKillFocus(CWnd* pNewWnd) override;
    void OnPaint() override;
    LRESULT OnNcHitTest(CPoint point) override;

private:
    static constexpr UINT_PTR kCaptureTimer = 10;
    // Sizes m_nWidth and m_nHeight from the items.
    void Measure();
    void CreateItemWindows();
    // Releases the pointer, tells the owner and destroys the window (the object goes later).
    void Close(UINT nMessage);

    HWND m_hWndOwner = nullptr; // posted to by handle: the owner's object may be gone
    bool m_bClosing = false;
    bool m_bDeleteQueued = false;
};
