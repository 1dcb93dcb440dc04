// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QRawFont>

// Glyphs of one face already drawn in one colour on one background: for each glyph and each
// place of its pen within a pixel, a small picture of just the pixels it inks. A label that
// repaints a glyph copies its picture instead of blending the glyph again. Qt draws each
// picture with the pen at the same place within a pixel, into the same kind of image as the
// window's, so a copy is the very pixels Qt would have drawn in the window.
class GlyphCells
{
public:
    struct Cell
    {
        QImage image;
        // Where the picture goes, from the pixel the pen is in.
        QPoint offset;
    };

    // Forgets every picture when the face, a colour or the kind of image they are copied onto
    // is not the one they were drawn for.
    void use(const QRawFont& face, const QColor& text, const QColor& background,
             QImage::Format format);

    // The glyph with its pen at a place in device pixels; a glyph that inks nothing (a space)
    // has an empty picture.
    const Cell& cell(quint32 glyph, QPointF pen);

private:
    Cell draw(quint32 glyph, QPointF within) const;

    QRawFont m_face;
    QColor m_text;
    QColor m_background;
    QImage::Format m_format = QImage::Format_Invalid;
    QHash<quint64, Cell> m_cells;
};
