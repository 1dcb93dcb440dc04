// SPDX-License-Identifier: GPL-3.0-or-later
#include "SingleInstance.h"

#include "WriteAccess.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <chrono>
#include <csignal>
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

// The settings file's path with every folder that exists resolved, so that two spellings of
// one folder (a link to it, "..") give one name, before and after the folder is made.
QString settledPath(const QString& settingsFilePath)
{
    const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(settingsFilePath));
    QString rest = QFileInfo(path).fileName();
    for (QString folder = QFileInfo(path).absolutePath();;) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (!canonical.isEmpty())
            return QDir::cleanPath(canonical + QLatin1Char('/') + rest);
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder)
            return path;
        rest = QFileInfo(folder).fileName() + QLatin1Char('/') + rest;
        folder = parent;
    }
}
} // namespace

SingleInstance::SingleInstance(const QString& settingsFilePath)
{
    QString runtimeProblem;
    const QString runtimePath = runtimeLockPathFor(settingsFilePath, &runtimeProblem);
    Lock runtime = Lock::Failed;
    if (!runtimePath.isEmpty()) {
        runtime = take(runtimePath, m_runtimeFd, runtimeProblem);
        if (runtime == Lock::HeldElsewhere) {
            m_state = State::HeldElsewhere;
            return;
        }
    }
    // Also where the runtime lock is held: a start whose environment names no runtime folder
    // finds the clock here.
    const QString lockFilePath = lockFilePathFor(settingsFilePath);
    QString besideProblem;
    const Lock beside = takeBesideSettings(lockFilePath, besideProblem);
    if (beside == Lock::HeldElsewhere) {
        m_state = State::HeldElsewhere;
        if (m_runtimeFd >= 0)
            ::close(m_runtimeFd);
        m_runtimeFd = -1;
        return;
    }
    if (runtime == Lock::Taken) {
        m_state = State::Held;
    } else if (beside == Lock::Taken) {
        m_state = State::Held;
        if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
            m_problem =
                QStringLiteral("%1; the lock on %2 serves alone").arg(runtimeProblem, lockFilePath);
    } else {
        m_problem = QStringLiteral("%1; %2").arg(runtimeProblem, besideProblem);
    }
}

SingleInstance::~SingleInstance()
{
    for (const int fd : {m_runtimeFd, m_besideFd}) {
        if (fd >= 0)
            ::close(fd);
    }
}

QString SingleInstance::lockFilePathFor(const QString& settingsFilePath)
{
    return QFileInfo(settingsFilePath).path() + QStringLiteral("/QM_UTC.instance.lock");
}

QString SingleInstance::runtimeLockPathFor(const QString& settingsFilePath, QString* problem)
{
    const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const auto refuse = [&](const QString& why) {
        if (problem)
            *problem = why;
        return QString();
    };
    if (folder.isEmpty())
        return refuse(QStringLiteral("XDG_RUNTIME_DIR is not set"));
    struct stat status = {};
    if (!QDir::isAbsolutePath(folder) ||
        ::lstat(QFile::encodeName(folder).constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return refuse(QStringLiteral("XDG_RUNTIME_DIR %1 is no folder").arg(folder));
    // Anyone else who could write there could take the lock first, or replace it.
    if (status.st_uid != ::geteuid() || (status.st_mode & 077) != 0)
        return refuse(
            QStringLiteral("XDG_RUNTIME_DIR %1 is not a folder of your own closed to others")
                .arg(folder));
    const QByteArray path = QFile::encodeName(settledPath(settingsFilePath));
    return QDir(folder).filePath(
        QStringLiteral("qm-utc-%1.lock")
            .arg(QLatin1String(
                QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(32))));
}

SingleInstance::Lock SingleInstance::takeBesideSettings(const QString& lockFilePath,
                                                        QString& problem)
{
    const QString folder = QFileInfo(lockFilePath).path();
    if (const QString made = WriteAccess::makePrivateFolder(folder); !made.isEmpty()) {
        problem = made;
        return Lock::Failed;
    }
    struct stat dir = {};
    if (::stat(QFile::encodeName(folder).constData(), &dir) == 0 &&
        WriteAccess::othersMayWrite(dir)) {
        problem =
            QStringLiteral("no lock is made in %1, a folder other users can change").arg(folder);
        return Lock::Failed;
    }
    return take(lockFilePath, m_besideFd, problem);
}

SingleInstance::Lock SingleInstance::take(const QString& path, int& fd, QString& problem)
{
    // No link, and nothing that could make open() wait.
    const QByteArray name = QFile::encodeName(path);
    fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) {
        problem = QStringLiteral("cannot open %1: %2").arg(path, reason(errno));
        return Lock::Failed;
    }
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        problem = QStringLiteral("%1 is not a regular file").arg(path);
        ::close(fd);
        fd = -1;
        return Lock::Failed;
    }
    if ((status.st_mode & 077) && status.st_uid == ::geteuid())
        ::fchmod(fd, 0600);

    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // Only for the next start's message: without it, that start says less.
        const QByteArray pid = QByteArray::number(::getpid()) + '\n';
        if (::ftruncate(fd, 0) == 0)
            (void)!::pwrite(fd, pid.constData(), static_cast<size_t>(pid.size()), 0);
        return Lock::Taken;
    }
    const int lockError = errno;
    Lock result = Lock::HeldElsewhere;
    if (lockError != EWOULDBLOCK) {
        problem = QStringLiteral("cannot lock %1: %2").arg(path, reason(lockError));
        result = Lock::Failed;
    } else {
        // The holder writes its id right after taking the lock; a start at that very moment
        // waits for it briefly. A number of a process that is gone names nobody.
        for (int tries = 0; tries < 50 && (m_otherPid = pidIn(fd)) == 0; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (m_otherPid > 0 && ::kill(static_cast<pid_t>(m_otherPid), 0) != 0 && errno == ESRCH)
            m_otherPid = 0;
    }
    ::close(fd);
    fd = -1;
    return result;
}
