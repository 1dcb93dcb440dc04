// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmTrigger.h"

#include "notify/LaunchRule.h"
#include "notify/QM_UTC_ALARM_NOTIFICATION_WINDOW.h"
#include "platform/Timer.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

AlarmTrigger::AlarmTrigger(SettingsStore& settings, CommandLauncher& launcher, QWidget* owner)
    : QObject(owner), m_settings(settings), m_launcher(launcher), m_owner(owner)
{
    setObjectName(QStringLiteral("alarm-trigger"));
    for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
        // Created off and without an interval, so nothing fires before the start-up sequence.
        auto* timer = new Timer(QStringLiteral("ALARM_%1_TIMER").arg(n), false, this);
        timer->followOwner();
        m_timers[n - 1] = timer;
        connect(timer, &Timer::timeout, this, [this, n] { ALARM_TIMER_Timer(n); });
        // Switched on during a second, it leaves that second alone.
        connect(timer, &Timer::started, this, [this, n] { m_matchers[n - 1].arm(m_shownSeconds); });
    }
}

AlarmTrigger::~AlarmTrigger() = default;

void AlarmTrigger::load(const SettingsStore& store)
{
    ENABLE_ALARMS_TICKBOX = store.readFlag(SettingsKeys::ENABLE_ALARMS_TICKBOX);
    m_slots = loadAlarmSlots(store);
}

QList<ArmedAlarm> AlarmTrigger::armedAlarms() const
{
    QList<ArmedAlarm> armed;
    for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
        if (timer(n)->isActive())
            armed.append({n, alarmSlot(n).name, alarmSlot(n).time});
    }
    return armed;
}

void AlarmTrigger::clockShown(const LocalTimeOfDay& reading)
{
    m_shownSeconds.record(reading);
    for (Timer* timer : m_timers)
        timer->fire();
}

QM_UTC_ALARM_NOTIFICATION_WINDOW* AlarmTrigger::openNotification(int n) const
{
    QM_UTC_ALARM_NOTIFICATION_WINDOW* window = m_windows.at(n - 1);
    return window && !window->isUnloaded() ? window : nullptr;
}

void AlarmTrigger::ALARM_TIMER_Timer(int n)
{
    const AlarmSlot& slot = alarmSlot(n);
    if (!m_matchers[n - 1].check(m_shownSeconds, slot.time))
        return;
    // The command first, so that it runs while the window is shown.
    const QString launchFailure =
        LaunchRule::launch(m_launcher, QStringLiteral("alarm %1").arg(n), slot.run_command,
                           slot.run_hidden, slot.command, m_settings.commandRefusal());
    if (slot.display_message == 1)
        announce(n, launchFailure);
}

void AlarmTrigger::announce(int n, const QString& launchFailure)
{
    QM_UTC_ALARM_NOTIFICATION_WINDOW* window = openNotification(n);
    if (!window) {
        Announcement announcement = Announcement::forAlarm(n, alarmSlot(n));
        announcement.commandRefusal = m_settings.commandRefusal();
        window =
            new QM_UTC_ALARM_NOTIFICATION_WINDOW(announcement, m_settings, m_launcher, m_owner);
        m_windows[n - 1] = window;
    }
    window->setLaunchFailure(launchFailure);
    // Modal over the strip, but the tick does not wait for it: this alarm's timer keeps its
    // seconds, so the same alarm tomorrow still runs its command and raises the window.
    window->show();
    window->raise();
}
