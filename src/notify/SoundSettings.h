// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SoundPlayer.h"

class SettingsStore;

// The alarm sound as the settings file sets it, every value brought into its range: a number
// outside it is clamped, anything else counts as the default; either is said once on standard
// error. The fade-in is at most the ring time.
struct SoundSettings
{
    static constexpr int defaultVolume = 80;
    static constexpr int defaultFadeSeconds = 10;
    static constexpr int defaultRingMinutes = 10;
    static constexpr int longestRingMinutes = 24 * 60;

    static SoundSettings read(const SettingsStore& store);

    // What plays: looped with the fade-in, or once at the full volume.
    SoundRequest request(bool once) const;

    QString file; // empty: the desktop's alarm sound
    int volume = defaultVolume;
    int fadeSeconds = defaultFadeSeconds;
    int ringMinutes = defaultRingMinutes;
};
