#include "LiveTextLabel.h"

#include <QGlyphRun>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <limits>

namespace {
// Antialiasing and the rounding of a glyph's pen position may reach a pixel beyond its
// outline; two keep clear of both.
constexpr int inkMargin = 2;
} // namespace

LiveTextLabel::LiveTextLabel(const QString& name, QWidget* parent) : ColourLabel(name, parent)
{
    // The label fills what it repaints itself, once, with its background colour.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

LiveTextLabel::~LiveTextLabel() = default;

std::optional<GlyphLayout::Line> LiveTextLabel::lineFor(const QString& text)
{
    // QLabel's own look for anything but plain, centred, enabled text without a frame.
    const bool plain = textFormat() == Qt::PlainText && alignment() == Qt::AlignCenter &&
                       frameWidth() == 0 && margin() == 0 && indent() <= 0 && !wordWrap() &&
                       isEnabled() && layoutDirection() == Qt::LeftToRight;
    if (!plain)
        return std::nullopt;
    // Glyphs are shaped for the screen's scale; a new one needs them shaped afresh.
    if (!m_layout || m_layoutScale != devicePixelRatioF()) {
        m_layout = std::make_unique<GlyphLayout>(font(), this);
        m_layoutScale = devicePixelRatioF();
    }
    std::optional<GlyphLayout::Line> line = m_layout->line(text);
    // A text wider than the label is placed by rules of QLabel's own.
    if (line && line->width > contentsRect().width())
        return std::nullopt;
    return line;
}

const GlyphLayout::Line* LiveTextLabel::shownLine()
{
    if (!m_lineKnown || m_lineText != text() || m_layoutScale != devicePixelRatioF()) {
        m_line = lineFor(text());
        m_lineText = text();
        m_lineKnown = true;
    }
    return m_line ? &*m_line : nullptr;
}

qreal LiveTextLabel::left(const GlyphLayout::Line& line, const QRect& area)
{
    // Qt takes a line's place in 1/64 pixel steps, cut towards zero, before it scales it to
    // the screen; so must its glyphs, or a scaled screen shows some a step away.
    return int((area.x() + (area.width() - line.width) / 2) * 64) / qreal(64);
}

qreal LiveTextLabel::top(const QRect& area) const
{
    return int((area.y() + (area.height() - m_layout->lineHeight()) / 2) * 64) / qreal(64);
}

QRect LiveTextLabel::inkArea(const GlyphLayout::Glyph& glyph, qreal left, const QRect& area)
{
    const qreal pen = left + glyph.position.x();
    const int from = qFloor(pen + qMin<qreal>(0, glyph.inkLeft)) - inkMargin;
    const int to = qCeil(pen + glyph.inkRight) + inkMargin;
    return QRect(from, area.top(), to - from, area.height()).intersected(area);
}

QRegion LiveTextLabel::changedArea(const QString& before)
{
    const std::optional<GlyphLayout::Line> old =
        m_lineKnown && m_lineText == before ? m_line : lineFor(before);
    const GlyphLayout::Line* now = shownLine();
    if (!old || !now)
        return contentsRect();
    // What a glyph in the same place covered and covers again needs no repainting.
    QRegion changed;
    const QRect area = contentsRect();
    const qreal oldLeft = left(*old, area);
    const qreal newLeft = left(*now, area);
    const qsizetype count = qMax(old->glyphs.size(), now->glyphs.size());
    for (qsizetype i = 0; i < count; ++i) {
        const GlyphLayout::Glyph* was = i < old->glyphs.size() ? &old->glyphs[i] : nullptr;
        const GlyphLayout::Glyph* is = i < now->glyphs.size() ? &now->glyphs[i] : nullptr;
        if (was && is && was->index == is->index &&
            oldLeft + was->position.x() == newLeft + is->position.x())
            continue;
        if (was)
            changed += inkArea(*was, oldLeft, area);
        if (is)
            changed += inkArea(*is, newLeft, area);
    }
    return changed;
}

void LiveTextLabel::paintEvent(QPaintEvent* event)
{
    const GlyphLayout::Line* line = shownLine();
    QPainter painter(this);
    const QColor background = palette().color(backgroundRole());
    painter.fillRect(event->rect(), background);
    if (!line) {
        painter.end();
        QLabel::paintEvent(event);
        return;
    }
    const QRect area = contentsRect();
    const QPointF at(left(*line, area), top(area));
    const QRegion& repainted = event->region();
    painter.setPen(palette().color(foregroundRole()));
    if (copyCells(painter, *line, at, repainted))
        return;
    // Only the glyphs that reach into the repainted part: the rest would be clipped away.
    QList<quint32> glyphs;
    QList<QPointF> positions;
    for (const GlyphLayout::Glyph& glyph : line->glyphs) {
        if (!repainted.intersects(inkArea(glyph, at.x(), area)))
            continue;
        glyphs.append(glyph.index);
        positions.append(glyph.position);
    }
    if (glyphs.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(m_layout->rawFont());
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.drawGlyphRun(at, run);
}

bool LiveTextLabel::copyCells(QPainter& painter, const GlyphLayout::Line& line, QPointF at,
                              const QRegion& repainted)
{
    // Only onto an image, a whole number of pixels away from the label.
    QPaintDevice* target = painter.paintEngine()->paintDevice();
    const QTransform toTarget = painter.deviceTransform();
    if (target->devType() != QInternal::Image || toTarget.type() > QTransform::TxTranslate ||
        toTarget.dx() != qFloor(toTarget.dx()) || toTarget.dy() != qFloor(toTarget.dy()))
        return false;
    m_cells.use(m_layout->rawFont(), painter.pen().color(), palette().color(backgroundRole()),
                static_cast<QImage*>(target)->format());
    QVarLengthArray<std::pair<const GlyphCells::Cell*, QPoint>, 24> placed;
    int inkedSoFar = std::numeric_limits<int>::min();
    for (const GlyphLayout::Glyph& glyph : line.glyphs) {
        const QPointF pen = at + glyph.position;
        const GlyphCells::Cell& cell = m_cells.cell(glyph.index, pen);
        if (cell.image.isNull())
            continue;
        const QPoint corner = QPoint(qFloor(pen.x()), qFloor(pen.y())) + cell.offset;
        const QRect inked(corner, cell.image.size());
        // A picture holds its glyph alone: where two glyphs ink the same pixels, Qt blends them.
        if (inked.left() <= inkedSoFar)
            return false;
        inkedSoFar = inked.right();
        placed.append({&cell, corner});
    }
    // The pictures are opaque: copied, not blended.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const auto& [cell, corner] : placed) {
        if (repainted.intersects(QRect(corner, cell->image.size())))
            painter.drawImage(corner, cell->image);
    }
    return true;
}

void LiveTextLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        m_layout.reset();
        m_lineKnown = false;
    }
    ColourLabel::changeEvent(event);
}
