// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProcessLauncher.h"

#include "ProblemReport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#if __has_include(<linux/close_range.h>)
#include <linux/close_range.h>
#endif
#ifndef CLOSE_RANGE_CLOEXEC
#define CLOSE_RANGE_CLOEXEC (1U << 2)
#endif

// Everything from here to launch() may run between fork and exec in a threaded process, so it
// keeps to plain system calls: no allocation, no locks.
namespace {
void markOne(int fd)
{
    const int flags = ::fcntl(fd, F_GETFD);
    if (flags >= 0 && (flags & FD_CLOEXEC) == 0)
        ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
}

bool sweepRange()
{
#ifdef SYS_close_range
    return ::syscall(SYS_close_range, 3U, ~0U, CLOSE_RANGE_CLOEXEC) == 0;
#else
    return false;
#endif
}

// getdents64 directly, because opendir() allocates.
bool sweepListing()
{
    const int dir = ::open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return false;
    alignas(dirent64) char buffer[4096];
    bool complete = true;
    for (;;) {
        const long got = ::syscall(SYS_getdents64, dir, buffer, sizeof buffer);
        if (got <= 0) {
            complete = got == 0;
            break;
        }
        for (long at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            int fd = 0;
            bool number = entry->d_name[0] != '\0';
            for (const char* c = entry->d_name; *c != '\0' && number; ++c) {
                number = *c >= '0' && *c <= '9' && fd < INT_MAX / 10;
                if (number)
                    fd = fd * 10 + (*c - '0');
            }
            if (number && fd >= 3 && fd != dir)
                markOne(fd);
            at += entry->d_reclen;
        }
    }
    ::close(dir);
    return complete;
}

void sweepLoop()
{
    rlim_t top = 65536;
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        top = std::min<rlim_t>(limit.rlim_cur, INT_MAX);
    for (rlim_t fd = 3; fd < top; ++fd)
        markOne(static_cast<int>(fd));
}

// Qt 6.4 ignores the child-process modifier in startDetached(), but its double fork does go
// through fork(), so a fork handler reaches the program's process before exec. The flag keeps
// the handler to our own launches: only the forking thread survives in the child, so the child
// sees that thread's value, and forks made by other threads are left alone.
thread_local bool t_launching = false;

void markInLaunchedChild()
{
    if (t_launching)
        ProcessLauncher::markCloseOnExec();
}

bool forkHandlerInstalled()
{
    static const bool installed = ::pthread_atfork(nullptr, nullptr, &markInLaunchedChild) == 0;
    return installed;
}

class LaunchingScope
{
public:
    LaunchingScope() { t_launching = true; }
    ~LaunchingScope() { t_launching = false; }
    LaunchingScope(const LaunchingScope&) = delete;
    LaunchingScope& operator=(const LaunchingScope&) = delete;
};

LaunchResult failure(const QString& reason)
{
    return {false, reason};
}

// Why programs cannot start in the home folder; empty when they can.
QString homeProblem(const QString& home)
{
    const QByteArray path = QFile::encodeName(home);
    struct stat status = {};
    if (::stat(path.constData(), &status) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (!S_ISDIR(status.st_mode))
        return QStringLiteral("not a folder");
    // What a start there needs: to enter it, as the clock's user.
    if (::faccessat(AT_FDCWD, path.constData(), X_OK, AT_EACCESS) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    return {};
}

// Qt prefixes the failing call ("execv: Permission denied"); the user only needs the cause.
QString withoutCallName(const QString& error)
{
    const qsizetype colon = error.indexOf(QLatin1String(": "));
    if (colon <= 0)
        return error;
    const QStringView call = QStringView(error).left(colon);
    const bool isCallName = std::all_of(call.begin(), call.end(), [](QChar c) {
        return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || c == QLatin1Char('_');
    });
    return isCallName ? error.mid(colon + 2) : error;
}
} // namespace

QString ProcessLauncher::startFolder()
{
    // Commands start where a desktop launcher starts programs, not wherever the clock was
    // started; where the home folder cannot be entered, every start there would fail.
    const QString home = QDir::homePath();
    const QString problem = homeProblem(home);
    if (problem.isEmpty()) {
        m_homeProblemSaid.clear();
        return home;
    }
    const QString said = home + problem;
    if (said != m_homeProblemSaid) {
        m_homeProblemSaid = said;
        ProblemReport::report(
            QStringLiteral("commands start in / because the home folder %1 cannot be entered (%2)")
                .arg(home, problem));
    }
    return QDir::rootPath();
}

void ProcessLauncher::markCloseOnExec(Sweep first)
{
    switch (first) {
    case Sweep::Range:
        if (sweepRange())
            return;
        [[fallthrough]];
    case Sweep::Listing:
        if (sweepListing())
            return;
        [[fallthrough]];
    case Sweep::Loop:
        sweepLoop();
    }
}

LaunchResult ProcessLauncher::launch(const QString& commandLine, LaunchStyle style)
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty() || words.first().isEmpty())
        return failure(QStringLiteral("the command is empty"));
    const QString word = words.takeFirst();
    const QString folder = startFolder();

    // Checked here rather than left to exec so that the reason names the actual problem.
    QString program;
    if (word.contains(QLatin1Char('/'))) {
        const QFileInfo info(QDir(folder), word);
        if (!info.exists())
            return failure(QStringLiteral("\"%1\" does not exist").arg(word));
        if (info.isDir())
            return failure(QStringLiteral("\"%1\" is a directory").arg(word));
        if (!info.isFile())
            return failure(QStringLiteral("\"%1\" is not a regular file").arg(word));
        if (!info.isExecutable())
            return failure(QStringLiteral("\"%1\" is not executable").arg(word));
        program = info.absoluteFilePath();
    } else {
        program = QStandardPaths::findExecutable(word);
        if (program.isEmpty())
            return failure(QStringLiteral("program \"%1\" not found on PATH").arg(word));
    }

    QProcess process;
    process.setProgram(program);
    process.setArguments(words);
    process.setWorkingDirectory(folder);
    if (style == LaunchStyle::Hidden) {
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
    }
    // Later Qt versions run the modifier in the detached child; there it does the same job
    // as the fork handler, and doing it twice is harmless.
    process.setChildProcessModifier([] { markCloseOnExec(); });

    // Marking rather than closing keeps Qt's start-report pipe open until exec, so a failed
    // exec is still reported and a successful one still ends the wait. Qt itself puts the
    // program in a new session without a controlling terminal, for both styles.
    qint64 pid = 0;
    bool started = false;
    if (forkHandlerInstalled()) {
        const LaunchingScope launching;
        started = process.startDetached(&pid);
    } else {
        // Without the handler, marking our own descriptors is the next best thing; they are
        // not meant for any program we start.
        markCloseOnExec();
        started = process.startDetached(&pid);
    }
    if (!started)
        return failure(QStringLiteral("\"%1\" could not be started: %2")
                           .arg(word, withoutCallName(process.errorString())));
    return {true, {}};
}
