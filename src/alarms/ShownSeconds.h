#pragma once

#include "platform/LocalTimeOfDay.h"

#include <QList>
#include <deque>

// The seconds the clock has shown, newest last, each with a serial number. Every alarm looks
// at all the seconds shown since its own previous tick, so a late, early or bunched tick
// neither skips nor repeats one.
class ShownSeconds
{
public:
    struct Second
    {
        quint64 serial = 0;
        QDate date;
        QString time24;
    };

    // Records the reading if it shows another second than the last one recorded.
    void record(const LocalTimeOfDay& reading);

    quint64 lastSerial() const { return m_nextSerial - 1; }
    // The seconds recorded after the given serial, oldest first.
    QList<Second> since(quint64 serial) const;

private:
    // Far more than any tick can fall behind while the clock keeps ticking.
    static constexpr size_t capacity = 120;

    std::deque<Second> m_seconds;
    quint64 m_nextSerial = 1;
};
