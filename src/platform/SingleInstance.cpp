// SPDX-License-Identifier: GPL-3.0-or-later
#include "SingleInstance.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {
QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Creates each missing folder on the way, 0700 whatever the umask. A path part that exists
// but is no folder shows when the file is opened.
QString makeFolders(const QByteArray& folder)
{
    for (qsizetype end = 1; end <= folder.size(); ++end) {
        if (end < folder.size() && folder.at(end) != '/')
            continue;
        const QByteArray part = folder.left(end);
        if (::mkdir(part.constData(), 0700) == 0)
            ::chmod(part.constData(), 0700);
        else if (errno != EEXIST)
            return QStringLiteral("cannot create %1: %2")
                .arg(QFile::decodeName(part), reason(errno));
    }
    return {};
}

qint64 pidIn(int fd)
{
    char text[32] = {};
    const ssize_t length = ::pread(fd, text, sizeof text - 1, 0);
    if (length <= 0)
        return 0;
    char* end = nullptr;
    const long long pid = std::strtoll(text, &end, 10);
    return end != text && (*end == '\n' || *end == '\0') && pid > 0 ? pid : 0;
}
} // namespace

SingleInstance::SingleInstance(const QString& lockFilePath)
{
    const QByteArray path = QFile::encodeName(lockFilePath);
    if (const QString problem = makeFolders(QFile::encodeName(QFileInfo(lockFilePath).path()));
        !problem.isEmpty()) {
        m_problem = problem;
        return;
    }
    // No symbolic link: the lock is ours alone.
    m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0) {
        fail(QStringLiteral("cannot open"), lockFilePath, errno);
        return;
    }
    struct stat status = {};
    if (::fstat(m_fd, &status) == 0 && (status.st_mode & 077) && status.st_uid == ::geteuid())
        ::fchmod(m_fd, 0600);

    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        // Only for the next start's message: without it, that start says less.
        const QByteArray pid = QByteArray::number(::getpid()) + '\n';
        if (::ftruncate(m_fd, 0) == 0)
            (void)!::pwrite(m_fd, pid.constData(), pid.size(), 0);
        m_state = State::Held;
        return;
    }
    if (errno != EWOULDBLOCK) {
        fail(QStringLiteral("cannot lock"), lockFilePath, errno);
        return;
    }

    // The holder writes its id right after taking the lock; a start at that very moment
    // waits for it briefly.
    m_state = State::HeldElsewhere;
    for (int tries = 0; tries < 50 && (m_otherPid = pidIn(m_fd)) == 0; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ::close(m_fd);
    m_fd = -1;
}

SingleInstance::~SingleInstance()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString SingleInstance::lockFilePathFor(const QString& settingsFilePath)
{
    return QFileInfo(settingsFilePath).path() + QStringLiteral("/QM_UTC.instance.lock");
}

void SingleInstance::fail(const QString& what, const QString& path, int error)
{
    m_problem = QStringLiteral("%1 %2: %3").arg(what, path, reason(error));
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_state = State::Unavailable;
}
