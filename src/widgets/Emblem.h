// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own emblem, with its green key colour drawn transparent.
namespace Emblem {
QPixmap pixmap();
QIcon icon();
} // namespace Emblem
