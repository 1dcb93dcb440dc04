// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TimeSource.h"

#include <QDateTime>

// A clock that stands still until the test moves it.
class FakeTimeSource final : public TimeSource
{
public:
    qint64 msSinceEpoch() const override { return m_epochMs; }
    quint64 msSinceBoot() const override { return m_bootMs; }

    void setEpochMs(qint64 ms) { m_epochMs = ms; }
    // Local wall-clock time, interpreted in the process's time zone.
    void setLocal(const QDateTime& local) { m_epochMs = local.toMSecsSinceEpoch(); }
    void setBootMs(quint64 ms) { m_bootMs = ms; }
    void advanceMs(qint64 ms)
    {
        m_epochMs += ms;
        m_bootMs += static_cast<quint64>(ms);
    }

private:
    qint64 m_epochMs = 0;
    quint64 m_bootMs = 0;
};
