// SPDX-License-Identifier: GPL-3.0-or-later
#include "InstanceChannel.h"

#include "SingleInstance.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// A request is one short word and a line break; more is not one of ours.
constexpr int requestLimit = 16;
// Answering a window takes the clock a moment; a loaded machine, a few.
constexpr int answerWaitMs = 5000;

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray wordFor(InstanceChannel::Request request)
{
    return request == InstanceChannel::Request::Snooze ? "snooze\n" : "stop\n";
}

bool addressFor(const QString& path, sockaddr_un& address)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return true;
}

bool sameUser(int fd)
{
    ucred peer = {};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}
} // namespace

InstanceChannel::InstanceChannel(const QString& settingsFilePath, Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler))
{
    sockaddr_un address;
    const QStringList paths = pathsFor(settingsFilePath);
    if (paths.isEmpty()) {
        m_problem = QStringLiteral("no folder of your own closed to others for its socket");
        return;
    }
    m_path = paths.constFirst();
    if (!addressFor(m_path, address)) {
        m_problem = QStringLiteral("%1 is too long a path for a socket").arg(m_path);
        m_path.clear();
        return;
    }
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // Only the clock that holds the instance lock makes one, so a socket left there is a
    // clock's that has ended.
    ::unlink(address.sun_path);
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_fd, 8) != 0) {
        m_problem = QStringLiteral("cannot listen on %1: %2").arg(m_path, reason(errno));
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        m_path.clear();
        return;
    }
    m_notifier = new QSocketNotifier(qintptr(m_fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &InstanceChannel::accept);
}

InstanceChannel::~InstanceChannel()
{
    if (m_fd < 0)
        return;
    delete m_notifier;
    ::close(m_fd);
    ::unlink(QFile::encodeName(m_path).constData());
}

QStringList InstanceChannel::pathsFor(const QString& settingsFilePath)
{
    QStringList paths;
    QString path = SingleInstance::runtimeLockPathFor(settingsFilePath);
    if (!path.isEmpty()) {
        path.chop(int(qstrlen(".lock")));
        paths << path + QStringLiteral(".socket");
    }
    // Beside the settings, as the lock there, where no one else can change the folder: a
    // command whose environment names no runtime folder still finds the clock.
    const QString folder = QFileInfo(SingleInstance::lockFilePathFor(settingsFilePath)).path();
    struct stat status = {};
    if (::stat(QFile::encodeName(folder).constData(), &status) == 0 &&
        status.st_uid == ::geteuid() && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0)
        paths << folder + QStringLiteral("/QM_UTC.instance.socket");
    return paths;
}

void InstanceChannel::accept()
{
    const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0)
        return;
    if (!sameUser(fd)) {
        ::close(fd);
        return;
    }
    // The request may come after the connection: the clock does not wait for it.
    auto* notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, notifier, fd] {
        notifier->setEnabled(false);
        notifier->deleteLater();
        serve(fd);
        ::close(fd);
    });
}

void InstanceChannel::serve(int fd)
{
    char text[requestLimit] = {};
    const ssize_t length = ::recv(fd, text, sizeof text - 1, 0);
    if (length <= 0)
        return;
    const QByteArray request(text, length);
    std::optional<Request> asked;
    for (const Request known : {Request::Snooze, Request::Stop}) {
        if (request == wordFor(known))
            asked = known;
    }
    if (!asked)
        return;
    const QByteArray answer = QByteArray::number(m_handler(*asked)) + '\n';
    (void)!::send(fd, answer.constData(), size_t(answer.size()), MSG_NOSIGNAL);
}

std::optional<int> InstanceChannel::ask(const QString& settingsFilePath, Request request,
                                        QString& problem)
{
    problem = QStringLiteral("no clock is running");
    for (const QString& path : pathsFor(settingsFilePath)) {
        sockaddr_un address;
        if (!addressFor(path, address))
            continue;
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            continue;
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            return askOn(fd, request, problem);
        if (errno != ENOENT && errno != ECONNREFUSED)
            problem = QStringLiteral("cannot reach the clock: %1").arg(reason(errno));
        ::close(fd);
    }
    return std::nullopt;
}

std::optional<int> InstanceChannel::askOn(int fd, Request request, QString& problem)
{
    const auto fail = [&](const QString& why) {
        problem = why;
        ::close(fd);
        return std::nullopt;
    };
    const QByteArray word = wordFor(request);
    if (::send(fd, word.constData(), size_t(word.size()), MSG_NOSIGNAL) != word.size())
        return fail(QStringLiteral("cannot reach the clock: %1").arg(reason(errno)));
    QByteArray answer;
    pollfd wait = {fd, POLLIN, 0};
    while (!answer.endsWith('\n') && answer.size() < requestLimit) {
        if (::poll(&wait, 1, answerWaitMs) <= 0)
            return fail(QStringLiteral("the clock did not answer"));
        char text[requestLimit];
        const ssize_t length = ::recv(fd, text, sizeof text, 0);
        if (length <= 0)
            break;
        answer.append(text, length);
    }
    ::close(fd);
    bool ok = false;
    const int count = answer.trimmed().toInt(&ok);
    if (!ok || count < 0) {
        problem = QStringLiteral("the clock did not answer");
        return std::nullopt;
    }
    return count;
}
