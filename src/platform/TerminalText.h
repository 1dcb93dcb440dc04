// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Text from the settings file (or anywhere else outside the program) as it may be printed on a
// terminal. A control character could move the cursor, rewrite what a line showed before,
// or make the terminal act (escape sequences, OSC 52 filling the clipboard), so a line
// printed by the clock must show every one of them instead: "\x1b", "\x09", "\u202e". A
// backslash shows as "\\", so the text printed reads back to exactly one text.
namespace TerminalText {
QString visible(const QString& text);
} // namespace TerminalText
