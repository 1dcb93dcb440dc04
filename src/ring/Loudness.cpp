// SPDX-License-Identifier: GPL-3.0-or-later
#include "Loudness.h"

#include <algorithm>
#include <cmath>

Loudness::Loudness(int volumePercent, double fadeSeconds)
    : m_full(std::pow(std::clamp(volumePercent, 0, 100) / 100.0, 3)),
      m_fadeSeconds(std::max(fadeSeconds, 0.0))
{}

float Loudness::gainAt(double seconds) const
{
    if (seconds >= m_fadeSeconds)
        return static_cast<float>(m_full);
    const double db = fadeFloorDb * (1.0 - std::max(seconds, 0.0) / m_fadeSeconds);
    return static_cast<float>(m_full * std::pow(10.0, db / 20.0));
}
