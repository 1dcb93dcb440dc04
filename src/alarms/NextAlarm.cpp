// SPDX-License-Identifier: GPL-3.0-or-later
#include "NextAlarm.h"

#include "AlarmSlot.h"
#include "AlarmTimeText.h"
#include "widgets/ShownText.h"

#include <QLocale>

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

std::optional<QDateTime> nextFiring(QTime time, const ArmedAlarm& alarm, const QDateTime& now)
{
    if (alarm.once) {
        const std::optional<QDateTime> at =
            alarm.once == alarm.skip ? std::nullopt : firstShowing(*alarm.once, time);
        return at && *at > now ? at : std::nullopt;
    }
    // Two weeks ahead, for a skipped week, and a day more for a time skipped on the one day it
    // fires.
    for (int day = 0; day < 16; ++day) {
        const QDate date = now.date().addDays(day);
        if (!alarm.days.contains(date) || date == alarm.skip)
            continue;
        const std::optional<QDateTime> at = firstShowing(date, time);
        if (at && *at > now)
            return at;
    }
    return std::nullopt;
}

QString inText(qint64 ms, bool inDays)
{
    const qint64 minutes = ms / 60000;
    if (inDays)
        return QStringLiteral("in %1 d %2 h").arg(minutes / (24 * 60)).arg(minutes / 60 % 24);
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
    const auto consider = [&](const ArmedAlarm& alarm, const QDateTime& at, bool snoozed) {
        if (!next || at < next->at || (at == next->at && alarm.number < next->alarm.number))
            next = Upcoming{alarm, at, snoozed};
    };
    for (const ArmedAlarm& alarm : armed) {
        if (alarm.snoozedUntil && *alarm.snoozedUntil > localNow)
            consider(alarm, *alarm.snoozedUntil, true);
        const std::optional<QDateTime> at = nextOccurrence(alarm, localNow);
        if (at)
            consider(alarm, *at, false);
    }
    return next;
}

std::optional<QDateTime> nextOccurrence(const ArmedAlarm& alarm, const QDateTime& now)
{
    if (!isRealAlarmTime(alarm.time))
        return std::nullopt;
    return nextFiring(QTime::fromString(alarm.time, QStringLiteral("HH:mm:ss")), alarm,
                      now.toLocalTime());
}

QString describe(const QList<ArmedAlarm>& armed, const QDateTime& now)
{
    const std::optional<Upcoming> next = find(armed, now);
    if (!next)
        return QStringLiteral("No alarm armed");
    const QString name = next->alarm.name.trimmed().isEmpty()
                             ? QStringLiteral("Alarm %1").arg(next->alarm.number)
                             : ShownText::cut(next->alarm.name, ShownText::inLine);
    const QString nothing = next->alarm.doesNothing ? QStringLiteral("; it does nothing: ") +
                                                          AlarmSlot::doesNothingReason()
                                                    : QString();
    if (next->snoozed)
        return QStringLiteral("Next alarm: %1, snoozed, at %2, %3")
                   .arg(name, next->at.time().toString(QStringLiteral("HH:mm:ss")),
                        inText(now.msecsTo(next->at), false)) +
               nothing;
    // Today's and tomorrow's need no day; later ones are days away, and beyond a week a date.
    const qint64 daysAway = now.toLocalTime().date().daysTo(next->at.date());
    if (daysAway >= 2)
        return QStringLiteral("Next alarm: %1 on %2 at %3, %4")
                   .arg(name,
                        daysAway > 7 ? next->at.date().toString(Qt::ISODate)
                                     : QLocale::c().dayName(next->at.date().dayOfWeek()),
                        next->alarm.time, inText(now.msecsTo(next->at), true)) +
               nothing;
    return QStringLiteral("Next alarm: %1 at %2, %3")
               .arg(name, next->alarm.time, inText(now.msecsTo(next->at), false)) +
           nothing;
}
} // namespace NextAlarm
