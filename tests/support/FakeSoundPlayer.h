// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SoundPlayer.h"

#include <QList>
#include <QStringList>

// Records what would have been heard: every sound asked for, and whether one plays now.
class FakeSoundPlayer final : public SoundPlayer
{
public:
    void play(const SoundRequest& request) override
    {
        played.append(request);
        heard.append(request.once ? QStringLiteral("once") : QStringLiteral("loop"));
        playing = true;
    }
    void stop() override
    {
        playing = false;
        heard.append(QStringLiteral("stop"));
    }
    bool isPlaying() const override { return playing; }

    // The sound ends by itself, having said why where a reason is given.
    void end(const QString& reason = {})
    {
        if (!reason.isEmpty())
            emit problem(reason);
        playing = false;
        emit ended();
    }

    QList<SoundRequest> played;
    // "loop", "once" and "stop", in turn.
    QStringList heard;
    bool playing = false;
};
