// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmTrigger.h"

#include "AlarmAnnouncement.h"
#include "AlarmRecord.h"
#include "AlarmSnooze.h"
#include "notify/LaunchRule.h"
#include "platform/ProblemReport.h"
#include "platform/Timer.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "widgets/ShownText.h"

#include <QLocale>

using SettingsKeys::alarm;
using SettingsKeys::AlarmField;

namespace {
QString because(ShownSeconds::GapCause cause)
{
    switch (cause) {
    case ShownSeconds::GapCause::Asleep:
        return QStringLiteral("the computer was asleep or the clock was stopped");
    case ShownSeconds::GapCause::ClockSetForward:
        return QStringLiteral("the system clock was set forward");
    case ShownSeconds::GapCause::ZoneChanged:
        return QStringLiteral("summer time or a new time zone moved the clock forward");
    case ShownSeconds::GapCause::NotRunning:
        return QStringLiteral("the clock was not running");
    case ShownSeconds::GapCause::Unknown:
        break;
    }
    return QStringLiteral("the clock could not show the time");
}

// "Missed at 07:30:00", naming the day where it was not today.
QString missedText(const AlarmMatcher::Missed& missed, QDate today)
{
    QString text = QStringLiteral("Missed at %1").arg(missed.time24);
    const qint64 daysAgo = missed.date.daysTo(today);
    if (daysAgo > 0 && daysAgo < 7)
        text += QStringLiteral(" on ") + QLocale::c().dayName(missed.date.dayOfWeek());
    else if (daysAgo != 0)
        text += QStringLiteral(" on ") + missed.date.toString(Qt::ISODate);
    return text;
}
} // namespace

AlarmTrigger::AlarmTrigger(SettingsStore& settings, CommandLauncher& launcher, QObject* parent)
    : QObject(parent), m_settings(settings), m_launcher(launcher)
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
    m_masterSwitch = store.readFlag(SettingsKeys::ENABLE_ALARMS_TICKBOX);
    setSlots(loadAlarmSlots(store));
    for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
        const QString stored = store.readText(alarm(AlarmField::SNOOZED_UNTIL, n));
        m_snoozes[n - 1] = AlarmSnooze::fromText(stored);
        if (!m_snoozes[n - 1] && !stored.trimmed().isEmpty())
            ProblemReport::report(
                QStringLiteral("alarm %1: %2=%3 is no date and time such as 2026-12-08T07:35:00; "
                               "its snooze is dropped")
                    .arg(QString::number(n), alarm(AlarmField::SNOOZED_UNTIL, n).name,
                         ShownText::cut(stored, ShownText::inLine)));
        const QString skip = store.readText(alarm(AlarmField::SKIP_DATE, n));
        m_skips[n - 1] = AlarmSlot::dateOf(skip);
        if (!m_skips[n - 1] && !skip.trimmed().isEmpty())
            ProblemReport::report(
                QStringLiteral("alarm %1: %2=%3 is no date such as 2026-12-24; nothing is skipped")
                    .arg(QString::number(n), alarm(AlarmField::SKIP_DATE, n).name,
                         ShownText::cut(skip, ShownText::inLine)));
    }
    const std::optional<ShownSeconds::Second> now = m_shownSeconds.last();
    if (now)
        dropPastSkips(now->date);
}

void AlarmTrigger::arm()
{
    for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
        const bool on = arms(m_masterSwitch, alarmSlot(n));
        timer(n)->setEnabled(on);
        if (!on)
            setSnooze(n, std::nullopt);
    }
}

void AlarmTrigger::setMasterSwitch(bool on)
{
    m_masterSwitch = on ? 1 : 0;
    arm();
}

void AlarmTrigger::apply(const AlarmSlots& confirmed)
{
    setSlots(confirmed);
    arm();
}

void AlarmTrigger::follow(const SettingsStore& store, const QSet<QString>& changedKeys)
{
    bool concerned = changedKeys.contains(SettingsKeys::ENABLE_ALARMS_TICKBOX.name);
    for (int n = 1; n <= SettingsKeys::alarmCount && !concerned; ++n) {
        concerned = changedKeys.contains(alarm(AlarmField::SNOOZED_UNTIL, n).name) ||
                    changedKeys.contains(alarm(AlarmField::SKIP_DATE, n).name);
        for (const AlarmRecord::Field& field : AlarmRecord::fields())
            concerned = concerned || changedKeys.contains(alarm(field.key, n).name);
    }
    if (!concerned)
        return;
    load(store);
    arm();
}

void AlarmTrigger::setSlots(const AlarmSlots& alarms)
{
    m_slots = alarms;
    for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
        m_days[n - 1] = AlarmDays::of(alarmSlot(n).days);
        m_onceDates[n - 1] = alarmSlot(n).onceDate();
    }
}

std::optional<QDateTime> AlarmTrigger::lastShown() const
{
    const std::optional<qint64> epoch = m_shownSeconds.lastEpochSecond();
    if (!epoch)
        return std::nullopt;
    return QDateTime::fromSecsSinceEpoch(*epoch);
}

QList<ArmedAlarm> AlarmTrigger::armedAlarms() const
{
    QList<ArmedAlarm> alarms;
    for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
        if (timer(n)->isActive()) {
            alarms.append(armed(n, alarmSlot(n), m_snoozes[n - 1]));
            alarms.last().skip = m_skips[n - 1];
        }
    }
    return alarms;
}

