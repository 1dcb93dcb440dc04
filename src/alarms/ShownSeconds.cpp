// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShownSeconds.h"

#include "SecondOfDay.h"

std::optional<qint64> ShownSeconds::localTimeOf(QDate date, const QString& time24)
{
    const std::optional<SecondOfDay> second = SecondOfDay::of(time24);
    if (!date.isValid() || !second)
        return std::nullopt;
    return second->on(date);
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
    const std::optional<qint64> local = localTimeOf(reading.date, reading.text24);
    if (local) {
        second.localTime = *local;
        if (m_lastLocalTime && *local - *m_lastLocalTime > catchUpSeconds) {
            second.gapFrom = m_lastLocalTime;
            // A clock that moved on by a few seconds while the local time jumped: the time
            // zone's offset changed, as when summer time begins.
            const bool offsetMoved =
                epochStep && *local - *m_lastLocalTime - *epochStep > catchUpSeconds;
            second.gapCause = offsetMoved ? GapCause::ZoneChanged : cause;
        }
        m_lastLocalTime = local;
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
