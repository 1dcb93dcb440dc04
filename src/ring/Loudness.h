// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How loud the ring is at each moment. The volume is a percentage on the scale of the desktop's
// volume sliders (the sound server's own: the fraction cubed, so 50 % is about -18 dB); the
// fade-in rises from 30 dB below it, quiet but audible, evenly in decibels to the full volume.
class Loudness
{
public:
    static constexpr double fadeFloorDb = -30.0;

    Loudness(int volumePercent, double fadeSeconds);

    // The factor for the samples `seconds` after the sound began.
    float gainAt(double seconds) const;

private:
    double m_full;
    double m_fadeSeconds;
};
