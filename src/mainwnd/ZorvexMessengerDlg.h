// CZorvexMessengerDlg: the program's one top-level window. Inside its skinned frame: a header bar
// (back arrow and the title button that opens the main menu), a scrolling list of rows and, while
// one game is shown (view 3), a game header with two buttons under the list.
//
// Views: 0 the game list, 1 preferences (empty), 3 one game (m_strCurrentGame). SwitchView sets
// the header and rebuilds; Rebuild throws every row away and makes those of the current view from
// g_pMessageManager's store; Layout places the controls for the window's size and view. The rows
// belong to m_listRows until the next Rebuild or the window's end. User-interface thread only,
// except OnTransferDone (a download's worker thread).
#pragma once

#include "net/VelCurlTransfer.h"
#include "res/MaskedBitmap.h"
#include "ui/CustomDialog.h"
#include "ui/GeneralSubWindow.h"
#include "ui/GeneralWindow.h"
#include "ui/VelButton.h"
#include "ui/VelStatic2.h"
#include "ui/VelTooltip2.h"

#include <memory>
#include <string>
#include <vector>

class CPBEMGameState;

// Commands of the main window's controls and rows.
inline constexpr UINT IDC_MAIN_MENU = 2001;
inline constexpr UINT IDC_BACK = 2002;
inline constexpr UINT IDC_PREFERENCES = 2004;
inline constexpr UINT IDC_HELP_ROW = 2005;
inline constexpr UINT IDC_ENTER_GAME = 2011;
inline constexpr UINT IDC_GAME_OPTIONS = 2012;
inline constexpr UINT IDC_DOWNLOAD_DONE = 2013;
inline constexpr UINT IDC_EVENT_ROW = 1100;
// Game rows count up from the first id in list order; the window opens a game for any id of the
// range (the row's key names the game).
inline constexpr UINT IDC_FIRST_GAME = 9000;
inline constexpr UINT IDC_LAST_GAME = 9999;

// Views.
inline constexpr int VIEW_GAME_LIST = 0;
inline constexpr int VIEW_PREFERENCES = 1;
inline constexpr int VIEW_GAME = 3;

// The check mark of the preferences row, and its companion (loaded, not drawn). They point at
// the main window's bitmaps while it exists; null otherwise.
extern CMaskedBitmap* g_pbmpCheck1;
extern CMaskedBitmap* g_pbmpCheck2;

class CZorvexMessengerDlg : public CCustomDialog, public CVelCurlObserver
{
public:
    explicit CZorvexMessengerDlg(CWnd* pParentWnd = nullptr);
    ~CZorvexMessengerDlg() override;

    BOOL OnInitDialog() override;
    // Places the controls for the current size and view; nothing before the content exists.
    void Layout();
    // 0, 1 or 3: the header for that view, then Rebuild. Other values do nothing.
    void SwitchView(int nView);
    // Deletes every row (safely, even from a row's own click), makes the current view's rows,
    // then Layout.
    void Rebuild();

    // Posts IDC_DOWNLOAD_DONE to the window (called on the download's thread).
    void OnTransferDone(CVelCurlTransfer* pTransfer) override;

    // Declared first: the frame registers its title buttons' tips with it during OnInitDialog,
    // and it outlives every control of this class.
    CVelTooltip2 m_wndTooltip;

    CGeneralWindow m_wndContent;
    CMaskedBitmap m_bmpUserSmall;
    CMaskedBitmap m_bmpMessage;
    CMaskedBitmap m_bmpDropdown;
    CMaskedBitmap m_bmpAdd;
    CMaskedBitmap m_bmpBack;
    CMaskedBitmap m_bmpFlagNeutral;
    CMaskedBitmap m_bmpYield;
    CMaskedBitmap m_bmpGlobe;
    CMaskedBitmap m_bmpClock;
    CMaskedBitmap m_bmpChat;
    CMaskedBitmap m_bmpMail;
    CMaskedBitmap m_bmpTarget;
    CMaskedBitmap m_bmpHelp;
    CMaskedBitmap m_bmpCheck1; // g_pbmpCheck1
    CMaskedBitmap m_bmpCheck2; // g_pbmpCheck2
    CVelButton m_btnBack;
    CVelButton m_btnMainMenu;
    CVelStatic2 m_stcGameHeader;
    CVelStatic2 m_stcLineTop;
    CGeneralSubWindow m_wndList;
    // Rows of m_wndList, in list order (statics held as their button base).
    std::vector<std::unique_ptr<CVelButton>> m_listRows;
    CVelStatic2 m_stcLineBottom;
    CVelButton m_btnOptions;
    CVelButton m_btnEnterGame;
    int m_nView = VIEW_GAME_LIST;
    std::wstring m_strCurrentGame; // PlayerId of the game of view 3

protected:
    void OnSize(UINT nType, int cx, int cy) override;

    // Start-up steps that touch the disk: the PBEM folder, and loading the game list with the
    // stored events. A test window leaves them out and fills the store itself.
    virtual void CreateGameFolder();
    virtual void LoadGameList();

private:
    void LoadImages();
    void CreateControls(int W, int H);
    void BuildGameListRows();
    void BuildGameRows();
    CVelButton* AddGameRow(CPBEMGameState& game, int y, UINT nID);
    void AddEventRows(CPBEMGameState& game);
    void DeleteRows();
    CVelButton* AppendRow(std::unique_ptr<CVelButton> pRow);
};
