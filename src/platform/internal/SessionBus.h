// Whether a session bus may be running. Asking Qt for the session bus where none runs makes the
// bus library try to start one (a child process, perhaps a daemon left behind), which costs the
// start-up a lot and finds nothing anyway.
#pragma once

#include <QFileInfo>
#include <QString>
#include <QtGlobal>

inline bool SessionBusMayRun()
{
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString strRuntime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !strRuntime.isEmpty() && QFileInfo::exists(strRuntime + QStringLiteral("/bus"));
}
