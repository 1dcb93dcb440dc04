// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmSnooze.h"

#include "AlarmTimeText.h"
#include "platform/ProblemReport.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "widgets/ShownText.h"

std::optional<LocalTimeOfDay> AlarmSnooze::fromText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.size() != 19 || (trimmed.at(10) != u'T' && trimmed.at(10) != u' '))
        return std::nullopt;
    LocalTimeOfDay moment;
    moment.date = QDate::fromString(trimmed.left(10), Qt::ISODate);
    moment.text24 = trimmed.mid(11);
    if (!moment.date.isValid() || !isRealAlarmTime(moment.text24))
        return std::nullopt;
    return moment;
}

QString AlarmSnooze::toText(const LocalTimeOfDay& moment)
{
    return moment.date.toString(Qt::ISODate) + u'T' + moment.text24;
}

QDateTime AlarmSnooze::toDateTime(const LocalTimeOfDay& moment)
{
    return QDateTime(moment.date, QTime::fromString(moment.text24, QStringLiteral("HH:mm:ss")));
}

int AlarmSnooze::minutes(const SettingsStore& store)
{
    const QString text = store.readText(SettingsKeys::SNOOZE_MINUTES);
    bool isNumber = false;
    const int value = text.trimmed().toInt(&isNumber);
    if (isNumber && value >= 1 && value <= longestMinutes)
        return value;
    // Once for each value, not at every Snooze.
    static QString reported;
    if (text != reported) {
        reported = text;
        ProblemReport::report(
            QStringLiteral("%1=%2 is not a number of minutes from 1 to %3; Snooze waits %4 minutes")
                .arg(SettingsKeys::SNOOZE_MINUTES.name, ShownText::cut(text, ShownText::inLine))
                .arg(longestMinutes)
                .arg(defaultMinutes));
    }
    return defaultMinutes;
}
