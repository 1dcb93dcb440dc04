// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class SecondTicker;

// A named periodic callback with an interval and an on/off state, kept apart: a timer that is
// on with interval 0 never fires, and every start (off to on, or a new interval) begins a full
// interval. Its handler is never entered again while it still runs, for example while it waits
// in a modal window, and a timer with a period of its own does not wake meanwhile: its next
// full interval begins when the handler returns, if it is still on.
//
// A timer that follows a SecondTicker fires once per whole second of the wall clock instead of
// running its own period, so that all such timers share one wake-up a second. One that follows
// its owner is fired by the owner alone.
class Timer : public QObject
{
    Q_OBJECT

public:
    Timer(const QString& name, bool createdOn, QObject* parent);
    ~Timer() override;

    void setInterval(int ms);
    int interval() const { return m_interval; }
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }
    // On and with an interval: it fires.
    bool isActive() const { return m_enabled && m_interval > 0; }
    bool isInHandler() const { return m_inHandler; }

    void followSeconds(SecondTicker& ticker);
    // Fires only when its owner calls fire(), for timers that must tick right after an event
    // rather than on a clock of their own.
    void followOwner();

    // Runs the handler now, unless it is already running. The ticker and tests use it.
    void fire();

signals:
    void timeout();
    // It went from not firing to firing: switched on with an interval, or given one while on.
    void started();

private:
    void restart();
    void startOwnClock();

    QTimer m_timer;
    QPointer<SecondTicker> m_ticker;
    int m_interval = 0;
    bool m_enabled = false;
    bool m_inHandler = false;
    bool m_wasActive = false;
    bool m_followsOwner = false;
};
