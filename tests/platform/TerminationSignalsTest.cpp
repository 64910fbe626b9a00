// A termination signal or a quit request during the main window's modal loop closes the main
// window as its close button does (WM_CLOSE), and so ends the loop; dialogs and message boxes open
// above it end too, and none waits for an answer on the way out.
#include "support/GuiTest.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>

#include <csignal>
#include <functional>
#include <vector>

namespace
{

constexpr int kGaveUp = 99;

// Runs m_trigger at its first timer tick, inside its own modal loop, and gives up after about
// 4 s (the request was lost, or a loop above it never ended).
class CMainDialog : public CDialog
{
public:
    BOOL OnInitDialog() override
    {
        SetTimer(1, 20);
        const BOOL bResult = CDialog::OnInitDialog();
        if (m_onInit)
            m_onInit();
        return bResult;
    }
    void OnTimer(UINT_PTR) override
    {
        if (++m_nTicks == 1 && m_trigger)
            m_trigger();
        else if (m_nTicks >= 200 && IsModalRunning())
            EndDialog(kGaveUp);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CLOSE)
            ++m_nCloses;
        return CDialog::WindowProc(message, wParam, lParam);
    }

    std::function<void()> m_onInit;
    std::function<void()> m_trigger;
    int m_nTicks = 0;
    int m_nCloses = 0;
};

// A message box left open would wait for ever: it is closed after a while, and that is noted.
class CBoxGiveUp
{
public:
    explicit CBoxGiveUp(int nMilliseconds = 4000)
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this]
                         {
                             for (QWidget* pWidget : QApplication::topLevelWidgets())
                             {
                                 auto* pBox = qobject_cast<QMessageBox*>(pWidget);
                                 if (pBox != nullptr && pBox->isVisible())
                                 {
                                     m_bGaveUp = true;
                                     pBox->done(QMessageBox::Yes);
                                 }
                             }
                             m_timer.start(100);
                         });
        m_timer.start(nMilliseconds);
    }

    QTimer m_timer;
    bool m_bGaveUp = false;
};

void RaiseSoon(int nSignal)
{
    QTimer::singleShot(20, [nSignal] { std::raise(nSignal); });
}

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
        {"quit request", []
         { QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::Quit)); }},
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

// Online Games, the help box, a question: whatever is open above the main window ends with its
// cancelling answer, and what the code after it opens on the way out does not wait either.
TEST(TerminationSignalsTest, ASignalEndsEveryModalLoopAboveTheMainWindow)
{
    CloseMainWindowOnTerminationSignals();
    const struct
    {
        const char* pszName;
        int nSignal;
        bool bBoxInDialog; // a message box inside the nested dialog, else the dialog alone
    } cases[] = {
        {"dialog, SIGTERM", SIGTERM, false},
        {"message box in a dialog, SIGINT", SIGINT, true},
        {"message box in a dialog, SIGHUP", SIGHUP, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        const CBoxGiveUp giveUp;
        CMainDialog dlg;
        CMainDialog nested;
        CMainDialog later;
        std::vector<INT_PTR> results;
        nested.m_trigger = [&]
        {
            if (!c.bBoxInDialog)
            {
                std::raise(c.nSignal);
                return;
            }
            RaiseSoon(c.nSignal);
            results.push_back(AfxMessageBox(L"Remove the game?", MB_YESNO));
        };
        dlg.m_trigger = [&]
        {
            results.push_back(nested.DoModal());
            // On the way out.
            results.push_back(AfxMessageBox(L"Could not reach the server.", MB_OKCANCEL));
            results.push_back(later.DoModal());
        };
        AfxSetMainWnd(&dlg);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        AfxSetMainWnd(nullptr);
        EXPECT_EQ(dlg.m_nCloses, 1);
        const std::vector<INT_PTR> expected =
            c.bBoxInDialog ? std::vector<INT_PTR>{IDNO, IDCANCEL, IDCANCEL, IDCANCEL}
                           : std::vector<INT_PTR>{IDCANCEL, IDCANCEL, IDCANCEL};
        EXPECT_EQ(results, expected);
        EXPECT_EQ(later.m_nTicks, 0); // never opened
        EXPECT_FALSE(giveUp.m_bGaveUp);
        Pump();
    }
    // The ending is over with the main window's loop: boxes and dialogs wait for answers again.
    const CBoxGiveUp answer(100);
    EXPECT_EQ(AfxMessageBox(L"Again?", MB_YESNO), IDYES);
    EXPECT_TRUE(answer.m_bGaveUp);
}

// A picture that cannot be loaded while the main window is being made shows a message box before
// the window appears; a signal then closes that box, the next one does not wait, and the main
// window ends as by its close button.
TEST(TerminationSignalsTest, ASignalDuringTheStartUpMessageBoxesEndsTheProgram)
{
    CloseMainWindowOnTerminationSignals();
    const CBoxGiveUp giveUp;
    CMainDialog dlg;
    std::vector<int> answers;
    dlg.m_onInit = [&]
    {
        RaiseSoon(SIGTERM);
        answers.push_back(AfxMessageBox(L"Error Loading File: Data/Images/Add.bmp", MB_OK));
        answers.push_back(AfxMessageBox(L"Error Loading File: Data/Images/Back-Small.bmp", MB_OK));
    };
    AfxSetMainWnd(&dlg);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    AfxSetMainWnd(nullptr);
    EXPECT_EQ(dlg.m_nCloses, 1);
    EXPECT_EQ(answers, (std::vector<int>{IDOK, IDOK}));
    EXPECT_FALSE(giveUp.m_bGaveUp);
    Pump();
}

} // namespace
