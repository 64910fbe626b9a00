// Pens, brushes, the handle bookkeeping shared by all drawing objects, and the stock objects.
#include "platform/Gdi.h"
#include "platform/System.h"
#include "platform/internal/GdiData.h"

#include <QPainter>

namespace
{

template <typename T> T* NewHandle(DWORD nType)
{
    T* p = new T;
    p->nType = nType;
    return p;
}

HPEN StockPen(COLORREF cr, int nStyle)
{
    HPEN h = NewHandle<HPEN__>(OBJ_PEN);
    h->bStock = true;
    h->crColor = cr;
    h->nStyle = nStyle;
    return h;
}

HBRUSH StockBrush(COLORREF cr, bool bNull)
{
    HBRUSH h = NewHandle<HBRUSH__>(OBJ_BRUSH);
    h->bStock = true;
    h->crColor = cr;
    h->bNull = bNull;
    return h;
}

} // namespace

CSurface::~CSurface() = default;

QPainter* CSurface::AcquirePainter()
{
    if (!pPainter)
    {
        pPainter = std::make_unique<QPainter>(&image);
        pPainter->setRenderHint(QPainter::Antialiasing, false);
        pPainter->setRenderHint(QPainter::TextAntialiasing, false);
        pPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
    ++nPainters;
    return pPainter.get();
}

void CSurface::ReleasePainter()
{
    if (nPainters > 0 && --nPainters == 0)
    {
        pPainter->end();
        pPainter.reset();
    }
}

namespace gdi
{

CGdiHandle* Header(HGDIOBJ hObject)
{
    return static_cast<CGdiHandle*>(hObject);
}

void Free(CGdiHandle* p)
{
    if (p == nullptr || p->bStock)
        return;
    if (p->pOwner != nullptr)
        p->pOwner->m_hObject = nullptr;
    delete p->pTemporary;
    switch (p->nType)
    {
    case OBJ_PEN:
        delete static_cast<HPEN__*>(p);
        break;
    case OBJ_BRUSH:
        delete static_cast<HBRUSH__*>(p);
        break;
    case OBJ_FONT:
        delete static_cast<HFONT__*>(p);
        break;
    case OBJ_REGION:
        delete static_cast<HRGN__*>(p);
        break;
    case OBJ_BITMAP:
        delete static_cast<HBITMAP__*>(p);
        break;
    default:
        break;
    }
}

void Select(HGDIOBJ hObject)
{
    if (hObject != nullptr)
        ++Header(hObject)->nSelected;
}

void Deselect(HGDIOBJ hObject)
{
    CGdiHandle* p = Header(hObject);
    if (p == nullptr)
        return;
    --p->nSelected;
    if (p->nSelected == 0 && p->bDeletePending)
        Free(p);
}

HBITMAP NewBitmap(QImage image)
{
    HBITMAP h = NewHandle<HBITMAP__>(OBJ_BITMAP);
    h->pSurface = std::make_shared<CSurface>(std::move(image));
    return h;
}

HRGN NewRegion(const QRegion& region)
{
    HRGN h = NewHandle<HRGN__>(OBJ_REGION);
    h->region = region;
    return h;
}

} // namespace gdi

CGdiObject::~CGdiObject()
{
    if (!m_bTemporary)
        DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (m_hObject != nullptr || hObject == nullptr)
        return FALSE;
    CGdiHandle* p = gdi::Header(hObject);
    if (!p->bStock)
    {
        if (p->pOwner != nullptr)
            return FALSE;
        p->pOwner = this;
    }
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ h = m_hObject;
    if (h != nullptr && gdi::Header(h)->pOwner == this)
        gdi::Header(h)->pOwner = nullptr;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == nullptr)
        return FALSE;
    HGDIOBJ h = Detach();
    return ::DeleteObject(h);
}

int CGdiObject::GetObject(int nCount, LPVOID pObject) const
{
    return ::GetObject(m_hObject, nCount, pObject);
}

UINT CGdiObject::GetObjectType() const
{
    return ::GetObjectType(m_hObject);
}

namespace
{

// The object FromHandle hands out for a handle: its owner, or a lasting wrapper that does not
// own the handle and goes with it.
template <typename T> T* WrapperFor(HGDIOBJ h)
{
    if (h == nullptr)
        return nullptr;
    CGdiHandle* p = gdi::Header(h);
    if (p->pOwner != nullptr)
        return dynamic_cast<T*>(p->pOwner);
    if (p->pTemporary == nullptr)
        p->pTemporary = T::MakeTemporary(h);
    return dynamic_cast<T*>(p->pTemporary);
}

} // namespace

