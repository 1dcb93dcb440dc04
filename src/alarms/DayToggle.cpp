// SPDX-License-Identifier: GPL-3.0-or-later
#include "DayToggle.h"

#include "widgets/FittedText.h"

#include <QLocale>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

DayToggle::DayToggle(Qt::DayOfWeek day, QWidget* parent) : QAbstractButton(parent), m_day(day)
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    const QLocale regional;
    setText(regional.dayName(day, QLocale::ShortFormat));
    setToolTip(regional.dayName(day, QLocale::LongFormat));
    setAccessibleName(regional.dayName(day, QLocale::LongFormat));
}

void DayToggle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool on = isChecked();
    QColor face = on ? QColor(Qt::black) : QColor(0xE0, 0xE0, 0xE0);
    QColor ink = on ? QColor(Qt::yellow) : QColor(0x50, 0x50, 0x50);
    if (!isEnabled()) {
        face = on ? QColor(0x70, 0x70, 0x70) : QColor(0xEC, 0xEC, 0xEC);
        ink = on ? QColor(0xD8, 0xD8, 0xD8) : QColor(0xA8, 0xA8, 0xA8);
    }
    painter.fillRect(rect(), face);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    // Some regions' short names are longer than the room laid out for "Mon".
    painter.setFont(FittedText::line(font(), text(), width() - 4));
    painter.setPen(ink);
    painter.drawText(rect(), Qt::AlignCenter, text());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}
