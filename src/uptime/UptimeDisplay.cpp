// SPDX-License-Identifier: GPL-3.0-or-later
#include "UptimeDisplay.h"

#include "platform/TimeSource.h"
#include "platform/Timer.h"
#include "widgets/BgrColour.h"
#include "widgets/ColourLabel.h"

namespace {
Timer* makeTimer(const char* name, bool createdOn, QObject* owner)
{
    // Interval 0: nothing fires before start() sets them up.
    return new Timer(QLatin1String(name), createdOn, owner);
}
} // namespace

UptimeDisplay::UptimeDisplay(ColourLabel& label, const TimeSource& time, QObject* parent)
    : QObject(parent), UPTIME_TIMER(makeTimer("UPTIME_TIMER", true, this)),
      DAY_UPTIME_TIMER(makeTimer("DAY_UPTIME_TIMER", false, this)),
      HOUR_UPTIME_TIMER(makeTimer("HOUR_UPTIME_TIMER", false, this)),
      MINUTE_UPTIME_TIMER(makeTimer("MINUTE_UPTIME_TIMER", false, this)),
      SECOND_UPTIME_TIMER(makeTimer("SECOND_UPTIME_TIMER", false, this)),
      QM_DISPLAY_UPDATE_TIMER(makeTimer("QM_DISPLAY_UPDATE_TIMER", true, this)), m_label(label),
      m_time(time)
{
    using Display = UptimeDisplay;
    connect(UPTIME_TIMER, &Timer::timeout, this, &Display::UPTIME_TIMER_Timer);
    connect(DAY_UPTIME_TIMER, &Timer::timeout, this, &Display::DAY_UPTIME_TIMER_Timer);
    connect(HOUR_UPTIME_TIMER, &Timer::timeout, this, &Display::HOUR_UPTIME_TIMER_Timer);
    connect(MINUTE_UPTIME_TIMER, &Timer::timeout, this, &Display::MINUTE_UPTIME_TIMER_Timer);
    connect(SECOND_UPTIME_TIMER, &Timer::timeout, this, &Display::SECOND_UPTIME_TIMER_Timer);
    connect(QM_DISPLAY_UPDATE_TIMER, &Timer::timeout, this,
            &Display::QM_DISPLAY_UPDATE_TIMER_Timer);
}

QList<Timer*> UptimeDisplay::timers() const
{
    // In the order A to F, the order they must run in.
    return {UPTIME_TIMER,        DAY_UPTIME_TIMER,    HOUR_UPTIME_TIMER,
            MINUTE_UPTIME_TIMER, SECOND_UPTIME_TIMER, QM_DISPLAY_UPDATE_TIMER};
}

void UptimeDisplay::followSeconds(SecondTicker& ticker)
{
    for (Timer* timer : timers())
        timer->followSeconds(ticker);
}

void UptimeDisplay::start(bool counting)
{
    for (Timer* timer : timers())
        timer->setInterval(1000);
    setCounting(counting);
    if (counting) {
        for (Timer* timer : timers())
            timer->fire();
    }
}

void UptimeDisplay::setCounting(bool on)
{
    for (Timer* timer : timers())
        timer->setEnabled(on);
    if (on) {
        m_label.setBackColor(BgrColour::black);
    } else {
        m_label.setBackColor(BgrColour::red);
        m_label.setText(QStringLiteral("TIMERS DISABLED"));
    }
}

// The six stages ride one wake-up in the order A to F, so the text never shows a passing
// combination such as 60m.
void UptimeDisplay::UPTIME_TIMER_Timer()
{
    m_breakdown.stageA(m_time.msSinceBoot());
}

void UptimeDisplay::DAY_UPTIME_TIMER_Timer()
{
    m_breakdown.stageB();
}

void UptimeDisplay::HOUR_UPTIME_TIMER_Timer()
{
    m_breakdown.stageC();
}

void UptimeDisplay::MINUTE_UPTIME_TIMER_Timer()
{
    m_breakdown.stageD();
}

void UptimeDisplay::SECOND_UPTIME_TIMER_Timer()
{
    m_breakdown.stageE();
}

void UptimeDisplay::QM_DISPLAY_UPDATE_TIMER_Timer()
{
    // Set while the label is hidden too, so that showing it shows the current value at once.
    m_label.setText(m_breakdown.stageF());
}
