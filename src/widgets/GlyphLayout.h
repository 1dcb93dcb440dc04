// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRawFont>
#include <QVarLengthArray>
#include <array>
#include <optional>

class QPaintDevice;

// Lays out one line of text in one face as QPainter::drawText would, from each character's
// glyph and the advance between each pair of characters, both shaped once and kept. A text
// that changes every second is so never shaped again. Characters that a face could join or
// form differently in context, or that it has no glyph for, are left to Qt's own layout.
class GlyphLayout
{
public:
    struct Glyph
    {
        quint32 index = 0;
        // The pen position on the baseline, from the line's left end at the height of its top.
        QPointF position;
        // How far its ink may reach left and right of the pen position.
        qreal inkLeft = 0;
        qreal inkRight = 0;
    };

    struct Line
    {
        QVarLengthArray<Glyph, 24> glyphs;
        qreal width = 0;
    };

    // The font as it would be drawn on the device (its resolution), for example a widget.
    GlyphLayout(const QFont& font, const QPaintDevice* device);

    // The line for the text, or nothing where the text is not made of supported characters.
    std::optional<Line> line(const QString& text);

    const QRawFont& rawFont() const { return m_rawFont; }
    // Ascent plus descent, as a line of this face is high.
    qreal lineHeight() const { return m_lineHeight; }

    // The characters whose shape and spacing never depend on more than their neighbour's:
    // digits, and the separators and letters of times and uptimes.
    static constexpr char16_t pairwise[] = u"0123456789 :,.dhmsAMPapm";
    static constexpr int characterCount = sizeof(pairwise) / sizeof(pairwise[0]) - 1;

private:
    struct Shape
    {
        bool known = false;
        bool usable = false;
        quint32 index = 0;
        qreal advance = 0;
        qreal inkLeft = 0;
        qreal inkRight = 0;
    };
    struct Pair
    {
        bool known = false;
        bool usable = false;
        qreal advance = 0;
    };

    const Shape* glyph(int slot);
    const Pair& pair(int slot, int next, bool amongLetters);
    void shapeAhead(const QString& text, bool amongLetters);

    QFont m_font;
    const QPaintDevice* m_device;
    QRawFont m_rawFont;
    qreal m_ascent = 0;
    qreal m_lineHeight = 0;
    std::array<Shape, characterCount> m_glyphs;
    // Pairs within texts without letters, then within texts with letters.
    std::array<Pair, 2 * characterCount * characterCount> m_pairs;
    bool m_shapedAhead[2] = {false, false};
};
