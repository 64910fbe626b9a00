// CCustomDialog on offscreen windows with the bundled skin: the skin set, title and bottom buttons,
// keys and the drawn frame. Sizing, shape and the wheel are in CustomDialogSizingTest.cpp.
#include "ui/CustomDialog.h"

#include "SkinTest.h"
#include "UiTest.h"
#include "support/GuiTest.h"
#include "ui/VelTooltipManager.h"

#include <functional>
#include <map>
#include <memory>

namespace
{

class CSkinTestDialog : public CCustomDialog
{
public:
    void OnOK() override
    {
        ++m_nOK;
        CCustomDialog::OnOK();
    }
    void OnCancel() override
    {
        ++m_nCancel;
        CCustomDialog::OnCancel();
    }
    BOOL OnInitDialog() override
    {
        const BOOL bResult = CCustomDialog::OnInitDialog();
        if (m_onInit)
            m_onInit();
        return bResult;
    }
    void OnTimer(UINT_PTR) override
    {
        if (m_onTimer)
            m_onTimer();
    }
    int m_nOK = 0;
    int m_nCancel = 0;
    std::function<void()> m_onInit;
    std::function<void()> m_onTimer;
};

class CustomDialogTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_pBundled = std::make_unique<CBundledSkin>(); }
    static void TearDownTestSuite() { s_pBundled.reset(); }

    // A modeless dialog of 300 × 200 at (100, 100), initialised and hidden.
    static void Make(CSkinTestDialog& dlg, bool bResizable = false)
    {
        dlg.m_bResizable = bResizable;
        dlg.SetInitialRect(CRect(100, 100, 400, 300));
        ASSERT_TRUE(dlg.Create(nullptr));
    }
    static CPoint PosIn(const CWnd& parent, const CWnd& child)
    {
        CRect rc;
        child.GetWindowRect(&rc);
        parent.ScreenToClient(&rc);
        return rc.TopLeft();
    }

    static std::unique_ptr<CBundledSkin> s_pBundled;
};

std::unique_ptr<CBundledSkin> CustomDialogTest::s_pBundled;

// Keeps the tooltip texts the controls register.
class CRecordingTooltips : public CVelTooltipManager
{
public:
    CRecordingTooltips() : m_pOld(g_pTooltipManager) { g_pTooltipManager = this; }
    ~CRecordingTooltips() override { g_pTooltipManager = m_pOld; }
    void SetTooltipText(CWnd* pControl, const std::wstring& strText) override
    {
        m_texts[pControl] = strText;
    }
    void RemoveControl(CWnd* pControl) override { m_texts.erase(pControl); }
    void RelayMouseMessage(MSG*) override {}

    std::map<CWnd*, std::wstring> m_texts;

private:
    CVelTooltipManager* m_pOld;
};

TEST_F(CustomDialogTest, BundledSkinLoadsCompletelyOnTheFirstDialog)
{
    CSkinTestDialog dlg;
    Make(dlg);
    const CSkinImages& skin = s_pBundled->Skin();
    ASSERT_TRUE(skin.IsLoaded());
    // The last image of the set came from its file, not the black stand-in.
    EXPECT_FALSE(skin.m_bmpTopDividerNoBorder.m_strPath.empty());
    EXPECT_FALSE(skin.m_bmpTop.m_strPath.empty());
}

TEST_F(CustomDialogTest, TitleButtonsRegisterTheirTooltips)
{
    const CRecordingTooltips tooltips;
    CSkinTestDialog dlg;
    Make(dlg);
    EXPECT_EQ(tooltips.m_texts.at(&dlg.m_btnClose), L"Close");
    EXPECT_EQ(tooltips.m_texts.at(&dlg.m_btnMaximize), L"Maximize");
    EXPECT_EQ(tooltips.m_texts.at(&dlg.m_btnMinimize), L"Minimize");
    EXPECT_EQ(tooltips.m_texts.at(&dlg.m_btnHelp), L"Help");
}

