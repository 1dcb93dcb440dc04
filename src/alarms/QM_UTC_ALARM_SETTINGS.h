// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmSlot.h"
#include "widgets/FormDialog.h"

#include <QPointer>
#include <array>

class AlarmRow;
class AlarmTrigger;
class ColourLabel;
class CommandLauncher;
class QLabel;
class QMessageBox;
class QPushButton;
class Ringer;
class StoredTextField;
class TickBox;

// Where the user edits the ten alarms and the master switch that allows them at all. It opens
// from the store, never from the live copies. OK saves everything, copies it into the live
// copies and arms what is on; the close box drops the edits, once the user agrees, except the
// master switch, which takes effect the moment it changes. The sound of the alarms that ring
// is chosen and tried here too, and the test window rings while it is open.
//
// Create it with new and run exec(): it deletes itself when it closes.
class QM_UTC_ALARM_SETTINGS : public FormDialog
{
    Q_OBJECT

public:
    QM_UTC_ALARM_SETTINGS(AlarmTrigger& alarms, SettingsStore& settings, CommandLauncher& launcher,
                          QWidget* owner, Ringer* ringer = nullptr);
    ~QM_UTC_ALARM_SETTINGS() override;

    // Alarm n's row, 1 to 10.
    AlarmRow& row(int n) const { return *m_rows.at(n - 1); }

    // Some row differs from what it showed on opening.
    bool hasUnsavedEdits() const;

    ColourLabel* const QM_TITLE_1;
    ColourLabel* const QM_TITLE_2;
    ColourLabel* const QM_TITLE_3;
    ColourLabel* const ALARM_SETTINGS_LABEL;
    TickBox* const ENABLE_ALARMS_TICKBOX;
    QPushButton* const TEST_ALARM_WINDOW_BUTTON;
    QPushButton* const OK_BUTTON;
    QLabel* const SOUND_LABEL;
    StoredTextField* const SOUND_FILE_TEXTBOX;
    QPushButton* const SOUND_CHOOSE_BUTTON;
    QPushButton* const TRY_SOUND_BUTTON;

public slots:
    void ENABLE_ALARMS_TICKBOX_Click();
    void TEST_ALARM_WINDOW_BUTTON_Click();
    void OK_BUTTON_Click();
    void SOUND_CHOOSE_BUTTON_Click();
    void TRY_SOUND_BUTTON_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void askToDropEdits();
    void buildLines();
    void buildSoundChoice();
    void showSoundProblem(const QString& reason);
    void showSoundChosen();
    void setFocusOrder();
    void Form_Load();
    // The ten alarms as the rows stand.
    AlarmSlots edited() const;

    AlarmTrigger& m_alarms;
    CommandLauncher& m_launcher;
    Ringer* const m_ringer;
    std::array<AlarmRow*, SettingsKeys::alarmCount> m_rows{};
    AlarmSlots m_opened;
    qint16 m_openedMaster = 0;
    QString m_openedSound;
    QPointer<QMessageBox> m_question;
    bool m_dropEdits = false;
};
