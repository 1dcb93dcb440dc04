// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoundPlayer.h"

namespace {
class SilentPlayer final : public SoundPlayer
{
public:
    void play(const SoundRequest&) override {}
    void stop() override {}
    bool isPlaying() const override { return false; }
};
} // namespace

SoundPlayer& SoundPlayer::silent()
{
    static SilentPlayer player;
    return player;
}
