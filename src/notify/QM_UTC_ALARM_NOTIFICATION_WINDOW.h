// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Announcement.h"
#include "AutoCloseCountdown.h"
#include "widgets/FlowLabel.h"
#include "widgets/FormDialog.h"

class ColourLabel;
class CommandLauncher;
class QLineEdit;
class QPushButton;
class Ringer;
class TickBox;
class Timer;

// The window that announces a firing alarm, or the test of it: name, message, number and
// command, two flashing marks, RUN NOW, and an optional eleven-second auto-close countdown.
// An alarm's window also offers Snooze, and says when the alarm was missed. It remembers its
// position (and an alarm's Auto Close choice) and is discarded when it closes. It shows
// without taking the keyboard from the program the user is typing in.
class QM_UTC_ALARM_NOTIFICATION_WINDOW : public FormDialog
{
    Q_OBJECT

public:
    QM_UTC_ALARM_NOTIFICATION_WINDOW(const Announcement& announcement, SettingsStore& settings,
                                     CommandLauncher& launcher, QWidget* owner);
    ~QM_UTC_ALARM_NOTIFICATION_WINDOW() override;

    // Why the last start of the command failed, shown until the next; empty hides it.
    void setLaunchFailure(const QString& reason);
    // "Missed at 07:30:00", shown until the alarm fires in time again; empty hides it. A window
    // marked so does not close itself.
    void setMissed(const QString& missed);
    // Rings the alarm sound until the window is answered, however it closes, and shows what
    // goes wrong with the sound.
    void ring(Ringer& ringer);

    ColourLabel* const QM_UTC_TITLE_1;
    ColourLabel* const QM_UTC_TITLE_2;
    ColourLabel* const ALARM_NOTIFICATION_LABEL;
    QLineEdit* const EX_LEFT_TEXTBOX;
    QLineEdit* const EX_RIGHT_TEXTBOX;
    QLineEdit* const ALARM_NAME_TEXTBOX;
    QLineEdit* const ALARM_NOTIFICATION_MESSAGE_TEXTBOX;
    QLineEdit* const ALARM_NUMBER_LEFT_TEXTBOX;
    QLineEdit* const ALARM_NUMBER_RIGHT_TEXTBOX;
    TickBox* const ALARM_RUN_COMMAND_TICKBOX;
    TickBox* const RUN_HIDDEN_TICKBOX;
    QLineEdit* const ALARM_RUN_COMMAND_TEXTBOX;
    FlowLabel* const RUN_COMMAND_ERROR_LABEL;
    QPushButton* const RUN_NOW_BUTTON;
    TickBox* const ALARM_MESSAGE_AUTO_CLOSE_TICKBOX;
    QLineEdit* const AUTOCLOSE_IN_TB;
    QLineEdit* const AUTOCLOSE_COUNTDOWN_TB;
    QPushButton* const START_STOP_BUTTON;
    QPushButton* const OK_BUTTON;
    QPushButton* const SNOOZE_BUTTON;
    FlowLabel* const MISSED_AT_LABEL;
    FlowLabel* const SOUND_PROBLEM_LABEL;

    Timer* const ALARM_MESSAGE_AUTOCLOSE_TIMER;
    Timer* const FLASH_ON_TIMER;
    Timer* const FLASH_OFF_TIMER;

public slots:
    void Form_Load();
    void FLASH_ON_TIMER_Timer();
    void FLASH_OFF_TIMER_Timer();
    void ALARM_MESSAGE_AUTOCLOSE_TIMER_Timer();
    void ALARM_MESSAGE_AUTO_CLOSE_TICKBOX_Click();
    void ALARM_RUN_COMMAND_TICKBOX_Click();
    void START_STOP_BUTTON_Click();
    void AUTOCLOSE_COUNTDOWN_TB_DblClick();
    void OK_BUTTON_Click();
    void RUN_NOW_BUTTON_Click();
    void SNOOZE_BUTTON_Click();

signals:
    // Snooze was pressed: the alarm is to come back later. The window closes.
    void snoozed(int alarmNumber);

protected:
    void Form_Unload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void connectHandlers();
    void showCountdown();
    void setExColour(const QColor& colour);
    void writeAutoClose();
    void closeByButton();
    QList<QRect> freeAreas() const;
    void layOutProblems();
    void showSoundProblem(const QString& reason);

    const Announcement m_announcement;
    qint16 m_openedAutoClose = 0;
    CommandLauncher& m_launcher;
    AutoCloseCountdown m_countdown;
    Ringer* m_ringer = nullptr;
};
