// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <clocale>
#include <cstdlib>
#include <ctime>

// Pins what the local clock's texts depend on, so that tests do not depend on the machine.
namespace TestTime {
inline void pinZone(const char* zone)
{
    qputenv("TZ", zone);
    tzset();
}

// UTC with the C library's plain 24-hour format.
inline void pinUtcAndPlainFormat()
{
    pinZone("UTC");
    std::setlocale(LC_TIME, "C");
}

inline qint64 utcMs(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC).toMSecsSinceEpoch();
}
} // namespace TestTime
