// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmMatcher.h"

namespace {
qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - (a % b < 0 ? 1 : 0);
}
} // namespace

AlarmMatcher::Missed AlarmMatcher::Tick::missedRepeat(ShownSeconds::GapCause cause)
{
    outcome.snoozeSpent = true;
    return Missed{snooze->date, snooze->text24, cause, true};
}

bool AlarmMatcher::Tick::due(QDate date) const
{
    return (once ? date == *once : days.contains(date)) && date != skip;
}

void AlarmMatcher::arm(const ShownSeconds& shown)
{
    m_seenUpTo = shown.lastSerial();
    const std::optional<ShownSeconds::Second> last = shown.last();
    m_armedAt = last ? std::optional<qint64>(last->localTime) : std::nullopt;
    m_armed = true;
}

AlarmMatcher::Outcome AlarmMatcher::check(const ShownSeconds& shown, const QString& alarmTime,
                                          const AlarmDays& days,
                                          const std::optional<LocalTimeOfDay>& snooze,
                                          std::optional<QDate> once, std::optional<QDate> skip)
{
    startOverIfRetimed(alarmTime);
    Tick tick{
        alarmTime, days,
        snooze,    once,
        skip,      snooze ? ShownSeconds::localTimeOf(snooze->date, snooze->text24) : std::nullopt,
        {}};
    const QList<ShownSeconds::Second> seconds = shown.since(m_seenUpTo);
    if (m_armed)
        checkRepeatBeforeStart(seconds, tick);
    for (const ShownSeconds::Second& second : seconds) {
        if (second.gapFrom)
            checkGap(second, tick);
        if (showsOwnTime(second, tick)) {
            m_firedOn = second.date;
            tick.outcome.fires = true;
        }
        if (showsRepeat(second, tick)) {
            tick.outcome.fires = true;
            tick.outcome.snoozeSpent = true;
        }
    }
    m_seenUpTo = shown.lastSerial();
    return tick.outcome;
}

void AlarmMatcher::startOverIfRetimed(const QString& alarmTime)
{
    if (alarmTime == m_checkedTime)
        return;
    m_checkedTime = alarmTime;
    m_ownTime = SecondOfDay::of(alarmTime);
    m_firedOn = QDate();
}

void AlarmMatcher::checkRepeatBeforeStart(const QList<ShownSeconds::Second>& seconds, Tick& tick)
{
    // Started at the last second shown then, or before the first one shown since.
    std::optional<qint64> startedAt = m_armedAt;
    if (!startedAt && !seconds.isEmpty())
        startedAt = seconds.first().localTime - 1;
    if (tick.repeatAt && startedAt && *tick.repeatAt <= *startedAt)
        tick.outcome.missed = tick.missedRepeat(ShownSeconds::GapCause::NotRunning);
    m_armed = !startedAt;
}

void AlarmMatcher::checkGap(const ShownSeconds::Second& second, Tick& tick)
{
    std::optional<Missed> own;
    if (m_ownTime) {
        const std::optional<QDate> date =
            lastInGap(*second.gapFrom, second.localTime, *m_ownTime, tick);
        if (date) {
            own = Missed{*date, tick.alarmTime, second.gapCause};
            m_firedOn = *date;
        }
    }
    std::optional<Missed> again;
    if (tick.repeatAt && !tick.outcome.snoozeSpent && *second.gapFrom < *tick.repeatAt &&
        *tick.repeatAt < second.localTime)
        again = tick.missedRepeat(second.gapCause);
    // One report per gap: the later of the two.
    if (own && (!again || m_ownTime->on(own->date) > *tick.repeatAt))
        tick.outcome.missed = own;
    else if (again)
        tick.outcome.missed = again;
}

bool AlarmMatcher::showsOwnTime(const ShownSeconds::Second& second, const Tick& tick) const
{
    return second.time24 == tick.alarmTime && second.date != m_firedOn && tick.due(second.date);
}

bool AlarmMatcher::showsRepeat(const ShownSeconds::Second& second, const Tick& tick)
{
    return tick.snooze && !tick.outcome.snoozeSpent && second.date == tick.snooze->date &&
           second.time24 == tick.snooze->text24;
}

std::optional<QDate> AlarmMatcher::lastInGap(qint64 from, qint64 to, SecondOfDay time,
                                             const Tick& tick) const
{
    if (tick.once) {
        const qint64 at = time.on(*tick.once);
        if (from < at && at < to && tick.due(*tick.once) && *tick.once != m_firedOn)
            return tick.once;
        return std::nullopt;
    }
    // Within eight days back from the end of the gap every day of the week, and the one date
    // it already fired on, has come by.
    const qint64 lastDay = floorDiv(to - 1 - time.value, SecondOfDay::perDay);
    for (qint64 d = lastDay; d > lastDay - 8; --d) {
        const QDate date = QDate::fromJulianDay(d);
        if (time.on(date) <= from)
            break;
        if (tick.due(date) && date != m_firedOn)
            return date;
    }
    return std::nullopt;
}
