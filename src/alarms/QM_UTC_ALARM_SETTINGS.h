// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/FormDialog.h"

#include <array>

class AlarmRow;
class AlarmTrigger;
class ColourLabel;
class CommandLauncher;
class QPushButton;
class TickBox;

// Where the user edits the ten alarms and the master switch that allows them at all. It opens
// from the store, never from the live copies. OK saves everything, copies it into the live
// copies and switches each alarm timer to follow its row; any other way of closing drops the
// edits, except the master switch, which takes effect the moment it changes.
//
// Create it with new and run exec(): it deletes itself when it closes.
class QM_UTC_ALARM_SETTINGS : public FormDialog
{
    Q_OBJECT

public:
    QM_UTC_ALARM_SETTINGS(AlarmTrigger& alarms, SettingsStore& settings, CommandLauncher& launcher,
                          QWidget* owner);
    ~QM_UTC_ALARM_SETTINGS() override;

    // Alarm n's row, 1 to 10.
    AlarmRow& row(int n) const { return *m_rows.at(n - 1); }

    ColourLabel* const QM_TITLE_1;
    ColourLabel* const QM_TITLE_2;
    ColourLabel* const QM_TITLE_3;
    ColourLabel* const ALARM_SETTINGS_LABEL;
    TickBox* const ENABLE_ALARMS_TICKBOX;
    QPushButton* const TEST_ALARM_WINDOW_BUTTON;
    QPushButton* const OK_BUTTON;

public slots:
    void ENABLE_ALARMS_TICKBOX_Click();
    void TEST_ALARM_WINDOW_BUTTON_Click();
    void OK_BUTTON_Click();

private:
    void buildLines();
    void setFocusOrder();
    void Form_Load();
    void writeAll();
    void applyToAlarms();

    AlarmTrigger& m_alarms;
    CommandLauncher& m_launcher;
    std::array<AlarmRow*, 10> m_rows{};
};
