// Start and end of the window system, message boxes and sound.
#include "platform/System.h"
#include "platform/Wnd.h"
#include "platform/internal/GdiData.h"
#include "platform/internal/IconConvert.h"
#include "platform/internal/ModalLoops.h"
#include "platform/internal/MsgPump.h"
#include "platform/internal/QtConvert.h"
#include "platform/internal/WndHost.h"

#include <QApplication>
#include <QByteArray>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>

#include <cstdio>
#include <utility>

#if ZORVEX_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace
{

// Made by InitPlatform and deleted by ExitPlatform only, not by an exit handler: Qt calls exit()
// when the X server goes away, with the modal loops still on the stack, and the application object
// must not be destroyed under them. The process ends with it still there.
QApplication* g_pApp = nullptr;
int g_argc = 0;
CMessageBoxHandler g_messageBoxHandler;
std::wstring g_strAppName;

void SendActivateApp(bool bActive)
{
    for (CWndHost* pHost : wnd::TopLevels())
    {
        if (CWnd* pWnd = pHost->m_pWnd)
            pWnd->SendMessage(WM_ACTIVATEAPP, bActive ? TRUE : FALSE, 0);
    }
}

// Qt aborts the process when the platform it was told to use cannot start. With X11 alone asked
// for, the display is tried first, so that a missing one is an ordinary failure with a message.
bool DisplayAnswers(const char* pszProgram)
{
#if ZORVEX_HAVE_XCB
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    // Other platforms, and lists with a platform to fall back on, are Qt's matter.
    if ((platform != "xcb" && !platform.startsWith("xcb:")) || platform.contains(';'))
        return true;
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty())
    {
        std::fprintf(stderr, "%s: no X display to show the window on (DISPLAY is not set)\n",
                     pszProgram);
        return false;
    }
    xcb_connection_t* pConnection = xcb_connect(display.constData(), nullptr);
    const bool bConnected = xcb_connection_has_error(pConnection) == 0;
    xcb_disconnect(pConnection);
    if (!bConnected)
    {
        std::fprintf(stderr, "%s: cannot connect to the X display '%s'\n", pszProgram,
                     display.constData());
    }
    return bConnected;
#else
    (void)pszProgram;
    return true;
#endif
}

} // namespace

bool InitPlatform(int& argc, char** argv)
{
    if (QApplication::instance() != nullptr)
        return false;
    // Top-level windows must land where the program puts them, which Wayland does not allow.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    if (!DisplayAnswers(argc > 0 && argv[0] != nullptr ? argv[0] : "zorvex-messenger"))
        return false;
    g_argc = argc;
    g_pApp = new QApplication(g_argc, argv);
    argc = g_argc;
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setFont(static_cast<HFONT__*>(GetDefaultGuiFont()->m_hObject)->font);
    if (g_strAppName.empty())
        g_strAppName = FromQString(QApplication::applicationName());
    QObject::connect(g_pApp, &QGuiApplication::applicationStateChanged, g_pApp,
                     [](Qt::ApplicationState state)
                     { SendActivateApp(state == Qt::ApplicationActive); });
    msg::InitQueue();
    return true;
}

void ExitPlatform()
{
    if (!g_pApp)
        return;
    // Windows still open lose them quietly: the program is ending.
    for (CWndHost* pHost : wnd::TopLevels())
    {
        wnd::DetachSilently(pHost);
        delete pHost;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    msg::ExitQueue();
    modal::Reset();
    delete std::exchange(g_pApp, nullptr);
}

bool IsPlatformRunning()
{
    return QApplication::instance() != nullptr;
}

BOOL Beep(DWORD, DWORD)
{
    if (QApplication::instance() != nullptr)
        QApplication::beep();
    return TRUE;
}

BOOL MessageBeep(UINT)
{
    return Beep(0, 0);
}

void SetMessageBoxHandler(CMessageBoxHandler handler)
{
    g_messageBoxHandler = std::move(handler);
}

void AfxSetAppName(const std::wstring& strName)
{
    g_strAppName = strName;
}

std::wstring AfxGetAppName()
{
    return g_strAppName;
}

void AfxSetAppIcon(const std::vector<SIconImage>& images)
{
    if (QApplication::instance() == nullptr)
        return;
    QApplication::setWindowIcon(ToQIcon(images));
}

HINSTANCE AfxGetInstanceHandle()
{
    return nullptr;
}

int AfxMessageBox(const std::wstring& strText, UINT nType, UINT)
{
    CWnd* pMain = AfxGetMainWnd();
    return MessageBox(pMain != nullptr ? pMain->GetSafeHwnd() : nullptr, strText, AfxGetAppName(),
                      nType);
}

int MessageBox(HWND hWnd, const std::wstring& strText, const std::wstring& strCaption, UINT nType)
{
    if (g_messageBoxHandler)
        return g_messageBoxHandler(strText, strCaption, nType);
    if (QApplication::instance() == nullptr)
        return IDCANCEL;
    QMessageBox box;
    box.setWindowTitle(ToQString(strCaption));
    box.setText(ToQString(strText));
    switch (nType & MB_ICONMASK)
    {
    case MB_ICONHAND:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONASTERISK:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    struct CAnswer
    {
        QMessageBox::StandardButton button;
        int nResult;
    };
    std::vector<CAnswer> buttons;
    switch (nType & MB_TYPEMASK)
    {
    case MB_OKCANCEL:
        buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNO:
        buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        break;
    case MB_YESNOCANCEL:
        buttons = {
            {QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    default:
        buttons = {{QMessageBox::Ok, IDOK}};
        break;
    }
    // Also the answer when the window manager closes the box, or the program ends meanwhile.
    const int nCancelAnswer = buttons.size() > 1 ? buttons.back().nResult : IDOK;
    if (modal::EndsAtOnce(nullptr))
        return nCancelAnswer;
    QMessageBox::StandardButtons set;
    for (const CAnswer& b : buttons)
        set |= b.button;
    box.setStandardButtons(set);
    // The owner waits, as it does for a dialog.
    CWnd* pOwner = CWnd::FromHandle(hWnd);
    const bool bDisable = pOwner != nullptr && pOwner->IsWindowEnabled();
    if (bDisable)
        pOwner->EnableWindow(FALSE);
    bool bEnded = false;
    int nClicked = 0;
    {
        const modal::CLoop registered(nullptr,
                                      [&box, &bEnded]
                                      {
                                          bEnded = true;
                                          box.done(-1);
                                      });
        nClicked = box.exec();
    }
    if (bDisable && CWnd::FromHandle(hWnd) != nullptr)
        pOwner->EnableWindow(TRUE);
    for (const CAnswer& b : buttons)
    {
        if (!bEnded && b.button == nClicked)
            return b.nResult;
    }
    return nCancelAnswer;
}
