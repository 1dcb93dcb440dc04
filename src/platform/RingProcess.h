// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SoundPlayer.h"

#include <QPointer>

class QProcess;

// Plays the alarm sound in the program qm-utc-ring, a child process started for each sound and
// killed to stop it: nothing of the sound is loaded in the clock, a sound server that hangs
// holds up only the child, and stopping is immediate. The child's lines on standard error are
// its problems; it dies with the clock.
class RingProcess final : public SoundPlayer
{
    Q_OBJECT

public:
    explicit RingProcess(QObject* parent = nullptr);
    ~RingProcess() override;

    void play(const SoundRequest& request) override;
    void stop() override;
    bool isPlaying() const override;

    // Where the program is: beside the running program (as in a build), or in the folder
    // installed for it; empty where neither has it.
    static QString programPath();

private:
    void readProblems();
    void finished();

    QPointer<QProcess> m_process;
    QByteArray m_partialLine;
};
