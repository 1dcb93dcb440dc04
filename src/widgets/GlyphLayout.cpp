// SPDX-License-Identifier: GPL-3.0-or-later
#include "GlyphLayout.h"

#include <QGlyphRun>
#include <QTextLayout>
#include <algorithm>

namespace {
struct Shaped
{
    QList<QGlyphRun> runs;
    qreal width = 0;
    qreal ascent = 0;
    qreal descent = 0;
};

Shaped shape(const QString& text, const QFont& font, const QPaintDevice* device)
{
    QTextLayout layout(text, font, device);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    return {layout.glyphRuns(), line.horizontalAdvance(), line.ascent(), line.descent()};
}

// The place of a character among the supported ones, or -1.
int slotOf(QChar c)
{
    static const std::array<qint8, 128> places = [] {
        std::array<qint8, 128> table;
        table.fill(-1);
        for (int i = 0; i < GlyphLayout::characterCount; ++i)
            table[GlyphLayout::pairwise[i]] = qint8(i);
        return table;
    }();
    return c.unicode() < places.size() ? places[c.unicode()] : -1;
}
} // namespace

GlyphLayout::GlyphLayout(const QFont& font, const QPaintDevice* device)
    : m_font(font), m_device(device)
{}

const GlyphLayout::Shape* GlyphLayout::glyph(int slot)
{
    Shape& known = m_glyphs[slot];
    if (!known.known) {
        known.known = true;
        const Shaped shaped = shape(QString(QChar(pairwise[slot])), m_font, m_device);
        if (shaped.runs.size() == 1 && shaped.runs.first().glyphIndexes().size() == 1) {
            const QGlyphRun& run = shaped.runs.first();
            // One face for the whole line: a character drawn from a fallback face is Qt's.
            if (!m_rawFont.isValid()) {
                m_rawFont = run.rawFont();
                m_ascent = shaped.ascent;
                m_lineHeight = shaped.ascent + shaped.descent;
            }
            if (run.rawFont() == m_rawFont) {
                known.usable = true;
                known.index = run.glyphIndexes().first();
                known.advance = shaped.width;
                const QRectF ink = m_rawFont.boundingRect(known.index);
                known.inkLeft = ink.left();
                known.inkRight = ink.right();
            }
        }
    }
    return known.usable ? &known : nullptr;
}

const GlyphLayout::Pair& GlyphLayout::pair(int slot, int next, bool amongLetters)
{
    Pair& known = m_pairs[(amongLetters * characterCount + slot) * characterCount + next];
    if (!known.known) {
        known.known = true;
        // A text with letters is shaped as Latin, digits and signs alone as common script,
        // and a face may kern the two differently: a letter before the pair makes it Latin.
        const QString context = amongLetters ? QStringLiteral("d") : QString();
        const Shaped shaped =
            shape(context + QChar(pairwise[slot]) + QChar(pairwise[next]), m_font, m_device);
        const qsizetype first = context.size();
        const Shape* alone = glyph(slot);
        const Shape* nextAlone = glyph(next);
        if (alone && nextAlone && shaped.runs.size() == 1) {
            const QGlyphRun& run = shaped.runs.first();
            const QList<quint32> glyphs = run.glyphIndexes();
            // The pair must keep both glyphs as they are alone: no ligature, no other form.
            if (glyphs.size() == first + 2 && glyphs.at(first) == alone->index &&
                glyphs.at(first + 1) == nextAlone->index) {
                known.usable = true;
                known.advance = run.positions().at(first + 1).x() - run.positions().at(first).x();
            }
        }
    }
    return known;
}

void GlyphLayout::shapeAhead(const QString& text, bool amongLetters)
{
    // The digits with every character of the text, all at once, so that the seconds to come
    // find their pairs shaped rather than shaping one or two each.
    QList<int> places;
    for (QChar c : QStringLiteral("0123456789") + text) {
        const int slot = slotOf(c);
        if (slot >= 0 && !places.contains(slot))
            places.append(slot);
    }
    for (int slot : places) {
        for (int next : places)
            pair(slot, next, amongLetters);
    }
    m_shapedAhead[amongLetters] = true;
}

std::optional<GlyphLayout::Line> GlyphLayout::line(const QString& text)
{
    Line line;
    if (text.isEmpty())
        return line;
    // Qt centres a line with spaces at its ends by rules of its own.
    if (text.front().isSpace() || text.back().isSpace())
        return std::nullopt;
    const bool amongLetters =
        std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isLetter(); });
    if (!m_shapedAhead[amongLetters])
        shapeAhead(text, amongLetters);
    qreal x = 0;
    int slot = slotOf(text.front());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const Shape* shown = slot >= 0 ? glyph(slot) : nullptr;
        if (!shown)
            return std::nullopt;
        line.glyphs.append({shown->index, QPointF(x, m_ascent), shown->inkLeft, shown->inkRight});
        if (i + 1 == text.size()) {
            x += shown->advance;
            break;
        }
        const int next = slotOf(text.at(i + 1));
        if (next < 0)
            return std::nullopt;
        const Pair& kerned = pair(slot, next, amongLetters);
        if (!kerned.usable)
            return std::nullopt;
        x += kerned.advance;
        slot = next;
    }
    line.width = x;
    return line;
}
