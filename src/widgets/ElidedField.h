// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QLineEdit;

// Makes a one-line text field show the beginning of a text too long for it, ended with "…",
// instead of the end that Qt scrolls to, and the whole text in its tooltip. While the user
// edits the field it is an ordinary field again.
class ElidedField : public QObject
{
    Q_OBJECT

public:
    static void attach(QLineEdit* field);

    // What the field shows when nobody edits it: its text, or the beginning that fits.
    static QString shownText(const QLineEdit* field);
    // Where a field draws its text.
    static QRect textRect(const QLineEdit* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
