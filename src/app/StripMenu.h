// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QMenu>

class AlarmNotifier;
class AlarmTrigger;

// The strip's context menu: skipping the next alarm's coming occurrence, Snooze and Stop for
// the alarms that ring (as their windows' Snooze and OK), and the two windows the strip opens.
// The strip opens those itself once the menu has closed, as they run their own loops.
class StripMenu : public QMenu
{
    Q_OBJECT

public:
    StripMenu(AlarmTrigger& alarms, AlarmNotifier& notifier, const QDateTime& now, QWidget* strip);

    // Absent where no alarm comes / none rings.
    QAction* const SKIP_MENU;
    QAction* const SNOOZE_MENU;
    QAction* const STOP_MENU;
    QAction* const PREFERENCES_MENU;
    QAction* const LARGE_CLOCK_MENU;

    // "Skip Tea at 07:30:00 tomorrow" (today, tomorrow, or the day of the week, and beyond a
    // week the date); empty where no alarm comes.
    static QString skipText(const AlarmTrigger& alarms, const QDateTime& now);

private:
    QAction* skipAction(AlarmTrigger& alarms, const QDateTime& now);
    QAction* ringingAction(const QString& text, AlarmNotifier& notifier,
                           int (AlarmNotifier::*answer)());
};
