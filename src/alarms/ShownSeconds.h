// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LocalTimeOfDay.h"

#include <QList>
#include <deque>

// The seconds the clock has shown, newest last, each with a serial number. Every alarm looks
// at all the seconds shown since its own previous tick, so a late, early or bunched tick
// neither skips nor repeats one. Seconds that a short stall kept the clock from showing count
// as shown, late; a longer gap (a sleep, the clock set forward) is not caught up.
class ShownSeconds
{
public:
    struct Second
    {
        quint64 serial = 0;
        QDate date;
        QString time24;
    };

    // Forward gaps up to this long between two readings are caught up.
    static constexpr qint64 catchUpSeconds = 60;

    // Records the reading if it shows another second than the last one recorded, after the
    // seconds a short stall skipped.
    void record(const LocalTimeOfDay& reading);

    quint64 lastSerial() const { return m_nextSerial - 1; }
    // The seconds recorded after the given serial, oldest first.
    QList<Second> since(quint64 serial) const;

private:
    void append(const LocalTimeOfDay& reading);

    // Far more than any tick can fall behind while the clock keeps ticking.
    static constexpr size_t capacity = 4 * catchUpSeconds;

    std::deque<Second> m_seconds;
    std::optional<qint64> m_lastEpochSecond;
    quint64 m_nextSerial = 1;
};
