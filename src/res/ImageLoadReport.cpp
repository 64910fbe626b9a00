#include "res/ImageLoadReport.h"

#include "platform/System.h"

namespace
{

CImageLoadReport g_defaultReport;
CImageLoadReport* g_pReport = &g_defaultReport;

} // namespace

void CImageLoadReport::Beep()
{
    if (IsPlatformRunning())
        ::Beep(500, 500);
}

void CImageLoadReport::ShowMessage(const std::wstring& strMessage)
{
    if (IsPlatformRunning())
        AfxMessageBox(strMessage, MB_OK);
}

CImageLoadReport& GetImageLoadReport()
{
    return *g_pReport;
}

CImageLoadReport* SetImageLoadReport(CImageLoadReport* pReport)
{
    CImageLoadReport* pOld = g_pReport == &g_defaultReport ? nullptr : g_pReport;
    g_pReport = pReport != nullptr ? pReport : &g_defaultReport;
    return pOld;
}
