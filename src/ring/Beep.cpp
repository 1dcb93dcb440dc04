// SPDX-License-Identifier: GPL-3.0-or-later
#include "Beep.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double pitch = 880.0;
constexpr double beepSeconds = 0.1;
constexpr double periodSeconds = 0.15; // a beep and the gap after it
constexpr int beeps = 4;
constexpr double lengthSeconds = 1.0;
// Softened edges, so that a beep does not click.
constexpr double edgeSeconds = 0.005;

float sampleAt(double t)
{
    const double inPeriod = std::fmod(t, periodSeconds);
    if (t >= beeps * periodSeconds || inPeriod >= beepSeconds)
        return 0.0F;
    const double edge =
        std::min({1.0, inPeriod / edgeSeconds, (beepSeconds - inPeriod) / edgeSeconds});
    return static_cast<float>(0.5 * edge * std::sin(2.0 * std::numbers::pi * pitch * t));
}
} // namespace

std::size_t Beep::read(float* out, std::size_t frames)
{
    const auto length = static_cast<std::size_t>(lengthSeconds * sampleRate);
    const std::size_t count = std::min(frames, length - std::min(m_position, length));
    for (std::size_t i = 0; i < count; ++i)
        out[i] = sampleAt(static_cast<double>(m_position + i) / sampleRate);
    m_position += count;
    return count;
}

bool Beep::rewind()
{
    m_position = 0;
    return true;
}
