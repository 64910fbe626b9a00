// CSystemTray: the program's one icon in the desktop's status area, kept for the life of the main
// window. It shows the application icon with a tooltip, switches between icons, shows information
// balloons, hides the main window into the tray and back, and turns a double click on the icon
// into a WM_COMMAND (the default command) for the main window. Its context menu's entries come
// from the owner each time the menu opens and are sent as WM_COMMAND the same way.
//
// The object owns an invisible message window: the icon's mouse events arrive there as
// WM_TRAYNOTIFY (wParam icon id, lParam the mouse message) and go to OnTrayNotification. Hosts
// that report no double clicks give a single activation as the double click; on hosts that do,
// the click before a double click counts for nothing. When the tray host comes back
// ("TaskbarCreated", or a change of the work area) the icon is put back with the icon last set
// and its tooltip. Texts longer than the icon record's fields are cut (UTF-16 units, never inside
// a surrogate pair). User-interface thread only.
//
// Desktops without a tray: IsShownInTray tells callers not to hide a window that nothing could
// bring back; a tray that goes away while a window is hidden in it brings the window back (as a
// double click on the icon would); balloons become desktop notifications.
#pragma once

#include "platform/TrayIcon.h"
#include "platform/Wnd.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CMenu;

constexpr UINT WM_TRAYNOTIFY = WM_APP + 10;
// Posted to the command target when the user clicks the balloon last shown.
constexpr UINT WM_TRAY_MESSAGE_CLICKED = WM_APP + 0x30;

// The icon record's flags (what a call changes) and state.
constexpr UINT NIF_MESSAGE = 0x01;
constexpr UINT NIF_ICON = 0x02;
constexpr UINT NIF_TIP = 0x04;
constexpr UINT NIF_STATE = 0x08;
constexpr UINT NIF_INFO = 0x10;
constexpr DWORD NIS_HIDDEN = 0x01;
// Balloon icons.
constexpr DWORD NIIF_NONE = 0;
constexpr DWORD NIIF_INFO = 1;
constexpr DWORD NIIF_WARNING = 2;
constexpr DWORD NIIF_ERROR = 3;

// What the icon shows; kept so that the icon can be put back as it was.
struct CTrayIconRecord
{
    static constexpr size_t TIP_MAX = 127;
    static constexpr size_t INFO_MAX = 255;
    static constexpr size_t INFO_TITLE_MAX = 63;

    HWND hWnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    UINT nIconResourceID = 0; // the icon's resource: Data/Icons/icon<id>-<size>.png
    std::wstring szTip;
    DWORD dwState = 0;
    DWORD dwStateMask = 0;
    std::wstring szInfo;
    UINT uTimeout = 0;
    std::wstring szInfoTitle;
    DWORD dwInfoFlags = 0;
};

// strText cut to at most nMaxUnits UTF-16 code units; a character that would need a surrogate
// pair across the limit is left out whole.
std::wstring CutToUtf16Units(const std::wstring& strText, size_t nMaxUnits);

class CSystemTray : public CWnd
{
public:
    static constexpr UINT BALLOON_TIMEOUT_MS = 2000;
    // Balloons announce new events; a desktop notification shows the new-events picture.
    static constexpr UINT NOTIFICATION_ICON_ID = 134;

    // Uses the window system's tray; tests hand in a stand-in.
    CSystemTray();
    explicit CSystemTray(std::unique_ptr<ITrayIconBackend> pBackend);
    ~CSystemTray() override;

