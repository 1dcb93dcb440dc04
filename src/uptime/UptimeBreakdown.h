// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The uptime in whole days, hours, minutes and seconds, worked out in six stages that each
// read only what the stages before them left in these fields. Run in order A to F on one
// reading they give the settled text; run apart they may show a passing 60m, never worse.
//
// Every field is cut from the millisecond count with integer arithmetic, so a boundary such as
// exactly three days or 2 999 ms can never be pushed across a whole number.
struct UptimeBreakdown
{
    static constexpr qint64 TOTAL_MIL_DAY = 86400000;
    static constexpr qint64 TOTAL_MIL_HOUR = 3600000;

    // Stage A.
    quint64 START_TB = 0;
    qint32 WHOLE_DAYS = 0;
    // Stage B.
    qint32 DAYS_ROUNDED_TB = 0;
    // Stage C.
    qint32 HOURS_ROUNDED_TB = 0;
    // Stage D.
    qint32 MINUTES_DIFFERENCE_ROUNDED_TB = 0;
    // Stage E.
    qint32 SECONDS_DIFFERENCE_ROUNDED_TB = 0;

    // A count whose days would not fit the 32-bit day field (millions of years) reads as the
    // last millisecond of the last day that does.
    void stageA(quint64 ms);
    void stageB();
    void stageC();
    void stageD();
    void stageE();
    // "2d, 5h, 7m, 9s"
    QString stageF() const;

    // All six stages in order on one reading: the settled text.
    QString update(quint64 ms);

private:
    // The exact twins of the fractional "left" fields, in milliseconds, so that each stage
    // cuts its whole value from what the stage before it left over.
    qint64 m_msLeftInDay = 0;
    qint64 m_msLeftInHour = 0;
    qint64 m_msLeftInMinute = 0;
};
