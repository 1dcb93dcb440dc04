// SPDX-License-Identifier: GPL-3.0-or-later
#include "LocalTimeOfDay.h"

#include <ctime>
#include <cwchar>

LocalTimeOfDay LocalTimeOfDay::at(qint64 msSinceEpoch)
{
    const qint64 seconds =
        msSinceEpoch >= 0 ? msSinceEpoch / 1000 : -((-msSinceEpoch + 999) / 1000);
    const time_t t = static_cast<time_t>(seconds);
    // localtime_r() keeps the zone it first read; tzset() looks again (one stat() of
    // /etc/localtime, or the TZ variable) and re-reads the zone when it was replaced.
    tzset();
    tm local{};
    localtime_r(&t, &local);

    LocalTimeOfDay reading;
    reading.date = QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    // Put together by hand, as every second: QString::arg() reads its pattern each time.
    const char text24[] = {char('0' + local.tm_hour / 10), char('0' + local.tm_hour % 10), ':',
                           char('0' + local.tm_min / 10),  char('0' + local.tm_min % 10),  ':',
                           char('0' + local.tm_sec / 10),  char('0' + local.tm_sec % 10)};
    reading.text24 = QString::fromLatin1(text24, sizeof text24);
    // The wide variant decodes whatever encoding the user's locale has.
    wchar_t buffer[64];
    const size_t length = wcsftime(buffer, sizeof buffer / sizeof buffer[0], L"%X", &local);
    reading.regionalText = QString::fromWCharArray(buffer, static_cast<qsizetype>(length));
    reading.msOfSecond = static_cast<int>(msSinceEpoch - seconds * 1000);
    reading.epochSecond = seconds;
    return reading;
}
