// SPDX-License-Identifier: GPL-3.0-or-later
#include "WriteAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {
bool isPrivateGroup(gid_t gid)
{
    // The user and group databases may be remote: asked once per group and run.
    static QHash<gid_t, bool> known;
    const auto cached = known.constFind(gid);
    if (cached != known.cend())
        return *cached;
    bool isPrivate = false;
    const passwd* user = ::getpwuid(::geteuid());
    if (user && user->pw_gid == gid) {
        const QByteArray login(user->pw_name);
        const group* entry = ::getgrgid(gid);
        isPrivate = entry && login == entry->gr_name;
        for (char** member = entry ? entry->gr_mem : nullptr; isPrivate && *member; ++member)
            isPrivate = login == *member;
    }
    known.insert(gid, isPrivate);
    return isPrivate;
}

QString cannotCreate(const QString& path, int error)
{
    return QStringLiteral("cannot create %1: %2")
        .arg(path, QString::fromLocal8Bit(std::strerror(error)));
}
} // namespace

bool WriteAccess::othersMayWrite(const struct stat& info)
{
    return (info.st_mode & S_IWOTH) || ((info.st_mode & S_IWGRP) && !isPrivateGroup(info.st_gid));
}

QString WriteAccess::makePrivateFolder(const QString& folder)
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
            return cannotCreate(path, errno);
    }
    return QFileInfo(folder).isDir() ? QString() : cannotCreate(folder, ENOTDIR);
}
