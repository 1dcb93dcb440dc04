// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A text from the settings file can be of any length, but what a window shows of it cannot:
// the X server refuses a title, a tooltip or a property beyond its request size, and the
// connection breaks. Every stored text passes through here before a window shows it; the
// stored value itself is never cut.
namespace ShownText {
// Characters a window shows of one text at most, "…" included.
inline constexpr qsizetype longest = 4000;
// Of a text that shares a line with others and is never wrapped, as in a tooltip.
inline constexpr qsizetype inLine = 200;

// The text, or its beginning and "…" where it is longer than that.
QString cut(const QString& text, qsizetype atMost = longest);

// The text cut as above, as a tooltip shows it: as typed, markup and all, and wrapped to the
// screen even where a long word has no blank to break at.
QString tip(const QString& text);
} // namespace ShownText
