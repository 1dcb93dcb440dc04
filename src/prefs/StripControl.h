// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class ColourLabel;
class QWidget;

// What the preference windows may change on the running strip, and nothing more.
class StripControl
{
public:
    // The window the preference windows open over.
    virtual QWidget& stripWindow() = 0;
    // Whether the strip is put back above other programs' windows every second.
    virtual void setKeptOnTop(bool on) = 0;
    // Why the desktop cannot keep the strip on top, in one sentence; empty where it can.
    virtual QString keptOnTopProblem() const = 0;
    // The wide strip with the uptime, or the narrow one without it.
    virtual void showUptime(bool shown) = 0;
    // Counting stopped, the uptime says so instead of its value.
    virtual void setUptimeCounting(bool on) = 0;
    // The time of day, whose colours the colours window sets.
    virtual ColourLabel& clockLabel() = 0;

protected:
    ~StripControl() = default;
};
