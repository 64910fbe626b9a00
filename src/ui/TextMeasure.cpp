#include "ui/TextMeasure.h"

#include "platform/Dc.h"
#include "platform/Wnd.h"

namespace
{

CWnd* g_pMeasureWnd = nullptr;

CSize Measure(CDC& dc, const std::wstring& strText, CFont* pFont, int nWidth, UINT nFormat)
{
    CFont* pOld = dc.SelectObject(pFont != nullptr ? pFont : GetDefaultGuiFont());
    CRect rc(0, 0, nWidth, 0);
    dc.DrawText(strText, &rc, nFormat | DT_CALCRECT);
    dc.SelectObject(pOld);
    return rc.Size();
}

CSize Measure(const std::wstring& strText, CFont* pFont, int nWidth, UINT nFormat)
{
    if (strText.empty())
        return CSize();
    CWnd* pWnd = g_pMeasureWnd != nullptr ? g_pMeasureWnd : AfxGetMainWnd();
    if (pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr)
    {
        CClientDC dc(pWnd);
        return Measure(dc, strText, pFont, nWidth, nFormat);
    }
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    return Measure(dc, strText, pFont, nWidth, nFormat);
}

} // namespace

void SetTextMeasureWindow(CWnd* pWnd)
{
    g_pMeasureWnd = pWnd;
}

CWnd* GetTextMeasureWindow()
{
    return g_pMeasureWnd;
}

int GetTextWidth(const std::wstring& strText, CFont* pFont)
{
    return GetTextLineSize(strText, pFont).cx;
}

CSize GetTextLineSize(const std::wstring& strText, CFont* pFont)
{
    return Measure(strText, pFont, 0, DT_SINGLELINE);
}

CSize GetTextSize(const std::wstring& strText, CFont* pFont, int nWidth)
{
    return Measure(strText, pFont, nWidth, DT_WORDBREAK);
}
