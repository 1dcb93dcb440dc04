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

// The frame the stored outer sizes were drawn for: 3 px borders and a 19 px title bar.
inline constexpr QSize designFrame{6, 25};

// Fixes the outer size. The client area is what is left once the window manager has told
// the frame's size, and follows the frame if it changes; but never less than the design frame
// leaves, so a thicker frame makes the window larger instead of cutting its controls.
void setFixedOuterSize(QWidget* window, QSize outerSize);
QSize outerSize(const QWidget* window);
} // namespace WindowGeometry
