// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmRow.h"

#include "AlarmDateField.h"
#include "AlarmDaysField.h"
#include "AlarmTimeField.h"
#include "widgets/DesignFont.h"
#include "widgets/FieldLook.h"
#include "widgets/FormControl.h"
#include "widgets/StoredTextField.h"
#include "widgets/TickBox.h"

#include <QLabel>
#include <QLineEdit>
#include <type_traits>

using SettingsKeys::AlarmField;

namespace {
constexpr int columnShift = 6840;
constexpr int blockHeight = 1320;

// Alarm n's block is alarm 1's, moved to its column and down to its place in it.
TwipsRect inBlock(int n, TwipsRect alarmOne)
{
    alarmOne.left += n >= 6 ? columnShift : 0;
    alarmOne.top += blockHeight * ((n - 1) % 5);
    return alarmOne;
}

void columnLabel(QWidget* window, int n, const char* caption, const TwipsRect& alarmOne)
{
    auto* label = new QLabel(QLatin1String(caption), window);
    label->setGeometry(Form::pixels(inBlock(n, alarmOne)));
}

QLabel* doesNothingNote(QWidget* window, int n)
{
    // Over the right end of the Run Command field, which is locked and empty there whenever the
    // row does nothing (Run Command off): the caption line has room only for Ring.
    auto* note = Form::place(
        new QLabel(QStringLiteral("does nothing: tick Ring, Display Message or Run Command"),
                   window),
        QStringLiteral("ALARM_%1_DOES_NOTHING_LABEL").arg(n).toLatin1().constData(),
        inBlock(n, {2040, 1440, 4500, 285}));
    note->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Drawn over the field's own face: the caption left of it shows through.
    QPalette red = note->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    note->setPalette(red);
    const QString why =
        QStringLiteral("When it fires, this alarm does nothing: %1. Tick Ring to hear it, "
                       "Display Message to see a window, or Run Command to start a program.")
            .arg(AlarmSlot::doesNothingReason());
    note->setToolTip(why);
    note->setAccessibleDescription(why);
    note->hide();
    return note;
}

QLineEdit* numberBadge(QWidget* window, int n)
{
    auto* badge = Form::place(
        new QLineEdit(QString::number(n), window),
        QStringLiteral("ALARM_NUMBER_%1_TEXTBOX").arg(n).toLatin1().constData(),
        inBlock(n, {120, 1200, 495, 495}), {DesignFont::arialBlack(14.25), Qt::yellow, Qt::black});
    badge->setAlignment(Qt::AlignCenter);
    badge->setTextMargins(0, 0, 0, 0);
    return badge;
}
} // namespace

AlarmRow::AlarmRow(int n, QWidget* window)
    : QObject(window), m_n(n),
      DISPLAY_MESSAGE_TICKBOX(tickBox(AlarmField::DISPLAY_MESSAGE_TICKBOX, "Display Message",
                                      {3480, 600, 1575, 255}, false)),
      MESSAGE_AUTO_CLOSE_TICKBOX(tickBox(AlarmField::MESSAGE_AUTO_CLOSE_TICKBOX, "Auto Close",
                                         {5520, 600, 1095, 255}, true)),
      TICKBOX(tickBox(AlarmField::TICKBOX, "", {240, 840, 255, 375}, false)),
      NAME_TEXTBOX(textField(AlarmField::NAME_TEXTBOX,
                             new StoredTextField(window, QStringLiteral("Alarm Name")),
                             {720, 840, 1575, 285})),
      TIME_TEXTBOX(
          textField(AlarmField::TIME_TEXTBOX, new AlarmTimeField(window), {2400, 840, 975, 285})),
      MESSAGE_TEXTBOX(textField(AlarmField::MESSAGE_TEXTBOX,
                                new StoredTextField(window, QStringLiteral("Display Message")),
                                {3480, 840, 3135, 285})),
      NUMBER_TEXTBOX(numberBadge(window, n)),
      RUN_COMMAND_TICKBOX(
          tickBox(AlarmField::RUN_COMMAND_TICKBOX, "Run Command", {720, 1200, 1575, 255}, false)),
      RUN_HIDDEN_TICKBOX(
          tickBox(AlarmField::RUN_HIDDEN_TICKBOX, "Run Hidden", {2400, 1200, 1215, 255}, false)),
      RUN_COMMAND_TEXTBOX(textField(AlarmField::RUN_COMMAND_TEXTBOX,
                                    new StoredTextField(window, QStringLiteral("Run Command")),
                                    {720, 1440, 5895, 285})),
      DAYS(keyed(AlarmField::DAYS, new AlarmDaysField(n, window), {3720, 1200, 2820, 225}, {})),
      RING_TICKBOX(tickBox(AlarmField::RING_TICKBOX, "Ring", {1620, 600, 720, 255}, false)),
      DOES_NOTHING_LABEL(doesNothingNote(window, n)),
      DATE(keyed(AlarmField::DATE, new AlarmDateField(n, window), {2925, 585, 540, 270},
                 {DesignFont::msSansSerif(7.5), {}, {}}))
{
    TIME_TEXTBOX->load(QStringLiteral("00:00:00"));
    DAYS->setEnabled(false);
    DATE->setEnabled(false);
    connect(TIME_TEXTBOX, &QLineEdit::textChanged, DATE, &AlarmDateField::setAlarmTime);
    RUN_COMMAND_TEXTBOX->setToolTip(
        QStringLiteral("A program and its arguments, started in your home folder without a "
                       "shell. Ring plays the alarm sound; a player of your own, for example:\n"
                       "paplay /usr/share/sounds/freedesktop/stereo/alarm-clock-elapsed.oga"));
    RING_TICKBOX->setToolTip(
        QStringLiteral("The alarm sound rings until the alarm's window is answered (once, "
                       "where the alarm shows no window)."));
    columnLabel(window, n, "Enable", {120, 600, 495, 255});
    columnLabel(window, n, "Name", {720, 600, 855, 255});
    columnLabel(window, n, "Time", {2400, 600, 495, 255});

    connect(TICKBOX, &TickBox::valueChanged, this, &AlarmRow::TICKBOX_Click);
    connect(DISPLAY_MESSAGE_TICKBOX, &TickBox::valueChanged, this,
            &AlarmRow::DISPLAY_MESSAGE_TICKBOX_Click);
    connect(RUN_COMMAND_TICKBOX, &TickBox::valueChanged, this,
            &AlarmRow::RUN_COMMAND_TICKBOX_Click);
    // After the reactions above, so that it sees the flags they clear. Every flag of the record
    // may be an action, so each is watched.
    for (TickBox* box : m_tickBoxes) {
        if (box)
            connect(box, &TickBox::valueChanged, this, &AlarmRow::showWhetherItActs);
    }
}

