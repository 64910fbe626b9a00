// CVelButton and CVelStatic2 on offscreen windows: layout of texts and images, hover repaints,
// clicks, state messages and the item lists.
#include "ui/VelButton.h"

#include "UiTest.h"
#include "res/MaskedBitmap.h"
#include "ui/TextMeasure.h"
#include "ui/VelStatic2.h"
#include "ui/VelTooltipManager.h"

#include <functional>
#include <memory>
#include <utility>

namespace
{

constexpr COLORREF kFace = RGB(10, 20, 30);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr UINT kId = 4321;

// A bitmap of one colour with a magenta top-left pixel.
CMaskedBitmap* MakeBitmap(int cx, int cy, COLORREF cr)
{
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): for AddImage(..., true)
    auto* pBitmap = new CMaskedBitmap;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(cx) * cy,
                                      GetRValue(cr) << 16 | GetGValue(cr) << 8 | GetBValue(cr));
    pixels[0] = 0xFF00FF;
    pBitmap->CreateFromPixels(cx, cy, pixels.data());
    pBitmap->m_nWidth = cx;
    pBitmap->m_nHeight = cy;
    return pBitmap;
}

class CCountingButton : public CVelButton
{
public:
    void DrawItem(LPDRAWITEMSTRUCT pDis) override
    {
        ++m_nDraws;
        CVelButton::DrawItem(pDis);
    }
    int m_nDraws = 0;
};

class VelButtonTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_parent.CreateAt(300, 200, 400, 200)); }

    void Make(const std::wstring& strText, const CRect& rc)
    {
        ASSERT_TRUE(m_button.Create(strText.c_str(), WS_CHILD | WS_VISIBLE, rc, &m_parent, kId));
        m_button.m_crFace = kFace;
    }
    // What the button shows now.
    std::unique_ptr<CBitmap> Shot()
    {
        m_button.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        auto pShot = std::make_unique<CBitmap>();
        EXPECT_TRUE(m_button.GrabClientImage(*pShot));
        return pShot;
    }
    void Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        m_button.SendMessage(message, wParam, lParam);
    }

    CTestParent m_parent;
    CCountingButton m_button;
};

TEST_F(VelButtonTest, AFreshButtonDrawsInSystemColoursAndHoversWithItsTextOnly)
{
    const std::wstring strText = L"Hello";
    ASSERT_TRUE(m_button.Create(strText.c_str(), WS_CHILD | WS_VISIBLE, CRect(10, 10, 130, 34),
                                &m_parent, kId));
    const COLORREF crFace = GetSysColor(COLOR_BTNFACE);
    const COLORREF crText = GetSysColor(COLOR_BTNTEXT);
    const COLORREF crHoverText = RGB(80, 80, 100);
    // Left-aligned 5 pixels in, centred vertically.
    const CRect rcText = TextInkAt(strText, 5, (24 - GetTextLineSize(strText).cy) / 2);
    const auto Check = [&](const char* pszWhen, COLORREF crInk, const CRect& rcInk)
    {
        SCOPED_TRACE(pszWhen);
        const auto pShot = Shot();
        EXPECT_EQ(pShot->GetPixel(0, 0), crFace);
        EXPECT_EQ(InkBox(*pShot, crFace), rcInk);
        EXPECT_EQ(ColourBox(*pShot, crInk), rcInk);
    };
    Check("fresh", crText, rcText);
    EXPECT_EQ(m_button.GetState(), 0u);

    // Hovered: the text changes colour, the face stays.
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(m_button.IsHovered());
    Check("hovered", crHoverText, rcText);
    // Its hover face is the system face too, until it is given one.
    m_button.m_bHoverFaceEnabled = true;
    Check("hover face on", crHoverText, rcText);

    // Pressed: moved one pixel right and down.
    Send(BM_SETSTATE, TRUE);
    CRect rcPressed = rcText;
    rcPressed.OffsetRect(1, 1);
    Check("pressed", crHoverText, rcPressed);
    EXPECT_TRUE(m_button.IsPressed());

    // A plain push button does not look pressed for being checked.
    Send(BM_SETSTATE, FALSE);
    Send(WM_MOUSELEAVE);
    m_button.SetCheck(BST_CHECKED);
    Check("checked", crText, rcText);
    EXPECT_FALSE(m_button.IsPressed());
}

