// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeLauncher.h"
#include "FakeTimeSource.h"
#include "ProblemCapture.h"
#include "TestSettings.h"
#include "TestTime.h"
#include "alarms/AlarmTrigger.h"
#include "notify/Announcement.h"
#include "platform/LocalTimeOfDay.h"
#include "platform/Timer.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <clocale>
#include <memory>

using namespace SettingsKeys;

Q_DECLARE_METATYPE(Announcement)

namespace {
// Just after the given second on the test's day, where the ticker wakes.
qint64 utcMs(int h, int mi, int s, int ms = 1)
{
    return TestTime::utcMs(2026, 12, 8, h, mi, s, ms);
}

constexpr qint64 dayMs = 24 * 3600 * 1000;

// Alarm n at 07:30:00 with its flags, the master switch on.
QList<QPair<QString, QString>> alarmAt(int n, const QString& runCommand, const QString& runHidden,
                                       const QString& display,
                                       const QString& command = QStringLiteral("wake up"))
{
    return {{ENABLE_ALARMS_TICKBOX.name, "1"},
            {alarm(AlarmField::TICKBOX, n).name, "1"},
            {alarm(AlarmField::NAME_TEXTBOX, n).name, QStringLiteral("Alarm %1").arg(n)},
            {alarm(AlarmField::TIME_TEXTBOX, n).name, "07:30:00"},
            {alarm(AlarmField::RUN_COMMAND_TICKBOX, n).name, runCommand},
            {alarm(AlarmField::RUN_HIDDEN_TICKBOX, n).name, runHidden},
            {alarm(AlarmField::DISPLAY_MESSAGE_TICKBOX, n).name, display},
            {alarm(AlarmField::RUN_COMMAND_TEXTBOX, n).name, command}};
}

// The trigger alone, over a throw-away store, armed as the start-up sequence arms it; what it
// asks to announce is recorded, no window is opened.
struct Armed
{
    explicit Armed(TestSettings& settings)
        : trigger(settings.store(), launcher, nullptr), announced(&trigger, &AlarmTrigger::announce)
    {
        trigger.load(settings.store());
        for (int n = 1; n <= alarmCount; ++n)
            trigger.timer(n)->setInterval(1000);
        trigger.arm();
    }

    void tickAt(qint64 epochMs) { trigger.clockShown(LocalTimeOfDay::at(epochMs)); }
    // The clock shows what the fake time source says, its uptime included.
    void tick() { trigger.clockShown(time.localTimeOfDay()); }
    // One tick a second, from the time source's second on to the given one.
    void tickEachSecondUntil(qint64 epochMs)
    {
        while (time.msSinceEpoch() < epochMs) {
            time.advanceMs(1000);
            tick();
        }
    }

    Announcement announcement(int i) const { return announced.at(i).at(0).value<Announcement>(); }
    QString launchFailure(int i) const { return announced.at(i).at(1).toString(); }

    FakeLauncher launcher;
    FakeTimeSource time;
    AlarmTrigger trigger;
    QSignalSpy announced;
};
} // namespace

class AlarmTriggerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<Announcement>(); }
    void init() { TestTime::pinUtcAndPlainFormat(); }
    void launchThenAnnounce_data();
    void launchThenAnnounce();
    void twoAlarmsInOneSecondKeepTheirOwnStyles();
    void firesOnceForItsSecondAndAgainNextDay();
    void firesUnderATwelveHourClock();
    void failedLaunchIsAnnouncedWithItsReason();
    void noCommandFromAFileOthersCanWrite();
    void timerSwitchedOnDuringASecondLeavesThatSecond_data();
    void timerSwitchedOnDuringASecondLeavesThatSecond();
    void missedAlarmIsSaidOnceWithoutItsCommand_data();
    void missedAlarmIsSaidOnceWithoutItsCommand();
    void snoozeBringsTheAlarmBackOnce_data();
    void snoozeBringsTheAlarmBackOnce();
    void skippedDateIsSilentAndThenCleared_data();
    void skippedDateIsSilentAndThenCleared();
};

