// Helpers of the "Online Games" window's tests: the bundled skin, an account in the game store
// and a loopback game server that records the posts.
#pragma once

#include "lookforgames/LookForGamesDialog.h"
#include "pbem/PBEMMessageManager.h"
#include "support/CurlTestEnvironment.h"
#include "support/GuiTest.h"
#include "support/ServerEnv.h"
#include "support/TestHttpServer.h"
#include "ui/SkinTest.h"
#include "ui/UiTest.h"

#include <memory>
#include <string>

class LookForGamesTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_pSkin = std::make_unique<CBundledSkin>(); }
    static void TearDownTestSuite() { s_pSkin.reset(); }

    void SetUp() override { ASSERT_NE(m_server.Port(), 0); }

    void PointAtServer(const std::string& strBase) { m_serverEnv.Set(strBase); }
    // Nothing listens on port 1: the connection is refused at once.
    void PointAtNoServer() { PointAtServer("http://127.0.0.1:1"); }

    void SetAccount(const std::wstring& strUsername, const std::wstring& strPassword)
    {
        m_manager.m_store.m_strUsername = strUsername;
        m_manager.m_store.m_strPassword = strPassword;
    }

    static void Open(CLookForGamesDialog& dlg)
    {
        dlg.SetInitialRect(CRect(50, 40, 500, 560));
        ASSERT_TRUE(dlg.Create(nullptr));
        ShowAndWait(dlg);
    }
    static void ClickCentre(const CWnd& wnd)
    {
        CRect rc;
        wnd.GetClientRect(&rc);
        Click(wnd, rc.CenterPoint());
        Pump();
    }
    // The one image the box shows: ticked, unticked or (null) something else.
    static const CMaskedBitmap* Tick(const CLookForGamesDialog& dlg)
    {
        const auto& images = dlg.m_btnLooking.GetImages();
        if (images.size() != 1 || images[0]->m_nX != 5 || images[0]->m_nY != 8)
            return nullptr;
        return images[0]->m_pBitmap;
    }
    static CRect RectInParent(const CWnd& wnd)
    {
        CRect rc;
        wnd.GetWindowRect(&rc);
        wnd.GetParent()->ScreenToClient(&rc);
        return rc;
    }

    static inline std::unique_ptr<CBundledSkin> s_pSkin;

    CTestHttpServer m_server;
    const CServerEnv m_serverEnv{m_server.BaseURL()};
    CPBEMMessageManager m_manager;
    CMessageManagerScope m_managerScope{m_manager};
};
