// CZorvexMessengerDlg: starting with the desktop session and out of sight. The preferences row
// that writes or removes the session's autostart entry for this installation, the start with
// --hidden, and the show request of a second start for the same installation.
#include "mainwnd/ZorvexMessengerDlg.h"

#include "base/Format.h"
#include "base/Paths.h"
#include "install/Autostart.h"
#include "install/InstallFolder.h"
#include "mainwnd/MainWndTexts.h"
#include "res/TextIds.h"
#include "ui/WarningDialog.h"

namespace
{

// The tick of the row (ticked Check1, unticked Check2), in the column of the other rows' icons.
const CPoint kTickAt(8, 8);

} // namespace

void CZorvexMessengerDlg::ApplyStartHidden()
{
    if (!m_bStartHidden)
        return;
    // Hidden only where the tray's icon can bring it back; else on the task bar.
    if (!m_trayIcon.IsShownInTray())
    {
        m_nInitialShowCmd = SW_SHOWMINNOACTIVE;
        return;
    }
    m_nInitialShowCmd = SW_HIDE;
    CSystemTray::HideWindowToTray(this);
    m_trayIcon.SetDefaultCommand(IDC_SHOW_FROM_TRAY);
}

int CZorvexMessengerDlg::AddAutostartRow(int y)
{
    // Read each time the page is built: the file may have been changed or removed meanwhile.
    const bool bOn = AutostartNamesFolder(m_strAutostartFile, ToNativePath(GetInstallFolder()));
    return AddCommandRows(
        y, {{Text(IDS_AUTOSTART), IDC_AUTOSTART, bOn ? &m_bmpCheck1 : &m_bmpCheck2, kTickAt}});
}

void CZorvexMessengerDlg::ToggleAutostart()
{
    const std::string strFolder = ToNativePath(GetInstallFolder());
    // An entry naming another installation shows unticked: ticking points it at this one.
    if (AutostartNamesFolder(m_strAutostartFile, strFolder))
    {
        if (!RemoveAutostartEntry(m_strAutostartFile))
        {
            ShowBox(
                EWarningKind::Warning, Text(IDS_WARNING),
                FormatText(Text(IDS_AUTOSTART_NOT_REMOVED), {FromNativePath(m_strAutostartFile)}),
                false);
        }
    }
    else
    {
        const std::string strProgram = RunningProgramPath();
        if (strProgram.empty() || !WriteAutostartEntry(m_strAutostartFile, strProgram, strFolder))
        {
            ShowBox(
                EWarningKind::Warning, Text(IDS_WARNING),
                FormatText(Text(IDS_AUTOSTART_NOT_WRITTEN), {FromNativePath(m_strAutostartFile)}),
                false);
        }
    }
    // The tick shows what the file says now, whatever happened.
    if (m_eView == EView::Preferences)
        Rebuild();
}

void CZorvexMessengerDlg::OnShowRequest()
{
    ShowFromTray();
    // Minimised where there is no tray: brought back as well.
    if (IsIconic())
        ShowWindow(SW_RESTORE);
}
