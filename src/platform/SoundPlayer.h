// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

// What to play: a sound file (empty: the desktop's alarm sound), how loud on the desktop's
// volume scale, how long its fade-in takes, and whether it plays once or until stopped.
struct SoundRequest
{
    QString file;
    int volume = 80;
    int fadeSeconds = 0;
    bool once = false;

    bool operator==(const SoundRequest&) const = default;
};

// Plays the alarm sound without ever making the caller wait. A real one plays through the
// desktop's sound server; tests use one that records.
class SoundPlayer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Plays the request in place of whatever plays now.
    virtual void play(const SoundRequest& request) = 0;
    // Silence, at once.
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;

    // One that never makes a sound, for programs that need none.
    static SoundPlayer& silent();

signals:
    // Something went wrong with the sound, in one line for the user; it may still play (the
    // desktop's sound in place of a file that failed).
    void problem(const QString& reason);
    // The sound ended by itself: a sound played once is over, or it could not play.
    void ended();
};
