// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// Moving windows between the band kept above all ordinary windows and the ordinary band.
// Where the window system lets a program do that while windows are shown, the strip does it
// once a second; elsewhere it can only ask, once before it is first shown, to stay on top.
class WindowStacking
{
public:
    virtual ~WindowStacking() = default;

    // Whether shown windows, of this program and of others, can change band.
    virtual bool canRestack() const = 0;
    // The window of any program that has the user's input; 0 if none or not known.
    virtual WId activeWindow() const = 0;
    // Into the above band, or out of it; the window keeps its position and size.
    virtual void keepAbove(WId window) = 0;
    virtual void dropAbove(WId window) = 0;
    // Why the strip cannot be kept on top here, in one sentence; empty where it can, or where
    // nothing is known against it.
    virtual QString keptOnTopProblem() const { return {}; }

    // The desktop's own: X11 with an EWMH window manager, or one that cannot restack.
    static WindowStacking& system();
};
