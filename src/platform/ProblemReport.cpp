// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProblemReport.h"

#include "TerminalText.h"

#include <cstdio>

namespace {
ProblemReport::Sink& currentSink()
{
    static ProblemReport::Sink sink;
    return sink;
}
} // namespace

void ProblemReport::report(const QString& said)
{
    // A command or a name from the settings file is part of many a line.
    const QString line = TerminalText::visible(said);
    if (currentSink()) {
        currentSink()(line);
        return;
    }
    const QByteArray text = QStringLiteral("qm-utc: %1\n").arg(line).toLocal8Bit();
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
    std::fflush(stderr);
}

ProblemReport::Sink ProblemReport::setSink(Sink sink)
{
    Sink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}
