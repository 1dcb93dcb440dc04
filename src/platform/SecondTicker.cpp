// SPDX-License-Identifier: GPL-3.0-or-later
#include "SecondTicker.h"

#include "TimeSource.h"
#include "Timer.h"

SecondTicker::SecondTicker(const TimeSource& time, Mode mode, QObject* parent)
    : QObject(parent), m_time(time), m_mode(mode)
{
    m_wakeUp.setSingleShot(true);
    m_wakeUp.setTimerType(Qt::PreciseTimer);
    connect(&m_wakeUp, &QTimer::timeout, this, &SecondTicker::tick);
}

void SecondTicker::add(Timer* timer)
{
    if (!m_timers.contains(timer))
        m_timers.append(timer);
}

void SecondTicker::remove(Timer* timer)
{
    m_timers.removeAll(timer);
}

void SecondTicker::timerChanged()
{
    if (!isArmed())
        arm();
}

void SecondTicker::tick()
{
    // Aim first: a handler that waits in a modal window must not hold up the next second.
    arm();
    emit aboutToTick();
    const QList<QPointer<Timer>> timers = m_timers;
    for (const QPointer<Timer>& timer : timers) {
        if (timer)
            timer->fire();
    }
    emit ticked();
}

int SecondTicker::delayToNextSecond(qint64 msSinceEpoch)
{
    const qint64 intoSecond = ((msSinceEpoch - phaseMs) % 1000 + 1000) % 1000;
    return static_cast<int>(1000 - intoSecond);
}

void SecondTicker::arm()
{
    if (m_mode == Mode::Manual || !anyActive()) {
        m_wakeUp.stop();
        return;
    }
    m_wakeUp.start(delayToNextSecond(m_time.msSinceEpoch()));
}

bool SecondTicker::anyActive() const
{
    for (const QPointer<Timer>& timer : m_timers) {
        if (timer && timer->isActive())
            return true;
    }
    return false;
}
