// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCheckBox>

// A tick box holding the system's flag: 0 unticked, 1 ticked. Any other stored value shows as
// the third state and reads back as itself, so it stays "off" for every rule that asks for
// exactly 1; the user's clicks only ever give 0 or 1.
//
// valueChanged() follows the state-change rule: it is emitted on every change of value, by a
// click or by code, whether or not the box is enabled; setting the value it has emits nothing.
class TickBox : public QCheckBox
{
    Q_OBJECT

public:
    TickBox(const QString& caption, QWidget* parent);

    void setValue(qint16 value);
    qint16 value() const;

signals:
    void valueChanged(qint16 value);

protected:
    // Captions laid out for boxes narrower than one line of text wrap rather than clip, where
    // the box is tall enough for the wrapped lines.
    void paintEvent(QPaintEvent* event) override;

private:
    qint16 m_oddValue = 2;
};
