// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// The strip's placement and staying on top need X11; under Wayland, XWayland provides it.
namespace PlatformChoice {
// The platform to ask Qt for, given QT_QPA_PLATFORM and WAYLAND_DISPLAY: "xcb" when a Wayland
// session runs and the user chose nothing; empty to leave Qt's choice alone.
QByteArray forced(const QByteArray& chosenPlatform, const QByteArray& waylandDisplay);

// Applies forced() to this process's environment; call before the application object exists.
void apply();

// The one line to say when Qt runs on `platformName`: natively on Wayland, what will not work
// and how to run through XWayland instead; empty elsewhere.
QString nativeWaylandNotice(const QString& platformName);
} // namespace PlatformChoice
