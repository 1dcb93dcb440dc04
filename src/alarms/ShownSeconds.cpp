// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShownSeconds.h"

void ShownSeconds::record(const LocalTimeOfDay& reading)
{
    if (m_lastEpochSecond && reading.epochSecond) {
        const qint64 gap = *reading.epochSecond - *m_lastEpochSecond;
        if (gap > 1 && gap <= catchUpSeconds) {
            for (qint64 second = *m_lastEpochSecond + 1; second < *reading.epochSecond; ++second)
                append(LocalTimeOfDay::at(second * 1000));
        }
    }
    append(reading);
}

void ShownSeconds::append(const LocalTimeOfDay& reading)
{
    if (reading.epochSecond)
        m_lastEpochSecond = reading.epochSecond;
    if (!m_seconds.empty() && m_seconds.back().date == reading.date &&
        m_seconds.back().time24 == reading.text24)
        return;
    m_seconds.push_back({m_nextSerial++, reading.date, reading.text24});
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
