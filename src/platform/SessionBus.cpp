// SPDX-License-Identifier: GPL-3.0-or-later
#include "SessionBus.h"

#include "ProblemReport.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QFile>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// An address the bridge gives up on at once: no socket can be under /dev/null.
constexpr char unreachable[] = "unix:path=/dev/null/no-bus";

// A value of a D-Bus address, with its %XX escapes undone.
QByteArray unescaped(const QByteArray& value)
{
    return QByteArray::fromPercentEncoding(value);
}

// The Unix socket address of one entry ("unix:path=..." or "unix:abstract=..."); empty where
// the entry is something else.
QByteArray socketOf(const QByteArray& entry, bool& abstract)
{
    if (!entry.startsWith("unix:"))
        return {};
    for (const QByteArray& pair : entry.mid(5).split(',')) {
        const qsizetype equals = pair.indexOf('=');
        const QByteArray key = pair.left(equals);
        if (equals > 0 && (key == "path" || key == "abstract")) {
            abstract = key == "abstract";
            return unescaped(pair.mid(equals + 1));
        }
    }
    return {};
}

bool waitFor(int fd, short events, const QElapsedTimer& clock, std::chrono::milliseconds within)
{
    for (;;) {
        const qint64 left = within.count() - clock.elapsed();
        if (left <= 0)
            return false;
        pollfd one = {fd, events, 0};
        const int ready = ::poll(&one, 1, static_cast<int>(left));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

enum class Reply
{
    Answered,
    Nobody, // nothing listens there: the next entry is tried
    Silent
};

// The first step of every connection: the bus answers it with "OK" or "REJECTED".
Reply askSocket(const QByteArray& name, bool abstract, const QElapsedTimer& clock,
                std::chrono::milliseconds within)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const qsizetype room = qsizetype(sizeof address.sun_path) - 1;
    if (name.isEmpty() || name.size() > room)
        return Reply::Nobody;
    std::memcpy(address.sun_path + (abstract ? 1 : 0), name.constData(), size_t(name.size()));
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + name.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return Reply::Silent;
    Reply reply = Reply::Silent;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 &&
        errno != EINPROGRESS && errno != EAGAIN) {
        reply = Reply::Nobody;
    } else if (waitFor(fd, POLLOUT, clock, within)) {
        const QByteArray hello = QByteArray(1, '\0') + "AUTH EXTERNAL " +
                                 QByteArray::number(::geteuid()).toHex() + "\r\n";
        if (::send(fd, hello.constData(), size_t(hello.size()), MSG_NOSIGNAL) == hello.size()) {
            QByteArray heard;
            char buffer[256];
            while (!heard.contains('\n') && waitFor(fd, POLLIN, clock, within)) {
                const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
                if (got <= 0)
                    break;
                heard.append(buffer, got);
            }
            // "OK", "REJECTED" or anything else: someone answers.
            if (heard.contains('\n'))
                reply = Reply::Answered;
        }
    }
    ::close(fd);
    return reply;
}
} // namespace

QByteArray SessionBus::address()
{
    const QByteArray named = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (!named.isEmpty())
        return named;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        return {};
    const QByteArray path = runtime + "/bus";
    struct stat status = {};
    if (::stat(path.constData(), &status) != 0 || !S_ISSOCK(status.st_mode) ||
        status.st_uid != ::getuid())
        return {};
    return "unix:path=" + path.toPercentEncoding("/");
}

SessionBus::State SessionBus::ask(const QByteArray& address, std::chrono::milliseconds within)
{
    if (address.isEmpty())
        return State::None;
    QElapsedTimer clock;
    clock.start();
    // libdbus tries the entries in turn until one connects.
    for (const QByteArray& entry : address.split(';')) {
        if (entry.isEmpty())
            continue;
        bool abstract = false;
        const QByteArray socket = socketOf(entry, abstract);
        if (socket.isEmpty())
            return State::Silent;
        switch (askSocket(socket, abstract, clock, within)) {
        case Reply::Answered:
            return State::Answers;
        case Reply::Silent:
            return State::Silent;
        case Reply::Nobody:
            break;
        }
    }
    // Nothing listens where the bus is named: a connection fails at once, and the address
    // being named, libdbus starts nothing.
    return State::None;
}

SessionBus::State SessionBus::state()
{
    static const State asked = ask(address(), patience);
    return asked;
}

void SessionBus::prepareAccessibility()
{
    const State bus = state();
    if (bus == State::Answers)
        return;
    if (bus == State::Silent)
        ProblemReport::report(
            QStringLiteral("the session bus (%1) does not answer: screen readers and desktop "
                           "notifications are off for this run")
                .arg(QString::fromLocal8Bit(address())));
    const bool wasSet = qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray was = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", unreachable);
    // The bridge is made at the first question about it, and looks for the bus only then.
    QAccessible::isActive();
    if (wasSet)
        qputenv("DBUS_SESSION_BUS_ADDRESS", was);
    else
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
}
