// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProblemReport.h"

#include <QStringList>

// Collects the problem lines reported while it lives.
class ProblemCapture
{
public:
    ProblemCapture()
    {
        m_previous = ProblemReport::setSink([this](const QString& line) { lines.append(line); });
    }
    ~ProblemCapture() { ProblemReport::setSink(m_previous); }
    ProblemCapture(const ProblemCapture&) = delete;
    ProblemCapture& operator=(const ProblemCapture&) = delete;

    QStringList lines;

private:
    ProblemReport::Sink m_previous;
};
