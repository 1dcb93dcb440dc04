// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

// Problems the user should hear about (a command that did not start, a damaged settings file)
// go to standard error as one line each, every control character in them shown as
// TerminalText shows it. Tests divert them to check what was said.
namespace ProblemReport {
void report(const QString& line);

using Sink = std::function<void(const QString&)>;
// Returns the sink it replaces; an empty sink restores standard error.
Sink setSink(Sink sink);
} // namespace ProblemReport