void AlarmTriggerTest::launchThenAnnounce_data()
{
    QTest::addColumn<QString>("runCommand");
    QTest::addColumn<QString>("runHidden");
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("launches");
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("announced");
    const auto row = [](const char* name, const char* command, const char* hidden,
                        const char* display, int launches, LaunchStyle style, bool announced) {
        QTest::newRow(name) << QString(command) << QString(hidden) << QString(display) << launches
                            << int(style) << announced;
    };
    row("visible command only", "1", "0", "0", 1, LaunchStyle::Normal, false);
    row("hidden command and window", "1", "1", "1", 1, LaunchStyle::Hidden, true);
    row("window only", "0", "1", "1", 0, LaunchStyle::Normal, true);
    row("nothing wanted", "0", "0", "0", 0, LaunchStyle::Normal, false);
    row("display 2 counts off", "1", "0", "2", 1, LaunchStyle::Normal, false);
    row("runHidden 2 launches nothing", "1", "2", "1", 0, LaunchStyle::Normal, true);
}

void AlarmTriggerTest::launchThenAnnounce()
{
    QFETCH(QString, runCommand);
    QFETCH(QString, runHidden);
    QFETCH(QString, display);
    QFETCH(int, launches);
    QFETCH(bool, announced);
    TestSettings settings;
    settings.writeValues(alarmAt(3, runCommand, runHidden, display));
    Armed armed(settings);
    qsizetype announcedWhenLaunched = -1;
    armed.launcher.onLaunch = [&] {
        announcedWhenLaunched = armed.announced.size();
    };

    armed.tickAt(utcMs(7, 29, 59));
    QCOMPARE(armed.launcher.launches.size(), 0);
    armed.tickAt(utcMs(7, 30, 0));
    QCOMPARE(armed.launcher.launches.size(), launches);
    if (launches) {
        QCOMPARE(armed.launcher.launches.first().commandLine, QStringLiteral("wake up"));
        QTEST(int(armed.launcher.launches.first().style), "style");
        QCOMPARE(announcedWhenLaunched, 0); // the command starts before the window opens
    }
    QCOMPARE(armed.announced.size(), announced ? 1 : 0);
    if (announced) {
        const Announcement a = armed.announcement(0);
        QCOMPARE(a.windowName, QStringLiteral("QM_UTC_ALARM_3_NOTIFICATION_WINDOW"));
        QCOMPARE(a.title, QStringLiteral("QM-UTC - !!! ALARM NOTIFICATION - !!! - Alarm 3"));
        QCOMPARE(a.badge, QStringLiteral("3"));
        QCOMPARE(a.runHidden, qint16(runHidden.toShort()));
        QVERIFY(!a.takesFocus);
    }
}

void AlarmTriggerTest::twoAlarmsInOneSecondKeepTheirOwnStyles()
{
    TestSettings settings;
    settings.writeValues(alarmAt(7, "1", "1", "1", "seven"));
    settings.writeValues(alarmAt(2, "1", "0", "1", "two"));
    Armed armed(settings);
    armed.tickAt(utcMs(7, 30, 0));
    QCOMPARE(armed.launcher.launches.size(), 2);
    for (const FakeLauncher::Launch& launch : armed.launcher.launches) {
        const LaunchStyle expected = launch.commandLine == QLatin1String("seven")
                                         ? LaunchStyle::Hidden
                                         : LaunchStyle::Normal;
        QCOMPARE(launch.style, expected);
    }
    // Each its own window.
    QCOMPARE(armed.announced.size(), 2);
    QCOMPARE(armed.announcement(0).badge + armed.announcement(1).badge, QStringLiteral("27"));
}

void AlarmTriggerTest::firesOnceForItsSecondAndAgainNextDay()
{
    TestSettings settings;
    settings.writeValues(alarmAt(5, "1", "0", "1"));
    Armed armed(settings);
    // Ticks that bunch, repeat and come late around the alarm's second.
    for (qint64 ms : {utcMs(7, 29, 59, 1), utcMs(7, 30, 0, 1), utcMs(7, 30, 0, 400),
                      utcMs(7, 30, 0, 999), utcMs(7, 30, 2, 300)})
        armed.tickAt(ms);
    QCOMPARE(armed.launcher.launches.size(), 1);
    QCOMPARE(armed.announced.size(), 1);
    // The window may still be open the next day: the alarm fires all the same.
    armed.tickAt(utcMs(7, 30, 0) + dayMs);
    QCOMPARE(armed.launcher.launches.size(), 2);
    QCOMPARE(armed.announced.size(), 2);
}

