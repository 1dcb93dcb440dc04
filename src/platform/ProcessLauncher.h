// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CommandLauncher.h"

#include <QString>

// Starts alarm commands as real programs, detached from the clock. No shell is involved: the
// text is split on blanks, double quotes group, and the first word is looked up on PATH. The
// program starts in the home folder, or in / where that cannot be entered (said once; a
// relative path counts from there too), gets none of the
// clock's descriptors apart from 0, 1 and 2, runs outside the clock's session, and is never
// left as a zombie of the clock.
class ProcessLauncher final : public CommandLauncher
{
public:
    LaunchResult launch(const QString& commandLine, LaunchStyle style) override;

    // Ways of marking descriptors close-on-exec, newest kernel interface first; each one falls
    // back to the next when the system lacks it.
    enum class Sweep
    {
        Range,   // close_range(CLOSE_RANGE_CLOEXEC), Linux 5.11 and later
        Listing, // every entry of /proc/self/fd
        Loop     // every number up to the descriptor limit
    };

    // Marks every descriptor from 3 up of the calling process close-on-exec, starting with
    // `first`. Safe to call between fork and exec.
    static void markCloseOnExec(Sweep first = Sweep::Range);

private:
    QString startFolder();

    QString m_homeProblemSaid; // the home folder and why it could not be used, once said
};
