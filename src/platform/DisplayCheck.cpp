// SPDX-License-Identifier: GPL-3.0-or-later
#include "DisplayCheck.h"

#include <QtGlobal>
#include <xcb/xcb.h>

QString DisplayCheck::problem()
{
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith(QLatin1String("xcb")))
        return {};
    const QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty() && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return QStringLiteral("no X display: DISPLAY is not set; under Wayland the clock runs "
                              "through XWayland, so enable XWayland in your session, or set "
                              "DISPLAY to a running X server");
    if (display.isEmpty())
        return QStringLiteral("no display: DISPLAY is not set; start the clock from a desktop "
                              "session, or set DISPLAY to a running X server");
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (!reachable)
        return QStringLiteral("cannot reach the X display %1; start the clock from a desktop "
                              "session, or set DISPLAY to a running X server")
            .arg(display);
    return {};
}
