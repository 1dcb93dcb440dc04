// SPDX-License-Identifier: GPL-3.0-or-later
#include "StayOnTop.h"

#include "platform/ProblemReport.h"
#include "platform/Timer.h"
#include "platform/WindowStacking.h"

#include <QApplication>
#include <algorithm>

StayOnTop::StayOnTop(QWidget& strip, WindowStacking& stacking)
    : QObject(&strip),
      // Interval 0: nothing fires before start() sets it up.
      AlwaysOnTopTimer(new Timer(QStringLiteral("AlwaysOnTopTimer"), true, this)), m_strip(strip),
      m_stacking(stacking)
{
    connect(AlwaysOnTopTimer, &Timer::timeout, this, &StayOnTop::AlwaysOnTopTimer_Timer);
}

void StayOnTop::followSeconds(SecondTicker& ticker)
{
    AlwaysOnTopTimer->followSeconds(ticker);
}

void StayOnTop::start(bool on)
{
    AlwaysOnTopTimer->setInterval(1000);
    setOn(on);
    // Where the strip cannot be put back above others while shown, it asks once, now: the
    // hint set on a shown window would hide it.
    if (on && !m_stacking.canRestack())
        m_strip.setWindowFlag(Qt::WindowStaysOnTopHint);
}

void StayOnTop::setOn(bool on)
{
    // Only the timer: the strip's place among the windows is left as it is.
    AlwaysOnTopTimer->setEnabled(on);
    // Said once, the first time it is asked for, rather than seeming to promise it.
    if (on && !m_problemTold && !m_stacking.keptOnTopProblem().isEmpty()) {
        m_problemTold = true;
        ProblemReport::report(
            QStringLiteral("Always On Top: %1").arg(m_stacking.keptOnTopProblem()));
    }
}

void StayOnTop::AlwaysOnTopTimer_Timer()
{
    // Without a window manager to ask, the hint asked for at start-up is all there is.
    if (!m_stacking.canRestack())
        return;
    // A strip not yet on screen has nothing to keep above, and must not be made native here.
    const WId strip = m_strip.internalWinId();
    if (strip == 0)
        return;
    const WId active = m_stacking.activeWindow();
    if (active == strip)
        return;
    // Another program's window that made itself stay on top loses that rank; this program's
    // own, an alarm's window above all, keep theirs.
    if (active != 0 && !ownWindow(active))
        m_stacking.dropAbove(active);
    m_stacking.keepAbove(strip);
}

bool StayOnTop::ownWindow(WId window)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(),
                       [window](const QWidget* w) { return w->internalWinId() == window; });
}
