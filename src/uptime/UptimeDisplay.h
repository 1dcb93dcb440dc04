// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "UptimeBreakdown.h"

#include <QObject>

class ColourLabel;
class SecondTicker;
class TimeSource;
class Timer;

// The strip's uptime: six stages, each on a timer of its own, writing to one label. Stopped,
// the label says so on red instead of counting.
class UptimeDisplay : public QObject
{
    Q_OBJECT

public:
    UptimeDisplay(ColourLabel& label, const TimeSource& time, QObject* parent);

    Timer* const UPTIME_TIMER;
    Timer* const DAY_UPTIME_TIMER;
    Timer* const HOUR_UPTIME_TIMER;
    Timer* const MINUTE_UPTIME_TIMER;
    Timer* const SECOND_UPTIME_TIMER;
    Timer* const QM_DISPLAY_UPDATE_TIMER;

    // The six stages ride the clock's once-a-second wake-up, after the timers already on it.
    void followSeconds(SecondTicker& ticker);
    // At start-up: counting, the text is there at once rather than after the first tick.
    void start(bool counting);
    // Once counting again, the label keeps its last text until the next tick writes it.
    void setCounting(bool on);

    // The uptime fields, as the six stages last left them.
    const UptimeBreakdown& breakdown() const { return m_breakdown; }

public slots:
    void UPTIME_TIMER_Timer();
    void DAY_UPTIME_TIMER_Timer();
    void HOUR_UPTIME_TIMER_Timer();
    void MINUTE_UPTIME_TIMER_Timer();
    void SECOND_UPTIME_TIMER_Timer();
    void QM_DISPLAY_UPDATE_TIMER_Timer();

private:
    QList<Timer*> timers() const;

    ColourLabel& m_label;
    const TimeSource& m_time;
    UptimeBreakdown m_breakdown;
};