CGdiObject* CGdiObject::MakeTemporaryFor(CGdiObject* pWrapper, HGDIOBJ h)
{
    pWrapper->m_bTemporary = true;
    pWrapper->m_hObject = h;
    return pWrapper;
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
{
    if (m_hObject != nullptr)
        return FALSE;
    HPEN h = NewHandle<HPEN__>(OBJ_PEN);
    h->nStyle = nPenStyle;
    h->nWidth = nWidth < 1 ? 1 : nWidth;
    h->crColor = crColor;
    return Attach(h);
}

CPen* CPen::FromHandle(HPEN hPen)
{
    return WrapperFor<CPen>(hPen);
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor)
{
    return m_hObject == nullptr && Attach(::CreateSolidBrush(crColor));
}

BOOL CBrush::CreateSysColorBrush(int nIndex)
{
    return m_hObject == nullptr && Attach(::GetSysColorBrush(nIndex));
}

CBrush* CBrush::FromHandle(HBRUSH hBrush)
{
    return WrapperFor<CBrush>(hBrush);
}

CFont* CFont::FromHandle(HFONT hFont)
{
    return WrapperFor<CFont>(hFont);
}

CRgn* CRgn::FromHandle(HRGN hRgn)
{
    return WrapperFor<CRgn>(hRgn);
}

CBitmap* CBitmap::FromHandle(HBITMAP hBitmap)
{
    return WrapperFor<CBitmap>(hBitmap);
}

HGDIOBJ GetStockObject(int nIndex)
{
    // Created once, never deleted: stock objects outlive every device context.
    static HBRUSH const s_brushes[] = {
        StockBrush(RGB(255, 255, 255), false), StockBrush(RGB(192, 192, 192), false),
        StockBrush(RGB(128, 128, 128), false), StockBrush(RGB(64, 64, 64), false),
        StockBrush(RGB(0, 0, 0), false),       StockBrush(0, true)};
    static HPEN const s_pens[] = {StockPen(RGB(255, 255, 255), PS_SOLID),
                                  StockPen(RGB(0, 0, 0), PS_SOLID), StockPen(0, PS_NULL)};
    if (nIndex >= WHITE_BRUSH && nIndex <= NULL_BRUSH)
        return s_brushes[nIndex];
    if (nIndex >= WHITE_PEN && nIndex <= NULL_PEN)
        return s_pens[nIndex - WHITE_PEN];
    if (nIndex == DEFAULT_GUI_FONT || nIndex == SYSTEM_FONT)
        return GetDefaultGuiFont()->m_hObject;
    return nullptr;
}

BOOL DeleteObject(HGDIOBJ hObject)
{
    CGdiHandle* p = gdi::Header(hObject);
    if (p == nullptr || p->bStock)
        return FALSE;
    if (p->nSelected > 0)
    {
        if (p->pOwner != nullptr)
            p->pOwner->m_hObject = nullptr;
        p->pOwner = nullptr;
        p->bDeletePending = true;
        return FALSE;
    }
    gdi::Free(p);
    return TRUE;
}

DWORD GetObjectType(HGDIOBJ hObject)
{
    return hObject == nullptr ? 0 : gdi::Header(hObject)->nType;
}

int GetObject(HGDIOBJ hObject, int nCount, LPVOID pObject)
{
    CGdiHandle* p = gdi::Header(hObject);
    if (p == nullptr)
        return 0;
    if (p->nType == OBJ_BITMAP && nCount >= static_cast<int>(sizeof(BITMAP)))
    {
        const QImage& image = static_cast<HBITMAP__*>(p)->pSurface->image;
        BITMAP bm{};
        bm.bmWidth = image.width();
        bm.bmHeight = image.height();
        bm.bmWidthBytes = image.width() * 4;
        bm.bmPlanes = 1;
        bm.bmBitsPixel = 32;
        if (pObject != nullptr)
            *static_cast<BITMAP*>(pObject) = bm;
        return sizeof(BITMAP);
    }
    if (p->nType == OBJ_FONT && nCount >= static_cast<int>(sizeof(LOGFONT)))
    {
        if (pObject != nullptr)
            *static_cast<LOGFONT*>(pObject) = static_cast<HFONT__*>(p)->logFont;
        return sizeof(LOGFONT);
    }
    return 0;
}

HBRUSH GetSysColorBrush(int nIndex)
{
    static HBRUSH s_brushes[COLOR_MENUBAR + 1] = {};
    if (nIndex < 0 || nIndex > COLOR_MENUBAR)
        return nullptr;
    if (s_brushes[nIndex] == nullptr)
        s_brushes[nIndex] = StockBrush(GetSysColor(nIndex), false);
    return s_brushes[nIndex];
}

HBRUSH CreateSolidBrush(COLORREF crColor)
{
    HBRUSH h = NewHandle<HBRUSH__>(OBJ_BRUSH);
    h->crColor = crColor & 0x00FFFFFF;
    return h;
}
