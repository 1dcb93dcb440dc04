// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesignFont.h"

namespace {
QFont face(const QStringList& families, qreal points, QFont::Weight weight)
{
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}
} // namespace

QFont DesignFont::msSansSerif(qreal points, QFont::Weight weight)
{
    return face(QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                            QStringLiteral("Arial"), QStringLiteral("Liberation Sans")},
                points, weight);
}

QFont DesignFont::arial(qreal points, QFont::Weight weight)
{
    return face(QStringList{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, points,
                weight);
}

QFont DesignFont::arialBlack(qreal points)
{
    return face(QStringList{QStringLiteral("Arial Black")}, points, QFont::Black);
}
