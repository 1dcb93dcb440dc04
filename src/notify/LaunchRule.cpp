// SPDX-License-Identifier: GPL-3.0-or-later
#include "LaunchRule.h"

#include "platform/ProblemReport.h"

#include <QString>

std::optional<LaunchStyle> LaunchRule::style(qint16 runCommand, qint16 runHidden)
{
    if (runCommand != 1)
        return std::nullopt;
    if (runHidden == 1)
        return LaunchStyle::Hidden;
    if (runHidden == 0)
        return LaunchStyle::Normal;
    return std::nullopt;
}

namespace {
// A command can be megabytes long; a report names it, and a reason quotes it, by its beginning.
QString shortened(const QString& text, qsizetype shown = 200)
{
    if (text.size() <= shown)
        return text;
    // Never between the two halves of a character outside the basic plane.
    if (text.at(shown - 1).isHighSurrogate())
        --shown;
    return text.left(shown) + QStringLiteral("... (%1 characters)").arg(text.size());
}
} // namespace

QString LaunchRule::launch(CommandLauncher& launcher, const QString& requester, qint16 runCommand,
                           qint16 runHidden, const QString& commandLine, const QString& refusal)
{
    const std::optional<LaunchStyle> wanted = style(runCommand, runHidden);
    if (!wanted)
        return {};
    QString reason = refusal;
    if (reason.isEmpty()) {
        const LaunchResult result = launcher.launch(commandLine, *wanted);
        if (result.started)
            return {};
        reason = result.error.isEmpty() ? QStringLiteral("it could not be started")
                                        : shortened(result.error, 400);
    }
    ProblemReport::report(QStringLiteral("%1: cannot start the command \"%2\": %3")
                              .arg(requester, shortened(commandLine), reason));
    return reason;
}
