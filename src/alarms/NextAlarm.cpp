// SPDX-License-Identifier: GPL-3.0-or-later
#include "NextAlarm.h"

#include "AlarmTimeText.h"

namespace {
// The first moment on the date at which the local clock shows the time, if it shows it at all.
std::optional<QDateTime> firstShowing(QDate date, QTime time)
{
    const QDateTime at(date, time);
    if (!at.isValid() || at.date() != date || at.time() != time)
        return std::nullopt; // skipped by a jump forward
    // Where the clock went back before this moment, the same time may have shown earlier.
    const int shiftBack = at.addSecs(-86400).offsetFromUtc() - at.offsetFromUtc();
    if (shiftBack > 0) {
        const QDateTime earlier = at.addSecs(-shiftBack);
        if (earlier.date() == date && earlier.time() == time)
            return earlier;
    }
    return at;
}

std::optional<QDateTime> nextFiring(QTime time, const QDateTime& now)
{
    // A skipped time is back the next date: three dates always find it.
    for (int day = 0; day < 3; ++day) {
        const std::optional<QDateTime> at = firstShowing(now.date().addDays(day), time);
        if (at && *at > now)
            return at;
    }
    return std::nullopt;
}

QString inText(qint64 ms)
{
    const qint64 minutes = ms / 60000;
    if (minutes < 1)
        return QStringLiteral("in less than a minute");
    if (minutes < 60)
        return QStringLiteral("in %1 min").arg(minutes);
    return QStringLiteral("in %1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}
} // namespace

namespace NextAlarm {
std::optional<Upcoming> find(const QList<ArmedAlarm>& armed, const QDateTime& now)
{
    const QDateTime localNow = now.toLocalTime();
    std::optional<Upcoming> next;
    for (const ArmedAlarm& alarm : armed) {
        if (!isRealAlarmTime(alarm.time))
            continue;
        const std::optional<QDateTime> at =
            nextFiring(QTime::fromString(alarm.time, QStringLiteral("HH:mm:ss")), localNow);
        if (!at)
            continue;
        if (!next || *at < next->at || (*at == next->at && alarm.number < next->alarm.number))
            next = Upcoming{alarm, *at};
    }
    return next;
}

QString describe(const QList<ArmedAlarm>& armed, const QDateTime& now)
{
    const std::optional<Upcoming> next = find(armed, now);
    if (!next)
        return QStringLiteral("No alarm armed");
    const QString name = next->alarm.name.trimmed().isEmpty()
                             ? QStringLiteral("Alarm %1").arg(next->alarm.number)
                             : next->alarm.name;
    return QStringLiteral("Next alarm: %1 at %2, %3")
        .arg(name, next->alarm.time, inText(now.msecsTo(next->at)));
}
} // namespace NextAlarm
