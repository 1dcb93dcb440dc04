// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmDays.h"
#include "SecondOfDay.h"
#include "ShownSeconds.h"

#include <QDate>
#include <QString>

// Decides, tick by tick, whether one alarm fires: once for each second the clock showed its
// time on one of its days (or on its one date) since the previous tick, except on a skipped date,
// and at most once per date for a given time, so that a clock set back or the hour repeated at the
// end of summer time does not fire it twice. A snoozed repeat fires once, in the second the clock
// shows it. Where a gap in the shown seconds swallowed the alarm's time or its repeat, it says so,
// once per gap.
class AlarmMatcher
{
public:
    // The last moment of the alarm that the clock could not show.
    struct Missed
    {
        QDate date;
        QString time24;
        ShownSeconds::GapCause cause = ShownSeconds::GapCause::Unknown;
        bool snoozed = false; // the repeat of a Snooze rather than the alarm's own time
    };

    struct Outcome
    {
        bool fires = false;
        // The snoozed repeat fired or was missed: it is spent.
        bool snoozeSpent = false;
        std::optional<Missed> missed;
    };

    // The alarm's timer has just started: only seconds shown from now on count, and a repeat
    // due before now was due while the alarm could not fire.
    void arm(const ShownSeconds& shown);

    // One tick, with the alarm's time and days, its snoozed repeat, the one date it fires on
    // instead of its days and the date it skips, if any. A skipped date neither fires nor is
    // missed.
    Outcome check(const ShownSeconds& shown, const QString& alarmTime,
                  const AlarmDays& days = AlarmDays::everyDay(),
                  const std::optional<LocalTimeOfDay>& snooze = std::nullopt,
                  std::optional<QDate> once = std::nullopt,
                  std::optional<QDate> skip = std::nullopt);

private:
    // What one tick looks at, and what it has found so far.
    struct Tick
    {
        const QString& alarmTime;
        const AlarmDays& days;
        const std::optional<LocalTimeOfDay>& snooze;
        std::optional<QDate> once;
        std::optional<QDate> skip;
        std::optional<qint64> repeatAt; // the snoozed repeat as ShownSeconds counts local time
        Outcome outcome;

        Missed missedRepeat(ShownSeconds::GapCause cause);
        // The alarm's own time counts on this date.
        bool due(QDate date) const;
    };

    // A changed time is a new alarm, free to fire again today.
    void startOverIfRetimed(const QString& alarmTime);
    // The first tick after arm(): a repeat due before the timer started was missed.
    void checkRepeatBeforeStart(const QList<ShownSeconds::Second>& seconds, Tick& tick);
    // The second carries a gap: the later of the alarm's own time and its repeat in it, if any,
    // is missed.
    void checkGap(const ShownSeconds::Second& second, Tick& tick);
    bool showsOwnTime(const ShownSeconds::Second& second, const Tick& tick) const;
    static bool showsRepeat(const ShownSeconds::Second& second, const Tick& tick);
    // The last date it is due on whose showing of the time falls inside the gap.
    std::optional<QDate> lastInGap(qint64 from, qint64 to, SecondOfDay time,
                                   const Tick& tick) const;

    quint64 m_seenUpTo = 0;
    std::optional<qint64> m_armedAt;
    bool m_armed = false; // started, and no second seen since
    QString m_checkedTime;
    std::optional<SecondOfDay> m_ownTime; // m_checkedTime's second of the day
    QDate m_firedOn;
};
