// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <sys/stat.h>

// The settings file and the files beside it are opened so that nothing put in their place can
// make the clock wait or write elsewhere: a FIFO, a device or a folder is refused unopened or
// unread, and new files are made without following a link and without replacing anything.
namespace PlainFile {
// The most a settings file may hold. No person types more, and a file of gigabytes would be
// read whole into memory.
inline constexpr qint64 largest = 16 << 20;

struct Reading
{
    enum class Outcome
    {
        Missing,
        Read,
        NotRegular, // a FIFO, a device, a folder, or a link that was not to be followed
        Failed      // error says why: unreadable, or larger than `largest`
    };
    Outcome outcome = Outcome::Missing;
    QByteArray content;
    struct stat info = {}; // of the file read
    QString error;
};

// Tells one version of a file from the next without reading it: a save by rename gives it a new
// inode, a write in place a new size or modification time.
struct Stamp
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1; // -1: no file
    qint64 modifiedNs = 0;
    bool operator==(const Stamp&) const = default;
};
Stamp stamp(const struct stat& info);
// Of what the path (as QFile::encodeName() gives it) leads to now, links followed. Cheap
// enough to ask every second.
Stamp stampAt(const QByteArray& encodedPath);

// Reads a regular file whole, if it holds no more than `largest` bytes. A symbolic link is
// followed only if followLink.
Reading read(const QString& path, bool followLink);

// Makes a new regular file 0600 holding content, flushed to disk. 0, or the errno of the
// failure: EEXIST when anything at all has the name, a dangling link too.
int create(const QString& path, const QByteArray& content);

// Puts a new regular file with content and mode in the place of whatever the path names, in one
// step: written beside it under a name nobody else can have chosen, flushed, then renamed over
// the path, which never writes through a link that stands there. 0, or the errno of the
// failure; `written` is the new file's status.
int replace(const QString& path, const QByteArray& content, mode_t mode, struct stat& written);

// What lstat() sees at the path; false when nothing is there.
bool inspect(const QString& path, struct stat& info);
} // namespace PlainFile
