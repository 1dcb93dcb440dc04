// SPDX-License-Identifier: GPL-3.0-or-later
#include "LiveTextLabel.h"

#include <QBackingStore>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <limits>
#include <utility>

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
    // What a glyph in the same place covered and covers again needs no repainting; what
    // changes is mostly a run of neighbours (the seconds), so one rectangle holds it.
    QRect changed;
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
            changed |= inkArea(*was, oldLeft, area);
        if (is)
            changed |= inkArea(*is, newLeft, area);
    }
    return changed;
}

void LiveTextLabel::paintEvent(QPaintEvent* event)
{
    const GlyphLayout::Line* line = shownLine();
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(backgroundRole()));
    if (!line) {
        painter.end();
        QLabel::paintEvent(event);
        return;
    }
    const QRect area = contentsRect();
    const QPointF at(left(*line, area), top(area));
    const QRegion& repainted = event->region();
    painter.setPen(palette().color(foregroundRole()));
    // Pictures of the glyphs where the label is painted on an image, a whole number of
    // pixels from it.
    QPaintDevice* target = painter.paintEngine()->paintDevice();
    const QTransform toTarget = painter.deviceTransform();
    if (target->devType() == QInternal::Image && toTarget.type() <= QTransform::TxTranslate &&
        toTarget.dx() == qFloor(toTarget.dx()) && toTarget.dy() == qFloor(toTarget.dy())) {
        if (const auto placed =
                placeCells(*line, at, repainted, static_cast<QImage*>(target)->format())) {
            // The pictures are opaque: copied, not blended.
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            for (const Placed& cell : *placed)
                painter.drawImage(cell.corner, cell.image);
            return;
        }
    }
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

std::optional<QVarLengthArray<LiveTextLabel::Placed, 24>>
LiveTextLabel::placeCells(const GlyphLayout::Line& line, QPointF at, const QRegion& repainted,
                          QImage::Format format)
{
    m_cells.use(m_layout->rawFont(), palette().color(foregroundRole()),
                palette().color(backgroundRole()), format);
    const QRect area = contentsRect();
    const qsizetype count = line.glyphs.size();
    // The glyphs that reach into the repainted part, and their neighbours, which might ink
    // some of the same pixels.
    QVarLengthArray<bool, 24> reaches(count);
    for (qsizetype i = 0; i < count; ++i)
        reaches[i] = repainted.intersects(inkArea(line.glyphs[i], at.x(), area));
    QVarLengthArray<Placed, 24> placed;
    int inkedSoFar = std::numeric_limits<int>::min();
    for (qsizetype i = 0; i < count; ++i) {
        if (!reaches[i] && !(i > 0 && reaches[i - 1]) && !(i + 1 < count && reaches[i + 1])) {
            inkedSoFar = std::numeric_limits<int>::min();
            continue;
        }
        const QPointF pen = at + line.glyphs[i].position;
        const GlyphCells::Cell& cell = m_cells.cell(line.glyphs[i].index, pen);
        if (cell.image.isNull())
            continue;
        const QRect inked(QPoint(qFloor(pen.x()), qFloor(pen.y())) + cell.offset,
                          cell.image.size());
        // A picture holds its glyph alone: where two glyphs ink the same pixels, Qt blends them.
        if (inked.left() <= inkedSoFar)
            return std::nullopt;
        inkedSoFar = inked.right();
        if (repainted.intersects(inked))
            placed.append({cell.image, inked.topLeft()});
    }
    return placed;
}

void LiveTextLabel::holdFlushes(bool held)
{
    m_held = held;
}

QRegion LiveTextLabel::takeUnflushed()
{
    return std::exchange(m_unflushed, QRegion());
}

void LiveTextLabel::repaintLater(const QRegion& area)
{
    if (m_held && drawIntoWindow(area))
        m_unflushed += area.translated(mapTo(window(), QPoint()));
    else
        update(area);
}

bool LiveTextLabel::drawIntoWindow(const QRegion& area)
{
    QWidget* top = window();
    QWindow* shown = top->windowHandle();
    QBackingStore* store = top->backingStore();
    const GlyphLayout::Line* line = shownLine();
    const QColor background = palette().color(backgroundRole());
    if (!line || !isVisible() || !shown || !shown->isExposed() || !store ||
        devicePixelRatioF() != 1 || background.alpha() != 255)
        return false;
    // Only what shows of the label: a widget over it keeps its own pixels.
    const QRegion visible = area & visibleRegion();
    if (visible.isEmpty())
        return false;
    const QPoint toWindow = mapTo(top, QPoint());
    const QRegion onWindow = visible.translated(toWindow);
    bool drawn = false;
    store->beginPaint(onWindow);
    QPaintDevice* device = store->paintDevice();
    auto* image = device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
    // Pixels of four bytes, the background's whatever the kind: it is opaque.
    if (image && (image->format() == QImage::Format_RGB32 ||
                  image->format() == QImage::Format_ARGB32_Premultiplied)) {
        const QRect inside = contentsRect();
        const QPointF at(left(*line, inside), this->top(inside));
        if (const auto placed = placeCells(*line, at, visible, image->format())) {
            uchar* bits = image->bits();
            const qsizetype stride = image->bytesPerLine();
            const auto row = [bits, stride](int y) {
                return reinterpret_cast<quint32*>(bits + y * stride);
            };
            const quint32 fill = background.rgb();
            for (const QRect& part : onWindow) {
                const QRect pixels = part & image->rect();
                for (int y = pixels.top(); y <= pixels.bottom(); ++y)
                    std::fill_n(row(y) + pixels.left(), pixels.width(), fill);
                for (const Placed& cell : *placed) {
                    const QPoint corner = cell.corner + toWindow;
                    const QRect copied = QRect(corner, cell.image.size()) & pixels;
                    for (int y = copied.top(); y <= copied.bottom(); ++y) {
                        const auto* from = reinterpret_cast<const quint32*>(
                            cell.image.constScanLine(y - corner.y()));
                        std::copy_n(from + copied.left() - corner.x(), copied.width(),
                                    row(y) + copied.left());
                    }
                }
            }
            drawn = true;
        }
    }
    store->endPaint();
    return drawn;
}

void LiveTextLabel::flush(QWidget* window, const QRegion& drawn)
{
    QWindow* shown = window->windowHandle();
    if (drawn.isEmpty() || !shown || !shown->isExposed() || !window->backingStore())
        return;
    window->backingStore()->flush(drawn, shown);
}

void LiveTextLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        m_layout.reset();
        m_lineKnown = false;
    }
    ColourLabel::changeEvent(event);
}
