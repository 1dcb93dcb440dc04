// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmTimeField.h"

#include "AlarmTimeText.h"
#include "widgets/Accessibility.h"
#include "widgets/ShownText.h"

#include <QApplication>
#include <QFocusEvent>

AlarmTimeField::AlarmTimeField(QWidget* parent) : StoredTextField(parent)
{
    setMaxLength(typedLength);
    setAlignment(Qt::AlignCenter);
    connect(this, &QLineEdit::textChanged, this, &AlarmTimeField::textHasChanged);
    // QLineEdit's own flag is lost whenever the length limit moves, as it does here.
    connect(this, &QLineEdit::textEdited, this, [this] { m_typed = true; });
}

void AlarmTimeField::load(const QString& time)
{
    // A limit below the shown text's length would cut it.
    setMaxLength(qMax(typedLength, int(ShownText::cut(time).size())));
    StoredTextField::load(time);
    m_typed = false;
}

void AlarmTimeField::complete()
{
    // A time loaded from the file stays as the file has it until the user types.
    if (!m_typed)
        return;
    const std::optional<QString> completed = completedAlarmTime(text());
    if (completed && *completed != text())
        setText(*completed);
}

void AlarmTimeField::focusOutEvent(QFocusEvent* event)
{
    // Not while a menu of the field is open, nor when the user only turns to another window
    // halfway through typing.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        complete();
    StoredTextField::focusOutEvent(event);
}

void AlarmTimeField::textHasChanged()
{
    // Shortening a long stored time never lets typing make it longer again.
    setMaxLength(qMax(typedLength, int(text().size())));

    m_neverFires = !isRealAlarmTime(value());
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
