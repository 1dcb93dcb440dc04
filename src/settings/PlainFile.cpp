// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlainFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
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

// To the end, but never more than one byte past the largest file: a file that grows while it
// is read costs no more than one that is too large from the start.
bool readAtMost(int fd, qint64 expected, QByteArray& content)
{
    content.resize(qMin(expected, PlainFile::largest) + 1);
    qsizetype done = 0;
    for (;;) {
        if (done == content.size()) {
            if (done > PlainFile::largest)
                break;
            content.resize(qMin(done * 2, qsizetype(PlainFile::largest + 1)));
        }
        const ssize_t got = ::read(fd, content.data() + done, size_t(content.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        done += got;
    }
    content.resize(done);
    return true;
}

QString tooLarge(qint64 size)
{
    return QStringLiteral("it holds %1 bytes, more than the %2 MiB a settings file may hold")
        .arg(size)
        .arg(PlainFile::largest >> 20);
}

// A rename survives a power cut only once its folder is on disk too.
void syncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
} // namespace

PlainFile::Stamp PlainFile::stamp(const struct stat& info)
{
    return {info.st_dev, info.st_ino, info.st_size,
            qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

PlainFile::Stamp PlainFile::stampAt(const QByteArray& encodedPath)
{
    struct stat info;
    return ::stat(encodedPath.constData(), &info) == 0 ? stamp(info) : Stamp();
}

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
    reading.outcome = Reading::Outcome::Failed;
    // Judged before a byte is read: a sparse file of gigabytes costs nothing to refuse.
    if (reading.info.st_size > largest) {
        reading.error = tooLarge(reading.info.st_size);
    } else if (!readAtMost(fd, reading.info.st_size, reading.content)) {
        reading.error = reason(errno);
    } else if (reading.content.size() > largest) {
        reading.error = tooLarge(reading.content.size());
    } else {
        reading.outcome = Reading::Outcome::Read;
    }
    if (reading.outcome != Reading::Outcome::Read)
        reading.content.clear();
    ::close(fd);
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

int PlainFile::replace(const QString& path, const QByteArray& content, mode_t mode,
                       struct stat& written)
{
    const QByteArray name = QFile::encodeName(path);
    // mkostemp() makes it with O_EXCL: nothing planted under the name can be written through.
    QByteArray temporary = name + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    errno = 0;
    bool whole = ::fchmod(fd, mode) == 0 && writeWhole(fd, content) && ::fsync(fd) == 0 &&
                 ::fstat(fd, &written) == 0;
    int error = whole ? 0 : (errno ? errno : EIO);
    ::close(fd);
    if (whole && ::rename(temporary.constData(), name.constData()) != 0) {
        error = errno;
        whole = false;
    }
    if (!whole) {
        ::unlink(temporary.constData());
        return error;
    }
    syncFolder(QFile::encodeName(QFileInfo(path).absolutePath()));
    return 0;
}

bool PlainFile::inspect(const QString& path, struct stat& info)
{
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}
