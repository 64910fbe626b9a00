// CZorvexMessengerDlg: the rows of the game list (view 0), the preferences (view 1) and one game
// (view 3), made from the store of g_pMessageManager.
#include "mainwnd/ZorvexMessengerDlg.h"

#include "base/Format.h"
#include "mainwnd/MainWndTexts.h"
#include "mainwnd/RowText.h"
#include "pbem/PBEMMessageManager.h"
#include "res/TextIds.h"
#include "ui/TextMeasure.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace
{

constexpr int kRowWidth = 250;
constexpr int kGameRowHeight = 25;
constexpr int kGameRowWithCountHeight = 41;
constexpr int kFixedRowHeight = 25;
constexpr int kEventRowHeight = 22;
constexpr int kContentWidth = 100;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kHoverFace = RGB(230, 230, 230);
constexpr COLORREF kBlack = RGB(0, 0, 0);
// The "muted" mark after a game's name: dimmer than the name, and a space's width from it.
constexpr COLORREF kMutedMark = RGB(128, 128, 128);
constexpr int kMutedMarkGap = 6;
constexpr int kGameTextX = 27;
constexpr int kGameTextY = 6;
// Game rows start their ids over after the last of the range.
constexpr std::size_t kGameRowIds = IDC_GAME_ROWS.Count();
static_assert(MAX_ROW_WINDOWS < kGameRowIds, "row windows must not share an id");

// The look of every clickable row of the game list.
void SetListRowColours(CVelButton& row)
{
    row.m_crFace = kWhite;
    row.m_crHoverFace = kHoverFace;
    row.m_bHoverFaceEnabled = true;
    row.m_crText = kBlack;
    row.m_crHoverText = kBlack;
    row.m_bHoverTextEnabled = true;
}

bool IsLoaded(const std::shared_ptr<CMaskedBitmap>& pFlag)
{
    return pFlag != nullptr && pFlag->m_nHeight > 0;
}

// The kind icons of event rows: the image, and where it goes right of the sender icon.
struct SKindIcon
{
    std::string_view strKind;
    CMaskedBitmap CZorvexMessengerDlg::*pBitmap;
    int nX;
    int nY;
};

const SKindIcon kKindIcons[] = {
    {"IM", &CZorvexMessengerDlg::m_bmpChat, 5, 7},
    {"Mail", &CZorvexMessengerDlg::m_bmpMail, 3, 7},
    {"DeclareWar", &CZorvexMessengerDlg::m_bmpTarget, 4, 5},
    {"OrdersSubmitted", &CZorvexMessengerDlg::m_bmpClock, 6, 7},
};
constexpr int kSenderIconWidth = 20;
constexpr int kKindIconWidth = 24;
constexpr int kEventTextMinX = 24;
constexpr int kEventTextY = 6;

} // namespace

int CZorvexMessengerDlg::AddGameRow(const CPBEMGameState& game, const CPBEMGameState* pShared,
                                    int y, UINT nID, bool bMuted)
{
    int n = static_cast<int>(game.m_listEvents.size());
    if (pShared != nullptr && pShared->m_strInstanceId == game.m_strInstanceId)
        n += static_cast<int>(pShared->m_listEvents.size());
    const int nHeight = n <= 0 ? kGameRowHeight : kGameRowWithCountHeight;

    // What the row shows, taken now: the row may be made long after, when it scrolls into view.
    std::shared_ptr<CMaskedBitmap> pOwnFlag = IsLoaded(game.m_bmpFlag) ? game.m_bmpFlag : nullptr;
    AddRow(CRect(0, y, kRowWidth, y + nHeight),
           [this, strText = FormatText(Text(IDS_GAME_S), {game.GetGameId()}), nID, n,
            pOwnFlag = std::move(pOwnFlag), strKey = game.m_strPlayerId,
            strMark = bMuted ? Text(IDS_MUTED_MARK) : std::wstring()](const CRect& rc)
           {
               auto pRow = std::make_unique<CVelButton>();
               pRow->Create(strText.c_str(), WS_CHILD | WS_VISIBLE, rc, &m_wndList, nID);
               pRow->m_nTextX = kGameTextX;
               pRow->m_nTextY = kGameTextY;
               SetListRowColours(*pRow);
               pRow->AddImage(pOwnFlag != nullptr ? pOwnFlag.get() : &m_bmpFlagNeutral, 4, 7,
                              false);
               if (n != 0)
               {
                   pRow->AddImage(&m_bmpYield, 27, 24, false);
                   pRow->AddText(n == 1 ? std::wstring(L"1 New Event")
                                        : FormatText(L"%d New Events", {n}),
                                 42, 24);
               }
               if (!strMark.empty())
               {
                   CTextDesc* pMark = pRow->AddText(
                       strMark, kGameTextX + GetTextWidth(strText, pRow->m_pFont) + kMutedMarkGap,
                       kGameTextY);
                   pMark->m_crColor = kMutedMark;
               }
               pRow->m_strKey = strKey;
               return pRow;
           });
    return nHeight;
}

