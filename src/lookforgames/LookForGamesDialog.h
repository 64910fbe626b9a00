// CLookForGamesDialog: the "Online Games" window. It shows the player's online name, a check box
// that tells the game server whether the player is looking to join a play-by-e-mail game (one
// blocking form post per click), and a list of players looking for a game, which nothing fills.
//
//     CLookForGamesDialog dlg;
//     dlg.PlaceOver(pMainWnd); // inside the work area of the main window's monitor
//     dlg.DoModal();
//
// The box opens unticked every time. A post that gets no answer from the server (host not found,
// refused, time limit) puts the tick back as it was. Clicks on the box made while its post runs
// (they queue up while the window waits) are ignored. "Send Message" does nothing. OK or the
// title-bar close button end it; Escape leaves it open.
#pragma once

#include "res/MaskedBitmap.h"
#include "ui/CustomDialog.h"
#include "ui/GeneralWindow.h"
#include "ui/IdRange.h"
#include "ui/VelButton.h"
#include "ui/VelListDisplay.h"
#include "ui/VelStatic2.h"

#include <memory>
#include <string>
#include <vector>

inline constexpr UINT IDC_LOOKING_FOR_GAME = 1401;
inline constexpr UINT IDC_SEND_MESSAGE = 1402;
// Player rows count up from the first id in list order.
inline constexpr SIdRange IDC_PLAYER_ROWS{10000, 10999};

inline constexpr int LOOK_FOR_GAMES_WIDTH = 450;
inline constexpr int LOOK_FOR_GAMES_HEIGHT = 520;
// Seconds one post may take; the window does not respond meanwhile.
inline constexpr int LOOK_FOR_GAMES_TIMEOUT = 10;

// One entry of the player list.
class CPlayerLookingForAGame
{
public:
    std::wstring m_strName;
    bool m_bOnline = false;
    bool m_bPBEM = false;
    std::string m_strLastLogin; // "YYYYMMDD"
};

class CLookForGamesDialog : public CCustomDialog
{
public:
    CLookForGamesDialog();
    ~CLookForGamesDialog() override;

    // Builds the window at 450 x 520 without moving it; returns TRUE.
    BOOL OnInitDialog() override;

    // Sets the initial rectangle centred on the owner, inside its monitor's work area (the
    // primary screen's for null; see PlaceOverOwner); call before DoModal or Create.
    void PlaceOver(CWnd* pOwner);

    bool m_bLooking = false; // the state last sent
    bool m_bPosting = false; // a post is running: clicks on the box are ignored
    CMaskedBitmap m_bmpChecked;
    CMaskedBitmap m_bmpUnchecked;
    CMaskedBitmap m_bmpButtonWhite;
    CGeneralWindow m_wndArea;
    CVelStatic2 m_lblName;
    CVelButton m_btnLooking;
    CVelStatic2 m_lblPlayers;
    CVelListDisplay m_listPlayers;
    CVelStatic2 m_lblColName;
    CVelStatic2 m_lblColLookingFor;
    CVelStatic2 m_lblColLastLogin;
    CVelButton m_btnSendMessage;
    int m_nSelectedRow = 0; // command id of the selected row, 0: none
    // Shown as rows when the window is built.
    std::vector<std::unique_ptr<CPlayerLookingForAGame>> m_players;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void AddPlayerRows();
    void OnLookingClicked();
    void OnSendMessage();
    void SelectRow(UINT nID);
    void ShowLookingTick();
    // Posts the state; false when the server gave no answer.
    static bool SendLooking(bool bLooking);
};
