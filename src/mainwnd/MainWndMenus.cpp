// CZorvexMessengerDlg: the main menu (the header button) and the options menu of one game (with
// its mute commands), and what their choices do. A menu deletes itself; its choice comes back as
// WM_POPUP_CHOSEN.
#include "mainwnd/ZorvexMessengerDlg.h"

#include "base/Format.h"
#include "mainwnd/MainWndTexts.h"
#include "notify/GeneralPopup3.h"
#include "pbem/PBEMMessageManager.h"
#include "res/TextIds.h"

namespace
{

constexpr int kMainMenu = 1;
constexpr int kOptionsMenu = 2;
constexpr int kMenuTextIndent = 10;

// The main menu's items carry the number of the view they open.
constexpr int MenuValue(EView eView)
{
    return static_cast<int>(eView);
}

const wchar_t* const kRemoveGameKey = L"RemoveGame";
const wchar_t* const kCredentialsKey = L"GetUsernamePassword";
const wchar_t* const kMuteHourKey = L"MuteHour";
const wchar_t* const kMuteTomorrowKey = L"MuteTomorrow";
const wchar_t* const kMuteKey = L"Mute";
const wchar_t* const kUnmuteKey = L"Unmute";

// Opens the menu under the button: its lower-left corner, one pixel up so the two touch.
void ShowUnder(std::unique_ptr<CGeneralPopup3> pMenu, CWnd* pOwner, int nMenu, const CWnd& button)
{
    CRect rc;
    button.GetClientRect(&rc);
    button.ClientToScreen(&rc);
    pMenu->m_nTextIndent = kMenuTextIndent;
    // From here the popup deletes itself when it closes, also when it fails to show.
    pMenu.release()->Show(pOwner, nMenu, rc.left, rc.bottom - 1);
}

} // namespace

void CZorvexMessengerDlg::ShowMainMenu()
{
    auto pMenu = std::make_unique<CGeneralPopup3>();
    pMenu->AddItem(L"", Text(IDS_MAIN_MENU), MenuValue(EView::GameList), 0, L"");
    pMenu->AddItem(L"", Text(IDS_PREFERENCES), MenuValue(EView::Preferences), 0, L"");
    if (g_pMessageManager != nullptr && !g_pMessageManager->m_store.m_listGames.empty())
    {
        pMenu->AddSeparator();
        // Shared entries too: their game shows its count line.
        for (const auto& pGame : g_pMessageManager->m_store.m_listGames)
        {
            pMenu->AddItem(L"", FormatText(Text(IDS_GAME_S), {pGame->GetGameId()}),
                           MenuValue(EView::Game), 0, pGame->m_strPlayerId);
        }
    }
    ShowUnder(std::move(pMenu), this, kMainMenu, m_btnMainMenu);
}

void CZorvexMessengerDlg::ShowOptionsMenu()
{
    auto pMenu = std::make_unique<CGeneralPopup3>();
    pMenu->AddItem(L"", Text(IDS_REMOVE_GAME), 0, 0, kRemoveGameKey);
    pMenu->AddItem(L"", Text(IDS_GET_USERNAME_PASSWORD), 0, 0, kCredentialsKey);
    // A game muted by its own entry offers its end; one that is not (even while every game is
    // muted from the tray) offers a mute of its own, which outlasts the one of every game.
    const CPBEMGameState* pGame = CurrentGame();
    if (pGame != nullptr && !pGame->GetGameId().empty())
    {
        pMenu->AddSeparator();
        if (m_muteList.IsKeyMuted(pGame->GetGameId(), Now()))
        {
            pMenu->AddItem(L"", Text(IDS_UNMUTE), 0, 0, kUnmuteKey);
        }
        else
        {
            pMenu->AddItem(L"", Text(IDS_MUTE_HOUR), 0, 0, kMuteHourKey);
            pMenu->AddItem(L"", Text(IDS_MUTE_TOMORROW), 0, 0, kMuteTomorrowKey);
            pMenu->AddItem(L"", Text(IDS_MUTE), 0, 0, kMuteKey);
        }
    }
    ShowUnder(std::move(pMenu), this, kOptionsMenu, m_btnOptions);
}

void CZorvexMessengerDlg::OnMenuChosen(int nMenu)
{
    if (nMenu == kMainMenu)
    {
        switch (CGeneralPopup3::s_nChosenValue)
        {
        case MenuValue(EView::GameList):
            SwitchView(EView::GameList);
            break;
        case MenuValue(EView::Preferences):
            SwitchView(EView::Preferences);
            break;
        case MenuValue(EView::Game):
            m_strCurrentGame = CGeneralPopup3::s_strChosenKey;
            SwitchView(EView::Game);
            break;
        default:
            break; // nothing chosen
        }
    }
    else if (nMenu == kOptionsMenu)
    {
        if (CGeneralPopup3::s_strChosenKey == kRemoveGameKey)
            RemoveCurrentGame();
        else if (CGeneralPopup3::s_strChosenKey == kCredentialsKey)
            ShowCredentials();
        else
            MuteCurrentGame(CGeneralPopup3::s_strChosenKey);
    }
}

void CZorvexMessengerDlg::MuteCurrentGame(const std::wstring& strChosenKey)
{
    // The game may have been removed while the menu was open.
    const CPBEMGameState* pGame = CurrentGame();
    if (pGame == nullptr || pGame->GetGameId().empty())
        return;
    const auto tNow = Now();
    if (strChosenKey == kMuteHourKey)
        SetMute(pGame->GetGameId(), tNow + std::chrono::hours(1));
    else if (strChosenKey == kMuteTomorrowKey)
        SetMute(pGame->GetGameId(), TomorrowMorning(tNow));
    else if (strChosenKey == kMuteKey)
        SetMute(pGame->GetGameId(), CMuteList::kAlways);
    else if (strChosenKey == kUnmuteKey)
        SetMute(pGame->GetGameId(), std::nullopt);
}
