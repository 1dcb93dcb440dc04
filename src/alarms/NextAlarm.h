// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmDays.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// An alarm whose timer is on, as the main window's live copy holds it.
struct ArmedAlarm
{
    int number = 0;
    QString name;
    QString time;
    AlarmDays days = AlarmDays::everyDay();
    // The one date it fires on instead of its days, and the date it skips.
    std::optional<QDate> once;
    std::optional<QDate> skip;
    // When a Snooze brings it back, if it was snoozed.
    std::optional<QDateTime> snoozedUntil;
    // It fires without any action ticked (see AlarmSlot::doesNothing).
    bool doesNothing = false;
};

// Which armed alarm fires next, and when, in the local wall time the clock shows.
//
// An alarm fires at the first moment of a date at which the clock shows its time: later today
// if that moment is still ahead (the second now shown counts as passed), else on the next date
// that has it, among the alarm's days of the week, or on its one date; never on the date it
// skips. A time skipped by a jump to summer time does
// not fire that date, and a time the clock shows twice when it goes back counts from its first
// showing, as the alarm timers do. A snoozed alarm also comes back when its snooze ends.
// Alarms whose time is not a real HH:MM:SS, or that have no day, never fire and are left out;
// of two alarms due at the same moment the lower number comes first.
namespace NextAlarm {
struct Upcoming
{
    ArmedAlarm alarm;
    QDateTime at;
    bool snoozed = false; // it is the snoozed repeat that comes
};

std::optional<Upcoming> find(const QList<ArmedAlarm>& armed, const QDateTime& now);

// When the alarm's own time next comes (its snooze left aside): the date a skip of its next
// occurrence names. Nothing for an alarm that will not fire again.
std::optional<QDateTime> nextOccurrence(const ArmedAlarm& alarm, const QDateTime& now);

// "Next alarm: Tea at 07:30:00, in 3 h 12 min" (or "in 12 min", "in less than a minute",
// whole minutes rounded down), "Next alarm: Tea, snoozed, at 07:35:00, in 4 min", from the day
// after tomorrow on "Next alarm: Gym on Monday at 07:30:00, in 2 d 3 h", or "No alarm armed".
// An alarm without a name is "Alarm 3". One that does nothing when it fires says so after
// that: "; it does nothing: none of Ring, Display Message and Run Command is ticked".
QString describe(const QList<ArmedAlarm>& armed, const QDateTime& now);
} // namespace NextAlarm
