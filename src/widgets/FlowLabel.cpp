// SPDX-License-Identifier: GPL-3.0-or-later
#include "FlowLabel.h"

#include <QPainter>
#include <QRegion>
#include <QTextLayout>

namespace {
constexpr qreal sizeStep = 0.25; // points

// Lays the text out over the areas; false where it needs more room than they have.
bool layOut(QTextLayout& layout, const QList<QRect>& areas)
{
    QTextOption wrapping;
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(wrapping);
    const qreal lineHeight = QFontMetricsF(layout.font()).height();
    qsizetype area = 0;
    qreal top = areas.isEmpty() ? 0 : areas.first().top();
    bool fits = true;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        while (area < areas.size() && top + lineHeight > areas[area].bottom() + 1) {
            if (++area < areas.size())
                top = areas[area].top();
        }
        if (area == areas.size()) {
            fits = false;
            line.setNumColumns(0);
            break;
        }
        line.setLineWidth(areas[area].width());
        line.setPosition(QPointF(areas[area].left(), top));
        top += lineHeight;
    }
    layout.endLayout();
    return fits;
}

bool fits(const QString& text, const QFont& font, const QList<QRect>& areas)
{
    QTextLayout layout(text, font);
    return layOut(layout, areas);
}

// An invisible break after each slash, so that a long path wraps where a reader expects.
QString breakable(const QString& text)
{
    QString broken = text;
    return broken.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
}
} // namespace

FlowLabel::FlowLabel(const QList<QRect>& areas, qreal smallestPoints, QWidget* window)
    : QLabel(window), m_smallest(smallestPoints)
{
    setAreas(areas);
}

void FlowLabel::setAreas(const QList<QRect>& areas)
{
    m_areas.clear();
    QRect bounds;
    for (const QRect& area : areas)
        bounds |= area;
    setGeometry(bounds);
    QRegion covered;
    for (const QRect& area : areas) {
        m_areas.append(area.translated(-bounds.topLeft()));
        covered += m_areas.last();
    }
    setMask(covered);
    if (!text().isEmpty())
        setText(text());
}

void FlowLabel::setText(const QString& text)
{
    QLabel::setText(text);
    const QString flowing = breakable(text);
    m_shownFont = font();
    for (qreal points = font().pointSizeF(); points >= m_smallest; points -= sizeStep) {
        m_shownFont.setPointSizeF(points);
        if (fits(flowing, m_shownFont, m_areas)) {
            m_shown = flowing;
            update();
            return;
        }
    }
    m_shownFont.setPointSizeF(m_smallest);
    // The longest beginning that still fits beside its "…".
    const QString ellipsis(QChar(0x2026));
    qsizetype fitting = 0;
    qsizetype tooLong = flowing.size();
    while (tooLong - fitting > 1) {
        const qsizetype middle = (fitting + tooLong) / 2;
        if (fits(flowing.left(middle) + ellipsis, m_shownFont, m_areas))
            fitting = middle;
        else
            tooLong = middle;
    }
    if (fitting > 0 && flowing.at(fitting - 1).isHighSurrogate())
        --fitting;
    m_shown = flowing.left(fitting) + ellipsis;
    update();
}

void FlowLabel::paintEvent(QPaintEvent*)
{
    QTextLayout layout(m_shown, m_shownFont);
    layOut(layout, m_areas);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    layout.draw(&painter, QPointF(0, 0));
}
