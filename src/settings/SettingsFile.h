// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PlainFile.h"
#include "SettingsText.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <chrono>
#include <optional>
#include <sys/stat.h>

class SettingsLock;

// The settings file on disk as the store sees it: read and replaced under its lock, merged with
// what another program wrote meanwhile, judged for whether its alarm commands may run, a damaged
// file copied aside before a rewrite drops what could not be read. Each problem is told to the
// user once, through ProblemReport. The store above keeps the values; this keeps the file.
class SettingsFile
{
public:
    // A read-only file is never changed on disk: a damaged one is only reported.
    SettingsFile(const QString& filePath, bool readOnly);

    const QString& path() const { return m_filePath; }

    // Whether the file differs from what was last read or written (its inode, size or
    // modification time): cheap enough to ask every second.
    bool changedSinceRead() const;
    // The section as the file holds it now (empty when there is no file), or nothing when it
    // cannot be read: readRefusal() says why. At start the file is taken as it is; `running`, a
    // file that others could have changed meanwhile is said so.
    std::optional<SettingsText::Section> read(const QString& section, bool running);

    struct Saving
    {
        // The section as the file held it under the lock, before the changes: what another
        // program wrote meanwhile. Nothing when the save stopped before it could take that.
        std::optional<SettingsText::Section> found;
        // The section as the file holds it now, when the changes reached it.
        std::optional<SettingsText::Section> written;
    };
    // Re-reads the file under its lock and replaces it with the changes applied, so that whatever
    // else is in it stays. Nothing is saved into a file that is only read or could not be read.
    Saving save(const QString& section, const SettingsText::Changes& changes);

    const QString& commandRefusal() const { return m_commandRefusal; }
    const QString& readRefusal() const { return m_readRefusal; }
    void setLockWait(std::chrono::milliseconds wait) { m_lockWait = wait; }

private:
    void refuseToRead(const QString& reason, bool running);
    QString lockPath() const;
    bool mayWrite();
    bool takeLock(SettingsLock& lock);
    std::optional<PlainFile::Reading> readLocked();
    bool replace(const QByteArray& bytes, const PlainFile::Reading& current);
    bool saveFailed(const QString& reason);
    void judgeTrust(const struct stat& file);
    bool keepIfDamaged(const QByteArray& content);

    QString m_filePath;
    QByteArray m_encodedPath; // asked for every second
    PlainFile::Stamp m_stamp; // of the file as last read or written
    QSet<size_t> m_damageReported;
    QSet<size_t> m_damageKept;
    QSet<QString> m_saveFailuresReported;
    QString m_commandRefusal;
    QString m_readRefusal;
    std::chrono::milliseconds m_lockWait{500};
    bool m_readOnly = false;
    bool m_keepMode = false;
    bool m_lockFailureReported = false;
};
