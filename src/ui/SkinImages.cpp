// The shared skin set and the loading of its 31 images.
#include "ui/SkinImages.h"

#include "platform/Dc.h"

#include <string>

namespace
{

CSkinImages* s_pShared = nullptr;
constexpr int kBlockSide = 256;

// The smallest whole number of tiles that covers nSide.
int WholeTiles(int nSide, int nTile)
{
    return (nSide + nTile - 1) / nTile * nTile;
}

} // namespace

CSkinImages::CSkinImages()
{
    if (s_pShared == nullptr)
        s_pShared = this;
}

CSkinImages::CSkinImages(CPrivateTag) {}

CSkinImages::~CSkinImages()
{
    if (s_pShared == this)
        s_pShared = nullptr;
}

std::unique_ptr<CSkinImages> CSkinImages::MakePrivate()
{
    return std::unique_ptr<CSkinImages>(new CSkinImages(CPrivateTag{}));
}

CSkinImages* CSkinImages::GetShared()
{
    return s_pShared;
}

void CSkinImages::Load()
{
    m_pBackgroundBlock.reset();
    // The order is that of the error reports a user sees when the skin folder is damaged.
    const struct
    {
        CMaskedBitmap CSkinImages::*pBitmap;
        const wchar_t* pszFile;
    } images[] = {
        {&CSkinImages::m_bmpButtonBlank90, L"ButtonBlank90.bmp"},
        {&CSkinImages::m_bmpButtonClose, L"ButtonClose.bmp"},
        {&CSkinImages::m_bmpButtonCloseHover, L"ButtonCloseHover.bmp"},
        {&CSkinImages::m_bmpButtonMaximize, L"ButtonMaximize.bmp"},
        {&CSkinImages::m_bmpButtonMaxHover, L"ButtonMaxHover.bmp"},
        {&CSkinImages::m_bmpButtonMinimize, L"ButtonMinimize.bmp"},
        {&CSkinImages::m_bmpButtonMinHover, L"ButtonMinHover.bmp"},
        {&CSkinImages::m_bmpButtonHelp, L"ButtonHelp.bmp"},
        {&CSkinImages::m_bmpButtonHelpHover, L"ButtonHelpHover.bmp"},
        {&CSkinImages::m_bmpBackground, L"DialogBackground.bmp"},
        {&CSkinImages::m_bmpIconNone, L"DialogIconNone.bmp"},
        {&CSkinImages::m_bmpIconNoneSquare, L"DialogIconNone_Square.bmp"},
        {&CSkinImages::m_bmpURSquare, L"DialogUR_Square.bmp"},
        {&CSkinImages::m_bmpUR, L"DialogUR.bmp"},
        {&CSkinImages::m_bmpLL, L"DialogLL.bmp"},
        {&CSkinImages::m_bmpLLSquare, L"DialogLL_Square.bmp"},
        {&CSkinImages::m_bmpLR, L"DialogLR.bmp"},
        {&CSkinImages::m_bmpLRSquare, L"DialogLR_Square.bmp"},
        {&CSkinImages::m_bmpLRResize, L"DialogLR_Resize.bmp"},
        {&CSkinImages::m_bmp0UL, L"Dialog0UL.bmp"},
        {&CSkinImages::m_bmpURNoBorder, L"DialogUR_NoBorder.bmp"},
        {&CSkinImages::m_bmp0URSquare, L"Dialog0UR_Square.bmp"},
        {&CSkinImages::m_bmp0UR, L"Dialog0UR.bmp"},
        {&CSkinImages::m_bmpTopNoBorder, L"DialogTop_NoBorder.bmp"},
        {&CSkinImages::m_bmp0Top, L"Dialog0Top.bmp"},
        {&CSkinImages::m_bmpTop, L"DialogTop.bmp"},
        {&CSkinImages::m_bmpBottom, L"DialogBottom.bmp"},
        {&CSkinImages::m_bmpLeft, L"DialogLeft.bmp"},
        {&CSkinImages::m_bmpRight, L"DialogRight.bmp"},
        {&CSkinImages::m_bmpTopDivider, L"DialogTopDivider.bmp"},
        {&CSkinImages::m_bmpTopDividerNoBorder, L"DialogTopDivider_NoBorder.bmp"},
    };
    static_assert(sizeof(images) / sizeof(images[0]) == 31);
    for (const auto& image : images)
        (this->*image.pBitmap).Load(std::wstring(L"Data/Skins/Default/") + image.pszFile);
}

const CBitmap& CSkinImages::BackgroundBlock() const
{
    if (m_pBackgroundBlock)
        return *m_pBackgroundBlock;
    m_pBackgroundBlock = std::make_unique<CBitmap>();
    const int w = m_bmpBackground.GetWidth();
    const int h = m_bmpBackground.GetHeight();
    if (w <= 0 || h <= 0)
        return *m_pBackgroundBlock;
    const int cx = WholeTiles(kBlockSide, w);
    const int cy = WholeTiles(kBlockSide, h);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    m_pBackgroundBlock->CreateCompatibleBitmap(&dc, cx, cy);
    CBitmap* pOld = dc.SelectObject(m_pBackgroundBlock.get());
    for (int y = 0; y < cy; y += h)
    {
        for (int x = 0; x < cx; x += w)
            m_bmpBackground.Draw(&dc, x, y);
    }
    dc.SelectObject(pOld);
    return *m_pBackgroundBlock;
}
