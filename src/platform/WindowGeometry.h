// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QSize>

class QWidget;

// Stored window positions and sizes describe the outer frame, as the user sees the window.
namespace WindowGeometry {
// Places the frame's top-left corner (before or after the window is shown).
void setOuterTopLeft(QWidget* window, QPoint topLeft);
QPoint outerTopLeft(const QWidget* window);

// Fixes the outer size. The client area is what is left once the window manager has told
// the frame's size, and follows the frame if it changes.
void setFixedOuterSize(QWidget* window, QSize outerSize);
QSize outerSize(const QWidget* window);
} // namespace WindowGeometry
