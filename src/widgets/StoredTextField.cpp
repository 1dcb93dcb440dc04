// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoredTextField.h"

#include "ElidedField.h"
#include "ShownText.h"

StoredTextField::StoredTextField(QWidget* parent, const QString& text) : QLineEdit(parent)
{
    ElidedField::attach(this);
    StoredTextField::load(text);
}

void StoredTextField::load(const QString& stored)
{
    m_stored = stored;
    m_shown = ShownText::cut(stored);
    setText(m_shown);
    setCursorPosition(0);
}

QString StoredTextField::value() const
{
    return text() == m_shown ? m_stored : text();
}
