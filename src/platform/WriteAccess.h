// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <sys/stat.h>

// Who else may change a file or a folder of this user's, and folders that nobody else may.
namespace WriteAccess {
// Whether a user other than this one may write where this status says: anybody at all may, or
// a group that is not this user's private group. A private group bears the user's login name,
// is the user's own primary group and lists no other member (an account that merely has it as
// its primary group is not looked for: only root can make one).
bool othersMayWrite(const struct stat& info);
// Creates the folder and every missing parent, each open to its owner only whatever the
// umask. Empty when the folder is there afterwards; otherwise why not.
QString makePrivateFolder(const QString& folder);
} // namespace WriteAccess
