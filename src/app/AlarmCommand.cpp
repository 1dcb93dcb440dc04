// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmCommand.h"

#include "alarms/AlarmDays.h"
#include "alarms/AlarmSlot.h"
#include "alarms/AlarmTimeText.h"
#include "alarms/AlarmTrigger.h"
#include "alarms/NextAlarm.h"
#include "platform/TerminalText.h"
#include "platform/TimeSource.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <QRegularExpression>
#include <chrono>

using SettingsKeys::alarm;
using SettingsKeys::AlarmField;

namespace {
constexpr qint64 longestAhead = 365LL * 24 * 3600;
const QString dateFormat = QStringLiteral("yyyy-MM-dd");

AlarmCommand::Outcome usage(const QString& problem)
{
    return {2, problem};
}

std::optional<int> alarmNumber(const QString& text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 1 || n > SettingsKeys::alarmCount)
        return std::nullopt;
    return n;
}

AlarmCommand::Outcome badNumber(const QString& text)
{
    return usage(QStringLiteral("there is no alarm '%1': alarms are numbered 1 to %2")
                     .arg(TerminalText::visible(text), QString::number(SettingsKeys::alarmCount)));
}

// Only the form the file keeps, and only a date the calendar has.
std::optional<QDate> dateOf(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    const QDate date = QDate::fromString(text, dateFormat);
    if (!form.match(text).hasMatch() || !date.isValid())
        return std::nullopt;
    return date;
}

QString named(const SettingsStore& store, int n)
{
    const QString name = store.readText(alarm(AlarmField::NAME_TEXTBOX, n));
    return name.isEmpty() ? QStringLiteral("Alarm %1").arg(n)
                          : QStringLiteral("Alarm %1 (%2)")
                                .arg(QString::number(n), TerminalText::visible(name));
}

// What keeps an alarm that is on from firing, said after what was done.
QString armingNote(const SettingsStore& store)
{
    if (store.readFlag(SettingsKeys::ENABLE_ALARMS_TICKBOX) != 1)
        return QStringLiteral("; alarms are switched off: tick Enable Alarms for it to fire");
    return {};
}
} // namespace

AlarmCommand::AlarmCommand(const QString& settingsPath, const TimeSource& time)
    : m_settingsPath(settingsPath), m_time(time)
{}

QDateTime AlarmCommand::now() const
{
    // Whole seconds: an alarm 25 minutes ahead rings on a second the clock shows.
    const qint64 ms = m_time.msSinceEpoch();
    return QDateTime::fromMSecsSinceEpoch(ms - ms % 1000).toLocalTime();
}

std::optional<qint64> AlarmCommand::durationSeconds(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\+(?:(\\d{1,6})d)?(?:(\\d{1,6})h)?(?:(\\d{1,6})m)?(?:(\\d{1,6})s)?$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch() || text.size() < 3)
        return std::nullopt;
    qint64 seconds = 0;
    const int unit[] = {86400, 3600, 60, 1};
    for (int part = 0; part < 4; ++part)
        seconds += match.captured(part + 1).toLongLong() * unit[part];
    return seconds;
}

std::optional<QDate> AlarmCommand::nextOccurrence(const SettingsStore& store, int n,
                                                  const QDateTime& now)
{
    const AlarmSlot slot = loadAlarmSlots(store)[n - 1];
    if (!AlarmTrigger::arms(store.readFlag(SettingsKeys::ENABLE_ALARMS_TICKBOX), slot))
        return std::nullopt;
    // The skip already stored is left out: a second --skip of that date says so.
    const std::optional<QDateTime> next =
        NextAlarm::nextOccurrence(AlarmTrigger::armed(n, slot, std::nullopt), now);
    return next ? std::optional(next->date()) : std::nullopt;
}

