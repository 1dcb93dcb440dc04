// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The colour value of a colour entry text: its leading number, read as follows.
// - Blanks, tabs and line feeds are ignored everywhere, inside the number too ("1 2" is 12).
// - "&H" or "&h" starts hexadecimal digits, "&O" or "&o" octal digits. The digits are a bit
//   pattern: eight hexadecimal digits give the signed 32-bit value ("&H80000005&" is the system
//   colour code 0x80000005), and a pattern wider than 32 bits keeps its low 32 bits.
// - Anything else is decimal: optional sign, digits, optional fraction, optional exponent
//   (e or E, optional sign, digits). It is rounded exactly to the nearest integer, a half to the
//   even neighbour, and a value beyond the 32-bit range gives the nearest end of that range.
// - Reading stops at the first character that cannot continue the number, so the closing "&"
//   of the stored form ends it, and "1e" reads as 1.
// - A text without a leading number ("", "-", ".", "&H", "red") gives 0.
// Every text has a value; whether it names a colour is for the one who shows it.
qint32 colourValueOf(const QString& text);
