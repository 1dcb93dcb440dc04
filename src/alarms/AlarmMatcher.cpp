// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmMatcher.h"

namespace {
constexpr qint64 day = 86400;

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - (a % b < 0 ? 1 : 0);
}
} // namespace

void AlarmMatcher::arm(const ShownSeconds& shown)
{
    m_seenUpTo = shown.lastSerial();
    const std::optional<ShownSeconds::Second> last = shown.last();
    m_armedAt = last ? std::optional<qint64>(last->wall) : std::nullopt;
    m_armed = true;
}

AlarmMatcher::Outcome AlarmMatcher::check(const ShownSeconds& shown, const QString& alarmTime,
                                          const AlarmDays& days,
                                          const std::optional<LocalTimeOfDay>& snooze)
{
    // A changed time is a new alarm, free to fire again today.
    if (alarmTime != m_checkedTime) {
        m_checkedTime = alarmTime;
        m_ownTime = ShownSeconds::wallOf(QDate(2000, 1, 1), alarmTime);
        m_firedOn = QDate();
    }
    Outcome outcome;
    const std::optional<qint64> repeatWall =
        snooze ? ShownSeconds::wallOf(snooze->date, snooze->text24) : std::nullopt;
    const bool repeats = repeatWall.has_value();
    const qint64 repeat = repeatWall.value_or(0);
    const auto missedRepeat = [&](ShownSeconds::GapCause cause) {
        outcome.snoozeSpent = true;
        return Missed{snooze->date, snooze->text24, cause, true};
    };
    const QList<ShownSeconds::Second> seconds = shown.since(m_seenUpTo);
    if (m_armed) {
        // Due before the timer started (the last second shown then, or before the first one
        // shown since): due while the clock did not run.
        std::optional<qint64> startedAt = m_armedAt;
        if (!startedAt && !seconds.isEmpty())
            startedAt = seconds.first().wall - 1;
        if (repeats && startedAt && repeat <= *startedAt)
            outcome.missed = missedRepeat(ShownSeconds::GapCause::NotRunning);
        m_armed = !startedAt;
    }

    const std::optional<qint64>& ownTime = m_ownTime;
    for (const ShownSeconds::Second& second : seconds) {
        if (second.gapFrom) {
            std::optional<Missed> own;
            if (ownTime) {
                const std::optional<QDate> date =
                    lastInGap(*second.gapFrom, second.wall, *ownTime % day, days);
                if (date)
                    own = Missed{*date, alarmTime};
            }
            std::optional<Missed> again;
            if (repeats && !outcome.snoozeSpent && *second.gapFrom < repeat && repeat < second.wall)
                again = missedRepeat(second.gapCause);
            const auto wallOf = [](const Missed& m) {
                return *ShownSeconds::wallOf(m.date, m.time24);
            };
            if (own) {
                own->cause = second.gapCause;
                m_firedOn = own->date;
            }
            if (own && (!again || wallOf(*own) > wallOf(*again)))
                outcome.missed = own;
            else if (again)
                outcome.missed = again;
        }
        if (second.time24 == alarmTime && second.date != m_firedOn && days.contains(second.date)) {
            m_firedOn = second.date;
            outcome.fires = true;
        }
        if (snooze && !outcome.snoozeSpent && second.date == snooze->date &&
            second.time24 == snooze->text24) {
            outcome.fires = true;
            outcome.snoozeSpent = true;
        }
    }
    m_seenUpTo = shown.lastSerial();
    return outcome;
}

std::optional<QDate> AlarmMatcher::lastInGap(qint64 from, qint64 to, qint64 secondOfDay,
                                             const AlarmDays& days) const
{
    // Within eight days back from the end of the gap every day of the week, and the one date
    // it already fired on, has come by.
    const qint64 lastDay = floorDiv(to - 1 - secondOfDay, day);
    for (qint64 d = lastDay; d > lastDay - 8; --d) {
        const qint64 at = d * day + secondOfDay;
        if (at <= from)
            break;
        const QDate date = QDate::fromJulianDay(d);
        if (days.contains(date) && date != m_firedOn)
            return date;
    }
    return std::nullopt;
}
