// Helpers of the main window's tests: the window on the bundled installation with a game store
// built in memory (nothing read from or written to disk), and where its controls are.
#pragma once

#include "mainwnd/ZorvexMessengerDlg.h"
#include "notify/GeneralPopup3.h"
#include "pbem/PBEMMessageManager.h"
#include "res/FlagImages.h"
#include "support/GuiTest.h"
#include "ui/SkinTest.h"
#include "ui/UiTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// The main window without its start-up's disk work: the store is the test's.
class CTestMessengerDlg : public CZorvexMessengerDlg
{
protected:
    void CreateGameFolder() override {}
    void LoadGameList() override {}
    // No download: the window's tests stay off the network.
    void StartPolling() override {}
};

class MessengerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_pSkin = std::make_unique<CBundledSkin>(); }
    static void TearDownTestSuite() { s_pSkin.reset(); }

    // Makes the window (shown, at its start-up size).
    void Open()
    {
        m_dlg.SetInitialRect(CRect(100, 100, 320, 320));
        ASSERT_TRUE(m_dlg.Create(nullptr));
        m_dlg.ShowWindow(SW_SHOW);
    }
    void Resize(int cx, int cy)
    {
        m_dlg.SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // A game entry appended to the store.
    CPBEMGameState& AddGame(const std::wstring& strPlayerId,
                            const std::wstring& strInstance = L"I1")
    {
        auto pGame = std::make_unique<CPBEMGameState>();
        pGame->m_strPlayerId = strPlayerId;
        pGame->m_strInstanceId = strInstance;
        m_manager.m_store.m_listGames.push_back(std::move(pGame));
        return *m_manager.m_store.m_listGames.back();
    }
    static CPBEMGameEvent& AddEvent(CPBEMGameState& game, const std::wstring& strText = L"text",
                                    int nFrom = 0, const std::string& strKind = "IM")
    {
        auto pEvent = std::make_unique<CPBEMGameEvent>();
        pEvent->m_strText = strText;
        pEvent->m_nFromPlayer = nFrom;
        pEvent->m_strKind = strKind;
        game.m_listEvents.push_back(std::move(pEvent));
        return *game.m_listEvents.back();
    }
    static void AddEvents(CPBEMGameState& game, int n)
    {
        for (int i = 0; i < n; ++i)
            AddEvent(game);
    }

    void Command(UINT nID) { m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), 0); }
    void OpenGameView(const std::wstring& strPlayerId)
    {
        m_dlg.m_strCurrentGame = strPlayerId;
        m_dlg.SwitchView(EView::Game);
    }
    // The menu that the button opened, found under the button's lower-left corner.
    static CGeneralPopup3* MenuUnder(const CWnd& button)
    {
        CRect rc;
        button.GetClientRect(&rc);
        button.ClientToScreen(&rc);
        CWnd* pHit = CWnd::WindowFromPoint(CPoint(rc.left + 3, rc.bottom + 3));
        return pHit != nullptr ? dynamic_cast<CGeneralPopup3*>(pHit->GetTopLevelParent()) : nullptr;
    }
    // Opens the menu with the command and picks the item with the text.
    void Choose(UINT nMenuCommand, const CWnd& button, const std::wstring& strItem)
    {
        Command(nMenuCommand);
        CGeneralPopup3* pMenu = MenuUnder(button);
        ASSERT_NE(pMenu, nullptr);
        for (const auto& pButton : pMenu->m_listButtons)
        {
            if (pButton->GetWindowText() == strItem)
            {
                pMenu->OnItemCommand(static_cast<UINT>(pButton->GetDlgCtrlID()));
                Pump();
                return;
            }
        }
        ADD_FAILURE() << "no item " << testing::PrintToString(strItem);
    }

public:
    // A control's rectangle in its parent's client area.
    static CRect RectInParent(const CWnd& wnd)
    {
        CRect rc;
        wnd.GetWindowRect(&rc);
        wnd.GetParent()->ScreenToClient(&rc);
        return rc;
    }
    static bool Visible(const CWnd& wnd) { return (wnd.GetStyle() & WS_VISIBLE) != 0; }
    // The position of the image entry showing pBitmap; (-1, -1) when the button has none.
    static CPoint ImageAt(const CVelButton& button, const CMaskedBitmap* pBitmap)
    {
        for (const auto& pImage : button.GetImages())
        {
            if (pImage->m_pBitmap == pBitmap)
                return CPoint(pImage->m_nX, pImage->m_nY);
        }
        return CPoint(-1, -1);
    }

protected:
    static std::unique_ptr<CBundledSkin> s_pSkin;

    CPBEMMessageManager m_manager;
    CMessageManagerScope m_managerScope{m_manager};
    CBitmapFlagLoader m_flagLoader;
    CFlagImageLoaderScope m_flagScope{m_flagLoader};
    CTestMessengerDlg m_dlg;
};

inline std::unique_ptr<CBundledSkin> MessengerTest::s_pSkin;
