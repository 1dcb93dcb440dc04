// SPDX-License-Identifier: GPL-3.0-or-later
#include "SystemTimeSource.h"

#include <ctime>

namespace {
qint64 readMs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}
} // namespace

qint64 SystemTimeSource::msSinceEpoch() const
{
    return readMs(CLOCK_REALTIME);
}

quint64 SystemTimeSource::msSinceBoot() const
{
    return static_cast<quint64>(readMs(CLOCK_BOOTTIME));
}
