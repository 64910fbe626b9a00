// CWarningDialog with the bundled installation: its size from the message, the icon, the lines
// of the message, and what each button returns.
#include "ui/WarningDialog.h"

#include "SkinTest.h"
#include "UiTest.h"
#include "platform/System.h"
#include "support/GuiTest.h"
#include "ui/TextMeasure.h"

#include <algorithm>
#include <functional>
#include <memory>

namespace
{

// Runs a callback on a timer while the dialog is modal.
class CTimedWarningDialog : public CWarningDialog
{
public:
    using CWarningDialog::CWarningDialog;
    BOOL OnInitDialog() override
    {
        const BOOL bResult = CWarningDialog::OnInitDialog();
        SetTimer(1, 20);
        return bResult;
    }
    void OnTimer(UINT_PTR) override
    {
        if (m_onTick)
            m_onTick(++m_nTicks);
    }
    std::function<void(int)> m_onTick;
    int m_nTicks = 0;
};

class WarningDialogTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_pSkin = std::make_unique<CBundledSkin>(); }
    static void TearDownTestSuite() { s_pSkin.reset(); }

    static CSize WindowSize(const CWnd& wnd)
    {
        CRect rc;
        wnd.GetWindowRect(&rc);
        return rc.Size();
    }
    // The child's rectangle in the dialog's client coordinates.
    static CRect RectIn(const CWnd& parent, const CWnd& child)
    {
        CRect rc;
        child.GetWindowRect(&rc);
        parent.ScreenToClient(&rc);
        return rc;
    }

    static std::unique_ptr<CBundledSkin> s_pSkin;
};

std::unique_ptr<CBundledSkin> WarningDialogTest::s_pSkin;

// Where a message is broken into lines: at 800 pixels, or earlier so that the box fits the work
// area (the test screen is 800 pixels wide).
int WrapWidth()
{
    return std::min<int>(800, GetMonitorWorkArea(nullptr).Width() - 110);
}

// A single line of exactly nWidth pixels in the default GUI font, made of the widest characters
// that still fit.
std::wstring LineOfWidth(int nWidth)
{
    std::wstring strLine;
    for (const wchar_t* pszPiece : {L"W", L"m", L"n", L"a", L"r", L"i", L"'"})
    {
        while (GetTextWidth(strLine + pszPiece) <= nWidth)
            strLine += pszPiece;
    }
    return strLine;
}

