// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Settings for Qt's X11 connection, made before the QApplication exists and taken back from
// the environment right after, so that programs the clock starts do not inherit them.
class X11Tuning
{
public:
    // The strip repaints a few characters once a second; shared-memory images would cost the
    // X connection extra wake-ups for every repaint.
    X11Tuning();
    // Call once the QApplication has been made.
    void applicationMade();

private:
    bool m_userChose = false;
};
