// SPDX-License-Identifier: GPL-3.0-or-later
#include "TickBox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

TickBox::TickBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent)
{
    connect(this, &QCheckBox::stateChanged, this, [this] { emit valueChanged(value()); });
    connect(this, &QCheckBox::clicked, this, [this] { setTristate(false); });
}

void TickBox::setValue(qint16 value)
{
    if (value == 0) {
        setCheckState(Qt::Unchecked);
    } else if (value == 1) {
        setCheckState(Qt::Checked);
    } else {
        // One odd value for another is a change of value that the state does not show.
        const bool otherOdd = checkState() == Qt::PartiallyChecked && value != m_oddValue;
        m_oddValue = value;
        setTristate(true);
        setCheckState(Qt::PartiallyChecked);
        if (otherOdd)
            emit valueChanged(value);
    }
}

qint16 TickBox::value() const
{
    switch (checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return m_oddValue;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

void TickBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_CheckBox, option);
    option.text = caption;
    const QRect textRect = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    int flags = Qt::AlignLeft | Qt::AlignVCenter;
    // A box one line high keeps its caption on that line, even if it runs a pixel over.
    if (option.fontMetrics.boundingRect(textRect, flags | Qt::TextWordWrap, caption).height() <=
        textRect.height())
        flags |= Qt::TextWordWrap;
    painter.drawItemText(textRect, flags, option.palette, isEnabled(), caption,
                         QPalette::WindowText);
}
