// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/SettingKey.h"
#include "widgets/WindowPlacement.h"

#include <optional>

// What a notification window announces: an alarm as its owner holds it at this moment, or the
// test that the user runs by hand. The window is the same; only this differs.
struct Announcement
{
    static Announcement forTest();

    // The badges the windows show: "1" to "10" for the alarms, "T" for the test.
    static QString alarmBadge(int n) { return QString::number(n); }
    static QString testBadge() { return QStringLiteral("T"); }

    QString windowName;
    // Alarm n, 1 to 10, which its window can snooze; 0 for the test, which has no Snooze.
    int alarmNumber = 0;
    // "Missed at 07:30:00" when the clock could not show the alarm's time; its command was not
    // run, and the window does not close itself.
    QString missed;
    QString title;
    QString requester; // who asked for a launch, as problem reports name it
    QString badge;
    QString name;
    QString message;
    qreal messagePoints = 11.25;
    qint16 runCommand = 0;
    qint16 runHidden = 0;
    QString command;
    // The alarm sound rings until the window is answered.
    qint16 ring = 0;
    // The test window lets the user tick Run Command and type the command.
    bool commandByHand = false;
    // Opened by the user's own click, it takes the keyboard; an alarm's window does not.
    bool takesFocus = false;
    // Set when commands kept in the settings store must not run, saying why; a command the
    // user types by hand is never refused.
    QString commandRefusal;
    PlacementKeys placement;
    // Alarms keep their Auto Close choice; the test window stores nothing but its position.
    std::optional<SettingKey> autoClose;
};
