// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmTimeField.h"

#include "AlarmTimeText.h"
#include "widgets/Accessibility.h"

#include <QApplication>

AlarmTimeField::AlarmTimeField(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(typedLength);
    setAlignment(Qt::AlignCenter);
    connect(this, &QLineEdit::textChanged, this, &AlarmTimeField::textHasChanged);
}

void AlarmTimeField::load(const QString& time)
{
    // A limit below the text's length would cut it.
    setMaxLength(qMax(typedLength, int(time.size())));
    setText(time);
}

void AlarmTimeField::textHasChanged()
{
    // Shortening a long stored time never lets typing make it longer again.
    setMaxLength(qMax(typedLength, int(text().size())));

    m_neverFires = !isRealAlarmTime(text());
    QPalette colours = palette();
    const QPalette normal = QApplication::palette(this);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        colours.setColor(group, QPalette::Text,
                         m_neverFires ? QColor(Qt::red) : normal.color(group, QPalette::Text));
    setPalette(colours);
    const QString warning = m_neverFires ? QStringLiteral("This alarm will never fire: the clock "
                                                          "shows times as HH:MM:SS, from "
                                                          "00:00:00 to 23:59:59.")
                                         : QString();
    setToolTip(warning);
    // Screen readers hear the warning in place of what the field is.
    setAccessibleDescription(m_neverFires ? warning : Accessibility::roleDescription(this));
}