bool AlarmTrigger::arms(qint16 masterSwitch, const AlarmSlot& slot)
{
    return masterSwitch == 1 && slot.enabled == 1;
}

ArmedAlarm AlarmTrigger::armed(int n, const AlarmSlot& slot,
                               const std::optional<LocalTimeOfDay>& snoozedUntil,
                               const QString& skipDate)
{
    ArmedAlarm alarm;
    alarm.number = n;
    alarm.name = slot.name;
    alarm.time = slot.time;
    alarm.days = AlarmDays::of(slot.days);
    alarm.doesNothing = slot.doesNothing();
    alarm.once = slot.onceDate();
    alarm.skip = AlarmSlot::dateOf(skipDate);
    if (snoozedUntil)
        alarm.snoozedUntil = AlarmSnooze::toDateTime(*snoozedUntil);
    return alarm;
}

void AlarmTrigger::clockShown(const LocalTimeOfDay& reading)
{
    m_shownSeconds.record(reading);
    dropPastSkips(reading.date);
    for (Timer* timer : m_timers)
        timer->fire();
}

void AlarmTrigger::ALARM_TIMER_Timer(int n)
{
    const AlarmSlot& slot = alarmSlot(n);
    const AlarmMatcher::Outcome outcome =
        m_matchers[n - 1].check(m_shownSeconds, slot.time, m_days[n - 1], m_snoozes[n - 1],
                                m_onceDates[n - 1], m_skips[n - 1]);
    if (outcome.snoozeSpent)
        setSnooze(n, std::nullopt);
    if (outcome.missed)
        reportMissed(n, *outcome.missed);
    if (outcome.fires)
        fire(n);
}

void AlarmTrigger::fire(int n)
{
    const AlarmSlot& slot = alarmSlot(n);
    // The command first, so that it runs while the window is shown.
    const QString launchFailure =
        LaunchRule::launch(m_launcher, QStringLiteral("alarm %1").arg(n), slot.runCommand,
                           slot.runHidden, slot.command, m_settings.commandRefusal())
            .error;
    if (slot.displayMessage != 1) {
        if (slot.ring == 1)
            emit ringOnce();
        return;
    }
    Announcement announcement = AlarmAnnouncement::of(n, slot);
    announcement.commandRefusal = m_settings.commandRefusal();
    emit announce(announcement, launchFailure);
}

void AlarmTrigger::reportMissed(int n, const AlarmMatcher::Missed& missed)
{
    const AlarmSlot& slot = alarmSlot(n);
    const std::optional<ShownSeconds::Second> now = m_shownSeconds.last();
    const QString text = missedText(missed, now ? now->date : missed.date);
    // A backup or a sound hours late could surprise: the command waits for RUN NOW.
    ProblemReport::report(
        QStringLiteral("alarm %1 \"%2\": %3%4 on %5: %6%7")
            .arg(QString::number(n), ShownText::cut(slot.name, ShownText::inLine),
                 QStringLiteral("missed at ") + missed.time24,
                 missed.snoozed ? QStringLiteral(" (snoozed)") : QString(),
                 missed.date.toString(Qt::ISODate), because(missed.cause),
                 slot.runCommand == 1 ? QStringLiteral("; its command was not run") : QString()));
    if (slot.doesNothing())
        return;
    Announcement announcement = AlarmAnnouncement::of(n, slot);
    announcement.commandRefusal = m_settings.commandRefusal();
    announcement.missed = text;
    // Open until the user has seen it, and silent: no burst of sound for an alarm long past.
    announcement.autoClose.reset();
    announcement.ring = 0;
    emit announce(announcement, QString());
}

void AlarmTrigger::snooze(int n)
{
    if (!timer(n)->isActive())
        return;
    const qint64 delay = qint64(AlarmSnooze::minutes(m_settings)) * 60;
    // From the second the clock shows, as every alarm counts.
    const std::optional<qint64> epoch = m_shownSeconds.lastEpochSecond();
    if (epoch)
        setSnooze(n, LocalTimeOfDay::at((*epoch + delay) * 1000));
}

void AlarmTrigger::setSnooze(int n, const std::optional<LocalTimeOfDay>& until)
{
    const SettingKey key = alarm(AlarmField::SNOOZED_UNTIL, n);
    const QString text = until ? AlarmSnooze::toText(*until) : QString();
    m_snoozes[n - 1] = until;
    // Nothing written for an alarm that was never snoozed, so old files stay as they were.
    if (m_settings.readText(key) != text)
        m_settings.writeText(key, text);
}

void AlarmTrigger::skip(int n, QDate date)
{
    setSkip(n, date);
}

void AlarmTrigger::setSkip(int n, std::optional<QDate> date)
{
    const SettingKey key = alarm(AlarmField::SKIP_DATE, n);
    const QString text = date ? date->toString(Qt::ISODate) : QString();
    m_skips[n - 1] = date;
    if (m_settings.readText(key) != text)
        m_settings.writeText(key, text);
}

void AlarmTrigger::dropPastSkips(QDate today)
{
    for (int n = 1; n <= SettingsKeys::alarmCount; ++n) {
        if (m_skips[n - 1] && *m_skips[n - 1] < today)
            setSkip(n, std::nullopt);
    }
}
