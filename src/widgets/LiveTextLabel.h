#pragma once

#include "ColourLabel.h"
#include "GlyphCells.h"
#include "GlyphLayout.h"

#include <memory>

class QPainter;

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

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    QRegion changedArea(const QString& before) override;

private:
    // The laid-out line of the text shown, or nothing where QLabel draws it.
    const GlyphLayout::Line* shownLine();
    std::optional<GlyphLayout::Line> lineFor(const QString& text);
    // Where the line starts in the area, and where the ink of one of its glyphs may reach.
    static qreal left(const GlyphLayout::Line& line, const QRect& area);
    qreal top(const QRect& area) const;
    static QRect inkArea(const GlyphLayout::Glyph& glyph, qreal left, const QRect& area);
    // Draws the line's glyphs in the repainted part as copies of pictures drawn once, where
    // that gives the pixels Qt would draw; false where it cannot, having drawn nothing.
    bool copyCells(QPainter& painter, const GlyphLayout::Line& line, QPointF at,
                   const QRegion& repainted);

    std::unique_ptr<GlyphLayout> m_layout;
    GlyphCells m_cells;
    qreal m_layoutScale = 0;
    QString m_lineText;
    std::optional<GlyphLayout::Line> m_line;
    bool m_lineKnown = false;
};
