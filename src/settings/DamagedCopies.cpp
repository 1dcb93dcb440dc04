// SPDX-License-Identifier: GPL-3.0-or-later
#include "DamagedCopies.h"

#include "PlainFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
struct Copy
{
    QString path;
    qint64 size;
    qint64 modifiedNs;
};

// A name the clock gives its copies: .damaged, or .damaged and a number.
bool isCopyName(const QString& name, const QString& first)
{
    if (name == first)
        return true;
    if (!name.startsWith(first + u'.') || name.size() == first.size() + 1)
        return false;
    return std::all_of(name.cbegin() + first.size() + 1, name.cend(),
                       [](QChar c) { return c.isDigit(); });
}

// This user's own copies, newest first; a file of anybody else's is never counted or removed.
QList<Copy> copiesBeside(const QString& filePath)
{
    const QFileInfo file(filePath);
    const QString first = file.fileName() + QStringLiteral(".damaged");
    QList<Copy> copies;
    const QDir folder(file.absolutePath());
    for (const QString& name :
         folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        struct stat info;
        const QString path = folder.filePath(name);
        if (isCopyName(name, first) && PlainFile::inspect(path, info) && S_ISREG(info.st_mode) &&
            info.st_uid == ::geteuid())
            copies.append({path, info.st_size, PlainFile::stamp(info).modifiedNs});
    }
    std::sort(copies.begin(), copies.end(),
              [](const Copy& a, const Copy& b) { return a.modifiedNs > b.modifiedNs; });
    return copies;
}

void removeBeyondBounds(const QString& filePath, const QString& kept)
{
    QList<Copy> copies = copiesBeside(filePath);
    // The copy just kept is the newest, whatever its time says.
    std::stable_partition(copies.begin(), copies.end(),
                          [&](const Copy& copy) { return copy.path == kept; });
    int count = 0;
    qint64 bytes = 0;
    bool full = false;
    for (const Copy& copy : std::as_const(copies)) {
        full = full || (count > 0 && (count == DamagedCopies::mostKept ||
                                      bytes + copy.size > DamagedCopies::mostBytes));
        if (full) {
            ::unlink(QFile::encodeName(copy.path).constData());
            continue;
        }
        ++count;
        bytes += copy.size;
    }
}

bool makeCopy(const QString& filePath, const QByteArray& content, QString& copyPath, QString& error)
{
    const QString first = filePath + QStringLiteral(".damaged");
    for (int i = 0; i < 100; ++i) {
        copyPath = i == 0 ? first : QStringLiteral("%1.%2").arg(first).arg(i);
        struct stat there;
        if (!PlainFile::inspect(copyPath, there)) {
            const int failure = PlainFile::create(copyPath, content);
            if (failure == 0)
                return true;
            if (failure != EEXIST) {
                error = QString::fromLocal8Bit(std::strerror(failure));
                return false;
            }
            continue; // made by another clock a moment ago
        }
        if (S_ISREG(there.st_mode) && there.st_size == content.size() &&
            PlainFile::read(copyPath, false).content == content) {
            ::utimensat(AT_FDCWD, QFile::encodeName(copyPath).constData(), nullptr,
                        AT_SYMLINK_NOFOLLOW);
            return true;
        }
    }
    error = QStringLiteral("no free name");
    return false;
}
} // namespace

bool DamagedCopies::keep(const QString& filePath, const QByteArray& content, QString& copyPath,
                         QString& error)
{
    if (!makeCopy(filePath, content, copyPath, error))
        return false;
    removeBeyondBounds(filePath, copyPath);
    return true;
}
