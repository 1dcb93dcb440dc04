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

void PlatformChoice::apply()
{
    const QByteArray platform = forced(qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}
