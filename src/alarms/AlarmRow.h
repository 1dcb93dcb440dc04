// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmRecord.h"

#include <QObject>
#include <array>

class AlarmDateField;
class AlarmDaysField;
class AlarmTimeField;
class QLabel;
class QLineEdit;
class StoredText;
class StoredTextField;
class TickBox;
class QWidget;
struct Look;
struct TwipsRect;

// The controls of alarm n in the alarm settings window, placed in its block (alarms 1 to 5
// down the left column, 6 to 10 down the right), and the reactions of its tick boxes. The
// row tick box switches the row's fields and days on and off; the message and the command
// fields follow their own tick boxes. Each control of a record field is named after its key.
// A row switched on rings, until its Ring is unticked, so that a new alarm never does nothing.
class AlarmRow : public QObject
{
    Q_OBJECT

    // First, so that the controls below can be entered here as they are made.
    const int m_n;
    std::array<TickBox*, SettingsKeys::alarmFieldCount> m_tickBoxes{};
    std::array<StoredText*, SettingsKeys::alarmFieldCount> m_texts{};

public:
    AlarmRow(int n, QWidget* window);

    int number() const { return m_n; }

    // Shows one field of the record as `stored` holds it; a tick box reacts as to a click.
    void load(const AlarmRecord::Field& field, const AlarmSlot& stored);
    // The row as it stands, for saving and for the live copy.
    AlarmSlot slot() const;

    TickBox* const DISPLAY_MESSAGE_TICKBOX;
    TickBox* const MESSAGE_AUTO_CLOSE_TICKBOX;
    TickBox* const TICKBOX;
    StoredTextField* const NAME_TEXTBOX;
    AlarmTimeField* const TIME_TEXTBOX;
    StoredTextField* const MESSAGE_TEXTBOX;
    QLineEdit* const NUMBER_TEXTBOX;
    TickBox* const RUN_COMMAND_TICKBOX;
    TickBox* const RUN_HIDDEN_TICKBOX;
    StoredTextField* const RUN_COMMAND_TEXTBOX;
    // The days of the week, in the free room right of Run Hidden.
    AlarmDaysField* const DAYS;
    // The alarm sound, in the free room right of the Name caption.
    TickBox* const RING_TICKBOX;
    // "does nothing" in red, over the locked Run Command field's empty end, while the row is on
    // with no action ticked (AlarmSlot::doesNothing); its tooltip says what to tick.
    QLabel* const DOES_NOTHING_LABEL;
    // The one date it fires on, in the free room right of the Time caption.
    AlarmDateField* const DATE;

    // ALARM_n_TICKBOX_Click, ALARM_n_DISPLAY_MESSAGE_TICKBOX_Click and
    // ALARM_n_RUN_COMMAND_TICKBOX_Click.
    void TICKBOX_Click();
    void DISPLAY_MESSAGE_TICKBOX_Click();
    void RUN_COMMAND_TICKBOX_Click();

private:
    QWidget* window() const;
    void showWhetherItActs();
    // A control of a record field, named after its key and entered for load() and slot().
    template <typename Control>
    Control* keyed(SettingsKeys::AlarmField field, Control* control, const TwipsRect& alarmOne,
                   const Look& look);
    TickBox* tickBox(SettingsKeys::AlarmField field, const char* caption, const TwipsRect& alarmOne,
                     bool enabled);
    template <typename Field>
    Field* textField(SettingsKeys::AlarmField field, Field* control, const TwipsRect& alarmOne);
};