void CZorvexMessengerDlg::BuildGameListRows()
{
    int y = 1;
    bool bMarksShown = false;
    if (g_pMessageManager != nullptr)
    {
        const auto tNow = Now();
        const CPBEMGameStore& store = g_pMessageManager->m_store;
        // The first shared entry of each game, found once: one search per row would make a
        // long list quadratic.
        std::unordered_map<std::wstring, const CPBEMGameState*> sharedEntries;
        for (const std::unique_ptr<CPBEMGameState>& pGame : store.m_listGames)
        {
            if (pGame->GetPlayerNumber() == 0)
                sharedEntries.try_emplace(pGame->GetGameId(), pGame.get());
        }
        std::size_t nRow = 0;
        for (const std::unique_ptr<CPBEMGameState>& pGame : store.m_listGames)
        {
            // A game's shared entry is counted with its players' rows, never shown on its own.
            if (pGame->GetPlayerNumber() < 1)
                continue;
            const auto itShared = sharedEntries.find(pGame->GetGameId());
            const UINT nID = IDC_GAME_ROWS.nFirst + static_cast<UINT>(nRow % kGameRowIds);
            // Muted by its own entry or with every game: either way its news are not announced.
            const bool bMuted = m_muteList.IsMuted(pGame->GetGameId(), tNow);
            bMarksShown = bMarksShown || bMuted;
            y += AddGameRow(*pGame, itShared != sharedEntries.end() ? itShared->second : nullptr, y,
                            nID, bMuted);
            ++nRow;
        }
    }

    y += AddCommandRows(y, {
                               {Text(IDS_PREFERENCES), IDC_PREFERENCES, g_pbmpCheck1, CPoint(8, 8)},
                               {Text(IDS_WHAT_IS_THIS_APP), IDC_HELP_ROW, &m_bmpHelp, CPoint(7, 5)},
                           });
    m_wndList.SetContentSize(kContentWidth, y);
    WatchMuteEnd(bMarksShown);
}

int CZorvexMessengerDlg::AddCommandRows(int y, std::initializer_list<SCommandRow> rows)
{
    const int y0 = y;
    for (const SCommandRow& row : rows)
    {
        if (!row.bShown)
            continue;
        AddRow(CRect(0, y, kRowWidth, y + kFixedRowHeight),
               [this, row](const CRect& rc)
               {
                   auto pRow = std::make_unique<CVelButton>();
                   pRow->Create(row.strText.c_str(), WS_CHILD | WS_VISIBLE, rc, &m_wndList,
                                row.nID);
                   pRow->m_nTextX = 27;
                   pRow->m_nTextY = -1;
                   SetListRowColours(*pRow);
                   if (row.pIcon != nullptr)
                       pRow->AddImage(row.pIcon, row.ptIcon.x, row.ptIcon.y, false);
                   return pRow;
               });
        y += kFixedRowHeight;
    }
    return y - y0;
}

void CZorvexMessengerDlg::AddTellingRow(const CRect& rcContent, std::wstring strText, CPoint ptText,
                                        std::function<void(CVelStatic2&)> fnDecorate)
{
    AddRow(rcContent,
           [this, strText = std::move(strText), ptText,
            fnDecorate = std::move(fnDecorate)](const CRect& rc)
           {
               auto pRow = std::make_unique<CVelStatic2>();
               pRow->Create(strText.c_str(), WS_CHILD | WS_VISIBLE, rc, &m_wndList);
               pRow->m_nTextX = ptText.x;
               pRow->m_nTextY = ptText.y;
               pRow->m_crFace = kWhite;
               fnDecorate(*pRow);
               return pRow;
           });
}

void CZorvexMessengerDlg::BuildPreferencesRows()
{
    const bool bLoggedIn =
        g_pMessageManager != nullptr && !g_pMessageManager->m_store.m_strUsername.empty();
    int y = 1;
    // What the last check met, once one has ended: a row that only tells. What went wrong has a
    // line of its own: after the time it would be cut at the window's first width.
    const std::wstring strTime = LastCheckTime();
    if (!strTime.empty())
    {
        std::wstring strOutcome = LastCheckOutcome();
        strOutcome.erase(0, strOutcome.find_first_not_of(L' '));
        const int nHeight = strOutcome.empty() ? kFixedRowHeight : kGameRowWithCountHeight;
        AddTellingRow(CRect(0, y, kRowWidth, y + nHeight),
                      FormatText(Text(IDS_LAST_CHECK_ROW), {strTime}),
                      CPoint(27, strOutcome.empty() ? -1 : 6),
                      [strOutcome](CVelStatic2& row)
                      {
                          if (!strOutcome.empty())
                              row.AddText(strOutcome, 27, 22);
                      });
        y += nHeight;
    }
    y +=
        AddCommandRows(y, {
                              {Text(IDS_CHECK_NOW), IDC_CHECK_NOW},
                              {Text(IDS_ONLINE_GAMES), IDC_ONLINE_GAMES},
                              {.strText = Text(IDS_LOGOUT), .nID = IDC_LOGOUT, .bShown = bLoggedIn},
                              {Text(IDS_CLEAR_NEW_EVENTS_ICON), IDC_NORMAL_ICON},
                          });
    y += AddAutostartRow(y);
    m_wndList.SetContentSize(kContentWidth, y);
}

