#include "ShownSeconds.h"

void ShownSeconds::record(const LocalTimeOfDay& reading)
{
    if (!m_seconds.empty() && m_seconds.back().date == reading.date &&
        m_seconds.back().time24 == reading.text24)
        return;
    m_seconds.push_back({m_nextSerial++, reading.date, reading.text24});
    if (m_seconds.size() > capacity)
        m_seconds.pop_front();
}

QList<ShownSeconds::Second> ShownSeconds::since(quint64 serial) const
{
    QList<Second> newer;
    for (const Second& second : m_seconds) {
        if (second.serial > serial)
            newer.append(second);
    }
    return newer;
}
