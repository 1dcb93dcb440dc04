// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "StoredText.h"

#include <QLineEdit>

// A text field over a text from the settings file. It shows the text's beginning where the
// text is too long (see ShownText and ElidedField), and gives the stored text back unchanged as
// long as the user has not changed what it shows. The "…" that ends a cut text stands for the
// rest: an edit before or after it keeps the rest where the "…" is, and only an edit that
// removes the "…" itself removes the rest.
class StoredTextField : public QLineEdit, public StoredText
{
    Q_OBJECT

public:
    explicit StoredTextField(QWidget* parent, const QString& text = {});

    void load(const QString& stored) override;
    // What saving writes: the stored text, or what the user made of it.
    QString value() const override;

private:
    void followEdit(const QString& now);

    QString m_stored;
    QString m_shown;
    // What the "…" stands for, and where it is in the text shown now; -1 once it is gone.
    QString m_rest;
    qsizetype m_restAt = -1;
    QString m_before; // the text before the latest change
};
