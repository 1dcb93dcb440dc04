// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// One clock per user and settings file. The clock holds an exclusive lock (flock) on a file
// in each of two places that only the user can change: the session's runtime folder
// ($XDG_RUNTIME_DIR, where it is the user's own and closed to others) and the settings folder
// (QM_UTC.instance.lock, unless others can change that folder). The system releases both
// however the holder ends. A start runs the clock only when it holds at least one of them and
// finds neither held by a running clock, so a start finds the running clock whether or not its
// environment names the runtime folder, and whatever was done to one of the files meanwhile.
class SingleInstance
{
public:
    enum class State
    {
        Held,          // this process runs the clock
        HeldElsewhere, // another process of this user runs it: otherPid()
        Unavailable    // no lock could be had: problem()
    };

    explicit SingleInstance(const QString& settingsFilePath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // The lock beside the settings file.
    static QString lockFilePathFor(const QString& settingsFilePath);
    // The lock in the runtime folder; empty, with the reason in `problem`, where
    // $XDG_RUNTIME_DIR is unset or not a folder of the user's own that others cannot enter.
    static QString runtimeLockPathFor(const QString& settingsFilePath, QString* problem = nullptr);

    State state() const { return m_state; }
    // The running clock's process id; 0 when it cannot be told.
    qint64 otherPid() const { return m_otherPid; }
    // Why the state is Unavailable, or why a runtime folder that is set does not serve.
    QString problem() const { return m_problem; }

private:
    enum class Lock
    {
        Taken,
        HeldElsewhere,
        Failed
    };
    // Takes the lock on the file at `path` into `fd`; why it failed goes to `problem`.
    Lock take(const QString& path, int& fd, QString& problem);
    Lock takeBesideSettings(const QString& lockFilePath, QString& problem);

    int m_runtimeFd = -1;
    int m_besideFd = -1;
    State m_state = State::Unavailable;
    qint64 m_otherPid = 0;
    QString m_problem;
};