AlarmCommand::Outcome AlarmCommand::set(const QString& number, const QString& typed,
                                        const Fields& fields) const
{
    const std::optional<int> n = alarmNumber(number);
    if (!n)
        return badNumber(number);
    QString time;
    std::optional<QString> date = fields.date;
    if (typed.startsWith(u'+')) {
        const std::optional<qint64> ahead = durationSeconds(typed);
        if (!ahead || *ahead == 0)
            return usage(QStringLiteral("cannot read the time '%1': write a duration as +25m or "
                                        "+1h30m")
                             .arg(TerminalText::visible(typed)));
        if (*ahead > longestAhead)
            return usage(QStringLiteral("%1 is more than a year ahead").arg(typed));
        if (date)
            return usage(QStringLiteral("--date cannot go with a time given as a duration"));
        const QDateTime at = now().addSecs(*ahead);
        time = at.time().toString(QStringLiteral("HH:mm:ss"));
        date = at.date().toString(dateFormat);
    } else {
        const std::optional<QString> completed = completedAlarmTime(typed);
        if (!completed)
            return usage(QStringLiteral("cannot read the time '%1': write it as HH:MM:SS, HH:MM "
                                        "or +25m")
                             .arg(TerminalText::visible(typed)));
        time = *completed;
    }
    if (date && !date->isEmpty()) {
        const std::optional<QDate> day = dateOf(*date);
        if (!day)
            return usage(QStringLiteral("there is no date '%1': write it as YYYY-MM-DD")
                             .arg(TerminalText::visible(*date)));
        if (QDateTime(*day, QTime::fromString(time, QStringLiteral("HH:mm:ss"))) <= now())
            return usage(QStringLiteral("%1 at %2 has passed").arg(*date, time));
    }
    std::optional<AlarmDays> days;
    if (fields.days) {
        days = AlarmDays::fromText(*fields.days);
        if (!days || *days == AlarmDays())
            return usage(QStringLiteral("cannot read the days '%1': name them as \"Mon Tue\"")
                             .arg(TerminalText::visible(*fields.days)));
    }

    const auto change = [&](SettingsStore& store) {
        const int i = *n;
        store.writeText(alarm(AlarmField::TIME_TEXTBOX, i), time);
        // A time given plainly repeats on the alarm's days; a skip and a snooze were for the
        // alarm as it was.
        const auto clear = [&](AlarmField field, const QString& value) {
            if (store.readText(alarm(field, i)) != value)
                store.writeText(alarm(field, i), value);
        };
        clear(AlarmField::DATE, date.value_or(QString()));
        clear(AlarmField::SKIP_DATE, QString());
        clear(AlarmField::SNOOZED_UNTIL, QString());
        if (fields.name)
            store.writeText(alarm(AlarmField::NAME_TEXTBOX, i), *fields.name);
        if (days)
            store.writeText(alarm(AlarmField::DAYS, i), days->text());
        if (fields.command) {
            store.writeText(alarm(AlarmField::RUN_COMMAND_TEXTBOX, i), *fields.command);
            store.writeFlag(alarm(AlarmField::RUN_COMMAND_TICKBOX, i),
                            fields.command->trimmed().isEmpty() ? 0 : 1);
        }
        store.writeFlag(alarm(AlarmField::TICKBOX, i), 1);
        AlarmSlot slot = loadAlarmSlots(store)[i - 1];
        // An alarm set from a script is meant to be seen.
        if (slot.doesNothing())
            store.writeFlag(alarm(AlarmField::DISPLAY_MESSAGE_TICKBOX, i), 1);
    };
    QString when = date && !date->isEmpty() ? QStringLiteral("on ") + *date
                   : days                   ? QStringLiteral("on ") + days->text()
                                            : QString();
    return write(
        *n, change,
        QStringLiteral("set to %1%2").arg(time, when.isEmpty() ? when : QLatin1Char(' ') + when));
}

AlarmCommand::Outcome AlarmCommand::skip(const QString& number) const
{
    const std::optional<int> n = alarmNumber(number);
    if (!n)
        return badNumber(number);
    std::optional<QDate> date;
    QString skipped;
    {
        const SettingsStore store(m_settingsPath, SettingsStore::Access::ReadOnly);
        date = nextOccurrence(store, *n, now());
        skipped = store.readText(alarm(AlarmField::SKIP_DATE, *n));
        if (!date)
            return {1, named(store, *n) + QStringLiteral(" is not armed: nothing to skip")};
    }
    const QString text = date->toString(dateFormat);
    if (skipped == text)
        return {1, QStringLiteral("alarm %1 is already skipped on %2").arg(*n).arg(text)};
    return write(
        *n, [&](SettingsStore& store) { store.writeText(alarm(AlarmField::SKIP_DATE, *n), text); },
        QStringLiteral("skipped on %1 %2")
            .arg(AlarmDays::shortName(Qt::DayOfWeek(date->dayOfWeek())), text));
}

AlarmCommand::Outcome AlarmCommand::enable(const QString& number, bool on) const
{
    const std::optional<int> n = alarmNumber(number);
    if (!n)
        return badNumber(number);
    {
        const SettingsStore store(m_settingsPath, SettingsStore::Access::ReadOnly);
        if ((store.readFlag(alarm(AlarmField::TICKBOX, *n)) == 1) == on)
            return {1, QStringLiteral("alarm %1 is already %2").arg(*n).arg(on ? "on" : "off")};
    }
    return write(
        *n,
        [&](SettingsStore& store) { store.writeFlag(alarm(AlarmField::TICKBOX, *n), on ? 1 : 0); },
        on ? QStringLiteral("switched on") : QStringLiteral("switched off"));
}

AlarmCommand::Outcome AlarmCommand::write(int n, const std::function<void(SettingsStore&)>& change,
                                          const QString& done) const
{
    SettingsStore store(m_settingsPath);
    // Another change saving at this moment is waited for rather than refused.
    store.setLockWait(std::chrono::seconds(5));
    if (!store.readRefusal().isEmpty())
        return {1, QStringLiteral("nothing was changed: ") + store.readRefusal()};
    {
        SettingsStore::Batch batch(store);
        change(store);
    }
    if (store.hasUnsaved()) {
        store.discardUnsaved();
        return {
            1,
            QStringLiteral("nothing was changed in %1").arg(TerminalText::visible(m_settingsPath))};
    }
    QString line = named(store, n) + QLatin1Char(' ') + done;
    if (store.readFlag(alarm(AlarmField::TICKBOX, n)) == 1)
        line += armingNote(store);
    if (store.readFlag(alarm(AlarmField::RUN_COMMAND_TICKBOX, n)) == 1 &&
        !store.commandRefusal().isEmpty())
        line += QStringLiteral("; its command does not run: ") + store.commandRefusal();
    return {0, line};
}
