// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The auto-close countdown of a notification window, without the widgets: the window shows
// what it holds and switches its countdown timer to follow timerRunning().
//
// It deliberately keeps the window's quirks: the Auto Close tick, the START/STOP caption and
// the timer are three separate pieces of state, and some events touch only one or two of them
// (a double-click on the field ignores both the tick and the caption; a tick while the box is
// unticked does nothing even though the timer runs).
class AutoCloseCountdown
{
public:
    static constexpr int fullSeconds = 11;

    static QString startCaption() { return QStringLiteral("START"); }
    static QString stopCaption() { return QStringLiteral("STOP"); }

    // What the window holds when it is built: unticked, timer on, "START" enabled, field "00".
    AutoCloseCountdown() = default;

    // Opening: the value is loaded before the timers get their intervals, then the tick state
    // decides whether the count runs.
    void resetValue() { m_seconds = fullSeconds; }
    void applyTickAtOpening();

    void autoCloseClicked(bool ticked);
    void startStopClicked();
    void countdownDoubleClicked();
    // Returns true when the window must close now; the field then reads "NOW".
    [[nodiscard]] bool tick();

    bool timerRunning() const { return m_timerRunning; }
    const QString& caption() const { return m_caption; }
    bool buttonEnabled() const { return m_buttonEnabled; }
    const QString& field() const { return m_field; }
    // Seconds left, 0 to 86399: the value behaves as a time of day.
    int seconds() const { return m_seconds; }

private:
    void restartValue(const QString& field);

    bool m_ticked = false;
    bool m_timerRunning = true;
    QString m_caption = startCaption();
    bool m_buttonEnabled = true;
    QString m_field = QStringLiteral("00");
    int m_seconds = 0;
};
