// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

class ShownSeconds;

// Decides, tick by tick, whether one daily alarm fires: once for each second the clock showed
// its time since the previous tick, and at most once per date for a given time, so that a
// clock set back or the hour repeated at the end of summer time does not fire it twice.
class AlarmMatcher
{
public:
    // The alarm's timer has just started: only seconds shown from now on count.
    void arm(const ShownSeconds& shown);

    // One tick: true when the alarm fires now.
    bool check(const ShownSeconds& shown, const QString& alarmTime);

private:
    quint64 m_seenUpTo = 0;
    QString m_checkedTime;
    QDate m_firedOn;
};
