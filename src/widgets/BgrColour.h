// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

// Stored colours are 0x00BBGGRR, red in the lowest byte. Values with the top bit set name a
// system colour by index instead (0x80000005 window background, 0x8000000F button face).
namespace BgrColour {
QColor toColor(qint32 value);
} // namespace BgrColour
