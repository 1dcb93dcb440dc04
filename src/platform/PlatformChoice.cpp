// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlatformChoice.h"

#include <QtGlobal>

QByteArray PlatformChoice::forced(const QByteArray& chosenPlatform,
                                  const QByteArray& waylandDisplay)
{
    if (!chosenPlatform.isEmpty() || waylandDisplay.isEmpty())
        return {};
    return QByteArrayLiteral("xcb");
}

QString PlatformChoice::nativeWaylandNotice(const QString& platformName)
{
    if (!platformName.startsWith(QLatin1String("wayland")))
        return {};
    return QStringLiteral("running natively on Wayland: the strip cannot stay on top, alarm "
                          "windows take the keyboard, and windows open where the compositor "
                          "puts them; start with QT_QPA_PLATFORM=xcb to run through XWayland");
}

void PlatformChoice::apply()
{
    const QByteArray platform = forced(qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}
