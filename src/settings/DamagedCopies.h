// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Copies of a damaged settings file, kept beside it before a rewrite drops what could not be
// read. Only the newest few are kept, and only so many bytes of them together: another user
// who may write a file open to all could otherwise fill the disk with junk, one copy a start.
namespace DamagedCopies {
inline constexpr int mostKept = 3;
inline constexpr qint64 mostBytes = 16 << 20;

// Keeps content beside filePath under the first free name (.damaged, .damaged.1, ...), or as
// the copy already kept of this very content, which then counts as the newest; then removes
// this user's older copies beyond the bounds. False, with the reason, when none could be made.
bool keep(const QString& filePath, const QByteArray& content, QString& copyPath, QString& error);
} // namespace DamagedCopies
