// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShownText.h"

#include <QTextDocument>

QString ShownText::cut(const QString& text, qsizetype atMost)
{
    if (text.size() <= atMost)
        return text;
    qsizetype kept = atMost - 1;
    // Never between the two halves of a character outside the basic plane.
    if (text.at(kept - 1).isHighSurrogate())
        --kept;
    return text.left(kept) + QChar(0x2026);
}

QString ShownText::tip(const QString& text)
{
    constexpr qsizetype longestWord = 60;
    QString breakable;
    qsizetype word = 0;
    for (const QChar c : cut(text)) {
        word = c.isSpace() ? 0 : word + 1;
        // An invisible break; never inside a character outside the basic plane.
        if (word > longestWord && !c.isLowSurrogate()) {
            breakable += QChar(0x200B);
            word = 1;
        }
        breakable += c;
    }
    return Qt::convertFromPlainText(breakable, Qt::WhiteSpaceNormal);
}