void AlarmTriggerTest::firesUnderATwelveHourClock()
{
    if (!std::setlocale(LC_TIME, "en_US.UTF-8"))
        QFAIL("locale not generated on this machine; scripts/setup.sh generates it");
    TestSettings settings;
    settings.writeValues(alarmAt(1, "1", "0", "0"));
    Armed armed(settings);
    QCOMPARE(LocalTimeOfDay::at(utcMs(7, 30, 0)).regionalText, QStringLiteral("07:30:00 AM"));
    armed.tickAt(utcMs(7, 30, 0));
    QCOMPARE(armed.launcher.launches.size(), 1);
}

void AlarmTriggerTest::failedLaunchIsAnnouncedWithItsReason()
{
    TestSettings settings;
    settings.writeValues(alarmAt(4, "1", "0", "1", "Run Command"));
    Armed armed(settings);
    armed.launcher.failWith = QStringLiteral("program \"Run\" not found on PATH");
    ProblemCapture problems;
    armed.tickAt(utcMs(7, 30, 0));

    QCOMPARE(problems.lines.size(), 1);
    QVERIFY(problems.lines.first().contains(QLatin1String("alarm 4")));
    QVERIFY(problems.lines.first().contains(QLatin1String("Run Command")));
    QCOMPARE(armed.announced.size(), 1);
    QCOMPARE(armed.launchFailure(0), armed.launcher.failWith);
}

void AlarmTriggerTest::noCommandFromAFileOthersCanWrite()
{
    TestSettings settings;
    settings.writeValues(alarmAt(8, "1", "0", "1"));
    QFile::setPermissions(settings.filePath(), QFile::ReadOwner | QFile::WriteOwner |
                                                   QFile::ReadOther | QFile::WriteOther);
    Armed armed(settings);
    ProblemCapture problems;
    armed.tickAt(utcMs(7, 30, 0));

    QVERIFY(armed.launcher.launches.isEmpty());
    QCOMPARE(problems.lines.size(), 1);
    QVERIFY2(problems.lines.first().contains(QLatin1String("chmod 600")),
             qPrintable(problems.lines.first()));
    // The window says why, and its RUN NOW is refused the same way.
    QVERIFY(armed.launchFailure(0).contains(QLatin1String("chmod 600")));
    QVERIFY(armed.announcement(0).commandRefusal.contains(QLatin1String("chmod 600")));
}

void AlarmTriggerTest::timerSwitchedOnDuringASecondLeavesThatSecond_data()
{
    QTest::addColumn<qint64>("switchedOnAt");
    QTest::addColumn<int>("launches");
    QTest::newRow("before the alarm's second") << utcMs(7, 29, 59, 500) << 1;
    QTest::newRow("during the alarm's second") << utcMs(7, 30, 0, 500) << 0;
}

void AlarmTriggerTest::timerSwitchedOnDuringASecondLeavesThatSecond()
{
    QFETCH(qint64, switchedOnAt);
    TestSettings settings;
    QList<QPair<QString, QString>> values = alarmAt(2, "1", "0", "0");
    values.removeFirst(); // the master switch stays off: no timer runs at start-up
    settings.writeValues(values);
    Armed armed(settings);
    QVERIFY(!armed.trigger.timer(2)->isActive());

    armed.tickAt(utcMs(7, 29, 59));
    if (switchedOnAt > utcMs(7, 30, 0))
        armed.tickAt(utcMs(7, 30, 0));
    armed.trigger.timer(2)->setEnabled(true);
    armed.tickAt(utcMs(7, 30, 0, 900));
    armed.tickAt(utcMs(7, 30, 1));
    QTEST(int(armed.launcher.launches.size()), "launches");
}

void AlarmTriggerTest::missedAlarmIsSaidOnceWithoutItsCommand_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("runCommand");
    QTest::addColumn<bool>("uptimeGoesOn"); // false: the system clock was set
    QTest::addColumn<QString>("said");      // in the one line on standard error
    QTest::addColumn<bool>("announced");    // a window marked as missed
    // clang-format off
    QTest::newRow("asleep over it")            << "1" << "1" << true << "missed at 07:30:00 on 2026-12-08: the computer was asleep" << true;
    QTest::newRow("clock set forward over it") << "1" << "1" << false << "the system clock was set forward" << true;
    QTest::newRow("a command alone: its window, to run it by hand") << "0" << "1" << true << "its command was not run" << true;
    QTest::newRow("nothing to show or run: only said") << "0" << "0" << true << "missed at 07:30:00" << false;
    // clang-format on
}

