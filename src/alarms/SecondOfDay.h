// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmTimeText.h"

#include <QDate>
#include <optional>

// A second of the local day as an HH:MM:SS text names it: 0 at midnight, 86399 at 23:59:59.
struct SecondOfDay
{
    static constexpr qint64 perDay = 86400;

    qint64 value = 0;

    // Nothing for a text of another form.
    static std::optional<SecondOfDay> of(const QString& time24)
    {
        if (!isRealAlarmTime(time24))
            return std::nullopt;
        const auto field = [&](int at) {
            return time24.mid(at, 2).toInt();
        };
        return SecondOfDay{field(0) * 3600 + field(3) * 60 + field(6)};
    }

    // This second on the date, as ShownSeconds counts local time.
    qint64 on(QDate date) const { return date.toJulianDay() * perDay + value; }
};
