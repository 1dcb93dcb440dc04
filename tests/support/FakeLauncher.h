// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CommandLauncher.h"

#include <QList>
#include <functional>

// Records what would have been started; can be told to fail.
class FakeLauncher final : public CommandLauncher
{
public:
    struct Launch
    {
        QString commandLine;
        LaunchStyle style;
    };

    LaunchResult launch(const QString& commandLine, LaunchStyle style) override
    {
        launches.append({commandLine, style});
        if (onLaunch)
            onLaunch();
        if (!failWith.isEmpty())
            return {false, failWith};
        return {true, {}};
    }

    QList<Launch> launches;
    QString failWith; // non-empty: every launch fails with this reason
    std::function<void()> onLaunch;
};
