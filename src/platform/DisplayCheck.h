// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Says in one line why no window can be shown, before Qt would abort over it.
namespace DisplayCheck {
// Empty when an X display can be reached, or when another platform than X11 was chosen. Under
// Wayland the clock runs through XWayland (PlatformChoice), so DISPLAY must be reachable there too.
QString problem();
} // namespace DisplayCheck
