#include "lookforgames/LookForGamesDialog.h"

#include "net/GameServer.h"
#include "net/ServerDate.h"
#include "net/VelCurlTransfer.h"
#include "pbem/PBEMMessageManager.h"
#include "platform/System.h"
#include "res/TextIds.h"
#include "ui/TextMeasure.h"
#include "ui/WindowPlacement.h"

namespace
{

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kHeaderFace = RGB(245, 245, 245);
constexpr COLORREF kSelectedFace = RGB(235, 235, 235);
constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE;

// The scrolling area's margins inside the client area.
constexpr int kAreaLeft = 15;
constexpr int kAreaTop = 35;
constexpr int kAreaExtraWidth = 30;
constexpr int kAreaExtraHeight = 90;

const CPoint kTickAt(5, 8);
const CRect kListRect(20, 88, 395, 218);
const CRect kColNameRect(2, 2, 140, 20);
const CRect kColLookingForRect(140, 2, 265, 20);
const CRect kColLastLoginRect(265, 2, 373, 20);
constexpr int kColumnTextX = 10;
const CRect kSendMessageRect(295, 223, 396, 249);
const CSize kAreaContent(100, 223);

// Player rows.
constexpr int kRowLeft = 1;
constexpr int kRowRight = 391;
constexpr int kRowHeight = 23;
constexpr int kRowTextX = 9;
const CPoint kLookingForAt(147, 5);
const CPoint kLastLoginAt(272, 5);
constexpr int kRowContentWidth = 100;

const wchar_t* const kSendMessageText = L"Send Message";

std::wstring LookingForText(const CPlayerLookingForAGame& player)
{
    std::wstring str;
    if (player.m_bOnline)
        str = L"Online";
    if (player.m_bPBEM)
        str += str.empty() ? L"PBEM" : L", PBEM";
    return str;
}

} // namespace

CLookForGamesDialog::CLookForGamesDialog() : CCustomDialog(IDD_CUSTOM_DIALOG, nullptr) {}

CLookForGamesDialog::~CLookForGamesDialog()
{
    // The controls show this object's bitmaps: the window goes while they are still here.
    if (GetSafeHwnd() != nullptr)
        DestroyWindow();
}

void CLookForGamesDialog::PlaceOver(CWnd* pOwner)
{
    SetInitialRect(PlaceOverOwner(pOwner, CSize(LOOK_FOR_GAMES_WIDTH, LOOK_FOR_GAMES_HEIGHT)));
}

BOOL CLookForGamesDialog::OnInitDialog()
{
    CCustomDialog::OnInitDialog();
    SetWindowText(Text(IDS_ONLINE_GAMES));
    ShowTitleButton(IDC_SKIN_CLOSE, true);

    m_bResizable = false;
    m_nMinWidth = 350;
    m_nMinHeight = 220;
    SetWindowPos(nullptr, 0, 0, LOOK_FOR_GAMES_WIDTH, LOOK_FOR_GAMES_HEIGHT,
                 SWP_NOMOVE | SWP_NOZORDER);

    CRect rcClient;
    GetClientRect(&rcClient);
    m_wndArea.Create(kAreaLeft, kAreaTop, rcClient.Width() - kAreaExtraWidth,
                     rcClient.Height() - kAreaExtraHeight, this);
    CGeneralSubWindow* pPanel = m_wndArea.CreatePanel();

    m_bmpChecked.Load(L"Data/Skins/Default/Check1.bmp");
    m_bmpUnchecked.Load(L"Data/Skins/Default/Check2.bmp");
    // Against the white face it is drawn on: its rounded corners are transparent.
    m_bmpButtonWhite.Load(L"Data/Skins/Default/Button-White-100.png", kWhite);

    const std::wstring strUsername =
        g_pMessageManager != nullptr ? g_pMessageManager->m_store.m_strUsername : std::wstring();
    const std::wstring strName = Text(IDS_YOUR_ONLINE_NAME) + L" " +
                                 (strUsername.empty() ? Text(IDS_NOT_LOGGED_IN) : strUsername);
    m_lblName.Create(strName.c_str(), kChildStyle, CRect(10, 8, GetTextWidth(strName) + 20, 33),
                     pPanel);

    // Unticked on every opening, whatever was sent before.
    m_bLooking = false;
    const std::wstring strLooking = Text(IDS_LOOKING_TO_JOIN);
    m_btnLooking.Create(strLooking.c_str(), kChildStyle,
                        CRect(10, 33, GetTextWidth(strLooking) + 35, 58), pPanel,
                        IDC_LOOKING_FOR_GAME);
    m_btnLooking.m_crFace = kWhite;
    m_btnLooking.m_nTextX = 19;
    ShowLookingTick();

    const std::wstring strPlayers = Text(IDS_PLAYERS_LOOKING);
    m_lblPlayers.Create(strPlayers.c_str(), kChildStyle,
                        CRect(10, 58, GetTextWidth(strPlayers) + 20, 83), pPanel);
    m_lblPlayers.m_crFace = kWhite;

    m_listPlayers.Create(kListRect.left, kListRect.top, kListRect.right, kListRect.bottom, pPanel);
    const auto CreateHeader =
        [this](CVelStatic2& label, const std::wstring& strText, const CRect& rect)
    {
        label.Create(strText.c_str(), kChildStyle, rect, &m_listPlayers);
        label.m_crFace = kHeaderFace;
        label.m_nTextX = kColumnTextX;
    };
    CreateHeader(m_lblColName, Text(IDS_NAME), kColNameRect);
    CreateHeader(m_lblColLookingFor, Text(IDS_LOOKING_FOR), kColLookingForRect);
    CreateHeader(m_lblColLastLogin, Text(IDS_LAST_LOGIN), kColLastLoginRect);
    AddPlayerRows();

    m_btnSendMessage.Create(kSendMessageText, kChildStyle, kSendMessageRect, pPanel,
                            IDC_SEND_MESSAGE);
    m_btnSendMessage.m_crFace = kWhite;
    m_btnSendMessage.m_nTextX = -1;
    m_btnSendMessage.m_nTextY = -1;
    m_btnSendMessage.m_eTextAlign = ETextAlign::Center;
    m_btnSendMessage.AddImage(&m_bmpButtonWhite, 0, 0, false);

    pPanel->SetContentSize(kAreaContent.cx, kAreaContent.cy);
    AddOkButton();
    return TRUE;
}

