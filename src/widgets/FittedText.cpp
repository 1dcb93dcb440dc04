// SPDX-License-Identifier: GPL-3.0-or-later
#include "FittedText.h"

#include <QFontMetricsF>
#include <cmath>

namespace {
constexpr qreal step = 0.25; // points
} // namespace

QFont FittedText::line(const QFont& font, const QString& text, int width)
{
    QFont fitted = font;
    const qreal natural = QFontMetricsF(font).horizontalAdvance(text);
    if (natural <= width || natural <= 0)
        return fitted;
    // Widths grow about in step with the size; the rest is rounding of the glyphs.
    qreal points = font.pointSizeF() * width / natural;
    points = std::floor(points / step) * step;
    fitted.setPointSizeF(points);
    while (points > step && QFontMetricsF(fitted).horizontalAdvance(text) > width) {
        points -= step;
        fitted.setPointSizeF(points);
    }
    return fitted;
}
