// Dialogs: creation without templates, the modal loop and the dialog keys.
#include "platform/Dialog.h"
#include "platform/internal/ModalLoops.h"
#include "platform/internal/WndHost.h"

#include <QEventLoop>

namespace
{

// A template of 191 x 100 dialog units in an 8-point dialog font.
constexpr int kDefaultWidth = 287;
constexpr int kDefaultHeight = 163;

} // namespace

struct CDialog::CModalLoop
{
    QEventLoop loop;
};

void CWndAccess::EndModalLoop(CDialog* pDialog)
{
    pDialog->m_bEndRequested = true;
    if (pDialog->m_pModalLoop != nullptr)
        pDialog->m_pModalLoop->loop.exit();
}

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_pParentWnd(pParentWnd), m_nIDHelp(nIDTemplate)
{
}

CDialog::~CDialog()
{
    // The window goes while this is still a dialog, so that its loop ends properly.
    if (GetSafeHwnd() != nullptr)
        DestroyWindow();
}

void CDialog::SetInitialRect(const CRect& rect)
{
    m_rcInitial = rect;
    m_bHasInitialRect = true;
}

void CDialog::SetInitialSize(int cx, int cy)
{
    const CPoint pt = m_bHasInitialRect ? m_rcInitial.TopLeft() : CPoint();
    m_rcInitial = CRect(pt, CSize(cx, cy));
    m_bHasInitialRect = true;
}

BOOL CDialog::CreateDialogWindow(CWnd* pOwner)
{
    CRect rc;
    if (m_bHasInitialRect)
    {
        rc = m_rcInitial;
    }
    else
    {
        CPoint pt(0, 0);
        if (pOwner != nullptr)
            pOwner->ClientToScreen(&pt);
        rc = CRect(pt, CSize(kDefaultWidth, kDefaultHeight));
    }
    m_bEndRequested = false;
    m_nModalResult = -1;
    if (!CreateEx(0, L"#32770", L"", WS_POPUP, rc, pOwner, 0))
        return FALSE;
    const HWND h = GetSafeHwnd();
    SendMessage(WM_INITDIALOG, 0, 0);
    return wnd::HostOf(h) != nullptr;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDHelp = nIDTemplate;
    if (pParentWnd != nullptr)
        m_pParentWnd = pParentWnd;
    return CreateDialogWindow(m_pParentWnd);
}

INT_PTR CDialog::DoModal()
{
    // The program is ending: nothing may wait for an answer on the way out.
    if (modal::EndsAtOnce(this))
        return IDCANCEL;
    CWnd* pOwner = m_pParentWnd != nullptr ? m_pParentWnd->GetTopLevelParent() : AfxGetMainWnd();
    if (pOwner == this || (pOwner != nullptr && pOwner->GetSafeHwnd() == nullptr))
        pOwner = nullptr;
    const HWND hOwner = pOwner != nullptr ? pOwner->GetSafeHwnd() : nullptr;
    if (!CreateDialogWindow(pOwner))
        return -1;
    bool bOwnerDisabled = false;
    if (pOwner != nullptr && pOwner->IsWindowEnabled())
    {
        pOwner->EnableWindow(FALSE);
        bOwnerDisabled = true;
    }
    const HWND h = GetSafeHwnd();
    // The program began to end while the dialog was being made (a message box in OnInitDialog).
    if (!m_bEndRequested && modal::EndsAtOnce(this))
        EndDialog(IDCANCEL);
    if (!m_bEndRequested && h != nullptr)
    {
        if (m_nInitialShowCmd != SW_HIDE)
            ShowWindow(m_nInitialShowCmd);
        CModalLoop modalLoop;
        m_pModalLoop = &modalLoop;
        const modal::CLoop registered(this, [this] { EndDialog(IDCANCEL); });
        if (!m_bEndRequested && wnd::HostOf(h) != nullptr)
            modalLoop.loop.exec(QEventLoop::DialogExec);
        m_pModalLoop = nullptr;
    }
    modal::EndedLoopOf(this);
    // The owner comes back before the dialog goes, so that it is the one activated.
    CWnd* pOwnerNow = CWnd::FromHandle(hOwner);
    if (bOwnerDisabled && pOwnerNow != nullptr)
        pOwnerNow->EnableWindow(TRUE);
    if (wnd::HostOf(h) != nullptr)
    {
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (pOwnerNow != nullptr && pOwnerNow->IsWindowVisible())
            pOwnerNow->SetActiveWindow();
        DestroyWindow();
    }
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bEndRequested = true;
    if (m_pModalLoop != nullptr)
        m_pModalLoop->loop.exit();
    else if (GetSafeHwnd() != nullptr)
        ShowWindow(SW_HIDE);
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Closing a dialog is cancelling it.
    if (message == WM_CLOSE)
    {
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED)
    {
        switch (LOWORD(wParam))
        {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        default:
            break;
        }
    }
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN || (pMsg->wParam != VK_RETURN && pMsg->wParam != VK_ESCAPE))
        return FALSE;
    // Only keys for this dialog and its controls.
    CWnd* pTarget = FromHandle(pMsg->hwnd);
    if (pTarget == nullptr || (pTarget != this && !IsChild(pTarget)))
        return FALSE;
    const UINT nCode = static_cast<UINT>(
        pTarget->SendMessage(WM_GETDLGCODE, pMsg->wParam, reinterpret_cast<LPARAM>(pMsg)));
    if (nCode & DLGC_WANTALLKEYS)
        return FALSE;
    int nID = pMsg->wParam == VK_ESCAPE ? IDCANCEL : IDOK;
    if (pMsg->wParam == VK_RETURN && pTarget != this &&
        (nCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
        nID = pTarget->GetDlgCtrlID();
    CWnd* pControl = GetDlgItem(nID);
    SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(nID), BN_CLICKED),
                reinterpret_cast<LPARAM>(pControl != nullptr ? pControl->GetSafeHwnd() : nullptr));
    return TRUE;
}
