// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmMatcher.h"
#include "AlarmSlot.h"
#include "NextAlarm.h"
#include "ShownSeconds.h"

#include <QObject>
#include <QPointer>
#include <array>

class CommandLauncher;
class QM_UTC_ALARM_NOTIFICATION_WINDOW;
class QWidget;
class SettingsStore;
class Timer;
struct LocalTimeOfDay;

// The alarm engine: the live copies of the ten alarms and the master switch, the ten alarm
// timers, and what happens when one fires. The clock feeds it every reading it shows; each
// alarm timer that is on then looks at the seconds shown since its previous tick, so an alarm
// fires once for its second whatever the order of wake-ups.
class AlarmTrigger : public QObject
{
    Q_OBJECT

public:
    // Notification windows open modal over owner.
    AlarmTrigger(SettingsStore& settings, CommandLauncher& launcher, QWidget* owner);
    ~AlarmTrigger() override;

    // The master switch's live copy. Only the start-up sequence and the alarm settings read it;
    // the timers alone decide what fires.
    qint16 ENABLE_ALARMS_TICKBOX = 0;

    AlarmSlot& alarmSlot(int n) { return m_slots.at(n - 1); }
    const AlarmSlot& alarmSlot(int n) const { return m_slots.at(n - 1); }
    Timer* timer(int n) const { return m_timers.at(n - 1); }

    // The alarms whose timers are on, with their live names and times.
    QList<ArmedAlarm> armedAlarms() const;

    // The master switch, then every slot field by field, from the store.
    void load(const SettingsStore& store);

    // The clock has just shown this reading: record it and tick the alarm timers that are on.
    void clockShown(const LocalTimeOfDay& reading);

    // Alarm n's window while it is open, so that a repeat firing raises it instead.
    QM_UTC_ALARM_NOTIFICATION_WINDOW* openNotification(int n) const;

    // The tick of ALARM_n_TIMER.
    void ALARM_TIMER_Timer(int n);

private:
    void announce(int n, const QString& launchFailure);

    SettingsStore& m_settings;
    CommandLauncher& m_launcher;
    QWidget* const m_owner;
    AlarmSlots m_slots;
    std::array<Timer*, 10> m_timers{};
    ShownSeconds m_shownSeconds;
    std::array<AlarmMatcher, 10> m_matchers;
    std::array<QPointer<QM_UTC_ALARM_NOTIFICATION_WINDOW>, 10> m_windows;
};
