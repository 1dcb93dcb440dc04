// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <optional>

// One reading of the local wall clock, in the forms the clock and the alarms need.
struct LocalTimeOfDay
{
    QDate date;
    QString text24;       // HH:MM:SS, what alarm times are written in
    QString regionalText; // the user's regional time format with seconds (%X)
    int msOfSecond = 0;
    // The second since the epoch it was read in; none for a reading made up by hand.
    std::optional<qint64> epochSecond;
    // The uptime, time asleep included, when it was read; none where no clock was asked.
    std::optional<quint64> msSinceBoot;

    // Converts with the C library's LC_TIME locale and the local time zone as it is now.
    static LocalTimeOfDay at(qint64 msSinceEpoch);
};
