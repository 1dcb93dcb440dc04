// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The settings file is the user's own: its folder and the file are private, and alarm
// commands are only taken from it while nobody else could have changed it.
namespace PrivateFiles {
// Creates the folder and every missing parent, each open to its owner only whatever the
// umask. False if the folder is not there afterwards.
bool makeFolder(const QString& folder);
// Whether group or others may write the file (for a link, its target).
bool othersMayWrite(const QString& filePath);
// Empty when commands stored in the file may run; otherwise one line saying why they are not
// run and how to fix it. A file that does not exist refuses nothing.
QString commandRefusal(const QString& filePath);
} // namespace PrivateFiles
