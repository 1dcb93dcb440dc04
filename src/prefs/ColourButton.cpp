// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColourButton.h"

#include "widgets/BgrColour.h"

#include <QStyleOptionButton>
#include <QStylePainter>

ColourButton::ColourButton(qint32 value, QWidget* parent) : QPushButton(parent), m_value(value)
{
    QPalette face = palette();
    face.setColor(QPalette::Button, BgrColour::toColor(value));
    setPalette(face);
}

void ColourButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The style's frame shows focus and pressing; the face inside it is the plain colour.
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    const QRect face = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.fillRect(face, palette().color(QPalette::Button));
}
