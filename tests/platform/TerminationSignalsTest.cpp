// A termination signal or a quit request during the main window's modal loop closes the main
// window as its close button does (WM_CLOSE), and so ends the loop.
#include "support/GuiTest.h"

#include <QCoreApplication>
#include <QEvent>

#include <csignal>
#include <functional>
#include <vector>

namespace
{

constexpr int kGaveUp = 99;

class CMainDialog : public CDialog
{
public:
    BOOL OnInitDialog() override
    {
        SetTimer(1, 20);
        return CDialog::OnInitDialog();
    }
    void OnTimer(UINT_PTR) override
    {
        if (++m_nTicks == 1)
            m_trigger();
        else if (m_nTicks == 200) // about 4 s: the request was lost
            EndDialog(kGaveUp);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CLOSE)
            ++m_nCloses;
        return CDialog::WindowProc(message, wParam, lParam);
    }

    std::function<void()> m_trigger;
    int m_nTicks = 0;
    int m_nCloses = 0;
};

TEST(TerminationSignalsTest, SignalsAndQuitRequestsCloseTheMainWindow)
{
    CloseMainWindowOnTerminationSignals();
    CloseMainWindowOnTerminationSignals(); // a second call changes nothing
    const struct
    {
        const char* pszName;
        std::function<void()> trigger;
    } cases[] = {
        {"SIGTERM", [] { std::raise(SIGTERM); }},
        {"SIGINT", [] { std::raise(SIGINT); }},
        {"SIGHUP", [] { std::raise(SIGHUP); }},
        {"two signals at once", [] { std::raise(SIGTERM), std::raise(SIGTERM); }},
        {"quit request",
         [] { QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::Quit)); }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CMainDialog dlg;
        dlg.m_trigger = c.trigger;
        AfxSetMainWnd(&dlg);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        AfxSetMainWnd(nullptr);
        EXPECT_EQ(dlg.m_nCloses, 1);
        Pump();
    }
}

} // namespace