TEST_F(VelButtonTest, TextIsPlacedByItsAlignmentWhateverTheImages)
{
    const std::wstring strText = L"Hello";
    Make(strText, CRect(10, 10, 130, 34));
    m_button.m_crText = RGB(0, 0, 0);
    // Under the text at the left: images never push the text aside.
    m_button.AddImage(MakeBitmap(30, 24, kRed), 0, 0, true);
    const CSize size = GetTextLineSize(strText);
    const int y = (24 - size.cy) / 2;
    struct SCase
    {
        const char* pszName;
        ETextAlign eAlign;
        int x;
    };
    const SCase cases[] = {
        {"left", ETextAlign::Left, 5},
        {"right", ETextAlign::Right, 120 - 5 - size.cx - 1},
        {"centre", ETextAlign::Center, 60 - size.cx / 2},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        m_button.m_eTextAlign = c.eAlign;
        EXPECT_EQ(ColourBox(*Shot(), RGB(0, 0, 0)), TextInkAt(strText, c.x, y));
    }
    // A fixed position wins over the alignment.
    m_button.m_nTextX = 40;
    m_button.m_nTextY = 2;
    EXPECT_EQ(ColourBox(*Shot(), RGB(0, 0, 0)), TextInkAt(strText, 40, 2));
}

TEST_F(VelButtonTest, ImagesSitAtTheirPositionsWithTheKeyLeftOutAndMoveWhilePressed)
{
    Make(L"", CRect(10, 10, 60, 40));
    CMaskedBitmap* pBitmap = MakeBitmap(6, 4, kRed);
    CBitmapDesc* pImage = m_button.AddImage(pBitmap, 7, 9, true);
    const auto pShot = Shot();
    const CBitmap& shot = *pShot;
    EXPECT_EQ(InkBox(shot, kFace), CRect(7, 9, 13, 13));
    EXPECT_EQ(shot.GetPixel(7, 9), kFace); // the key pixel
    EXPECT_EQ(shot.GetPixel(8, 9), kRed);

    Send(BM_SETSTATE, TRUE);
    EXPECT_EQ(InkBox(*Shot(), kFace), CRect(8, 10, 14, 14));
    // An image that does not shift stays.
    pImage->m_bShiftWhenPressed = false;
    EXPECT_EQ(InkBox(*Shot(), kFace), CRect(7, 9, 13, 13));
}

TEST_F(VelButtonTest, PressedTextMovesByThePressOffsetAndStaticsDoNotMove)
{
    Make(L"Hi", CRect(10, 10, 70, 34));
    const CRect rcNormal = InkBox(*Shot(), kFace);
    Send(BM_SETSTATE, TRUE);
    CRect rcPressed = rcNormal;
    rcPressed.OffsetRect(1, 1);
    EXPECT_EQ(InkBox(*Shot(), kFace), rcPressed);

    CVelStatic2 label;
    ASSERT_TRUE(label.Create(L"Hi", WS_CHILD | WS_VISIBLE, CRect(100, 10, 160, 34), &m_parent));
    EXPECT_EQ(label.GetDlgCtrlID(), static_cast<int>(VEL_STATIC_ID));
    EXPECT_EQ(CPoint(label.m_nPressOffsetX, label.m_nPressOffsetY), CPoint(0, 0));
    EXPECT_EQ(label.m_crHoverText, RGB(0, 0, 0));
    EXPECT_TRUE(label.m_bHoverTextEnabled);
}

TEST_F(VelButtonTest, DisabledTextIsDrawnInHighlightThenShadow)
{
    Make(L"Off", CRect(10, 10, 70, 34));
    const CRect rcNormal = InkBox(*Shot(), kFace);
    m_button.EnableWindow(FALSE);
    const auto pShot = Shot();
    const CBitmap& shot = *pShot;
    // The shadow on top at the usual place, the highlight showing beneath it one pixel down
    // and right.
    EXPECT_EQ(ColourBox(shot, GetSysColor(COLOR_3DSHADOW)), rcNormal);
    EXPECT_EQ(ColourBox(shot, GetSysColor(COLOR_3DHILIGHT)).BottomRight(),
              rcNormal.BottomRight() + CSize(1, 1));
}