// From 07:29:00 to 07:31:30 without a second shown, then on.
void AlarmTriggerTest::missedAlarmIsSaidOnceWithoutItsCommand()
{
    QFETCH(QString, display);
    QFETCH(QString, runCommand);
    QFETCH(bool, uptimeGoesOn);
    QFETCH(QString, said);
    QFETCH(bool, announced);
    TestSettings settings;
    QList<QPair<QString, QString>> values = alarmAt(3, runCommand, "0", display);
    values.append({alarm(AlarmField::MESSAGE_AUTO_CLOSE_TICKBOX, 3).name, "1"});
    settings.writeValues(values);
    Armed armed(settings);
    ProblemCapture problems;
    armed.time.setBootMs(3600 * 1000);
    armed.time.setEpochMs(utcMs(7, 29, 0));
    armed.tick();
    if (uptimeGoesOn)
        armed.time.advanceMs(150 * 1000);
    else
        armed.time.setEpochMs(utcMs(7, 31, 30));
    armed.tick();
    armed.tickEachSecondUntil(utcMs(7, 31, 35));

    QVERIFY(armed.launcher.launches.isEmpty());
    QCOMPARE(problems.lines.size(), 1);
    QVERIFY2(problems.lines.first().contains(said), qPrintable(problems.lines.first()));
    QCOMPARE(armed.announced.size(), announced ? 1 : 0);
    if (announced) {
        const Announcement a = armed.announcement(0);
        QCOMPARE(a.missed, QStringLiteral("Missed at 07:30:00"));
        QCOMPARE(a.runCommand, qint16(runCommand.toShort())); // RUN NOW runs it by hand
        QVERIFY(!a.autoClose);                                // it stays open
    }
}

void AlarmTriggerTest::snoozeBringsTheAlarmBackOnce_data()
{
    QTest::addColumn<QString>("minutes"); // SNOOZE_MINUTES, "-" for none
    QTest::addColumn<QString>("then");
    QTest::addColumn<int>("repeats");
    QTest::addColumn<QString>("missed");
    QTest::addColumn<int>("problems");
    // Snoozed at 07:30:10: until 07:35:10, or 07:31:10 by the key.
    // clang-format off
    QTest::newRow("five minutes")                         << "-" << "wait" << 1 << "" << 0;
    QTest::newRow("one minute by the key")                << "1" << "wait" << 1 << "" << 0;
    QTest::newRow("a bad value: five minutes, said once") << "0" << "wait" << 1 << "" << 1;
    QTest::newRow("kept over a restart")                  << "-" << "restart" << 1 << "" << 0;
    QTest::newRow("restarted after it was due")           << "-" << "restart late" << 0 << "Missed at 07:35:10" << 1;
    QTest::newRow("alarm switched off")                   << "-" << "untick" << 0 << "" << 0;
    QTest::newRow("Enable Alarms switched off")           << "-" << "master off" << 0 << "" << 0;
    QTest::newRow("clock set forward over it")            << "-" << "forward" << 0 << "Missed at 07:35:10" << 1;
    // clang-format on
}

