// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// How a started program presents itself: 1 shows its windows as usual, 0 keeps it out of
// sight (no terminal, standard streams on /dev/null).
enum class LaunchStyle
{
    Hidden = 0,
    Normal = 1
};

struct LaunchResult
{
    bool started = false;
    QString error; // why it did not start, for the user
};

// Starts a command line as a separate program without waiting for it.
class CommandLauncher
{
public:
    virtual ~CommandLauncher() = default;
    virtual LaunchResult launch(const QString& commandLine, LaunchStyle style) = 0;
};
