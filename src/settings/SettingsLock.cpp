// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsLock.h"

#include <QFile>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

SettingsLock::SettingsLock(const QString& lockPath) : m_path(lockPath), m_lock(lockPath)
{
    // Older locks count as stale once their holder is gone; a holder that is still alive
    // keeps its lock however old (QLockFile only removes a lock nobody holds).
    m_lock.setStaleLockTime(3s);
}

SettingsLock::Result SettingsLock::tryLock(std::chrono::milliseconds wait)
{
    removeIfAbandoned(m_path);
    if (m_lock.tryLock(wait))
        return Result::Locked;
    return m_lock.error() == QLockFile::LockFailedError ? Result::Busy : Result::Failed;
}

bool SettingsLock::removeIfAbandoned(const QString& lockPath)
{
    const QByteArray name = QFile::encodeName(lockPath);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    struct stat held;
    struct stat current;
    // Holding it ourselves keeps another remover from racing us; the path must still name
    // the file we hold when we unlink it.
    const bool abandoned = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 &&
                           S_ISREG(held.st_mode) && held.st_size == 0 &&
                           ::stat(name.constData(), &current) == 0 &&
                           current.st_dev == held.st_dev && current.st_ino == held.st_ino;
    const bool removed = abandoned && ::unlink(name.constData()) == 0;
    ::close(fd);
    return removed;
}
