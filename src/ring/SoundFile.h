// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SoundSource.h"

#include <memory>
#include <string>

struct sf_private_tag;

// A sound file, read as it plays. It is opened without waiting (a FIFO or a device in its place
// is refused, never read) and only if it is a plain file of at most `largestBytes` that the
// sound library can decode: Ogg Vorbis and Opus (.oga, .ogg, .opus), FLAC, WAV, MP3 and others.
class SoundFile final : public SoundSource
{
public:
    static constexpr long long largestBytes = 200LL * 1000 * 1000;

    // The file, or nothing and why not in words for the user ("is a FIFO").
    static std::unique_ptr<SoundFile> open(const std::string& path, std::string* whyNot);
    ~SoundFile() override;

    int rate() const override { return m_rate; }
    int channels() const override { return m_channels; }
    std::size_t read(float* out, std::size_t frames) override;
    bool rewind() override;

private:
    SoundFile(int descriptor, sf_private_tag* file, int rate, int channels);

    int m_descriptor;
    sf_private_tag* m_file;
    int m_rate;
    int m_channels;
};
