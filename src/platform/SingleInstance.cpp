// SPDX-License-Identifier: GPL-3.0-or-later
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

socklen_t abstractAddress(const QByteArray& name, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    // A leading NUL puts the name in the abstract namespace: no file is made anywhere.
    std::memcpy(address.sun_path + 1, name.constData(), static_cast<size_t>(name.size()));
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}
} // namespace

SingleInstance::SingleInstance(const QString& settingsFilePath)
{
    switch (claimName(socketNameFor(settingsFilePath))) {
    case Claim::Held:
        m_state = State::Held;
        return;
    case Claim::HeldElsewhere:
        m_state = State::HeldElsewhere;
        return;
    case Claim::Failed:
        break;
    }
    const QString why = m_problem;
    const QString lockFilePath = lockFilePathFor(settingsFilePath);
    takeLockFile(lockFilePath);
    if (m_state == State::Held)
        m_problem = QStringLiteral("%1; the lock on %2 serves instead").arg(why, lockFilePath);
    else if (m_state == State::Unavailable)
        m_problem = QStringLiteral("%1; %2").arg(why, m_problem);
}

SingleInstance::~SingleInstance()
{
    delete m_answerer;
    if (m_listener >= 0)
        ::close(m_listener);
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

QString SingleInstance::lockFilePathFor(const QString& settingsFilePath)
{
    return QFileInfo(settingsFilePath).path() + QStringLiteral("/QM_UTC.instance.lock");
}

QByteArray SingleInstance::socketNameFor(const QString& settingsFilePath)
{
    const QByteArray path = QFile::encodeName(settledPath(settingsFilePath));
    return "qm-utc/" + QByteArray::number(::geteuid()) + '/' +
           QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(32);
}

SingleInstance::Claim SingleInstance::claimName(const QByteArray& name)
{
    sockaddr_un address;
    const socklen_t length = abstractAddress(name, address);
    const auto* at = reinterpret_cast<const sockaddr*>(&address);
    // A holder that is ending has the name without listening for a moment: ask again.
    for (int tries = 0; tries < 50; ++tries) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) {
            m_problem = QStringLiteral("cannot make a socket: %1").arg(reason(errno));
            return Claim::Failed;
        }
        if (::bind(fd, at, length) == 0 && ::listen(fd, 64) == 0) {
            m_listener = fd;
            return Claim::Held;
        }
        const int bindError = errno;
        ::close(fd);
        if (bindError != EADDRINUSE) {
            m_problem =
                QStringLiteral("cannot hold the clock's socket name: %1").arg(reason(bindError));
            return Claim::Failed;
        }

        // Taken: the connection tells whose process holds it, whatever any file says.
        const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (client < 0) {
            m_problem = QStringLiteral("cannot make a socket: %1").arg(reason(errno));
            return Claim::Failed;
        }
        ucred holder = {};
        socklen_t credLength = sizeof holder;
        const bool connected =
            ::connect(client, at, length) == 0 &&
            ::getsockopt(client, SOL_SOCKET, SO_PEERCRED, &holder, &credLength) == 0;
        ::close(client);
        if (connected && holder.uid == ::geteuid()) {
            m_otherPid = holder.pid;
            return Claim::HeldElsewhere;
        }
        if (connected) {
            m_problem = QStringLiteral("another user's process %1 holds the clock's socket name")
                            .arg(holder.pid);
            return Claim::Failed;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_problem = QStringLiteral("the clock's socket name is held, but its holder does not answer");
    return Claim::Failed;
}

void SingleInstance::takeLockFile(const QString& lockFilePath)
{
    m_state = State::Unavailable;
    const QString folder = QFileInfo(lockFilePath).path();
    if (const QString problem = makeFolders(QFile::encodeName(folder)); !problem.isEmpty()) {
        m_problem = problem;
        return;
    }
    struct stat dir = {};
    if (::stat(QFile::encodeName(folder).constData(), &dir) == 0 &&
        (dir.st_mode & (S_IWGRP | S_IWOTH))) {
        m_problem =
            QStringLiteral("no lock is made in %1, a folder other users can change").arg(folder);
        return;
    }
    // No link, and nothing that could make open() wait.
    const QByteArray path = QFile::encodeName(lockFilePath);
    m_lockFd =
        ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (m_lockFd < 0) {
        m_problem = QStringLiteral("cannot open %1: %2").arg(lockFilePath, reason(errno));
        return;
    }
    struct stat status = {};
    if (::fstat(m_lockFd, &status) != 0 || !S_ISREG(status.st_mode)) {
        m_problem = QStringLiteral("%1 is not a regular file").arg(lockFilePath);
        ::close(m_lockFd);
        m_lockFd = -1;
        return;
    }
    if ((status.st_mode & 077) && status.st_uid == ::geteuid())
        ::fchmod(m_lockFd, 0600);

    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0) {
        // Only for the next start's message: without it, that start says less.
        const QByteArray pid = QByteArray::number(::getpid()) + '\n';
        if (::ftruncate(m_lockFd, 0) == 0)
            (void)!::pwrite(m_lockFd, pid.constData(), static_cast<size_t>(pid.size()), 0);
        m_state = State::Held;
        return;
    }
    const int lockError = errno;
    if (lockError != EWOULDBLOCK) {
        m_problem = QStringLiteral("cannot lock %1: %2").arg(lockFilePath, reason(lockError));
    } else {
        // The holder writes its id right after taking the lock; a start at that very moment
        // waits for it briefly. A number of a process that is gone names nobody.
        m_state = State::HeldElsewhere;
        for (int tries = 0; tries < 50 && (m_otherPid = pidIn(m_lockFd)) == 0; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (m_otherPid > 0 && ::kill(static_cast<pid_t>(m_otherPid), 0) != 0 && errno == ESRCH)
            m_otherPid = 0;
    }
    ::close(m_lockFd);
    m_lockFd = -1;
}

void SingleInstance::answerLaterStarts()
{
    if (m_listener < 0 || m_answerer)
        return;
    m_answerer =
        new QSocketNotifier(m_listener, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(m_answerer, &QSocketNotifier::activated, [listener = m_listener] {
        // The later start learnt what it needed when it connected.
        for (int connection; (connection = ::accept4(listener, nullptr, nullptr,
                                                     SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0;)
            ::close(connection);
    });
}
