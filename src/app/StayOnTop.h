// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QWidget>

class SecondTicker;
class Timer;
class WindowStacking;

// Puts the strip back above other programs' windows once a second while Always On Top is on.
class StayOnTop : public QObject
{
    Q_OBJECT

public:
    StayOnTop(QWidget& strip, WindowStacking& stacking);

    Timer* const AlwaysOnTopTimer;

    void followSeconds(SecondTicker& ticker);
    // At start-up, before the strip is shown.
    void start(bool on);
    void setOn(bool on);

public slots:
    void AlwaysOnTopTimer_Timer();

private:
    static bool ownWindow(WId window);

    QWidget& m_strip;
    WindowStacking& m_stacking;
    bool m_problemTold = false;
};
