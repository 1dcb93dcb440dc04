// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

// Samples to ring with: float frames, channels interleaved, from the start again on rewind().
class SoundSource
{
public:
    virtual ~SoundSource() = default;

    virtual int rate() const = 0;
    virtual int channels() const = 0;
    // Up to `frames` frames into `out`; fewer only at the end of the sound, none after it.
    virtual std::size_t read(float* out, std::size_t frames) = 0;
    virtual bool rewind() = 0;
};
