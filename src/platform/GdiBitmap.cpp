// Bitmaps: 32-bit pictures (QImage::Format_RGB32) that memory device contexts draw on.
#include "platform/Gdi.h"
#include "platform/internal/GdiData.h"
#include "platform/internal/QtConvert.h"

namespace
{

QImage* Image(HGDIOBJ h)
{
    return h == nullptr ? nullptr : &static_cast<HBITMAP__*>(h)->pSurface->image;
}

} // namespace

BOOL CBitmap::CreateCompatibleBitmap(CDC*, int nWidth, int nHeight)
{
    if (m_hObject != nullptr || nWidth < 0 || nHeight < 0)
        return FALSE;
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 0));
    return Attach(gdi::NewBitmap(std::move(image)));
}

BOOL CBitmap::CreateFromPixels(int nWidth, int nHeight, const std::uint32_t* pPixels)
{
    if (m_hObject != nullptr || nWidth < 0 || nHeight < 0 || (pPixels == nullptr && nWidth > 0))
        return FALSE;
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    // Qt gives a null image when the memory is not there; a bitmap without pixels is a failure.
    if (image.isNull() && nWidth > 0 && nHeight > 0)
        return FALSE;
    for (int y = 0; y < nHeight; ++y)
    {
        auto* pLine = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < nWidth; ++x)
            pLine[x] = 0xFF000000u | pPixels[static_cast<size_t>(y) * nWidth + x];
    }
    return Attach(gdi::NewBitmap(std::move(image)));
}

BOOL CBitmap::CreateMaskedCopy(const CBitmap& source, COLORREF crKey)
{
    const QImage* pSource = Image(source.m_hObject);
    if (m_hObject != nullptr || pSource == nullptr)
        return FALSE;
    QImage image = pSource->convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull() && !pSource->isNull())
        return FALSE;
    const QRgb key = ToQRgb(crKey) & 0x00FFFFFF;
    for (int y = 0; y < image.height(); ++y)
    {
        auto* pLine = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
        {
            if ((pLine[x] & 0x00FFFFFF) == key)
                pLine[x] = 0;
        }
    }
    return Attach(gdi::NewBitmap(std::move(image)));
}

int CBitmap::GetBitmap(BITMAP* pBitmap) const
{
    return GetObject(sizeof(BITMAP), pBitmap);
}

int CBitmap::GetWidth() const
{
    const QImage* p = Image(m_hObject);
    return p == nullptr ? 0 : p->width();
}

int CBitmap::GetHeight() const
{
    const QImage* p = Image(m_hObject);
    return p == nullptr ? 0 : p->height();
}

COLORREF CBitmap::GetPixel(int x, int y) const
{
    const QImage* p = Image(m_hObject);
    if (p == nullptr || !p->valid(x, y))
        return CLR_INVALID;
    return FromQRgb(p->pixel(x, y));
}

void CBitmap::SetPixel(int x, int y, COLORREF crColor)
{
    QImage* p = Image(m_hObject);
    if (p == nullptr || !p->valid(x, y))
        return;
    // A device context may be drawing on the picture right now; its painter writes the same
    // memory, so a direct store is safe as long as the image is not shared (it never is).
    reinterpret_cast<QRgb*>(p->scanLine(y))[x] = ToQRgb(crColor);
}
