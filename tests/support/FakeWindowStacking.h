// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/WindowStacking.h"

#include <QStringList>

// Stacking that a test steers: it says which window is active and records each band change
// as "above <id>" or "ordinary <id>".
class FakeWindowStacking final : public WindowStacking
{
public:
    bool canRestack() const override { return restacks; }
    WId activeWindow() const override { return active; }
    void keepAbove(WId window) override { sent << QStringLiteral("above %1").arg(window); }
    void dropAbove(WId window) override { sent << QStringLiteral("ordinary %1").arg(window); }
    QString keptOnTopProblem() const override { return problem; }

    bool restacks = true;
    QString problem;
    WId active = 0;
    QStringList sent;
};
