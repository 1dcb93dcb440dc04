// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <sys/stat.h>

// The settings file is the user's own: its folder and the file are private, and alarm
// commands are only taken from it while nobody else could have changed it.
namespace PrivateFiles {
// Empty when the settings file may be read through the symbolic link it is: the link and the
// folder of its target are the user's own and others cannot write that folder. Otherwise why
// not and how to fix it. Empty too when the file is no link.
QString linkRefusal(const QString& filePath);
// Empty when the clock may write the settings file and the files beside it; otherwise why
// not and how to fix it. A folder others can change is written into only by making new files
// and renaming them, which no link planted there can divert; a settings file that is a link
// there is not written through, since another user could have swapped it.
QString writeRefusal(const QString& filePath);
// The file a save replaces: the settings file, or the file its link leads to.
QString savedFile(const QString& filePath);
// Empty when commands stored in the file, as read with the given status, may run; otherwise
// one line saying why they are not run and how to fix it.
QString commandRefusal(const QString& filePath, const struct stat& file);
} // namespace PrivateFiles
