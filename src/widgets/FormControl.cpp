// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormControl.h"

#include "platform/Twips.h"

#include <QLineEdit>

QRect Form::pixels(const TwipsRect& at)
{
    return {Twips::toPixels(at.left, at.top), Twips::toPixelSize(at.width, at.height)};
}

void Form::setColours(QWidget* control, const QColor& text, const QColor& background)
{
    QPalette colours = control->palette();
    if (qobject_cast<QLineEdit*>(control)) {
        colours.setColor(QPalette::Text, text);
        colours.setColor(QPalette::Base, background);
    } else {
        colours.setColor(QPalette::WindowText, text);
        colours.setColor(QPalette::Window, background);
        control->setAutoFillBackground(true);
    }
    control->setPalette(colours);
}

void Form::apply(QWidget* control, const Look& look)
{
    if (look.font)
        control->setFont(*look.font);
    if (look.text || look.background) {
        const QPalette current = control->palette();
        const bool field = qobject_cast<QLineEdit*>(control) != nullptr;
        setColours(
            control,
            look.text.value_or(current.color(field ? QPalette::Text : QPalette::WindowText)),
            look.background.value_or(current.color(field ? QPalette::Base : QPalette::Window)));
    }
}
