// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QList>
#include <QRect>

// A label for a text of any length in what room a fixed form has left: the text flows over
// the given areas of the window in turn, line by line, in the label's font or as much smaller
// as it takes, down to the smallest size; where even that is too large it ends with "…". The
// label covers the areas alone, so the controls between them stay free. text() is the whole.
class FlowLabel : public QLabel
{
    Q_OBJECT

public:
    // Areas in the window's pixels, in reading order.
    FlowLabel(const QList<QRect>& areas, qreal smallestPoints, QWidget* window);

    void setText(const QString& text);
    // Other areas, for a window whose free room changes; the text flows anew.
    void setAreas(const QList<QRect>& areas);

    // What the label shows: the text, or its beginning and "…".
    const QString& shownText() const { return m_shown; }
    const QFont& shownFont() const { return m_shownFont; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<QRect> m_areas; // in the label's own pixels
    qreal m_smallest;
    QString m_shown;
    QFont m_shownFont;
};
