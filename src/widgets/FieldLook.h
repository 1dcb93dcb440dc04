// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

class QLineEdit;

// How a text field shows whether it takes typing.
namespace FieldLook {
// The field's face, a stored colour value (0x00BBGGRR or a system colour).
void setFace(QLineEdit* field, qint32 colour);
// Open: enabled and editable on the system's field colour. Locked: disabled, read-only, grey.
void setOpen(QLineEdit* field, bool open);
} // namespace FieldLook
