// SPDX-License-Identifier: GPL-3.0-or-later
#include "BgrColour.h"

#include <QApplication>
#include <QPalette>

namespace {
QColor systemColour(int index)
{
    const QPalette palette = QApplication::palette();
    switch (index) {
    case 5: // window background
        return palette.color(QPalette::Base);
    case 8: // window text
        return palette.color(QPalette::Text);
    case 15: // button face
        return palette.color(QPalette::Button);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    default:
        return palette.color(QPalette::Window);
    }
}
} // namespace

QColor BgrColour::toColor(qint32 value)
{
    const quint32 bits = static_cast<quint32>(value);
    if (bits & 0x80000000u)
        return systemColour(static_cast<int>(bits & 0xFFu));
    return QColor(int(bits & 0xFFu), int((bits >> 8) & 0xFFu), int((bits >> 16) & 0xFFu));
}
