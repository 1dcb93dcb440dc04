// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrivateFiles.h"

#include "platform/WriteAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <unistd.h>

namespace {

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

// The folder a link's target is in, whether or not the target exists yet.
QString targetFolder(const QString& linkPath)
{
    const QFileInfo link(linkPath);
    const QString target = link.canonicalFilePath();
    if (!target.isEmpty())
        return QFileInfo(target).absolutePath();
    const QString folder = QFileInfo(link.symLinkTarget()).absolutePath();
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? folder : canonical;
}

// How to make a folder that others can change safe, or where to go instead.
QString folderFix(const QString& folder, const struct stat& dir)
{
    return dir.st_uid == ::geteuid() ? QStringLiteral("run chmod 700 %1").arg(shellWord(folder))
                                     : QStringLiteral("keep the settings in a folder of your own");
}
} // namespace

QString PrivateFiles::linkRefusal(const QString& filePath)
{
    struct stat link;
    if (::lstat(QFile::encodeName(filePath).constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return {};
    if (link.st_uid != ::geteuid()) {
        return QStringLiteral("it is a symbolic link that belongs to another user; remove it "
                              "with rm %1")
            .arg(shellWord(filePath));
    }
    const QString folder = targetFolder(filePath);
    struct stat dir;
    if (!statPath(folder, dir))
        return {}; // nothing there to read; a save says why it cannot make the target
    if (dir.st_uid != ::geteuid() || WriteAccess::othersMayWrite(dir)) {
        return QStringLiteral("it is a symbolic link into %1, a folder other users can change; "
                              "%2")
            .arg(folder, folderFix(folder, dir));
    }
    return {};
}

QString PrivateFiles::writeRefusal(const QString& filePath)
{
    const QString folder = QFileInfo(filePath).absolutePath();
    struct stat dir;
    struct stat file;
    if (statPath(folder, dir) && WriteAccess::othersMayWrite(dir) &&
        ::lstat(QFile::encodeName(filePath).constData(), &file) == 0 && S_ISLNK(file.st_mode)) {
        return QStringLiteral("it is a symbolic link in %1, a folder other users can change, "
                              "so nothing is written through it; %2")
            .arg(folder, folderFix(folder, dir));
    }
    return linkRefusal(filePath);
}

QString PrivateFiles::savedFile(const QString& filePath)
{
    const QFileInfo file(filePath);
    if (!file.isSymLink())
        return filePath;
    const QString target = file.canonicalFilePath();
    return target.isEmpty()
               ? targetFolder(filePath) + u'/' + QFileInfo(file.symLinkTarget()).fileName()
               : target;
}

QString PrivateFiles::commandRefusal(const QString& filePath, const struct stat& file)
{
    const QString name = shellWord(filePath);
    if (WriteAccess::othersMayWrite(file)) {
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
    if (QFileInfo(filePath).isSymLink() && !folders.contains(targetFolder(filePath)))
        folders.append(targetFolder(filePath));
    for (const QString& folder : std::as_const(folders)) {
        struct stat dir;
        if (!statPath(folder, dir) || !WriteAccess::othersMayWrite(dir))
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