CPBEMGameState* CZorvexMessengerDlg::CurrentGame() const
{
    return g_pMessageManager != nullptr ? g_pMessageManager->m_store.FindGame(m_strCurrentGame)
                                        : nullptr;
}

void CZorvexMessengerDlg::BuildGameRows()
{
    CPBEMGameState* pGame = CurrentGame();
    m_stcGameHeader.RemoveAllImages();
    m_stcGameHeader.RemoveAllTexts();
    if (pGame == nullptr)
    {
        // The game is gone: its header must not go on showing its flag and turn.
        m_stcGameHeader.SetWindowText(L"");
        m_stcGameHeader.Invalidate();
        return;
    }
    CPBEMGameState& game = *pGame;
    game.m_bNewEvents = false;
    if (!game.m_strFlagName.empty() && IsLoaded(game.m_bmpFlag))
        m_stcGameHeader.AddImage(game.m_bmpFlag.get(), 5, 7, false);
    m_stcGameHeader.AddImage(&m_bmpClock, 27, 7, false);
    m_stcGameHeader.SetWindowText(FormatText(Text(IDS_TURN_N), {static_cast<int>(game.m_nTurn)}));
    m_stcGameHeader.Invalidate();

    const int n = static_cast<int>(game.m_listEvents.size());
    std::wstring strCount;
    CRect rcCount(0, 1, kRowWidth, 31);
    if (game.GetPlayerNumber() == 0)
    {
        strCount = n == 0   ? Text(IDS_NO_EVENTS_PAREN)
                   : n == 1 ? Text(IDS_ONE_EVENT_PAREN)
                            : FormatText(Text(IDS_N_EVENTS_PAREN), {n});
    }
    else
    {
        strCount = FormatText(Text(IDS_N_EVENTS), {n});
        if (n > 0)
            rcCount.left = 2;
    }
    AddTellingRow(rcCount, std::move(strCount), CPoint(24, -1),
                  [this](CVelStatic2& row) { row.AddImage(&m_bmpYield, 6, 8, false); });

    // A shared entry shows its count only; its events are not listed one by one.
    if (game.GetPlayerNumber() == 0 || n == 0)
    {
        m_wndList.SetContentSize(kContentWidth, 1);
        return;
    }
    AddEventRows(game);
}

void CZorvexMessengerDlg::AddEventRows(CPBEMGameState& game)
{
    int y = 26;
    for (const std::unique_ptr<CPBEMGameEvent>& pEvent : game.m_listEvents)
    {
        const CPBEMGameEvent& event = *pEvent;
        if (event.m_strText.empty())
            continue;
        // The icons and the part of the text that the row shows, taken now: the row may be made
        // long after, when it scrolls into view.
        CMaskedBitmap* pSender = nullptr;
        CPoint ptSender;
        int x0 = 0;
        if (event.m_nFromPlayer == 0)
        {
            pSender = &m_bmpGlobe;
            ptSender = CPoint(4, 6);
            x0 = kSenderIconWidth;
        }
        else if (CMaskedBitmap* pFlag = game.FindPlayer(event.m_nFromPlayer))
        {
            pSender = pFlag;
            ptSender = CPoint(3, 7);
            x0 = kSenderIconWidth;
        }
        CMaskedBitmap* pKind = nullptr;
        CPoint ptKind;
        for (const SKindIcon& kind : kKindIcons)
        {
            if (event.m_strKind != kind.strKind)
                continue;
            pKind = &(this->*kind.pBitmap);
            ptKind = CPoint(x0 + kind.nX, kind.nY);
            x0 += kKindIconWidth;
            break;
        }
        AddRow(CRect(2, y, kRowWidth, y + kEventRowHeight),
               [this, pSender, ptSender, pKind, ptKind, strText = BoundedRowText(event.m_strText),
                nTextX = std::max(x0, kEventTextMinX)](const CRect& rc)
               {
                   auto pRow = std::make_unique<CVelButton>();
                   pRow->Create(L"", WS_CHILD | WS_VISIBLE, rc, &m_wndList, IDC_EVENT_ROW);
                   pRow->m_crFace = kWhite;
                   if (pSender != nullptr)
                       pRow->AddImage(pSender, ptSender.x, ptSender.y, false);
                   if (pKind != nullptr)
                       pRow->AddImage(pKind, ptKind.x, ptKind.y, false);
                   pRow->AddText(strText, nTextX, kEventTextY);
                   return pRow;
               });
        y += kEventRowHeight;
    }
    m_wndList.SetContentSize(kContentWidth, y);
}
