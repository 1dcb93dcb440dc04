// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LocalTimeOfDay.h"

#include <QtGlobal>

// The one place the program reads "now". Tests substitute a clock they advance by hand.
class TimeSource
{
public:
    virtual ~TimeSource() = default;

    virtual qint64 msSinceEpoch() const = 0;
    // Includes time spent suspended, so the uptime keeps counting across a sleep.
    virtual quint64 msSinceBoot() const = 0;

    LocalTimeOfDay localTimeOfDay() const
    {
        LocalTimeOfDay reading = LocalTimeOfDay::at(msSinceEpoch());
        reading.msSinceBoot = msSinceBoot();
        return reading;
    }
};
