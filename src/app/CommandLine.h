// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;
class TimeSource;

// The options the program takes. Each of them prints and ends the program; without any, the
// clock starts. None needs a display or a window. --next and --list only read the settings
// file (no lock, nothing written), so status bars and scripts can use them beside a running
// clock; --set and its kin change alarms through the store, which a running clock follows;
// --snooze and --stop ask the running clock through its channel.
class CommandLine
{
public:
    CommandLine(const QString& settingsPath, const TimeSource& time);

    // Runs the options in `arguments` (the program's name first) and gives the exit status:
    // 0 when done, 1 when there was nothing to do, 2 for a usage error, with what happened on
    // `err`. Nothing when no option was given: the clock is to start.
    std::optional<int> run(const QStringList& arguments, QTextStream& out, QTextStream& err) const;

private:
    void print(bool next, bool json, QTextStream& out) const;
    int answerRinging(bool snooze, QTextStream& out, QTextStream& err) const;

    QString m_settingsPath;
    const TimeSource& m_time;
};
