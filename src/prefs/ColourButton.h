// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

// A palette button without a caption whose face is its colour, exactly: styles that shade a
// button's face would turn red into salmon, and the user chooses by the look.
class ColourButton : public QPushButton
{
    Q_OBJECT

public:
    // value: a stored colour, 0x00BBGGRR.
    ColourButton(qint32 value, QWidget* parent);

    qint32 value() const { return m_value; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qint32 m_value;
};