TEST_F(VelButtonTest, TextItemIsCutAtItsWidthOnlyWhenItHasOne)
{
    Make(L"", CRect(10, 10, 210, 40));
    CTextDesc* pItem = m_button.AddText(L"WWWWWWWWWWWWWWWW", 10, 5);
    pItem->m_crColor = kRed;
    const CRect rcFull = InkBox(*Shot(), kFace);
    EXPECT_EQ(rcFull.left, TextInkAt(pItem->m_strText, 10, 5).left);
    ASSERT_GT(rcFull.right, 60);
    pItem->m_nWidth = 50;
    const CRect rcCut = InkBox(*Shot(), kFace);
    EXPECT_EQ(rcCut.left, rcFull.left);
    EXPECT_EQ(rcCut.right, 60);
    // Colour 1: the button's text colour.
    pItem->m_crColor = VEL_BUTTON_TEXT_COLOUR;
    m_button.m_crText = RGB(0, 0, 255);
    const auto pShot = Shot();
    const CBitmap& shot = *pShot;
    EXPECT_EQ(ColourBox(shot, RGB(0, 0, 255)), rcCut);
}

TEST_F(VelButtonTest, HoverRepaintsOnlyWhenItChangesTheLook)
{
    Make(L"", CRect(10, 10, 60, 40));
    struct SCase
    {
        const char* pszName;
        bool bHoverImage;
        bool bHoverText;
        bool bHoverFace;
        int nRepaints; // entering and leaving
    };
    const SCase cases[] = {
        {"nothing", false, false, false, 0},
        {"hover image", true, false, false, 2},
        {"hover text", false, true, false, 2},
        {"hover face", false, false, true, 2},
    };
    const std::unique_ptr<CMaskedBitmap> pHover(MakeBitmap(4, 4, kRed));
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        m_button.RemoveAllImages();
        if (c.bHoverImage)
            m_button.AddHoverImage(pHover.get());
        m_button.m_bHoverTextEnabled = c.bHoverText;
        m_button.m_bHoverFaceEnabled = c.bHoverFace;
        m_button.UpdateWindow();
        const int nBefore = m_button.m_nDraws;
        Send(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        EXPECT_TRUE(m_button.IsHovered());
        Send(WM_MOUSEMOVE, 0, MAKELPARAM(6, 5)); // still inside: nothing new
        Send(WM_MOUSELEAVE);
        EXPECT_FALSE(m_button.IsHovered());
        EXPECT_EQ(m_button.m_nDraws - nBefore, c.nRepaints);
    }
}

TEST_F(VelButtonTest, HoverShowsHoverImagesAndColours)
{
    Make(L"", CRect(10, 10, 60, 40));
    m_button.AddImage(MakeBitmap(4, 4, RGB(0, 0, 255)), 20, 20, true);
    const std::unique_ptr<CMaskedBitmap> pHover(MakeBitmap(4, 4, kRed));
    m_button.AddHoverImage(pHover.get());
    m_button.m_crHoverFace = RGB(1, 2, 3);
    m_button.m_bHoverFaceEnabled = true;
    EXPECT_EQ(InkBox(*Shot(), kFace), CRect(20, 20, 24, 24));
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    const auto pShot = Shot();
    const CBitmap& shot = *pShot;
    EXPECT_EQ(InkBox(shot, RGB(1, 2, 3)), CRect(0, 0, 4, 4));
    EXPECT_EQ(shot.GetPixel(1, 1), kRed);
}

