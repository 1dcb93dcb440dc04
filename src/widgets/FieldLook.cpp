// SPDX-License-Identifier: GPL-3.0-or-later
#include "FieldLook.h"

#include "BgrColour.h"

#include <QLineEdit>

void FieldLook::setFace(QLineEdit* field, qint32 colour)
{
    QPalette colours = field->palette();
    colours.setColor(QPalette::Base, BgrColour::toColor(colour));
    field->setPalette(colours);
}

void FieldLook::setOpen(QLineEdit* field, bool open)
{
    field->setEnabled(open);
    field->setReadOnly(!open);
    setFace(field, open ? BgrColour::systemWindowBackground : BgrColour::lockedGrey);
}
