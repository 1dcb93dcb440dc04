// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColourLabel.h"

#include "BgrColour.h"

#include <QMouseEvent>

ColourLabel::ColourLabel(const QString& name, QWidget* parent) : QLabel(parent)
{
    setObjectName(name);
    setAutoFillBackground(true);
    applyColours();
}

void ColourLabel::setText(const QString& text)
{
    if (text == QLabel::text())
        return;
    const QString before = QLabel::text();
    // QLabel would repaint all of itself; the label repaints what the new text changes.
    const bool held = testAttribute(Qt::WA_UpdatesDisabled);
    setAttribute(Qt::WA_UpdatesDisabled, true);
    QLabel::setText(text);
    setAttribute(Qt::WA_UpdatesDisabled, held);
    repaintLater(changedArea(before));
    emit changed();
}

void ColourLabel::setForeColor(qint32 value)
{
    if (value == m_foreColor)
        return;
    m_foreColor = value;
    applyColours();
    emit changed();
}

void ColourLabel::setBackColor(qint32 value)
{
    if (value == m_backColor)
        return;
    m_backColor = value;
    applyColours();
    emit changed();
}

void ColourLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

QRegion ColourLabel::changedArea(const QString&)
{
    return contentsRect();
}

void ColourLabel::applyColours()
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, BgrColour::toColor(m_foreColor));
    colours.setColor(QPalette::Window, BgrColour::toColor(m_backColor));
    setPalette(colours);
}