TEST_F(CustomDialogTest, TitleButtonsAreMadeHiddenAndShownOnesLineUpFromTheRight)
{
    const int W = 300;
    const struct
    {
        const char* pszName;
        bool bClose, bMaximize, bMinimize, bHelp;
        int nClose, nMaximize, nMinimize, nHelp; // expected left edges; -1: not shown
    } cases[] = {
        {"close and minimise", true, false, true, false, W - 27, -1, W - 47, -1},
        {"maximise alone", false, true, false, false, -1, W - 27, -1, -1},
        {"all four", true, true, true, true, W - 27, W - 47, W - 67, W - 97},
        {"help alone", false, false, false, true, -1, -1, -1, W - 37},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CSkinTestDialog dlg;
        Make(dlg);
        const struct
        {
            CVelButton& button;
            UINT nID;
            bool bShow;
            int nLeft;
        } buttons[] = {
            {dlg.m_btnClose, IDC_SKIN_CLOSE, c.bClose, c.nClose},
            {dlg.m_btnMaximize, IDC_SKIN_MAXIMIZE, c.bMaximize, c.nMaximize},
            {dlg.m_btnMinimize, IDC_SKIN_MINIMIZE, c.bMinimize, c.nMinimize},
            {dlg.m_btnHelp, ID_HELP, c.bHelp, c.nHelp},
        };
        for (const auto& b : buttons)
        {
            ASSERT_NE(b.button.GetSafeHwnd(), nullptr);
            EXPECT_FALSE(b.button.IsWindowVisible());
            EXPECT_FALSE(dlg.IsTitleButtonShown(b.nID));
            dlg.ShowTitleButton(b.nID, b.bShow);
        }
        for (const auto& b : buttons)
        {
            EXPECT_EQ((b.button.GetStyle() & WS_VISIBLE) != 0, b.bShow);
            EXPECT_EQ(dlg.IsTitleButtonShown(b.nID), b.bShow);
            if (b.nLeft >= 0)
            {
                EXPECT_EQ(PosIn(dlg, b.button), CPoint(b.nLeft, 3));
            }
        }
        // Resizing keeps them at the right edge.
        dlg.SetWindowPos(nullptr, 0, 0, W + 50, 200, SWP_NOMOVE | SWP_NOZORDER);
        for (const auto& b : buttons)
        {
            if (b.nLeft >= 0)
            {
                EXPECT_EQ(PosIn(dlg, b.button), CPoint(b.nLeft + 50, 3));
            }
        }
    }
}

