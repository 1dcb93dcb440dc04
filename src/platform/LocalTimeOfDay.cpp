// SPDX-License-Identifier: GPL-3.0-or-later
#include "LocalTimeOfDay.h"

#include <ctime>
#include <cwchar>

LocalTimeOfDay LocalTimeOfDay::at(qint64 msSinceEpoch)
{
    const qint64 seconds =
        msSinceEpoch >= 0 ? msSinceEpoch / 1000 : -((-msSinceEpoch + 999) / 1000);
    const time_t t = static_cast<time_t>(seconds);
    tm local{};
    localtime_r(&t, &local);

    LocalTimeOfDay reading;
    reading.date = QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    reading.text24 = QStringLiteral("%1:%2:%3")
                         .arg(local.tm_hour, 2, 10, QLatin1Char('0'))
                         .arg(local.tm_min, 2, 10, QLatin1Char('0'))
                         .arg(local.tm_sec, 2, 10, QLatin1Char('0'));
    // The wide variant decodes whatever encoding the user's locale has.
    wchar_t buffer[64];
    const size_t length = wcsftime(buffer, sizeof buffer / sizeof buffer[0], L"%X", &local);
    reading.regionalText = QString::fromWCharArray(buffer, static_cast<qsizetype>(length));
    reading.msOfSecond = static_cast<int>(msSinceEpoch - seconds * 1000);
    reading.epochSecond = seconds;
    return reading;
}
