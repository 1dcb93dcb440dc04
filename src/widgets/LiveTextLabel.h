// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ColourLabel.h"
#include "GlyphCells.h"
#include "GlyphLayout.h"

#include <QVarLengthArray>
#include <memory>

// A centred label whose text changes every second. It draws the same pixels as QLabel, but
// from glyphs shaped once (GlyphLayout) rather than shaping each new text, as copies of
// pictures of them drawn once (GlyphCells) rather than blending each glyph again, and a new
// text repaints only the glyphs that moved or changed: a new second is a digit or two. Texts
// that GlyphLayout leaves to Qt, and looks it does not know (a frame, another alignment, a
// disabled label), are drawn by QLabel itself.
class LiveTextLabel : public ColourLabel
{
    Q_OBJECT

public:
    explicit LiveTextLabel(const QString& name, QWidget* parent);
    ~LiveTextLabel() override;

    // While held, a new text is drawn straight into its window's image, without a paint
    // event, and only noted for showing: the window shows what all its labels drew at the
    // same moment with one flush() of what takeUnflushed() gives, in window coordinates.
    void holdFlushes(bool held);
    QRegion takeUnflushed();
    static void flush(QWidget* window, const QRegion& drawn);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    QRegion changedArea(const QString& before) override;
    void repaintLater(const QRegion& area) override;

private:
    // The laid-out line of the text shown, or nothing where QLabel draws it.
    const GlyphLayout::Line* shownLine();
    std::optional<GlyphLayout::Line> lineFor(const QString& text);
    // Where the line starts in the area, and where the ink of one of its glyphs may reach.
    static qreal left(const GlyphLayout::Line& line, const QRect& area);
    qreal top(const QRect& area) const;
    static QRect inkArea(const GlyphLayout::Glyph& glyph, qreal left, const QRect& area);
    // The pictures of the line's glyphs that reach into the repainted part, with where they
    // go, for an image of the given kind; nothing where copies would not give the pixels Qt
    // draws.
    struct Placed
    {
        // A share of the picture: drawing another may rearrange or forget the kept ones.
        QImage image;
        QPoint corner;
    };
    std::optional<QVarLengthArray<Placed, 24>> placeCells(const GlyphLayout::Line& line, QPointF at,
                                                          const QRegion& repainted,
                                                          QImage::Format format);
    // Draws the area as a paint event would, into the window's image; false where it cannot.
    bool drawIntoWindow(const QRegion& area);

    std::unique_ptr<GlyphLayout> m_layout;
    GlyphCells m_cells;
    qreal m_layoutScale = 0;
    QString m_lineText;
    std::optional<GlyphLayout::Line> m_line;
    bool m_lineKnown = false;
    bool m_held = false;
    QRegion m_unflushed;
};
