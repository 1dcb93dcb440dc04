#include "ColourLabel.h"

#include "BgrColour.h"

#include <QMouseEvent>

ColourLabel::ColourLabel(const QString& name, QWidget* parent) : QLabel(parent)
{
    setObjectName(name);
    setAutoFillBackground(true);
    applyColours();
}

void ColourLabel::setForeColor(qint32 value)
{
    m_foreColor = value;
    applyColours();
}

void ColourLabel::setBackColor(qint32 value)
{
    m_backColor = value;
    applyColours();
}

void ColourLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

void ColourLabel::applyColours()
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, BgrColour::toColor(m_foreColor));
    colours.setColor(QPalette::Window, BgrColour::toColor(m_backColor));
    setPalette(colours);
}
