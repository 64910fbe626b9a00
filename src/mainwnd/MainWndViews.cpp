// CZorvexMessengerDlg: the view switch and the rebuild of the list.
#include "mainwnd/ZorvexMessengerDlg.h"

#include "base/Format.h"
#include "res/TextIds.h"

#include <utility>

namespace
{

const CPoint kBackArrow(3, 2);
// A PlayerId ends in "-Pnn".
constexpr std::size_t kPlayerSuffixLength = 4;

} // namespace

void CZorvexMessengerDlg::SwitchView(int nView)
{
    std::wstring strHeader;
    switch (nView)
    {
    case VIEW_GAME_LIST:
        strHeader = Text(IDS_MAIN_MENU);
        break;
    case VIEW_PREFERENCES:
        strHeader = Text(IDS_PREFERENCES);
        break;
    case VIEW_GAME:
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
    if (nView != VIEW_GAME_LIST)
        m_btnBack.AddImage(&m_bmpBack, kBackArrow.x, kBackArrow.y, false);
    // The image list does not repaint by itself: without this the arrow stays in view 0.
    m_btnBack.Invalidate();
    m_nView = nView;
    Rebuild();
}

void CZorvexMessengerDlg::Rebuild()
{
    DeleteRows();
    if (m_wndList.GetSafeHwnd() != nullptr)
        m_wndList.SetContentSize(100, 100);
    if (m_nView == VIEW_GAME_LIST)
        BuildGameListRows();
    else if (m_nView == VIEW_PREFERENCES)
        BuildPreferencesRows();
    else if (m_nView == VIEW_GAME)
        BuildGameRows();
    Layout();
}

void CZorvexMessengerDlg::DeleteRows()
{
    std::vector<std::unique_ptr<CVelButton>> rows;
    rows.swap(m_listRows);
    // The click of one of them may be what rebuilds the list.
    for (std::unique_ptr<CVelButton>& pRow : rows)
        AfxDeleteLater(std::move(pRow));
}

CVelButton* CZorvexMessengerDlg::AppendRow(std::unique_ptr<CVelButton> pRow)
{
    m_listRows.push_back(std::move(pRow));
    return m_listRows.back().get();
}
