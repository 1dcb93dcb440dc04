// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmSlot.h"

#include "AlarmDays.h"
#include "AlarmRecord.h"
#include "notify/LaunchRule.h"
#include "platform/ProblemReport.h"
#include "settings/SettingsKeys.h"
#include "widgets/ShownText.h"

#include <QRegularExpression>

bool AlarmSlot::doesNothing() const
{
    // Every action an alarm can take.
    const bool acts =
        displayMessage == 1 || ring == 1 || LaunchRule::style(runCommand, runHidden).has_value();
    return enabled == 1 && !acts;
}

std::optional<QDate> AlarmSlot::dateOf(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!form.match(text).hasMatch() || !date.isValid())
        return std::nullopt;
    return date;
}

bool AlarmSlot::isPast(const QDateTime& now) const
{
    const std::optional<QDate> once = onceDate();
    if (!once)
        return false;
    const QDateTime local = now.toLocalTime();
    // The second now shown counts as passed, as it does for the next alarm.
    return *once < local.date() ||
           (*once == local.date() && time <= local.time().toString(QStringLiteral("HH:mm:ss")));
}

QString AlarmSlot::dateNote(const QDateTime& now) const
{
    const std::optional<QDate> once = onceDate();
    if (!once)
        return QString();
    return QStringLiteral("once on ") + once->toString(Qt::ISODate) +
           (isPast(now) ? QStringLiteral(", past: it arms nothing") : QString());
}

QString AlarmSlot::doesNothingReason()
{
    return QStringLiteral("none of Ring, Display Message and Run Command is ticked");
}

AlarmSlots loadAlarmSlots(const SettingsStore& store)
{
    using SettingsKeys::alarm;
    using SettingsKeys::AlarmField;
    const AlarmSlots loaded = AlarmRecord::read(store);
    for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
        if (!AlarmDays::fromText(loaded[n - 1].days))
            ProblemReport::report(
                QStringLiteral("alarm %1: %2=%3 names no days of the week (write them as \"Mon "
                               "Tue Wed Thu Fri\"); it fires every day")
                    .arg(QString::number(n), alarm(AlarmField::DAYS, n).name,
                         ShownText::cut(loaded[n - 1].days, ShownText::inLine)));
        const QString& date = loaded[n - 1].date;
        if (!date.trimmed().isEmpty() && !AlarmSlot::dateOf(date))
            ProblemReport::report(
                QStringLiteral("alarm %1: %2=%3 is no date such as 2026-12-24; it repeats on "
                               "its days")
                    .arg(QString::number(n), alarm(AlarmField::DATE, n).name,
                         ShownText::cut(date, ShownText::inLine)));
    }
    return loaded;
}
