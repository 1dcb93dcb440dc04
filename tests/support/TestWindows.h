// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QWidget>

// The windows a test leaves behind.
namespace TestWindows {
// Deletes the windows that closed (they delete themselves later, from the event loop).
inline void discardClosed()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Closes every window still open, as its close box would, and deletes those that closed.
inline void closeAll()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        window->close();
    discardClosed();
}

// Deletes the closed windows, then those still there; returns the latter, which a test should
// not have left.
inline QWidgetList deleteLeftOver()
{
    discardClosed();
    const QWidgetList left = QApplication::topLevelWidgets();
    qDeleteAll(left);
    return left;
}
} // namespace TestWindows
