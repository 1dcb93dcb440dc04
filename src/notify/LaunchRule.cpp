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

QString LaunchRule::launch(CommandLauncher& launcher, const QString& requester, qint16 runCommand,
                           qint16 runHidden, const QString& commandLine)
{
    const std::optional<LaunchStyle> wanted = style(runCommand, runHidden);
    if (!wanted)
        return {};
    const LaunchResult result = launcher.launch(commandLine, *wanted);
    if (result.started)
        return {};
    const QString reason =
        result.error.isEmpty() ? QStringLiteral("it could not be started") : result.error;
    ProblemReport::report(QStringLiteral("%1: cannot start the command \"%2\": %3")
                              .arg(requester, commandLine, reason));
    return reason;
}
