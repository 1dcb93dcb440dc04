// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <sys/stat.h>

// The settings file and the files beside it are opened so that nothing put in their place can
// make the clock wait or write elsewhere: a FIFO, a device or a folder is refused unopened or
// unread, and new files are made without following a link and without replacing anything.
namespace PlainFile {
struct Reading
{
    enum class Outcome
    {
        Missing,
        Read,
        NotRegular, // a FIFO, a device, a folder, or a link that was not to be followed
        Failed
    };
    Outcome outcome = Outcome::Missing;
    QByteArray content;
    struct stat info = {}; // of the file read
    QString error;
};

// Reads a regular file whole. A symbolic link is followed only if followLink.
Reading read(const QString& path, bool followLink);

// Makes a new regular file 0600 holding content, flushed to disk. 0, or the errno of the
// failure: EEXIST when anything at all has the name, a dangling link too.
int create(const QString& path, const QByteArray& content);

// What lstat() sees at the path; false when nothing is there.
bool inspect(const QString& path, struct stat& info);
} // namespace PlainFile
