// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LocalTimeOfDay.h"

#include <QList>
#include <deque>

// The seconds the clock has shown, newest last, each with a serial number: one more than the
// second recorded before it. Every alarm looks
// at all the seconds shown since its own previous tick, so a late, early or bunched tick
// neither skips nor repeats one. Seconds that a short stall kept the clock from showing count
// as shown, late. Where the local time moved on by more than that between two seconds shown
// (a sleep, a long stall, the clock set forward, the hour skipped in spring), the later second
// carries the gap, so that the alarms can say what they missed in it.
class ShownSeconds
{
public:
    // What kept the clock from showing the local times of a gap.
    enum class GapCause
    {
        Unknown,
        Asleep,          // the computer slept or the clock was stopped: the uptime went on too
        ClockSetForward, // the system clock moved on further than the uptime
        ZoneChanged,     // the local time moved on further than the system clock
        NotRunning,      // the clock itself was not running
    };

    struct Second
    {
        quint64 serial = 0;
        QDate date;
        QString time24;
        // The local date and time it shows as one count of seconds, every day 24 hours long
        // (SecondOfDay::on): a clock set back or the hour repeated in autumn counts back.
        qint64 localTime = 0;
        // Set when the clock could not show the local times between the second shown before it
        // and this one: that earlier second's local time.
        std::optional<qint64> gapFrom;
        GapCause gapCause = GapCause::Unknown;
    };

    // Forward gaps up to this long between two readings are caught up.
    static constexpr qint64 catchUpSeconds = 60;

    // A date and an HH:MM:SS text as Second::localTime counts them; nothing for a text of
    // another form.
    static std::optional<qint64> localTimeOf(QDate date, const QString& time24);

    // Records the reading if it shows another second than the last one recorded, after the
    // seconds a short stall skipped.
    void record(const LocalTimeOfDay& reading);

    quint64 lastSerial() const { return m_nextSerial - 1; }
    // The seconds recorded after the given serial, oldest first.
    QList<Second> since(quint64 serial) const;
    // The newest second recorded, if any.
    std::optional<Second> last() const;
    // The second since the epoch of the newest reading that had one.
    std::optional<qint64> lastEpochSecond() const { return m_lastEpochSecond; }

private:
    void append(const LocalTimeOfDay& reading, GapCause cause);

    // Far more than any tick can fall behind while the clock keeps ticking.
    static constexpr size_t capacity = 4 * catchUpSeconds;

    std::deque<Second> m_seconds;
    std::optional<qint64> m_lastEpochSecond;
    std::optional<quint64> m_lastBootMs;
    std::optional<qint64> m_lastLocalTime;
    quint64 m_nextSerial = 1;
};
