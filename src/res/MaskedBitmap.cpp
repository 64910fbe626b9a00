#include "res/MaskedBitmap.h"

#include "base/Format.h"
#include "base/Paths.h"
#include "install/InstallFolder.h"
#include "platform/Dc.h"
#include "res/AlphaFlatten.h"
#include "res/ErrorLog.h"
#include "res/ImageDecode.h"
#include "res/ImageLoadReport.h"
#include "res/TextIds.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

namespace
{

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr int kFailedSide = 10;

// Ids beside the main window's own (src/mainwnd/MainWndTexts.h), so a language file can translate
// the boxes. The log line keeps the English text: it is read by whoever helps with the skin.
constexpr STextId IDS_FILE_NOT_FOUND{90010, L"File not found: %s"};
constexpr STextId IDS_ERROR_LOADING_FILE{90011, L"Error Loading File: %s"};

} // namespace

CMaskedBitmap::CMaskedBitmap(const std::wstring& strPath)
{
    Load(strPath, std::wstring_view(strPath).ends_with(L".png") ? kMagenta : kBlack);
}

bool CMaskedBitmap::Load(const std::wstring& strPath)
{
    return Load(strPath, kBlack);
}

bool CMaskedBitmap::Load(const std::wstring& strPath, COLORREF crBackground)
{
    // A relative path missing from the game's folder comes from the program's own data folder.
    const std::wstring strFullPath = IsRelativePath(strPath) ? ResourcePath(strPath) : strPath;
    CImageDecodeStatus status;
    CImageData image = DecodeImageFile(strFullPath, &status);
    Unload();
    if (!image.IsEmpty())
    {
        const int nWidth = image.m_nWidth;
        const int nHeight = image.m_nHeight;
        // Memory that is not there is a failed load like any other, reported as one.
        std::vector<std::uint32_t> pixels;
        try
        {
            pixels = FlattenAlpha(image, crBackground);
        }
        catch (const std::bad_alloc&)
        {
        }
        image.Clear();
        if (!pixels.empty() && CreateFromPixels(nWidth, nHeight, pixels.data()))
        {
            m_strPath = strFullPath;
            m_nHeight = GetHeight();
            m_nWidth = GetWidth();
            return true;
        }
    }
    ReportFailure(strPath, strFullPath, status.ReportsFileNotFound());
    CreateCompatibleBitmap(nullptr, kFailedSide, kFailedSide);
    m_nHeight = kFailedSide;
    m_nWidth = kFailedSide;
    return false;
}

void CMaskedBitmap::Unload()
{
    m_pMask.reset();
    DeleteObject();
    m_strPath.clear();
    m_nHeight = 0;
    m_nWidth = 0;
}

void CMaskedBitmap::ReportFailure(const std::wstring& strPath, const std::wstring& strFullPath,
                                  bool bPngFailed)
{
    CImageLoadReport& report = GetImageLoadReport();
    // The PNG reader's own complaint comes first, with the path it tried.
    if (bPngFailed)
        report.ShowMessage(FormatText(Text(IDS_FILE_NOT_FOUND), {strFullPath}));
    AppendToErrorLog(InstallPath(PATH_ERROR_LOG),
                     FormatText(IDS_ERROR_LOADING_FILE.pszText, {strPath}));
    report.Beep();
    report.ShowMessage(FormatText(Text(IDS_ERROR_LOADING_FILE), {strPath}));
}

void CMaskedBitmap::Draw(CDC* pDC, int x, int y) const
{
    if (pDC != nullptr && m_hObject != nullptr)
        pDC->DrawImage(x, y, *this);
}

void CMaskedBitmap::DrawClipped(CDC* pDC, int x, int y, int nMaxWidth, int nMaxHeight) const
{
    const int cx = std::min(GetWidth(), nMaxWidth);
    const int cy = std::min(GetHeight(), nMaxHeight);
    // DrawImage takes a negative size for "all of it".
    if (pDC != nullptr && m_hObject != nullptr && cx > 0 && cy > 0)
        pDC->DrawImage(x, y, *this, 0, 0, cx, cy);
}

const CBitmap* CMaskedBitmap::MaskFor(COLORREF crKey) const
{
    crKey &= 0x00FFFFFF;
    if (m_pMask == nullptr || m_crMaskKey != crKey)
    {
        auto pMask = std::make_unique<CBitmap>();
        if (!pMask->CreateMaskedCopy(*this, crKey))
            return nullptr;
        m_pMask = std::move(pMask);
        m_crMaskKey = crKey;
    }
    return m_pMask.get();
}

void CMaskedBitmap::DrawTransparent(CDC* pDC, int x, int y, COLORREF crKey) const
{
    if (pDC == nullptr || m_hObject == nullptr)
        return;
    if (const CBitmap* pMask = MaskFor(crKey))
        pDC->DrawMaskedImage(x, y, *pMask);
}
