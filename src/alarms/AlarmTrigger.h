// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmDays.h"
#include "AlarmMatcher.h"
#include "AlarmSlot.h"
#include "NextAlarm.h"
#include "ShownSeconds.h"

#include <QObject>
#include <QSet>
#include <array>

struct Announcement;
class CommandLauncher;
class SettingsStore;
class Timer;
struct LocalTimeOfDay;

// The alarm engine: the live copies of the ten alarms and the master switch, the ten alarm
// timers, the snoozed repeats, and what happens when one fires. The clock feeds it every
// reading it shows; each alarm timer that is on then looks at the seconds shown since its
// previous tick, so an alarm fires once for its second whatever the order of wake-ups. An
// alarm whose second the clock could not show (asleep, stalled, set forward) is announced as
// missed, without its command. It launches the commands itself and leaves the windows to
// whoever listens to announce().
class AlarmTrigger : public QObject
{
    Q_OBJECT

public:
    AlarmTrigger(SettingsStore& settings, CommandLauncher& launcher, QObject* parent);
    ~AlarmTrigger() override;

    // The live copy of the master switch, ENABLE_ALARMS_TICKBOX; arm() reads it, and the
    // timers alone decide what fires.
    qint16 masterSwitch() const { return m_masterSwitch; }
    // The live copy of alarm n.
    const AlarmSlot& alarmSlot(int n) const { return m_slots.at(n - 1); }
    Timer* timer(int n) const { return m_timers.at(n - 1); }

    // The moment of the second the clock showed last, if it showed one.
    std::optional<QDateTime> lastShown() const;
    // The alarms whose timers are on, with their live names and times.
    QList<ArmedAlarm> armedAlarms() const;
    // The rule arm() applies: the master switch and the alarm's own flag are both exactly 1.
    static bool arms(qint16 masterSwitch, const AlarmSlot& slot);
    // Alarm n as armedAlarms() gives it.
    // `skipDate` as ALARM_n_SKIP_DATE holds it.
    static ArmedAlarm armed(int n, const AlarmSlot& slot,
                            const std::optional<LocalTimeOfDay>& snoozedUntil,
                            const QString& skipDate = QString());

    // The master switch, then every slot field by field, from the store.
    void load(const SettingsStore& store);

    // Switches each alarm timer on exactly when the master switch and the alarm's own flag
    // are both on in the live copies, as the store holds them too. Applied at start-up, when
    // the master switch changes and when the alarm settings are confirmed, it keeps what is
    // armed, what the file says and what the next start arms the same.
    void arm();
    // The master switch set from its tick box, then arm().
    void setMasterSwitch(bool on);
    // The alarms as the settings window confirmed them become the live copies, then arm().
    void apply(const AlarmSlots& confirmed);
    // Another program changed these keys in the file: if the master switch or a field of an
    // alarm is among them, load() and arm() again.
    void follow(const SettingsStore& store, const QSet<QString>& changedKeys);

    // The clock has just shown this reading: record it and tick the alarm timers that are on.
    void clockShown(const LocalTimeOfDay& reading);

    // The tick of ALARM_n_TIMER.
    void ALARM_TIMER_Timer(int n);

    // Brings alarm n back once, SNOOZE_MINUTES after the second the clock shows now, as it
    // fires (command and window as its flags say). Kept in the settings file until it fires,
    // is missed or is cancelled: by switching the alarm or Enable Alarms off. An alarm that is
    // not armed is not snoozed.
    void snooze(int n);
    std::optional<LocalTimeOfDay> snoozedUntil(int n) const { return m_snoozes.at(n - 1); }

    // Alarm n stays silent on that date, and is not reported missed there; kept in the
    // settings file until the date has passed.
    void skip(int n, QDate date);
    std::optional<QDate> skipDate(int n) const { return m_skips.at(n - 1); }

signals:
    // An alarm whose message is wanted has fired, after its command was launched: what its
    // window announces, and why the command did not start (empty when it did or none was due).
    void announce(const Announcement& announcement, const QString& launchFailure);
    // An alarm that rings but shows no window has fired: its sound plays once, as there is no
    // window to answer it.
    void ringOnce();

private:
    void fire(int n);
    void reportMissed(int n, const AlarmMatcher::Missed& missed);
    void setSnooze(int n, const std::optional<LocalTimeOfDay>& until);
    void setSkip(int n, std::optional<QDate> date);
    // Clears the skips whose date the clock has left behind.
    void dropPastSkips(QDate today);
    void setSlots(const AlarmSlots& alarms);

    SettingsStore& m_settings;
    CommandLauncher& m_launcher;
    qint16 m_masterSwitch = 0;
    AlarmSlots m_slots;
    // The slots' days read once, not every second.
    std::array<AlarmDays, SettingsKeys::alarmCount> m_days;
    std::array<Timer*, SettingsKeys::alarmCount> m_timers{};
    ShownSeconds m_shownSeconds;
    std::array<AlarmMatcher, SettingsKeys::alarmCount> m_matchers;
    std::array<std::optional<LocalTimeOfDay>, SettingsKeys::alarmCount> m_snoozes;
    std::array<std::optional<QDate>, SettingsKeys::alarmCount> m_skips;
    // The slots' dates read once.
    std::array<std::optional<QDate>, SettingsKeys::alarmCount> m_onceDates;
};
