// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// One clock per user: an exclusive lock on a file in the settings folder, held for as long as
// this object lives. The operating system releases it when the holder ends in any way, so a
// crash never blocks the next start. The file holds the holder's process id.
class SingleInstance
{
public:
    enum class State
    {
        Held,          // this process runs the clock
        HeldElsewhere, // another process holds the lock: otherPid()
        Unavailable    // no lock could be taken: problem()
    };

    // Creates the folder (0700) and the file (0600) when they are missing.
    explicit SingleInstance(const QString& lockFilePath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // The lock file beside the settings file.
    static QString lockFilePathFor(const QString& settingsFilePath);

    State state() const { return m_state; }
    // The holder's process id as its file gives it; 0 when it gives none.
    qint64 otherPid() const { return m_otherPid; }
    QString problem() const { return m_problem; }

private:
    void fail(const QString& what, const QString& path, int error);

    int m_fd = -1;
    State m_state = State::Unavailable;
    qint64 m_otherPid = 0;
    QString m_problem;
};