    // Makes the message window and puts the icon (resource nIconResourceID) into the tray, hidden
    // when bHidden. A balloon is shown when lpszBalloonText is not empty. True when the icon is
    // placed (also when no tray host runs yet: the icon appears when one starts).
    BOOL Create(LPCWSTR lpszTooltip, UINT nIconResourceID, UINT uID, BOOL bHidden,
                LPCWSTR lpszBalloonText, LPCWSTR lpszBalloonTitle, DWORD dwBalloonIcon,
                UINT uBalloonTimeoutSeconds);
    // False when the icon's files cannot be read (the icon keeps its image) or before Create.
    BOOL SetIconFromResource(UINT nIDResource);
    BOOL SetTooltipText(LPCWSTR lpszTooltip);
    // An information balloon for 2 s; a null title gives none. Where the tray cannot show it, the
    // same title and text go out as a desktop notification; FALSE when neither was possible.
    BOOL ShowBalloon(LPCWSTR lpszText, LPCWSTR lpszTitle);
    // A tray shows the icon now, so a window hidden into it can be brought back.
    bool IsShownInTray() const;
    // The command a double click sends from now on. The result tells whether a menu item was
    // marked as default; the icon's menu marks none, so it is FALSE unless nothing changed.
    BOOL SetDefaultCommand(UINT nID);
    // The icon's context menu: items gives its entries each time it opens (nID 0 a separator);
    // the picked entry's nID is posted to the command target as WM_COMMAND. Null: no menu. May
    // be set before Create.
    void SetMenuItems(std::function<std::vector<STrayMenuItem>()> items);

    // The window leaves the screen and the taskbar (no minimise animation on this platform), and
    // comes back active and in front.
    static void HideWindowToTray(CWnd* pWnd);
    static void ShowWindowFromTray(CWnd* pWnd);
    // Where the tray is on the screen: the icon's own rectangle when the host tells it, else the
    // lower right corner of the work area.
    static void FindTrayRect(LPRECT pRect);

    // A mouse message on the icon: a double click brings the target forward and posts the
    // default command (when one is set); returns 1 when handled.
    virtual LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);
    // Hook of the classic menu resource; the icon's menu is built from SetMenuItems instead.
    virtual void PrepareMenu(CMenu* pMenu);

    ITrayIconBackend* GetBackend() const { return m_pBackend.get(); }

    CTrayIconRecord m_nid;
    bool m_bUsable = false;
    bool m_bIconHidden = true;
    bool m_bIconRemoved = true;
    bool m_bReAddPending = false;
    bool m_bBalloons = true;
    // Receives the commands; null: the application's main window.
    CWnd* m_pCommandTarget = nullptr;
    UINT m_nDefaultCommand = 0;
    bool m_bDefaultIsPosition = true;
    UINT m_nAddFlags = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The tray host (re)started: the icon goes back unless it is hidden on purpose.
    LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);

private:
    // The tray's message window is made by its own Create only.
    using CWnd::Create;
    // The tray's answer to adding the icon with the record's current content.
    bool AddIcon();
    void OnActivated(ETrayActivation reason);
    // pWnd is hidden in the tray (null: none is); the tray is watched only meanwhile.
    void SetWindowInTray(CWnd* pWnd);
    void OnTrayAvailability(bool bAvailable);
    void ApplyMenuItems();
    void OnMenuItemChosen(UINT nID);
    void OnMessageClicked();

    std::unique_ptr<ITrayIconBackend> m_pBackend;
    CWnd* m_pWndInTray = nullptr;
    std::function<std::vector<STrayMenuItem>()> m_menuItems;
    // The icon FindTrayRect asks for its place: the first one created.
    static inline CSystemTray* s_pInstance = nullptr;
};

// One size of an icon's picture and the file it was read from.
struct STrayIconPicture
{
    std::wstring strPath;
    SIconImage image;
};

// The icon's pictures (Data/Icons/icon<id>-<size>.png), smallest first. In each size the
// installation folder's file when it decodes, else the program's data folder's: a file the game's
// folder holds but that is broken counts as missing. Sizes without a usable file are left out.
// The files are read by the program's own file code, so any folder name works.
std::vector<STrayIconPicture> LoadTrayIconPictures(UINT nIconResourceID);
// The pictures of LoadTrayIconPictures alone; empty when there is none.
std::vector<SIconImage> TrayIconImages(UINT nIconResourceID);
