// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

struct Announcement;
class CommandLauncher;
class DesktopNotifier;
class QM_UTC_ALARM_NOTIFICATION_WINDOW;
class QWidget;
class Ringer;
class SettingsStore;

// The one keeper of the alarms' notification windows. Each opens over the owner and in front
// of every other window without taking the keyboard from the program the user is typing in;
// while any is open, the program's other windows take no input, but the notification windows
// all do. An alarm that fires while its window is still open brings that window back; a window
// whose place another open one already takes opens shifted, so alarms firing together all stay
// in sight (the place it stores stays the one it was given). An alarm that rings rings until
// its window is answered, through the ringer where one is given.
class AlarmNotifier : public QObject
{
    Q_OBJECT

public:
    AlarmNotifier(SettingsStore& settings, CommandLauncher& launcher, QWidget* owner,
                  Ringer* ringer = nullptr);
    ~AlarmNotifier() override;

    // Shows the announcement's window, or brings back the open one of the same name; either
    // way it shows why the command did not start (nothing when the reason is empty) and
    // whether the alarm was missed.
    QM_UTC_ALARM_NOTIFICATION_WINDOW* announce(const Announcement& announcement,
                                               const QString& launchFailure);

    // The window of that name while it is open.
    QM_UTC_ALARM_NOTIFICATION_WINDOW* openWindow(const QString& windowName) const;

    // Answers every open window as its Snooze button would (OK where it has no Snooze), or as
    // its OK button, and gives how many there were.
    int snoozeAll() { return answerAll(true); }
    int stopAll() { return answerAll(false); }

signals:
    // Snooze was pressed in alarm n's window.
    void snooze(int n);

private:
    int answerAll(bool snooze);
    void ringIfWanted(QM_UTC_ALARM_NOTIFICATION_WINDOW* window, const Announcement& announcement);
    void placeClearOfOthers(QM_UTC_ALARM_NOTIFICATION_WINDOW* window) const;
    void showModal(QM_UTC_ALARM_NOTIFICATION_WINDOW* window);
    void forgetClosed();

    SettingsStore& m_settings;
    CommandLauncher& m_launcher;
    QWidget* const m_owner;
    QWidget* m_modality = nullptr;
    DesktopNotifier* const m_desktop;
    Ringer* const m_ringer;
    std::vector<QPointer<QM_UTC_ALARM_NOTIFICATION_WINDOW>> m_windows;
};
