// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppContext.h"
#include "alarms/AlarmTrigger.h"
#include "notify/AlarmNotifier.h"
#include "notify/Announcement.h"
#include "notify/Ringer.h"
#include "prefs/StripControl.h"
#include "widgets/FittedLine.h"
#include "widgets/LiveTextLabel.h"
#include "widgets/WindowPlacement.h"

#include <QFont>
#include <QPointer>
#include <QWidget>

class QM_UTC_LARGE_CLOCK_WINDOW;
class QPushButton;
class StayOnTop;
class Timer;
class UptimeDisplay;

// The clock strip: the program's first window and the owner of every other one. It starts the
// program's parts in their order and lays out the time and the uptime.
class QM_UTC_MAIN : public QWidget, public StripControl
{
    Q_OBJECT

    // First, so that the named fields below can lead into them.
    AppContext m_context;
    AlarmTrigger* const m_alarms;
    Ringer* const m_ringer;
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
    // The alarm sound, for every window that rings or tries it.
    Ringer& ringer() { return *m_ringer; }
    const AlarmSlot& alarmSlot(int n) const { return m_alarms->alarmSlot(n); }
    Timer* alarmTimer(int n) const { return m_alarms->timer(n); }

    // Preferences loaded at start-up.
    qint16 AlwaysOnTop_TICKBOX = 0;
    qint16 SHOW_UPTIME_TICKBOX = 0;
    qint16 LARGE_CLOCK_STARTUP_TICKBOX = 0;
    qint16 AUTOSTART_TICKBOX = 0;

    QPushButton* const QUILL_MARSH_BUTTON;
    LiveTextLabel* const LIVE_TIME_LABEL;
    LiveTextLabel* const QM_UPTIME_DISPLAY_LABEL;

    Timer* const CLOCK_TIMER;
    Timer* const LARGE_CLOCK_AUTO_OPEN_TIMER;
    // Looks once a second whether another program changed the settings file.
    Timer* const SETTINGS_FILE_TIMER;

    UptimeDisplay& uptimeDisplay() { return *m_uptimeDisplay; }

    // What the preference windows may change. The preferences' copies loaded at start-up
    // above are left as they were.
    QWidget& stripWindow() override { return *this; }
    void setKeptOnTop(bool on) override;
    QString keptOnTopProblem() const override { return m_context.stacking.keptOnTopProblem(); }
    void showUptime(bool shown) override;
    void setUptimeCounting(bool on) override;
    ColourLabel& clockLabel() override { return *LIVE_TIME_LABEL; }
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
    void LARGE_CLOCK_AUTO_OPEN_TIMER_Timer();
    void SETTINGS_FILE_TIMER_Timer();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Right click, or the Menu key while the strip has the focus: the strip's menu.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    Timer* makeTimer(const char* name, bool createdOn);
    void openLargeClock();
    void holdLabelFlushes();
    void flushLabels();
    // What another program changed in the settings file, applied as at start-up.
    void applyChangedSettings(const QSet<QString>& keys);
    // Says in a window, once a run, why the settings file is not read or its commands not run.
    void tellSettingsProblems();

    UptimeDisplay* const m_uptimeDisplay;
    StayOnTop* const m_stayOnTop;
    WindowPlacement m_placement;
    QPointer<QM_UTC_LARGE_CLOCK_WINDOW> m_largeClock;
    FittedLine m_clockFit;
    QStringList m_settingsProblemsTold;
};
