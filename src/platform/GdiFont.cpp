// Fonts: Windows face names map to the Liberation families, and every font is pinned (pixel
// size, no hinting, no anti-aliasing, no kerning) so that text metrics are the same on every
// display and in tests.
#include "platform/Gdi.h"
#include "platform/internal/GdiData.h"
#include "platform/internal/QtConvert.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <string>

namespace
{

std::wstring Lower(std::wstring s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return std::towlower(c); });
    return s;
}

QString FamilyFor(const wchar_t* pFace)
{
    const std::wstring strFace = Lower(pFace);
    static const wchar_t* const s_serif[] = {L"times new roman", L"times", L"georgia"};
    static const wchar_t* const s_mono[] = {L"courier new", L"courier", L"lucida console",
                                            L"consolas", L"fixedsys"};
    for (const wchar_t* p : s_serif)
    {
        if (strFace == p)
            return QStringLiteral("Liberation Serif");
    }
    for (const wchar_t* p : s_mono)
    {
        if (strFace == p)
            return QStringLiteral("Liberation Mono");
    }
    if (strFace.rfind(L"liberation ", 0) == 0)
        return ToQString(pFace);
    // Every other face, the dialog fonts above all, becomes the sans family.
    return QStringLiteral("Liberation Sans");
}

QFont MakeFont(const QString& family, int nPixelSize, const LOGFONT& lf)
{
    QFont font(family);
    font.setPixelSize(std::max(1, nPixelSize));
    const int nWeight = lf.lfWeight == 0 ? FW_NORMAL : std::clamp<int>(lf.lfWeight, 100, 900);
    font.setWeight(static_cast<QFont::Weight>(nWeight));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

int CeilMetric(qreal v)
{
    return static_cast<int>(std::ceil(v - 0.001));
}

} // namespace

namespace gdi
{

HFONT NewFont(const LOGFONT& logFont)
{
    const QString family = FamilyFor(logFont.lfFaceName);
    int nPixelSize = logFont.lfHeight < 0 ? -logFont.lfHeight : 11;
    if (logFont.lfHeight > 0)
    {
        // A cell height: the largest character height whose cell fits.
        nPixelSize = logFont.lfHeight;
        while (nPixelSize > 1)
        {
            QFontMetricsF fm(MakeFont(family, nPixelSize, logFont));
            if (CeilMetric(fm.ascent()) + CeilMetric(fm.descent()) <= logFont.lfHeight)
                break;
            --nPixelSize;
        }
    }
    HFONT h = new HFONT__;
    h->nType = OBJ_FONT;
    h->font = MakeFont(family, nPixelSize, logFont);
    h->logFont = logFont;
    const QFontMetricsF fm(h->font);
    h->nAscent = CeilMetric(fm.ascent());
    h->nDescent = CeilMetric(fm.descent());
    return h;
}

} // namespace gdi

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                       BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                       BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily,
                       LPCWSTR lpszFacename)
{
    LOGFONT lf{};
    lf.lfHeight = nHeight;
    lf.lfWidth = nWidth;
    lf.lfEscapement = nEscapement;
    lf.lfOrientation = nOrientation;
    lf.lfWeight = nWeight;
    lf.lfItalic = bItalic;
    lf.lfUnderline = bUnderline;
    lf.lfStrikeOut = cStrikeOut;
    lf.lfCharSet = nCharSet;
    lf.lfOutPrecision = nOutPrecision;
    lf.lfClipPrecision = nClipPrecision;
    lf.lfQuality = nQuality;
    lf.lfPitchAndFamily = nPitchAndFamily;
    if (lpszFacename != nullptr)
    {
        const std::wstring strFace(lpszFacename);
        strFace.copy(lf.lfFaceName, std::min<size_t>(strFace.size(), 31));
    }
    return CreateFontIndirect(&lf);
}

BOOL CFont::CreateFontIndirect(const LOGFONT* pLogFont)
{
    if (m_hObject != nullptr || pLogFont == nullptr)
        return FALSE;
    LOGFONT lf = *pLogFont;
    lf.lfFaceName[31] = 0;
    return Attach(gdi::NewFont(lf));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, CDC*)
{
    // Tenths of a point at 96 pixels per inch, rounded.
    const int nPixels = (nPointSize * 96 + 360) / 720;
    return CreateFont(-nPixels, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, lpszFaceName);
}

int CFont::GetLogFont(LOGFONT* pLogFont) const
{
    return GetObject(sizeof(LOGFONT), pLogFont);
}

CFont* GetDefaultGuiFont()
{
    static CFont* const s_pFont = []
    {
        LOGFONT lf{};
        lf.lfHeight = -11;
        lf.lfWeight = FW_NORMAL;
        std::wstring(L"Liberation Sans").copy(lf.lfFaceName, 15);
        HFONT h = gdi::NewFont(lf);
        h->bStock = true;
        CFont* pFont = new CFont;
        pFont->Attach(h);
        // FromHandle on the stock handle gives this same object.
        h->pTemporary = pFont;
        return pFont;
    }();
    return s_pFont;
}
