// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmMatcher.h"

#include "ShownSeconds.h"

void AlarmMatcher::arm(const ShownSeconds& shown)
{
    m_seenUpTo = shown.lastSerial();
}

bool AlarmMatcher::check(const ShownSeconds& shown, const QString& alarmTime)
{
    // A changed time is a new alarm, free to fire again today.
    if (alarmTime != m_checkedTime) {
        m_checkedTime = alarmTime;
        m_firedOn = QDate();
    }
    bool fires = false;
    for (const ShownSeconds::Second& second : shown.since(m_seenUpTo)) {
        if (second.time24 == alarmTime && second.date != m_firedOn) {
            m_firedOn = second.date;
            fires = true;
        }
    }
    m_seenUpTo = shown.lastSerial();
    return fires;
}
