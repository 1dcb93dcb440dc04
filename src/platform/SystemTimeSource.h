// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TimeSource.h"

class SystemTimeSource final : public TimeSource
{
public:
    qint64 msSinceEpoch() const override;
    quint64 msSinceBoot() const override;
};