TEST_F(WarningDialogTest, SizeFollowsTheMessage)
{
    const int nLine = GetTextLineSize(L"Xg").cy;
    ASSERT_EQ(nLine, 13);
    const std::wstring str400 = LineOfWidth(400);
    ASSERT_EQ(GetTextWidth(str400), 400);
    const struct
    {
        const char* pszName;
        std::wstring strMessage;
        CSize size;
    } cases[] = {
        {"one short line", L"Remove this game?", CSize(298, 143)},
        {"a line of 400 pixels", str400, CSize(510, 143)},
        {"three lines", L"one\ntwo\nthree", CSize(298, 169)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CWarningDialog dlg(EWarningKind::Warning, L"Warning", c.strMessage, true);
        ASSERT_TRUE(dlg.Create(nullptr));
        EXPECT_EQ(WindowSize(dlg), c.size);
        EXPECT_EQ(dlg.GetWindowText(), L"Warning");
        EXPECT_FALSE(dlg.m_bResizable);
        EXPECT_TRUE(dlg.m_bRoundCorners);
        const int W = c.size.cx;
        const int H = c.size.cy;
        EXPECT_EQ(RectIn(dlg, dlg.m_btnOK), CRect(W - 215, H - 45, W - 125, H - 17));
        EXPECT_EQ(RectIn(dlg, dlg.m_btnCancel), CRect(W - 115, H - 45, W - 25, H - 17));
        EXPECT_EQ(RectIn(dlg, dlg.m_lblIcon), CRect(30, 45, 73, 88));
        EXPECT_EQ(RectIn(dlg, dlg.m_lblMessage).TopLeft(), CPoint(75, 55));
    }
}

TEST_F(WarningDialogTest, OneLineLabelTakesTheSizeOfItsText)
{
    CWarningDialog dlg(EWarningKind::Warning, L"Warning", L"Remove this game?", true);
    ASSERT_TRUE(dlg.Create(nullptr));
    const CSize sizeText = GetTextLineSize(L"Remove this game?");
    EXPECT_EQ(RectIn(dlg, dlg.m_lblMessage).Size(), CSize(sizeText.cx + 10, 23));
}

TEST_F(WarningDialogTest, EveryLineOfALongMessageIsShownInsideTheWindow)
{
    std::wstring strLong;
    for (int i = 0; i < 40; ++i)
        strLong += L"word" + std::to_wstring(i) + L" ";
    strLong += L"LAST";
    ASSERT_GT(GetTextWidth(strLong), 1000);
    const struct
    {
        const char* pszName;
        std::wstring strMessage;
        int nLines;
    } cases[] = {
        {"line breaks", L"PlayerId: G12-P03\nPassword: hunter2", 2},
        {"wider than 800 pixels", strLong, GetTextSize(strLong, nullptr, WrapWidth()).cy / 13},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        ASSERT_GE(c.nLines, 2);
        CWarningDialog dlg(EWarningKind::Information, L"Information", c.strMessage, false);
        ASSERT_TRUE(dlg.Create(nullptr));
        CRect rcClient;
        dlg.GetClientRect(&rcClient);
        EXPECT_LE(rcClient.Width(), 800 + 110);
        const CRect rcLabel = RectIn(dlg, dlg.m_lblMessage);
        const int nTextHeight = c.nLines * 13;
        EXPECT_EQ(rcLabel.Height(), nTextHeight + 5);
        // Inside the frame, and above the bottom buttons.
        EXPECT_LE(rcLabel.right, rcClient.right - s_pSkin->Skin().m_bmpRight.m_nWidth);
        EXPECT_LE(rcLabel.bottom, RectIn(dlg, dlg.m_btnOK).top);

        CBitmap shot;
        ASSERT_TRUE(dlg.GrabClientImage(shot));
        const CRect rcInk = InkBox(shot, rcLabel, RGB(168, 174, 184));
        ASSERT_FALSE(rcInk.IsRectEmpty());
        EXPECT_GE(rcInk.left, rcLabel.left + 5);
        EXPECT_LT(rcInk.right, rcLabel.right);
        // Ink in the band of the last line: nothing was cut off or run together.
        const int nLastLineTop = rcLabel.top + 2 + (c.nLines - 1) * 13;
        EXPECT_FALSE(InkBox(shot,
                            CRect(rcLabel.left, nLastLineTop, rcLabel.right, nLastLineTop + 13),
                            RGB(168, 174, 184))
                         .IsRectEmpty());
    }
}

// With no window manager to place it, the box opens centred over its owner (the main window),
// moved inside the work area of the owner's monitor; without an owner, centred on the screen.
TEST_F(WarningDialogTest, OpensCentredOverItsOwnerInsideTheWorkArea)
{
    const CRect rcWork = GetMonitorWorkArea(nullptr);
    const CSize sizeBox(298, 143);
    const CRect rcCentred(CPoint(rcWork.left + (rcWork.Width() - sizeBox.cx) / 2,
                                 rcWork.top + (rcWork.Height() - sizeBox.cy) / 2),
                          sizeBox);
    const struct
    {
        const char* pszName;
        bool bOwner;
        CRect rcOwner;
        CRect rcExpected;
    } cases[] = {
        {"room all round", true, CRect(200, 300, 520, 500), CRect(211, 328, 509, 471)},
        {"owner in the top-left corner", true, CRect(rcWork.TopLeft(), CSize(220, 120)),
         CRect(rcWork.TopLeft(), sizeBox)},
        {"owner in the bottom-right corner", true,
         CRect(rcWork.right - 220, rcWork.bottom - 120, rcWork.right, rcWork.bottom),
         CRect(rcWork.BottomRight() - sizeBox, sizeBox)},
        {"no owner", false, CRect(), rcCentred},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CTestParent owner;
        if (c.bOwner)
        {
            ASSERT_TRUE(owner.CreateAt(c.rcOwner.left, c.rcOwner.top, c.rcOwner.Width(),
                                       c.rcOwner.Height()));
        }
        CWarningDialog dlg(EWarningKind::Warning, L"Warning", L"Remove this game?", true,
                           c.bOwner ? &owner : nullptr);
        ASSERT_TRUE(dlg.Create(c.bOwner ? &owner : nullptr));
        CRect rc;
        dlg.GetWindowRect(&rc);
        EXPECT_EQ(rc, c.rcExpected);
    }
}

// Texts the program does not control (a flag name, a game id, many lines) never make a box
// larger than the work area: OK stays in reach. A word too long for a line is broken between
// characters with nothing lost; lines beyond the height are cut after an ellipsis.
TEST_F(WarningDialogTest, LongTextsKeepTheBoxInsideTheWorkArea)
{
    const CRect rcWork = GetMonitorWorkArea(nullptr);
    const std::wstring strLongWord = L"Flag_" + std::wstring(400, L'W') + L"_end";
    ASSERT_GT(GetTextWidth(strLongWord), 2 * rcWork.Width());
    std::wstring strManyLines;
    for (int i = 0; i < 200; ++i)
        strManyLines += L"Game " + std::to_wstring(i) + L"\n";
    const struct
    {
        const char* pszName;
        std::wstring strMessage;
        bool bAllShown;
    } cases[] = {
        {"a flag name longer than the screen", L"Flag: " + strLongWord, true},
        {"a game id among words", L"PlayerId: " + strLongWord + L"\nPassword: x", true},
        {"more lines than the screen holds", strManyLines, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CTestParent owner;
        ASSERT_TRUE(owner.CreateAt(100, 100, 220, 220));
        CWarningDialog dlg(EWarningKind::Information, L"Information", c.strMessage, true, &owner);
        ASSERT_TRUE(dlg.Create(&owner));
        CRect rcWindow;
        dlg.GetWindowRect(&rcWindow);
        CRect rcInside = rcWindow;
        rcInside &= rcWork;
        EXPECT_EQ(rcInside, rcWindow);

        CRect rcClient;
        dlg.GetClientRect(&rcClient);
        const CRect rcLabel = RectIn(dlg, dlg.m_lblMessage);
        EXPECT_LE(rcLabel.right, rcClient.right - s_pSkin->Skin().m_bmpRight.m_nWidth);
        EXPECT_LE(rcLabel.bottom, RectIn(dlg, dlg.m_btnOK).top);
        EXPECT_LE(RectIn(dlg, dlg.m_btnCancel).right, rcClient.right);

        const std::wstring strShown = dlg.m_lblMessage.GetWindowText();
        EXPECT_EQ(dlg.m_strMessage, c.strMessage);
        if (c.bAllShown)
        {
            // The same characters; only line breaks were added (in place of a space or inside
            // the word).
            std::wstring strJoined;
            for (const wchar_t ch : strShown)
                strJoined += ch == L'\n' ? L' ' : ch;
            std::wstring strExpected = c.strMessage;
            for (wchar_t& ch : strExpected)
                ch = ch == L'\n' ? L' ' : ch;
            std::erase(strJoined, L' ');
            std::erase(strExpected, L' ');
            EXPECT_EQ(strJoined, strExpected);
        }
        else
        {
            EXPECT_EQ(strShown.substr(0, 7), L"Game 0\n");
            ASSERT_FALSE(strShown.empty());
            EXPECT_EQ(strShown.back(), L'\u2026');
        }
        // Every shown line fits the label, so the label's wrapping adds no lines of its own.
        EXPECT_EQ(GetTextSize(strShown, nullptr, WrapWidth()).cy,
                  static_cast<int>(std::count(strShown.begin(), strShown.end(), L'\n') + 1) * 13);
    }
}

TEST_F(WarningDialogTest, IconByKind)
{
    const struct
    {
        EWarningKind eKind;
        CMaskedBitmap CWarningDialog::*pBitmap; // null: no icon
        int nInset;
    } cases[] = {
        {EWarningKind::Warning, &CWarningDialog::m_bmpWarning, 0},
        {EWarningKind::Information, &CWarningDialog::m_bmpCheck, 7},
        {static_cast<EWarningKind>(5), nullptr, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(static_cast<int>(c.eKind));
        CWarningDialog dlg(c.eKind, L"Title", L"Text", false);
        ASSERT_TRUE(dlg.Create(nullptr));
        // Both pictures are loaded whatever the kind.
        EXPECT_FALSE(dlg.m_bmpWarning.m_strPath.empty());
        EXPECT_FALSE(dlg.m_bmpCheck.m_strPath.empty());
        CBitmap shot;
        ASSERT_TRUE(dlg.m_lblIcon.GrabClientImage(shot));
        if (c.pBitmap == nullptr)
        {
            EXPECT_TRUE(InkBox(shot, RGB(168, 174, 186)).IsRectEmpty());
            continue;
        }
        // The picture 1:1 at the inset, its magenta parts showing the face.
        const CMaskedBitmap& bmp = dlg.*c.pBitmap;
        int nMismatches = 0;
        for (int y = 0; y < bmp.m_nHeight; ++y)
        {
            for (int x = 0; x < bmp.m_nWidth; ++x)
            {
                const COLORREF cr = bmp.GetPixel(x, y);
                const COLORREF crShown = cr == RGB(255, 0, 255) ? RGB(168, 174, 186) : cr;
                nMismatches += shot.GetPixel(c.nInset + x, c.nInset + y) != crShown;
            }
        }
        EXPECT_EQ(nMismatches, 0);
        const CRect rcPicture(c.nInset, c.nInset, c.nInset + bmp.m_nWidth,
                              c.nInset + bmp.m_nHeight);
        const CRect rcInk = InkBox(shot, RGB(168, 174, 186));
        EXPECT_FALSE(rcInk.IsRectEmpty());
        CRect rcInside = rcInk;
        rcInside &= rcPicture;
        EXPECT_EQ(rcInside, rcInk);
    }
}

TEST_F(WarningDialogTest, ButtonsGiveTheirResultAndEscapeLeavesItOpen)
{
    const struct
    {
        const char* pszName;
        bool bOkCancel;
        CVelButton CWarningDialog::*pButton;
        const wchar_t* pszText;
        INT_PTR nResult;
    } cases[] = {
        {"OK", true, &CWarningDialog::m_btnOK, L"OK", IDOK},
        {"Cancel", true, &CWarningDialog::m_btnCancel, L"Cancel", IDCANCEL},
        {"Close", false, &CWarningDialog::m_btnOK, L"Close", IDOK},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CTimedWarningDialog dlg(EWarningKind::Warning, L"Warning", L"Sure?", c.bOkCancel);
        bool bOpenAfterEscape = false;
        dlg.m_onTick = [&](int nTick)
        {
            CVelButton& button = dlg.*c.pButton;
            if (nTick == 1)
            {
                EXPECT_EQ(button.GetWindowText(), c.pszText);
                EXPECT_EQ(dlg.m_btnCancel.GetSafeHwnd() != nullptr, c.bOkCancel);
                QTest::keyClick(WindowOf(dlg), Qt::Key_Escape);
            }
            else if (nTick == 2)
            {
                bOpenAfterEscape = dlg.IsModalRunning();
                CRect rc;
                button.GetClientRect(&rc);
                Click(button, rc.CenterPoint());
            }
            else
            {
                dlg.EndDialog(-7); // the click did not end it
            }
        };
        EXPECT_EQ(dlg.DoModal(), c.nResult);
        EXPECT_TRUE(bOpenAfterEscape);
    }
}

} // namespace
