#pragma once

#include "TimeSource.h"

class SystemTimeSource final : public TimeSource
{
public:
    qint64 msSinceEpoch() const override;
    quint64 msSinceBoot() const override;
};
