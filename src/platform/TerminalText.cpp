// SPDX-License-Identifier: GPL-3.0-or-later
#include "TerminalText.h"

namespace {
// The characters that change how a terminal shows what follows without showing themselves:
// C0, DEL and C1 controls, the line and paragraph separators, and the marks that reorder
// text for right-to-left scripts (they can show a command's words in another order).
bool hidden(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x061c || c == 0x200e || c == 0x200f ||
           (c >= 0x2028 && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069);
}
} // namespace

QString TerminalText::visible(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    // Every such character lies in the basic plane; surrogate halves pass as they are.
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == u'\\')
            shown += QLatin1String("\\\\");
        else if (!hidden(unit))
            shown += c;
        else if (unit <= 0xff)
            shown += QStringLiteral("\\x%1").arg(uint(unit), 2, 16, QLatin1Char('0'));
        else
            shown += QStringLiteral("\\u%1").arg(uint(unit), 4, 16, QLatin1Char('0'));
    }
    return shown;
}