QWidget* AlarmRow::window() const
{
    return static_cast<QWidget*>(parent());
}

template <typename Control>
Control* AlarmRow::keyed(AlarmField field, Control* control, const TwipsRect& alarmOne,
                         const Look& look)
{
    Form::place(control, SettingsKeys::alarm(field, m_n).name.toLatin1().constData(),
                inBlock(m_n, alarmOne), look);
    if constexpr (std::is_base_of_v<TickBox, Control>)
        m_tickBoxes[int(field)] = control;
    else
        m_texts[int(field)] = control;
    return control;
}

TickBox* AlarmRow::tickBox(AlarmField field, const char* caption, const TwipsRect& alarmOne,
                           bool enabled)
{
    auto* box = keyed(field, new TickBox(QLatin1String(caption), window()), alarmOne, {});
    box->setEnabled(enabled);
    return box;
}

// The four texts of a row are created off.
template <typename Field>
Field* AlarmRow::textField(AlarmField field, Field* control, const TwipsRect& alarmOne)
{
    keyed(field, control, alarmOne, {DesignFont::msSansSerif(8.25), {}, {}});
    FieldLook::setOpen(control, false);
    return control;
}

void AlarmRow::showWhetherItActs()
{
    DOES_NOTHING_LABEL->setVisible(slot().doesNothing());
}

void AlarmRow::load(const AlarmRecord::Field& field, const AlarmSlot& stored)
{
    if (field.flag)
        m_tickBoxes[int(field.key)]->setValue(stored.*field.flag);
    else
        m_texts[int(field.key)]->load(stored.*field.text);
}

AlarmSlot AlarmRow::slot() const
{
    AlarmSlot slot;
    for (const AlarmRecord::Field& field : AlarmRecord::fields()) {
        if (field.flag)
            slot.*field.flag = m_tickBoxes[int(field.key)]->value();
        else
            slot.*field.text = m_texts[int(field.key)]->value();
    }
    return slot;
}

void AlarmRow::TICKBOX_Click()
{
    const bool on = TICKBOX->value() == 1;
    for (StoredTextField* field : {NAME_TEXTBOX, static_cast<StoredTextField*>(TIME_TEXTBOX)})
        FieldLook::setOpen(field, on);
    DISPLAY_MESSAGE_TICKBOX->setEnabled(on);
    RUN_COMMAND_TICKBOX->setEnabled(on);
    RUN_HIDDEN_TICKBOX->setEnabled(on);
    MESSAGE_AUTO_CLOSE_TICKBOX->setEnabled(on);
    RING_TICKBOX->setEnabled(on);
    // Kept as they are, like the texts.
    DAYS->setEnabled(on);
    DATE->setEnabled(on);
    if (on) {
        // A row switched on rings; loading its stored flag afterwards keeps what was saved.
        RING_TICKBOX->setValue(1);
        return;
    }
    // Switched off, the row keeps its texts but none of its flags; clearing a flag runs its
    // own reaction, which switches its field off.
    RUN_HIDDEN_TICKBOX->setValue(0);
    RUN_COMMAND_TICKBOX->setValue(0);
    MESSAGE_AUTO_CLOSE_TICKBOX->setValue(0);
    DISPLAY_MESSAGE_TICKBOX->setValue(0);
    RING_TICKBOX->setValue(0);
}

void AlarmRow::DISPLAY_MESSAGE_TICKBOX_Click()
{
    FieldLook::setOpen(MESSAGE_TEXTBOX, DISPLAY_MESSAGE_TICKBOX->value() == 1);
}

void AlarmRow::RUN_COMMAND_TICKBOX_Click()
{
    const bool on = RUN_COMMAND_TICKBOX->value() == 1;
    FieldLook::setOpen(RUN_COMMAND_TEXTBOX, on);
    RUN_HIDDEN_TICKBOX->setEnabled(on);
    if (!on)
        RUN_HIDDEN_TICKBOX->setValue(0);
}
