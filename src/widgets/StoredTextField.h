// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "StoredText.h"

#include <QLineEdit>

// A text field over a text from the settings file. It shows the text's beginning where the
// text is too long (see ShownText and ElidedField) and gives the stored text back unchanged
// as long as the user has not changed what it shows.
class StoredTextField : public QLineEdit, public StoredText
{
    Q_OBJECT

public:
    explicit StoredTextField(QWidget* parent, const QString& text = {});

    void load(const QString& stored) override;
    // What saving writes: the stored text, or what the user made of it.
    QString value() const override;

private:
    QString m_stored;
    QString m_shown;
};
