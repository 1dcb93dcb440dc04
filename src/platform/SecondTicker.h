// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class TimeSource;
class Timer;

// Wakes just after each whole second of the wall clock and fires the active timers that follow
// it, in the order they joined. It re-aims at the next boundary on every wake-up, so a resume
// from suspend or a change of the system clock costs at most one late second. While no
// following timer is active it does not wake at all.
class SecondTicker : public QObject
{
    Q_OBJECT

public:
    enum class Mode
    {
        Automatic,
        Manual
    };

    // How long after the boundary it wakes, so that a reading is sure to be in the new second.
    static constexpr int phaseMs = 1;

    explicit SecondTicker(const TimeSource& time, Mode mode = Mode::Automatic,
                          QObject* parent = nullptr);

    void add(Timer* timer);
    void remove(Timer* timer);
    void timerChanged();

    // One second's work: re-aim, then fire the active timers. Manual mode (tests) calls it.
    void tick();

    bool isArmed() const { return m_wakeUp.isActive(); }
    int remainingMs() const { return m_wakeUp.remainingTime(); }

    static int delayToNextSecond(qint64 msSinceEpoch);

signals:
    // Around each second's timers, so that what they change can be shown together, once.
    void aboutToTick();
    void ticked();

private:
    void arm();
    bool anyActive() const;

    const TimeSource& m_time;
    Mode m_mode;
    QTimer m_wakeUp;
    QList<QPointer<Timer>> m_timers;
};