void AlarmTriggerTest::snoozeBringsTheAlarmBackOnce()
{
    QFETCH(QString, minutes);
    QFETCH(QString, then);
    QFETCH(QString, missed);
    TestSettings settings;
    settings.writeValues(alarmAt(2, "1", "0", "1"));
    if (minutes != "-")
        settings.writeValues({{SNOOZE_MINUTES.name, minutes}});
    auto armed = std::make_unique<Armed>(settings);
    ProblemCapture problems;
    armed->time.setEpochMs(utcMs(7, 30, 0));
    armed->tick();
    QCOMPARE(armed->launcher.launches.size(), 1);
    armed->tickEachSecondUntil(utcMs(7, 30, 10));
    armed->trigger.snooze(2);
    const QString key = alarm(AlarmField::SNOOZED_UNTIL, 2).name;
    QCOMPARE(settings.onDisk(key),
             QStringLiteral("2026-12-08T07:%1:10").arg(minutes == "1" ? 31 : 35));
    QVERIFY(armed->trigger.armedAlarms().first().snoozedUntil);

    if (then.startsWith("restart")) {
        settings.reopen();
        armed = std::make_unique<Armed>(settings);
        armed->time.setEpochMs(then == "restart" ? utcMs(7, 30, 20) : utcMs(7, 40, 0));
        armed->tick();
    } else if (then == "untick") {
        AlarmSlots alarms;
        for (int n = 1; n <= alarmCount; ++n)
            alarms[n - 1] = armed->trigger.alarmSlot(n);
        alarms[1].enabled = 0;
        armed->trigger.apply(alarms);
        alarms[1].enabled = 1;
        armed->trigger.apply(alarms); // switched on again, the snooze stays gone
    } else if (then == "master off") {
        armed->trigger.setMasterSwitch(false);
        armed->trigger.setMasterSwitch(true);
    } else if (then == "forward") {
        armed->time.setEpochMs(utcMs(7, 40, 0));
        armed->tick();
    }
    const qsizetype launchesBefore = armed->launcher.launches.size();
    armed->tickEachSecondUntil(utcMs(7, 41, 0));
    // Snooze on the window that came back snoozes again.
    armed->trigger.snooze(2);
    QTEST(int(armed->launcher.launches.size() - launchesBefore), "repeats");
    QStringList marks;
    for (int i = 0; i < armed->announced.size(); ++i) {
        if (!armed->announcement(i).missed.isEmpty())
            marks << armed->announcement(i).missed;
    }
    QCOMPARE(marks.join(", "), missed);
    QTEST(int(problems.lines.size()), "problems");
    QCOMPARE(settings.onDisk(key),
             QStringLiteral("2026-12-08T07:%1:00").arg(minutes == "1" ? 42 : 46));
}

void AlarmTriggerTest::skippedDateIsSilentAndThenCleared_data()
{
    QTest::addColumn<QString>("how"); // "strip": skip(), "file": a hand edit followed
    QTest::addColumn<QString>("skipped");
    QTest::addColumn<int>("firstDay"); // announcements on the test's day, the day after
    QTest::addColumn<int>("secondDay");
    QTest::newRow("skipped from the strip") << "strip"
                                            << "2026-12-08" << 0 << 1;
    QTest::newRow("skipped by a hand edit") << "file"
                                            << "2026-12-08" << 0 << 1;
    QTest::newRow("the day after skipped") << "file"
                                           << "2026-12-09" << 1 << 0;
    QTest::newRow("a past date: cleared at once") << "file"
                                                  << "2026-12-01" << 1 << 1;
}

void AlarmTriggerTest::skippedDateIsSilentAndThenCleared()
{
    QFETCH(QString, how);
    QFETCH(QString, skipped);
    TestSettings settings;
    settings.writeValues(alarmAt(3, "1", "0", "1"));
    Armed armed(settings);
    ProblemCapture problems;
    const SettingKey key = alarm(AlarmField::SKIP_DATE, 3);
    armed.tickAt(utcMs(7, 0, 0));
    if (how == "strip") {
        armed.trigger.skip(3, QDate::fromString(skipped, Qt::ISODate));
    } else {
        settings.store().writeText(key, skipped);
        armed.trigger.follow(settings.store(), {key.name});
    }
    // Through a gap over it, then its second shown: neither fired nor missed.
    armed.tickAt(utcMs(7, 29, 0));
    armed.tickAt(utcMs(7, 31, 0));
    armed.tickAt(utcMs(7, 30, 0));
    QTEST(int(armed.announced.size()), "firstDay");
    armed.tickAt(utcMs(7, 30, 0) + dayMs);
    QFETCH(int, firstDay);
    QTEST(int(armed.announced.size()) - firstDay, "secondDay");
    // Cleared in the file once its date has passed.
    armed.tickAt(utcMs(0, 0, 0) + 2 * dayMs);
    QCOMPARE(settings.store().readText(key), QString());
}

QTEST_GUILESS_MAIN(AlarmTriggerTest)
#include "tst_alarmtrigger.moc"
