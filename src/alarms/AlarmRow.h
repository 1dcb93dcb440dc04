// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmSlot.h"

#include <QObject>

class AlarmDaysField;
class AlarmTimeField;
class QLineEdit;
class StoredTextField;
class TickBox;
class QWidget;

// The controls of alarm n in the alarm settings window, placed in its block (alarms 1 to 5
// down the left column, 6 to 10 down the right), and the reactions of its tick boxes. The
// row tick box switches the row's fields and days on and off; the message and the command
// fields follow their own tick boxes.
class AlarmRow : public QObject
{
    Q_OBJECT

public:
    AlarmRow(int n, QWidget* window);

    int number() const { return m_n; }

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

    // ALARM_n_TICKBOX_Click, ALARM_n_DISPLAY_MESSAGE_TICKBOX_Click and
    // ALARM_n_RUN_COMMAND_TICKBOX_Click.
    void TICKBOX_Click();
    void DISPLAY_MESSAGE_TICKBOX_Click();
    void RUN_COMMAND_TICKBOX_Click();

private:
    const int m_n;
};
