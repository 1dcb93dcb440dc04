// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppContext.h"
#include "alarms/AlarmTrigger.h"
#include "notify/AlarmNotifier.h"
#include "notify/Announcement.h"
#include "uptime/UptimeBreakdown.h"
#include "widgets/FittedLine.h"
#include "widgets/WindowPlacement.h"

#include <QFont>
#include <QPointer>
#include <QWidget>

class ColourLabel;
class QM_UTC_LARGE_CLOCK_WINDOW;
class QPushButton;
class Timer;

// The clock strip: the program's first window and the owner of every other one. It holds the
// run-time state that the other windows read and set by name, and every timer of the program
// but those of the notification windows and the large clock.
class QM_UTC_MAIN : public QWidget
{
    Q_OBJECT

    // First, so that the named fields below can lead into them.
    AppContext m_context;
    AlarmTrigger* const m_alarms;
    AlarmNotifier* const m_notifier;

public:
    explicit QM_UTC_MAIN(const AppContext& context, QWidget* parent = nullptr);
    ~QM_UTC_MAIN() override;

    // Badges the notification windows show for alarm n and for the test window.
    static QString ALARM_NUMBER_TEXTBOX(int n) { return Announcement::alarmBadge(n); }
    static QString ALARM_TEST_NUMBER_TEXTBOX() { return Announcement::testBadge(); }

    // What the windows opened from here take from the desktop.
    const AppContext& context() const { return m_context; }

    // The alarms live in their engine; these names lead to its live copies and timers.
    AlarmTrigger& alarms() { return *m_alarms; }
    // The alarms' notification windows while they are open.
    AlarmNotifier& notifier() { return *m_notifier; }
    const AlarmSlot& alarmSlot(int n) const { return m_alarms->alarmSlot(n); }
    Timer* alarmTimer(int n) const { return m_alarms->timer(n); }

    // Preferences loaded at start-up.
    qint16 AlwaysOnTop_TICKBOX = 0;
    qint16 SHOW_UPTIME_TICKBOX = 0;
    qint16 LARGE_CLOCK_STARTUP_TICKBOX = 0;
    qint16 AUTOSTART_TICKBOX = 0;

    QPushButton* const QUILL_MARSH_BUTTON;
    ColourLabel* const LIVE_TIME_LABEL;
    ColourLabel* const QM_UPTIME_DISPLAY_LABEL;

    Timer* const CLOCK_TIMER;
    Timer* const AlwaysOnTopTimer;
    Timer* const UPTIME_TIMER;
    Timer* const DAY_UPTIME_TIMER;
    Timer* const HOUR_UPTIME_TIMER;
    Timer* const MINUTE_UPTIME_TIMER;
    Timer* const SECOND_UPTIME_TIMER;
    Timer* const QM_DISPLAY_UPDATE_TIMER;
    Timer* const LARGE_CLOCK_AUTO_OPEN_TIMER;

    // The uptime fields, as the six stages last left them.
    const UptimeBreakdown& uptime() const { return m_uptime; }

    // The wide strip with the uptime label, or the narrow one without it. The preference's
    // copy SHOW_UPTIME_TICKBOX is left as loaded at start-up.
    void showUptime(bool shown);
    // The six uptime stages, switched on or off together.
    void setUptimeTimers(bool on);
    // Ends the run as the close boxes would: every open window, innermost first, then the
    // strip, each saving where it was.
    void closeEveryWindow();

signals:
    // The window has saved its position on closing; the program ends.
    void unloaded();

public slots:
    void CLOCK_TIMER_Timer();
    void LIVE_TIME_LABEL_DblClick();
    void QUILL_MARSH_BUTTON_Click();
    void AlwaysOnTopTimer_Timer();
    void LARGE_CLOCK_AUTO_OPEN_TIMER_Timer();
    void UPTIME_TIMER_Timer();
    void DAY_UPTIME_TIMER_Timer();
    void HOUR_UPTIME_TIMER_Timer();
    void MINUTE_UPTIME_TIMER_Timer();
    void SECOND_UPTIME_TIMER_Timer();
    void QM_DISPLAY_UPDATE_TIMER_Timer();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    Timer* makeTimer(const char* name, bool createdOn);
    static bool ownWindow(WId window);
    void openLargeClock();
    void holdLabelFlushes();
    void flushLabels();

    WindowPlacement m_placement;
    UptimeBreakdown m_uptime;
    QPointer<QM_UTC_LARGE_CLOCK_WINDOW> m_largeClock;
    FittedLine m_clockFit;
};
