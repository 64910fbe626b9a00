#include "Exhibits.h"

#include "GalleryDialog.h"
#include "res/TextIds.h"
#include "ui/GeneralWindow.h"
#include "ui/VelListDisplay.h"
#include "ui/WarningDialog.h"

#include <utility>

namespace
{

// Where a window shown inside a host dialog sits: below the title bar, clear of the edges.
constexpr int kInnerLeft = 20;
constexpr int kInnerTop = 35;
constexpr int kHostMarginRight = 20;
constexpr int kHostMarginBottom = 20;

SDialogLook HostLook(const std::wstring& strTitle)
{
    SDialogLook look;
    look.strTitle = strTitle;
    look.bShowClose = true;
    return look;
}

CSize HostSize(CSize sizeInner)
{
    return CSize(kInnerLeft + sizeInner.cx + kHostMarginRight,
                 kInnerTop + sizeInner.cy + kHostMarginBottom);
}

// A CGeneralWindow whose panel holds a column of buttons taller than the box, so that it scrolls.
class CGeneralWindowHost : public CGalleryDialog
{
public:
    static CSize BoxSize() { return CSize(200, 120); }
    static constexpr int kButtons = 12;
    static constexpr int kButtonHeight = 25;
    static constexpr UINT kFirstButtonId = 1000;

    CGeneralWindowHost() : CGalleryDialog(HostLook(L"CGeneralWindow")) {}
    CWnd& Subject() override { return m_wndBox; }

protected:
    void MakeContent() override
    {
        if (!m_wndBox.Create(kInnerLeft, kInnerTop, BoxSize().cx, BoxSize().cy, this))
            return;
        CGeneralSubWindow* pPanel = m_wndBox.CreatePanel();
        if (pPanel == nullptr)
            return;
        // The vertical bar first, so that the buttons take the width left beside it.
        pPanel->SetContentSize(0, kButtons * kButtonHeight);
        const int cx = pPanel->GetViewSize().cx;
        for (int i = 0; i < kButtons; ++i)
        {
            auto pButton = std::make_unique<CVelButton>();
            const CRect rc(0, i * kButtonHeight, cx, (i + 1) * kButtonHeight);
            pButton->Create((L"Button " + std::to_wstring(i + 1)).c_str(), WS_CHILD | WS_VISIBLE,
                            rc, pPanel, kFirstButtonId + i);
            m_buttons.push_back(std::move(pButton));
        }
        pPanel->SetContentSize(cx, kButtons * kButtonHeight);
    }

private:
    CGeneralWindow m_wndBox;
    std::vector<std::unique_ptr<CVelButton>> m_buttons;
};

// A CVelListDisplay with the column titles of the looking-for-games list and no rows.
class CListDisplayHost : public CGalleryDialog
{
public:
    static CSize ListSize() { return CSize(300, 200); }

    CListDisplayHost() : CGalleryDialog(HostLook(L"CVelListDisplay")) {}
    CWnd& Subject() override { return m_wndList; }

protected:
    void MakeContent() override
    {
        const CSize size = ListSize();
        if (!m_wndList.Create(kInnerLeft, kInnerTop, kInnerLeft + size.cx, kInnerTop + size.cy,
                              this))
            return;
        const struct
        {
            std::wstring strText;
            int nLeft;
            int nRight;
        } columns[] = {
            {Text(IDS_NAME), 2, 100},
            {Text(IDS_LOOKING_FOR), 100, 200},
            {Text(IDS_LAST_LOGIN), 200, size.cx - 2},
        };
        for (std::size_t i = 0; i < std::size(columns); ++i)
        {
            CVelStatic2& title = m_titles[i];
            title.Create(columns[i].strText.c_str(), WS_CHILD | WS_VISIBLE,
                         CRect(columns[i].nLeft, 2, columns[i].nRight, 20), &m_wndList);
            title.m_crFace = RGB(245, 245, 245);
            title.m_nTextX = 10;
        }
    }

private:
    CVelListDisplay m_wndList;
    CVelStatic2 m_titles[3];
};

SExhibit Dialog(const char* pszName, const SDialogLook& look, CRect rc)
{
    auto pDialog = std::make_unique<CGalleryDialog>(look);
    pDialog->SetInitialRect(rc);
    CWnd* pSubject = &pDialog->Subject();
    return SExhibit{pszName, std::move(pDialog), pSubject};
}

SExhibit Warning(const char* pszName, EWarningKind eKind, const std::wstring& strTitle,
                 const std::wstring& strMessage, bool bOkCancel, CPoint ptOrigin)
{
    auto pDialog = std::make_unique<CWarningDialog>(eKind, strTitle, strMessage, bOkCancel);
    // Only the corner counts: the dialog sizes itself to its message.
    pDialog->SetInitialRect(CRect(ptOrigin, CSize(1, 1)));
    CWnd* pSubject = pDialog.get();
    return SExhibit{pszName, std::move(pDialog), pSubject};
}

template <class THost> SExhibit Hosted(const char* pszName, CSize sizeInner, CPoint ptOrigin)
{
    auto pHost = std::make_unique<THost>();
    pHost->SetInitialRect(CRect(ptOrigin, HostSize(sizeInner)));
    CWnd* pSubject = &pHost->Subject();
    return SExhibit{pszName, std::move(pHost), pSubject};
}

} // namespace

std::vector<SExhibit> MakeExhibits(CPoint ptOrigin)
{
    SDialogLook rounded;
    rounded.strTitle = L"Gallery";
    rounded.bShowClose = true;
    rounded.bShowMinimize = true;

    SDialogLook resizable;
    resizable.strTitle = L"Gallery: resizable";
    resizable.bResizable = true;
    resizable.bFullTopStrip = false;
    resizable.bShowClose = true;
    resizable.bShowMaximize = true;
    resizable.bShowMinimize = true;
    resizable.bShowHelp = true;

    SDialogLook square;
    square.strTitle = L"Gallery: square";
    square.bRoundCorners = false;
    square.bShowClose = true;
    square.eButtons = SDialogLook::EButtons::OkCancel;

    std::vector<SExhibit> exhibits;
    exhibits.push_back(Dialog("dialog-rounded", rounded, CRect(ptOrigin, CSize(320, 200))));
    exhibits.push_back(Dialog("dialog-resizable", resizable, CRect(ptOrigin, CSize(400, 300))));
    exhibits.push_back(Dialog("dialog-square", square, CRect(ptOrigin, CSize(300, 180))));
    exhibits.push_back(Warning("warning-0", EWarningKind::Warning, L"Warning", L"Remove this game?",
                               true, ptOrigin));
    exhibits.push_back(Warning("warning-1", EWarningKind::Information, L"Information",
                               L"PlayerId: G12-P03\nPassword: hunter2", false, ptOrigin));
    exhibits.push_back(
        Hosted<CGeneralWindowHost>("general-window", CGeneralWindowHost::BoxSize(), ptOrigin));
    exhibits.push_back(
        Hosted<CListDisplayHost>("list-display", CListDisplayHost::ListSize(), ptOrigin));
    return exhibits;
}
