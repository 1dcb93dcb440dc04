#pragma once

class QWidget;

// What Qt does not say about a window to an X11 window manager. Does nothing on other
// platforms.
namespace X11Window {
// Keeps the window out of taskbars and pagers. Call before the window is first shown.
void skipTaskbar(QWidget* window);
} // namespace X11Window
