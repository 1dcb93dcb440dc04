// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CommandLauncher.h"

#include <optional>

class QString;

namespace LaunchRule {
// The style the flags ask for, or nothing when no launch is wanted: runCommand must be
// exactly 1, and runHidden exactly 1 (hidden) or 0 (normal).
std::optional<LaunchStyle> style(qint16 runCommand, qint16 runHidden);

// Applies the rule and starts the command if wanted, unless a refusal says why it must not
// run. A start that fails or is refused is reported as one line naming who asked (for example
// "alarm 3") and the command. Returns whether it started, and if not why, so that a window
// can show it too: no reason when no start was wanted.
LaunchResult launch(CommandLauncher& launcher, const QString& requester, qint16 runCommand,
                    qint16 runHidden, const QString& commandLine, const QString& refusal = {});
} // namespace LaunchRule