void CLookForGamesDialog::AddPlayerRows()
{
    UINT nID = IDC_PLAYER_ROWS.nFirst;
    int t = 0;
    for (const std::unique_ptr<CPlayerLookingForAGame>& pPlayer : m_players)
    {
        if (!IDC_PLAYER_ROWS.Contains(nID))
            break;
        auto pRow = std::make_unique<CVelButton>();
        CGeneralSubWindow& panel = m_listPlayers.m_wndPanel;
        pRow->Create(pPlayer->m_strName.c_str(), kChildStyle,
                     panel.ContentToView(CRect(kRowLeft, t, kRowRight, t + kRowHeight)), &panel,
                     nID);
        pRow->m_crFace = kWhite;
        pRow->m_nTextX = kRowTextX;
        pRow->AddText(LookingForText(*pPlayer), kLookingForAt.x, kLookingForAt.y);
        pRow->AddText(FormatServerDate(pPlayer->m_strLastLogin), kLastLoginAt.x, kLastLoginAt.y);
        pRow->m_nValue = static_cast<int>(nID);
        pRow->m_strKey = pPlayer->m_strName;
        m_listPlayers.AddRow(std::move(pRow));
        ++nID;
        t += kRowHeight;
    }
    if (!m_listPlayers.GetRows().empty())
        m_listPlayers.m_wndPanel.SetContentSize(kRowContentWidth, t);
}

BOOL CLookForGamesDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    if (IDC_PLAYER_ROWS.Contains(nID))
    {
        SelectRow(nID);
        return TRUE;
    }
    switch (nID)
    {
    case IDC_LOOKING_FOR_GAME:
        OnLookingClicked();
        return TRUE;
    case IDC_SEND_MESSAGE:
        OnSendMessage();
        return TRUE;
    default:
        return CCustomDialog::OnCommand(wParam, lParam);
    }
}

void CLookForGamesDialog::ShowLookingTick()
{
    m_btnLooking.RemoveAllImages();
    m_btnLooking.AddImage(m_bLooking ? &m_bmpChecked : &m_bmpUnchecked, kTickAt.x, kTickAt.y,
                          false);
}

void CLookForGamesDialog::OnLookingClicked()
{
    // A click made while the post held the window was queued behind it: impatience, not a wish
    // to send the state again (one post each would freeze the window once more every time).
    if (m_bPosting)
        return;
    m_bLooking = !m_bLooking;
    ShowLookingTick();
    m_bPosting = true;
    const bool bSent = SendLooking(m_bLooking);
    // Those clicks arrive now, while the post still counts as running.
    DispatchWaitingMessages();
    m_bPosting = false;
    if (bSent)
        return;
    // The server never heard it: a tick that stayed would claim a state it does not have.
    m_bLooking = !m_bLooking;
    ShowLookingTick();
}

bool CLookForGamesDialog::SendLooking(bool bLooking)
{
    std::wstring strUsername;
    std::wstring strPassword;
    if (g_pMessageManager != nullptr)
    {
        strUsername = g_pMessageManager->m_store.m_strUsername;
        strPassword = g_pMessageManager->m_store.m_strPassword;
    }
    CVelCurlTransfer transfer;
    transfer.AddFormField("Username", std::wstring_view(strUsername));
    transfer.AddFormField("Password", std::wstring_view(strPassword));
    transfer.AddFormField("LookingForPBEMGame", std::wstring_view(bLooking ? L"1" : L"0"));
    transfer.SetURL(GameServerURL(SCRIPT_LOOKING_FOR_GAME));
    transfer.SetTimeout(LOOK_FOR_GAMES_TIMEOUT);
    // On this thread: the window waits for the answer, which is not read.
    const bool bLoopEnded = transfer.Perform();
    return bLoopEnded && transfer.Succeeded();
}

void CLookForGamesDialog::OnSendMessage()
{
    // Messages between players do not exist yet: the selection is looked at and left alone.
    for (const std::unique_ptr<CVelButton>& pRow : m_listPlayers.GetRows())
    {
        if (pRow->m_nValue == m_nSelectedRow)
            break;
    }
}

void CLookForGamesDialog::SelectRow(UINT nID)
{
    const int nOld = m_nSelectedRow;
    for (const std::unique_ptr<CVelButton>& pRow : m_listPlayers.GetRows())
    {
        if (pRow->m_nValue == static_cast<int>(nID))
        {
            m_nSelectedRow = static_cast<int>(nID);
            pRow->m_crFace = kSelectedFace;
            pRow->Invalidate();
        }
        else if (pRow->m_nValue == nOld)
        {
            pRow->m_crFace = kWhite;
            pRow->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
    }
}
