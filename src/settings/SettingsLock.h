// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QString>
#include <chrono>

// The lock a save holds while it reads and replaces the settings file. Waits briefly, never
// long enough to freeze the clock, and never takes a lock that a live writer holds.
class SettingsLock
{
public:
    enum class Result
    {
        Locked,
        Busy,  // another writer holds it
        Failed // the lock file cannot be made (read-only folder and the like)
    };

    explicit SettingsLock(const QString& lockPath);
    Result tryLock(std::chrono::milliseconds wait);

    // Removes an empty lock file that no process holds: its writer died between creating it
    // and filling it. Live writers hold theirs from the moment they create it.
    static bool removeIfAbandoned(const QString& lockPath);

private:
    QString m_path;
    QLockFile m_lock;
};
