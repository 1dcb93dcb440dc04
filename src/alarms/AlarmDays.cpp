// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmDays.h"

#include <QStringList>

namespace {
const char* const englishNames[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                    "Friday", "Saturday", "Sunday"};

std::optional<Qt::DayOfWeek> dayNamed(QStringView word)
{
    for (int day = 1; day <= 7; ++day) {
        const QLatin1String whole(englishNames[day - 1]);
        if (word.compare(whole, Qt::CaseInsensitive) == 0 ||
            word.compare(whole.left(3), Qt::CaseInsensitive) == 0)
            return Qt::DayOfWeek(day);
    }
    return std::nullopt;
}
} // namespace

std::optional<AlarmDays> AlarmDays::fromText(const QString& text)
{
    AlarmDays days;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool separator =
            i == text.size() || text.at(i).isSpace() || text.at(i) == QLatin1Char(',');
        if (!separator)
            continue;
        if (i > start) {
            const std::optional<Qt::DayOfWeek> day =
                dayNamed(QStringView(text).mid(start, i - start));
            if (!day)
                return std::nullopt;
            days = days.with(*day, true);
        }
        start = i + 1;
    }
    return days;
}

QString AlarmDays::text() const
{
    QStringList names;
    for (int day = 1; day <= 7; ++day) {
        if (contains(Qt::DayOfWeek(day)))
            names.append(shortName(Qt::DayOfWeek(day)));
    }
    return names.join(QLatin1Char(' '));
}

QString AlarmDays::shortName(Qt::DayOfWeek day)
{
    return QLatin1String(englishNames[int(day) - 1]).left(3);
}

AlarmDays AlarmDays::with(Qt::DayOfWeek day, bool on) const
{
    return AlarmDays(on ? quint8(m_bits | bit(day)) : quint8(m_bits & ~bit(day)));
}