TEST_F(VelButtonTest, HoverEndsOnLeaveFocusLossDeactivationCancelModeAndDisabling)
{
    Make(L"", CRect(10, 10, 60, 40));
    const std::function<void()> enders[] = {
        [&] { Send(WM_MOUSELEAVE); },
        [&] { Send(WM_KILLFOCUS); },
        [&] { Send(WM_ACTIVATE, WA_INACTIVE); },
        [&] { Send(WM_CANCELMODE); },
        [&] { m_button.EnableWindow(FALSE); },
    };
    int i = 0;
    for (const auto& end : enders)
    {
        SCOPED_TRACE(i++);
        m_button.EnableWindow(TRUE);
        Send(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        ASSERT_TRUE(m_button.IsHovered());
        end();
        EXPECT_FALSE(m_button.IsHovered());
    }
    // A move with the left button held does not start hovering.
    m_button.EnableWindow(TRUE);
    Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_FALSE(m_button.IsHovered());
}

TEST_F(VelButtonTest, DisablingMovesTheFocusOnOnlyFromTheButton)
{
    Make(L"", CRect(10, 10, 60, 40));
    CVelButton other;
    ASSERT_TRUE(other.Create(L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(70, 10, 120, 40),
                             &m_parent, 2));
    m_button.ModifyStyle(0, WS_TABSTOP);
    m_button.SetFocus();
    m_button.EnableWindow(FALSE);
    EXPECT_EQ(CWnd::GetFocus(), &other);
    // Disabling a button without the focus leaves the focus where it is.
    m_button.EnableWindow(TRUE);
    m_button.EnableWindow(FALSE);
    EXPECT_EQ(CWnd::GetFocus(), &other);
}

TEST_F(VelButtonTest, DoubleClickCountsAsTwoClicks)
{
    Make(L"", CRect(10, 10, 60, 40));
    const LPARAM lPoint = MAKELPARAM(5, 5);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    {
        MSG msg{m_button.GetSafeHwnd(),
                message,
                message == WM_LBUTTONUP ? 0u : MK_LBUTTON,
                lPoint,
                0,
                POINT{}};
        ASSERT_FALSE(m_button.PreTranslateMessage(&msg));
        EXPECT_NE(msg.message, WM_LBUTTONDBLCLK);
        m_button.SendMessage(msg.message, msg.wParam, msg.lParam);
    }
    EXPECT_EQ(m_parent.m_commands, (std::vector<UINT>{kId, kId}));
}

TEST_F(VelButtonTest, CheckStateMessagesAndSystemColourReset)
{
    Make(L"", CRect(10, 10, 60, 40));
    const std::pair<WPARAM, LRESULT> checks[] = {{1, 1}, {2, 1}, {0, 0}, {5, 0}};
    for (const auto& [nSet, nGot] : checks)
    {
        Send(BM_SETCHECK, nSet);
        EXPECT_EQ(m_button.SendMessage(BM_GETCHECK), nGot) << nSet;
        EXPECT_EQ(m_button.GetCheck(), nGot);
        EXPECT_EQ(m_button.GetState() & BST_CHECKED, static_cast<UINT>(nGot)) << nSet;
    }
    // The base's SetCheck goes through the same message.
    m_button.SetCheck(2);
    EXPECT_EQ(m_button.GetCheck(), 1);
    m_button.SetCheck(0);
    Send(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_EQ(m_button.GetButtonStyle(), BS_OWNERDRAW);

    m_button.m_crHoverFace = kRed;
    m_button.m_crText = kRed;
    m_button.m_crHoverText = kRed;
    m_button.m_bHoverFaceEnabled = true;
    Send(WM_SYSCOLORCHANGE);
    EXPECT_EQ(m_button.m_crFace, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(m_button.m_crHoverFace, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(m_button.m_crText, GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(m_button.m_crHoverText, GetSysColor(COLOR_BTNTEXT));
    EXPECT_FALSE(m_button.m_bHoverFaceEnabled);
    EXPECT_FALSE(m_button.m_bHoverTextEnabled);
}

TEST_F(VelButtonTest, ACheckBoxLooksPressedWhileChecked)
{
    ASSERT_TRUE(m_button.Create(L"Hi", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX,
                                CRect(10, 10, 70, 34), &m_parent, kId));
    m_button.m_crFace = kFace;
    EXPECT_TRUE(m_button.IsCheckBox());
    EXPECT_EQ(m_button.GetButtonStyle(), BS_OWNERDRAW);
    const CRect rcNormal = InkBox(*Shot(), kFace);
    CRect rcPressed = rcNormal;
    rcPressed.OffsetRect(1, 1);
    m_button.SetCheck(BST_CHECKED);
    EXPECT_EQ(m_button.GetState() & BST_CHECKED, BST_CHECKED);
    EXPECT_EQ(InkBox(*Shot(), kFace), rcPressed);
    EXPECT_TRUE(m_button.IsPressed());
    m_button.SetCheck(BST_UNCHECKED);
    EXPECT_EQ(InkBox(*Shot(), kFace), rcNormal);
}

TEST_F(VelButtonTest, AutoSizeHoldsImagesAndText)
{
    Make(L"", CRect(10, 10, 60, 40));
    EXPECT_EQ(m_button.AutoSize(), CSize(1, 23));
    CRect rc;
    m_button.GetWindowRect(&rc);
    m_parent.ScreenToClient(&rc);
    EXPECT_EQ(rc, CRect(10, 10, 11, 33));

    m_button.AddImage(MakeBitmap(30, 25, kRed), 2, 3, true);
    EXPECT_EQ(m_button.AutoSize(), CSize(33, 28));
    const std::wstring strText = L"A somewhat longer caption";
    m_button.SetWindowText(strText);
    const CSize sizeText = GetTextLineSize(strText);
    EXPECT_EQ(m_button.AutoSize(), CSize(sizeText.cx - 1 + 10 + 1, 28));
}

TEST_F(VelButtonTest, RemovingImagesDeletesOwnedBitmapsOnce)
{
    Make(L"", CRect(10, 10, 60, 40));
    CMaskedBitmap* pOwned = MakeBitmap(2, 2, kRed);
    auto pKept = std::unique_ptr<CMaskedBitmap>(MakeBitmap(2, 2, kRed));
    // The same owned bitmap twice and as hover image: deleted once, no entry left behind.
    m_button.AddImage(pOwned, 0, 0, true);
    m_button.AddImage(pKept.get(), 5, 5, false);
    m_button.AddImage(pOwned, 9, 9, true);
    m_button.AddHoverImage(pOwned);
    m_button.RemoveImage(pOwned);
    ASSERT_EQ(m_button.GetImages().size(), 1u);
    EXPECT_EQ(m_button.GetImages()[0]->m_pBitmap, pKept.get());
    EXPECT_TRUE(m_button.GetHoverImages().empty());

    m_button.AddImage(MakeBitmap(2, 2, kRed), 0, 0, true);
    m_button.AddHoverImage(pKept.get());
    m_button.RemoveAllImages();
    EXPECT_TRUE(m_button.GetImages().empty());
    EXPECT_TRUE(m_button.GetHoverImages().empty());
    EXPECT_EQ(pKept->GetPixel(1, 1), kRed); // not owned: still there
    // What is left at the end goes with the button (the leak checker watches).
    m_button.AddImage(MakeBitmap(2, 2, kRed), 0, 0, true);
    m_button.AddText(L"x", 0, 0);
}

class CRecordingTooltips : public CVelTooltipManager
{
public:
    void SetTooltipText(CWnd* pControl, const std::wstring& strText) override
    {
        m_texts.emplace_back(pControl, strText);
    }
    void RemoveControl(CWnd* pControl) override { m_removed.push_back(pControl); }
    void RelayMouseMessage(MSG* pMsg) override { m_relayed.push_back(pMsg->message); }

    std::vector<std::pair<CWnd*, std::wstring>> m_texts;
    std::vector<CWnd*> m_removed;
    std::vector<UINT> m_relayed;
};

TEST(VelButtonTooltip, RegistersWithTheTooltipWindowWhenThereIsOne)
{
    {
        CVelButton button;
        button.SetTooltipText(L"nobody listens"); // no tooltip window yet
    }
    CRecordingTooltips tooltips;
    g_pTooltipManager = &tooltips;
    {
        CVelButton button;
        button.SetTooltipText(L"Close");
        MSG msg{};
        msg.message = WM_MOUSEMOVE;
        button.PreTranslateMessage(&msg);
        EXPECT_EQ(tooltips.m_texts,
                  (std::vector<std::pair<CWnd*, std::wstring>>{{&button, L"Close"}}));
        EXPECT_EQ(tooltips.m_relayed, std::vector<UINT>{WM_MOUSEMOVE});
        EXPECT_TRUE(tooltips.m_removed.empty());
    }
    // The destructor takes the button off.
    EXPECT_EQ(tooltips.m_removed.size(), 1u);
    g_pTooltipManager = nullptr;
}

TEST(TextMeasure, MeasuresOneLineOrWrapsAtTheWidth)
{
    EXPECT_EQ(GetTextWidth(L""), 0);
    EXPECT_EQ(GetTextSize(L"", nullptr, 100), CSize(0, 0));
    const CSize sizeWord = GetTextLineSize(L"word");
    EXPECT_GT(sizeWord.cx, 0);
    EXPECT_EQ(GetTextWidth(L"word"), sizeWord.cx);
    EXPECT_EQ(GetTextSize(L"word word", nullptr, sizeWord.cx), CSize(sizeWord.cx, 2 * sizeWord.cy));
    EXPECT_EQ(GetTextSize(L"word\nword", nullptr, 1000), CSize(sizeWord.cx, 2 * sizeWord.cy));
    CFont big;
    big.CreateFont(-30, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    EXPECT_GT(GetTextWidth(L"word", &big), sizeWord.cx);
}

} // namespace
