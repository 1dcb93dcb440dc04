// SPDX-License-Identifier: GPL-3.0-or-later
#include "UptimeBreakdown.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace {
constexpr qint64 msPerMinute = 60000;
constexpr qint64 msPerSecond = 1000;
constexpr quint64 largestCount =
    quint64(std::numeric_limits<qint32>::max()) * UptimeBreakdown::TOTAL_MIL_DAY +
    (UptimeBreakdown::TOTAL_MIL_DAY - 1);

// The largest whole number not greater than a / b (b > 0), even for the negative or outsized
// remainders that stages run out of order can see; held to the 32-bit range of whole fields.
qint32 wholePart(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if (a % b != 0 && a < 0)
        --q;
    return qint32(std::clamp<qint64>(q, std::numeric_limits<qint32>::min(),
                                     std::numeric_limits<qint32>::max()));
}
} // namespace

void UptimeBreakdown::stageA(quint64 ms)
{
    START_TB = std::min(ms, largestCount);
    WHOLE_DAYS = qint32(START_TB / TOTAL_MIL_DAY);
}

void UptimeBreakdown::stageB()
{
    DAYS_ROUNDED_TB = WHOLE_DAYS;
}

void UptimeBreakdown::stageC()
{
    m_msLeftInDay = qint64(START_TB) - qint64(DAYS_ROUNDED_TB) * TOTAL_MIL_DAY;
    HOURS_ROUNDED_TB = wholePart(m_msLeftInDay, TOTAL_MIL_HOUR);
}

void UptimeBreakdown::stageD()
{
    m_msLeftInHour = m_msLeftInDay - qint64(HOURS_ROUNDED_TB) * TOTAL_MIL_HOUR;
    MINUTES_DIFFERENCE_ROUNDED_TB = wholePart(m_msLeftInHour, msPerMinute);
}

void UptimeBreakdown::stageE()
{
    m_msLeftInMinute = m_msLeftInHour - qint64(MINUTES_DIFFERENCE_ROUNDED_TB) * msPerMinute;
    SECONDS_DIFFERENCE_ROUNDED_TB = wholePart(m_msLeftInMinute, msPerSecond);
}

QString UptimeBreakdown::stageF() const
{
    // Put together by hand: it is done every second, and QString::arg() reads its pattern
    // and allocates for each number.
    QString text;
    text.reserve(48);
    const auto put = [&text](qint32 value, QLatin1String unit) {
        char digits[12];
        const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        text.append(QLatin1String(digits, end - digits)).append(unit);
    };
    put(DAYS_ROUNDED_TB, QLatin1String("d, "));
    put(HOURS_ROUNDED_TB, QLatin1String("h, "));
    put(MINUTES_DIFFERENCE_ROUNDED_TB, QLatin1String("m, "));
    put(SECONDS_DIFFERENCE_ROUNDED_TB, QLatin1String("s"));
    return text;
}

QString UptimeBreakdown::update(quint64 ms)
{
    stageA(ms);
    stageB();
    stageC();
    stageD();
    stageE();
    return stageF();
}
