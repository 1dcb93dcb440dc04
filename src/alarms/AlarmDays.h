// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The days of the week on which an alarm fires. Kept in the settings file in English whatever
// the regional format, Monday first, as "Mon Tue Wed Thu Fri"; an empty text is no day at all.
class AlarmDays
{
public:
    AlarmDays() = default; // no day
    static AlarmDays everyDay() { return AlarmDays(allBits); }

    // The days a text names: English day names, three letters or whole, in any order and case,
    // separated by blanks or commas. Nothing when it names anything else.
    static std::optional<AlarmDays> fromText(const QString& text);
    // As the alarms take a text: one that cannot be read counts as every day.
    static AlarmDays of(const QString& text) { return fromText(text).value_or(everyDay()); }

    // "Mon Tue Wed Thu Fri Sat Sun" for every day, "" for none.
    QString text() const;
    // The three-letter English name, "Mon" for Qt::Monday.
    static QString shortName(Qt::DayOfWeek day);

    bool contains(Qt::DayOfWeek day) const { return m_bits & bit(day); }
    bool contains(QDate date) const { return contains(Qt::DayOfWeek(date.dayOfWeek())); }
    AlarmDays with(Qt::DayOfWeek day, bool on) const;

    bool operator==(const AlarmDays&) const = default;

private:
    static constexpr quint8 allBits = 0x7F;
    explicit AlarmDays(quint8 bits) : m_bits(bits) {}
    static quint8 bit(Qt::DayOfWeek day) { return quint8(1u << (int(day) - 1)); }

    quint8 m_bits = 0;
};
