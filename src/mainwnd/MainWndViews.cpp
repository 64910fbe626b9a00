// CZorvexMessengerDlg: the view switch and the rebuild of the list.
#include "mainwnd/ZorvexMessengerDlg.h"

#include "base/Format.h"
#include "res/TextIds.h"

#include <algorithm>
#include <utility>

namespace
{

const CPoint kBackArrow(3, 2);
// A PlayerId ends in "-Pnn".
constexpr std::size_t kPlayerSuffixLength = 4;
// How far above and below the list's view rows have windows: one view, within these bounds.
constexpr int kMinRowMargin = 300;
constexpr int kMaxRowMargin = 2000;

} // namespace

void CZorvexMessengerDlg::SwitchView(EView eView)
{
    std::wstring strHeader;
    switch (eView)
    {
    case EView::GameList:
        strHeader = Text(IDS_MAIN_MENU);
        break;
    case EView::Preferences:
        strHeader = Text(IDS_PREFERENCES);
        break;
    case EView::Game:
    {
        const std::wstring strGameId =
            m_strCurrentGame.size() >= kPlayerSuffixLength
                ? m_strCurrentGame.substr(0, m_strCurrentGame.size() - kPlayerSuffixLength)
                : std::wstring();
        strHeader = FormatText(Text(IDS_GAME_S), {strGameId});
        break;
    }
    default:
        return;
    }
    m_btnMainMenu.SetWindowText(strHeader);
    m_btnMainMenu.Invalidate();
    m_btnBack.RemoveAllImages();
    if (eView != EView::GameList)
        m_btnBack.AddImage(&m_bmpBack, kBackArrow.x, kBackArrow.y, false);
    // The image list does not repaint by itself: without this the arrow stays in view 0.
    m_btnBack.Invalidate();
    m_eView = eView;
    Rebuild();
}

void CZorvexMessengerDlg::Rebuild()
{
    DeleteRows();
    if (m_wndList.GetSafeHwnd() != nullptr)
        m_wndList.SetContentSize(100, 100);
    if (m_eView == EView::GameList)
        BuildGameListRows();
    else if (m_eView == EView::Preferences)
        BuildPreferencesRows();
    else if (m_eView == EView::Game)
        BuildGameRows();
    ShowRowsNearView();
    Layout();
}

void CZorvexMessengerDlg::DeleteRows()
{
    m_listRows.Clear();
    m_listAllRows.clear();
}

void CZorvexMessengerDlg::AddRow(const CRect& rcContent, FMakeRow fnMake)
{
    m_listAllRows.push_back(SListRow{rcContent, std::move(fnMake)});
}

void CZorvexMessengerDlg::ShowRowsNearView()
{
    if (m_wndList.GetSafeHwnd() == nullptr)
        return;
    // A screen above and below the view, so that a small scroll finds its rows made.
    const int nViewHeight = m_wndList.GetViewSize().cy;
    const int nMargin = std::clamp(nViewHeight, kMinRowMargin, kMaxRowMargin);
    const int nTop = m_wndList.GetScrollY() - nMargin;
    const int nBottom = m_wndList.GetScrollY() + nViewHeight + nMargin;
    // The rows go down the content in order: their bottoms grow with their index.
    const auto itFirst =
        std::partition_point(m_listAllRows.begin(), m_listAllRows.end(),
                             [&](const SListRow& row) { return row.rcContent.bottom <= nTop; });
    const std::size_t nFirst = static_cast<std::size_t>(itFirst - m_listAllRows.begin());
    std::size_t nEnd = nFirst;
    while (nEnd < m_listAllRows.size() && m_listAllRows[nEnd].rcContent.top < nBottom &&
           nEnd - nFirst < MAX_ROW_WINDOWS)
        ++nEnd;

    m_listRows.ShowRange(
        nFirst, nEnd,
        [this](std::size_t i)
        { return m_listAllRows[i].fnMake(m_wndList.ContentToView(m_listAllRows[i].rcContent)); });
}
