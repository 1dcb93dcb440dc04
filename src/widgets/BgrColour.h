// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

// Stored colours are 0x00BBGGRR, red in the lowest byte. Values with the top bit set name a
// system colour by index instead (0x80000005 window background, 0x8000000F button face).
namespace BgrColour {
inline constexpr qint32 black = 0x000000;
inline constexpr qint32 white = 0xFFFFFF;
inline constexpr qint32 red = 0x0000FF;
inline constexpr qint32 green = 0x00FF00;
// The face of a text field that takes no typing.
inline constexpr qint32 lockedGrey = 0xE0E0E0;
// The face of a text field open for typing.
inline constexpr qint32 systemWindowBackground = qint32(0x80000005u);

QColor toColor(qint32 value);
} // namespace BgrColour
