// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// What Qt does not say about a window to an X11 window manager. Does nothing on other
// platforms. The hints set on a widget are set again whenever Qt re-creates its native window
// (any later window-flag change does) or shows it again, so they can be asked for at any time.
namespace X11Window {
// Keeps the window out of taskbars and pagers.
void skipTaskbar(QWidget* window);

// Offers the close box only: no minimise, maximise or resize, wherever the window manager
// follows the hints for it. For fixed-size windows.
void offerCloseOnly(QWidget* window);

// Keeps the window above the windows of every program from the moment it is mapped, without
// taking the keyboard at mapping; for a window that announces something.
void keepAboveOthers(QWidget* window);

// Brings to the front the top-level window with the role `role` (QWidget::setWindowRole) that
// process `pid` shows on the display named by DISPLAY. Needs no QApplication. False when no
// such window was found.
bool activateWindowOf(qint64 pid, const QString& role);
} // namespace X11Window
