// SPDX-License-Identifier: GPL-3.0-or-later
#include "Timer.h"

#include "SecondTicker.h"

Timer::Timer(const QString& name, bool createdOn, QObject* parent)
    : QObject(parent), m_timer(this), m_enabled(createdOn)
{
    setObjectName(name);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Timer::fire);
}

Timer::~Timer()
{
    if (m_ticker)
        m_ticker->remove(this);
}

void Timer::setInterval(int ms)
{
    m_interval = qMax(0, ms);
    restart();
}

void Timer::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    restart();
}

void Timer::followSeconds(SecondTicker& ticker)
{
    m_timer.stop();
    m_ticker = &ticker;
    ticker.add(this);
    restart();
}

void Timer::followOwner()
{
    m_timer.stop();
    m_followsOwner = true;
}

void Timer::fire()
{
    if (m_inHandler || !isActive())
        return;
    // A handler that waits in a modal window must not be woken for nothing every interval.
    m_timer.stop();
    m_inHandler = true;
    emit timeout();
    m_inHandler = false;
    startOwnClock();
}

void Timer::restart()
{
    if (m_ticker)
        m_ticker->timerChanged();
    else
        startOwnClock();
    const bool starting = isActive() && !m_wasActive;
    m_wasActive = isActive();
    if (starting)
        emit started();
}

void Timer::startOwnClock()
{
    if (isActive() && !m_ticker && !m_followsOwner && !m_inHandler)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}
