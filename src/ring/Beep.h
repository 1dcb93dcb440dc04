// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SoundSource.h"

// The last resort when no sound file can be played: four short beeps at 880 Hz, then silence,
// one second in all.
class Beep final : public SoundSource
{
public:
    int rate() const override { return sampleRate; }
    int channels() const override { return 1; }
    std::size_t read(float* out, std::size_t frames) override;
    bool rewind() override;

private:
    static constexpr int sampleRate = 48000;
    std::size_t m_position = 0;
};
