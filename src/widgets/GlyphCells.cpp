// SPDX-License-Identifier: GPL-3.0-or-later
#include "GlyphCells.h"

#include <QGlyphRun>
#include <QPainter>

namespace {
// The clock's glyphs take 131 places within a pixel in a day, 328 with the 12-hour format, the
// uptime's 362 in forty days; past this many pictures, something else is shown, and they are
// all drawn afresh.
constexpr int mostCells = 512;
// Room around a glyph's outline for antialiasing and hinting to ink.
constexpr int room = 4;
} // namespace

void GlyphCells::use(const QRawFont& face, const QColor& text, const QColor& background,
                     QImage::Format format)
{
    if (face == m_face && text == m_text && background == m_background && format == m_format)
        return;
    m_face = face;
    m_text = text;
    m_background = background;
    m_format = format;
    m_cells.clear();
}

const GlyphCells::Cell& GlyphCells::cell(quint32 glyph, QPointF pen)
{
    // Qt places glyphs in 1/64 pixel steps.
    const int x = int((pen.x() - qFloor(pen.x())) * 64);
    const int y = int((pen.y() - qFloor(pen.y())) * 64);
    const quint64 key = (quint64(glyph) << 16) | (quint64(x) << 8) | quint64(y);
    auto known = m_cells.constFind(key);
    if (known != m_cells.constEnd())
        return *known;
    if (m_cells.size() >= mostCells)
        m_cells.clear();
    return *m_cells.insert(key, draw(glyph, QPointF(x / 64.0, y / 64.0)));
}

GlyphCells::Cell GlyphCells::draw(quint32 glyph, QPointF within) const
{
    // A scratch picture of the outline with room around it; its top left is a whole number
    // of pixels from the pixel the pen is in, so the pen keeps its place within a pixel.
    const QRectF outline = m_face.boundingRect(glyph);
    const QPoint corner(qFloor(outline.left()) - room, qFloor(outline.top()) - room);
    const QSize size(qCeil(outline.right()) - corner.x() + room + 1,
                     qCeil(outline.bottom()) - corner.y() + room + 1);
    QImage scratch(size, m_format);
    scratch.fill(m_background);
    const QImage unpainted = scratch.copy(0, 0, 1, 1);
    {
        QPainter painter(&scratch);
        painter.setPen(m_text);
        QGlyphRun run;
        run.setRawFont(m_face);
        run.setGlyphIndexes({glyph});
        run.setPositions({within - QPointF(corner)});
        painter.drawGlyphRun(QPointF(), run);
    }
    // Only what the glyph inked: the rest is the background the label fills anyway.
    const QRgb background = unpainted.pixel(0, 0);
    QRect inked;
    for (int row = 0; row < scratch.height(); ++row) {
        for (int column = 0; column < scratch.width(); ++column) {
            if (scratch.pixel(column, row) != background)
                inked |= QRect(column, row, 1, 1);
        }
    }
    if (inked.isEmpty())
        return {};
    return {scratch.copy(inked), corner + inked.topLeft()};
}
