// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShownSeconds.h"

#include "AlarmTimeText.h"

std::optional<qint64> ShownSeconds::wallOf(QDate date, const QString& time24)
{
    if (!date.isValid() || !isRealAlarmTime(time24))
        return std::nullopt;
    const auto field = [&](int at) {
        return time24.mid(at, 2).toInt();
    };
    return date.toJulianDay() * 86400 + field(0) * 3600 + field(3) * 60 + field(6);
}

void ShownSeconds::record(const LocalTimeOfDay& reading)
{
    GapCause cause = GapCause::Unknown;
    if (m_lastEpochSecond && reading.epochSecond) {
        const qint64 gap = *reading.epochSecond - *m_lastEpochSecond;
        if (gap > 1 && gap <= catchUpSeconds) {
            for (qint64 second = *m_lastEpochSecond + 1; second < *reading.epochSecond; ++second)
                append(LocalTimeOfDay::at(second * 1000), GapCause::Unknown);
        }
        // The uptime counts sleep but not a change of the system clock.
        if (m_lastBootMs && reading.msSinceBoot && *reading.msSinceBoot >= *m_lastBootMs) {
            const auto upFor = qint64((*reading.msSinceBoot - *m_lastBootMs) / 1000);
            cause = upFor + catchUpSeconds >= gap ? GapCause::Asleep : GapCause::ClockSetForward;
        }
    }
    if (reading.msSinceBoot)
        m_lastBootMs = reading.msSinceBoot;
    append(reading, cause);
}

void ShownSeconds::append(const LocalTimeOfDay& reading, GapCause cause)
{
    std::optional<qint64> epochStep;
    if (reading.epochSecond && m_lastEpochSecond)
        epochStep = *reading.epochSecond - *m_lastEpochSecond;
    if (reading.epochSecond)
        m_lastEpochSecond = reading.epochSecond;
    if (!m_seconds.empty() && m_seconds.back().date == reading.date &&
        m_seconds.back().time24 == reading.text24)
        return;
    Second second;
    second.serial = m_nextSerial++;
    second.date = reading.date;
    second.time24 = reading.text24;
    const std::optional<qint64> wall = wallOf(reading.date, reading.text24);
    if (wall) {
        second.wall = *wall;
        if (m_lastWall && *wall - *m_lastWall > catchUpSeconds) {
            second.gapFrom = m_lastWall;
            // A clock that moved on by a few seconds while the local time jumped: the time
            // zone's offset changed, as when summer time begins.
            const bool offsetMoved = epochStep && *wall - *m_lastWall - *epochStep > catchUpSeconds;
            second.gapCause = offsetMoved ? GapCause::ZoneChanged : cause;
        }
        m_lastWall = wall;
    }
    m_seconds.push_back(second);
    if (m_seconds.size() > capacity)
        m_seconds.pop_front();
}

QList<ShownSeconds::Second> ShownSeconds::since(quint64 serial) const
{
    // Serials are consecutive, so the first newer second is found by arithmetic.
    if (m_seconds.empty() || serial >= m_seconds.back().serial)
        return {};
    const quint64 first = m_seconds.front().serial;
    const auto from = serial < first ? 0 : static_cast<std::ptrdiff_t>(serial - first + 1);
    return QList<Second>(m_seconds.begin() + from, m_seconds.end());
}

std::optional<ShownSeconds::Second> ShownSeconds::last() const
{
    if (m_seconds.empty())
        return std::nullopt;
    return m_seconds.back();
}