TEST_F(CustomDialogTest, BottomButtonsFollowTheSizeAndOkAloneTakesTheRightPlace)
{
    CSkinTestDialog both;
    Make(both);
    both.AddOkCancelButtons();
    CSkinTestDialog okOnly;
    Make(okOnly);
    okOnly.AddCloseButton();
    EXPECT_EQ(okOnly.m_btnOK.GetWindowText(), L"Close");
    EXPECT_EQ(okOnly.m_btnOK.GetDlgCtrlID(), IDOK);
    for (int cx : {300, 420})
    {
        SCOPED_TRACE(cx);
        both.SetWindowPos(nullptr, 0, 0, cx, 250, SWP_NOMOVE | SWP_NOZORDER);
        okOnly.SetWindowPos(nullptr, 0, 0, cx, 250, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(PosIn(both, both.m_btnOK), CPoint(cx - 215, 250 - 45));
        EXPECT_EQ(PosIn(both, both.m_btnCancel), CPoint(cx - 115, 250 - 45));
        EXPECT_EQ(PosIn(okOnly, okOnly.m_btnOK), CPoint(cx - 115, 250 - 45));
    }
}

TEST_F(CustomDialogTest, EscapeLeavesTheDialogOpenAndEnterReachesOnOK)
{
    CSkinTestDialog dlg;
    dlg.SetInitialRect(CRect(100, 100, 400, 300));
    int nTicks = 0;
    bool bOpenAfterEscape = false;
    dlg.m_onTimer = [&]
    {
        switch (++nTicks)
        {
        case 1:
            QTest::keyClick(WindowOf(dlg), Qt::Key_Escape);
            break;
        case 2:
            bOpenAfterEscape = dlg.IsModalRunning();
            QTest::keyClick(WindowOf(dlg), Qt::Key_Return);
            break;
        default:
            dlg.EndDialog(7);
            break;
        }
    };
    dlg.m_onInit = [&] { dlg.SetTimer(1, 20); };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(bOpenAfterEscape);
    EXPECT_EQ(dlg.m_nCancel, 0);
    EXPECT_EQ(dlg.m_nOK, 1);
}

TEST_F(CustomDialogTest, FrameShowsTheBundledImagesOneToOne)
{
    const struct
    {
        const char* pszName;
        bool bResizable;
        bool bRound;
        CMaskedBitmap CSkinImages::*pLowerRight;
    } cases[] = {
        {"rounded", false, true, &CSkinImages::m_bmpLR},
        {"square", false, false, &CSkinImages::m_bmpLRSquare},
        {"resizable", true, true, &CSkinImages::m_bmpLRResize},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CSkinTestDialog dlg;
        dlg.m_bRoundCorners = c.bRound;
        Make(dlg, c.bResizable);
        CBitmap shot;
        ASSERT_TRUE(dlg.GrabClientImage(shot));
        ASSERT_EQ(shot.GetWidth(), 300);
        const CSkinImages& skin = s_pBundled->Skin();
        const CMaskedBitmap& lr = skin.*c.pLowerRight;
        // The middle of the lower-right corner image, and of the first interior tile.
        EXPECT_EQ(shot.GetPixel(300 - lr.m_nWidth + lr.m_nWidth / 2,
                                200 - lr.m_nHeight + lr.m_nHeight / 2),
                  lr.GetPixel(lr.m_nWidth / 2, lr.m_nHeight / 2));
        const CMaskedBitmap& bg = skin.m_bmpBackground;
        const int bx = std::min(3, bg.m_nWidth - 1);
        const int by = std::min(3, bg.m_nHeight - 1);
        EXPECT_EQ(shot.GetPixel(skin.m_bmpLeft.m_nWidth + bx, skin.m_bmpTop.m_nHeight + by),
                  bg.GetPixel(bx, by));
        // Far into the interior the tiles still line up with its corner.
        const CPoint ptFar(270, 180 - skin.m_bmpBottom.m_nHeight);
        EXPECT_EQ(shot.GetPixel(ptFar.x, ptFar.y),
                  bg.GetPixel((ptFar.x - skin.m_bmpLeft.m_nWidth) % bg.m_nWidth,
                              (ptFar.y - skin.m_bmpTop.m_nHeight) % bg.m_nHeight));
        EXPECT_EQ(RoundShape(dlg), c.bRound);
    }
}

// Without a program-owned set (a test of some other window) each dialog draws from a set of its
// own, which no other dialog takes over and which goes with it.
TEST(CustomDialogPrivateSkinTest, DialogsWithoutAProgramSetEachLoadTheirOwn)
{
    const CInstallFolderScope installFolder(CBundledSkin::AssetsFolder());
    ASSERT_EQ(CSkinImages::GetShared(), nullptr);
    CMaskedBitmap lr;
    ASSERT_TRUE(lr.Load(L"Data/Skins/Default/DialogLR.bmp"));
    auto pFirst = std::make_unique<CSkinTestDialog>();
    pFirst->SetInitialRect(CRect(100, 100, 400, 300));
    ASSERT_TRUE(pFirst->Create(nullptr));
    CSkinTestDialog second;
    second.SetInitialRect(CRect(100, 100, 400, 300));
    ASSERT_TRUE(second.Create(nullptr));
    EXPECT_EQ(CSkinImages::GetShared(), nullptr);
    pFirst.reset();
    second.Invalidate();
    CBitmap shot;
    ASSERT_TRUE(second.GrabClientImage(shot));
    EXPECT_EQ(shot.GetPixel(300 - lr.m_nWidth / 2, 200 - lr.m_nHeight / 2),
              lr.GetPixel(lr.m_nWidth - lr.m_nWidth / 2, lr.m_nHeight - lr.m_nHeight / 2));
}

} // namespace
