// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr mode_t othersWrite = S_IWGRP | S_IWOTH;

bool statPath(const QString& path, struct stat& info)
{
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

// The path as one word that a shell passes through unchanged.
QString shellWord(const QString& path)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+:,@%=-]+$"));
    if (plain.match(path).hasMatch())
        return path;
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString refusal(const QString& why)
{
    return QStringLiteral("alarm commands are not run: ") + why;
}
} // namespace

bool PrivateFiles::makeFolder(const QString& folder)
{
    QStringList missing;
    for (QString path = QDir::cleanPath(QDir(folder).absolutePath());
         !QFileInfo::exists(path) && !missing.contains(path); path = QFileInfo(path).absolutePath())
        missing.prepend(path);
    for (const QString& path : std::as_const(missing)) {
        const QByteArray name = QFile::encodeName(path);
        if (::mkdir(name.constData(), 0700) == 0)
            ::chmod(name.constData(), 0700); // a umask such as 0277 would leave it unusable
        else if (errno != EEXIST)
            return false;
    }
    return QFileInfo(folder).isDir();
}

bool PrivateFiles::othersMayWrite(const QString& filePath)
{
    struct stat info;
    return statPath(filePath, info) && (info.st_mode & othersWrite) != 0;
}

QString PrivateFiles::commandRefusal(const QString& filePath)
{
    struct stat file;
    if (!statPath(filePath, file))
        return {};
    const QString name = shellWord(filePath);
    if (file.st_mode & othersWrite) {
        return refusal(QStringLiteral("the settings file %1 can be changed by other users; run "
                                      "chmod 600 %2")
                           .arg(filePath, name));
    }
    if (file.st_uid != ::geteuid()) {
        return refusal(QStringLiteral("the settings file %1 belongs to another user; make it "
                                      "your own with cp %2 %3 && mv %3 %2")
                           .arg(filePath, name, shellWord(filePath + QStringLiteral(".new"))));
    }
    // Whoever may write the folder may replace the file; for a link, both folders count.
    QStringList folders = {QFileInfo(filePath).absolutePath()};
    const QString target = QFileInfo(QFileInfo(filePath).canonicalFilePath()).absolutePath();
    if (!folders.contains(target))
        folders.append(target);
    for (const QString& folder : std::as_const(folders)) {
        struct stat dir;
        if (!statPath(folder, dir) || !(dir.st_mode & othersWrite))
            continue;
        if (dir.st_uid == ::geteuid()) {
            return refusal(QStringLiteral("the folder %1 of the settings file can be changed by "
                                          "other users; run chmod 700 %2")
                               .arg(folder, shellWord(folder)));
        }
        return refusal(QStringLiteral("the settings file %1 is in %2, a folder other users can "
                                      "change; keep it in a folder of your own")
                           .arg(filePath, folder));
    }
    return {};
}
