// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlainFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool writeWhole(int fd, const QByteArray& content)
{
    for (qsizetype done = 0; done < content.size();) {
        const ssize_t written =
            ::write(fd, content.constData() + done, static_cast<size_t>(content.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}
} // namespace

PlainFile::Reading PlainFile::read(const QString& path, bool followLink)
{
    Reading reading;
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking, so that a FIFO opens at once and is then turned away.
    const int fd =
        ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        if (errno == ENOENT) // a followed link may lead nowhere yet: a save makes its target
            return reading;
        reading.outcome = errno == ELOOP ? Reading::Outcome::NotRegular : Reading::Outcome::Failed;
        reading.error = errno == ELOOP ? QStringLiteral("it is a symbolic link") : reason(errno);
        return reading;
    }
    if (::fstat(fd, &reading.info) != 0 || !S_ISREG(reading.info.st_mode)) {
        ::close(fd);
        reading.outcome = Reading::Outcome::NotRegular;
        reading.error = QStringLiteral("it is not a regular file");
        return reading;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        reading.outcome = Reading::Outcome::Failed;
        reading.error = file.errorString();
        return reading;
    }
    reading.content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reading.outcome = Reading::Outcome::Failed;
        reading.error = file.errorString();
        return reading;
    }
    reading.outcome = Reading::Outcome::Read;
    return reading;
}

int PlainFile::create(const QString& path, const QByteArray& content)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    ::fchmod(fd, 0600); // whatever the umask
    const bool whole = writeWhole(fd, content) && ::fsync(fd) == 0;
    const int error = whole ? 0 : (errno ? errno : EIO);
    ::close(fd);
    // Ours alone, made a moment ago: a part of a copy is no copy.
    if (!whole)
        ::unlink(name.constData());
    return error;
}

bool PlainFile::inspect(const QString& path, struct stat& info)
{
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}
