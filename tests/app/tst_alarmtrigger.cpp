// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "ProblemCapture.h"
#include "TestTime.h"
#include "notify/QM_UTC_ALARM_NOTIFICATION_WINDOW.h"
#include "platform/Timer.h"
#include "settings/SettingsKeys.h"
#include "widgets/ColourLabel.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <clocale>

using namespace SettingsKeys;

namespace {
// Just after the given second on the test's day, where the ticker wakes.
qint64 utcMs(int h, int mi, int s, int ms = 1)
{
    return TestTime::utcMs(2026, 12, 8, h, mi, s, ms);
}

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

int openWindows(int n)
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count +=
            widget->objectName() == QStringLiteral("QM_UTC_ALARM_%1_NOTIFICATION_WINDOW").arg(n) &&
            widget->isVisible();
    return count;
}
} // namespace

class AlarmTriggerTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestTime::pinUtcAndPlainFormat(); }
    void cleanup()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            widget->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void launchThenWindow_data();
    void launchThenWindow();
    void twoAlarmsInOneSecondKeepTheirOwnStyles();
    void firesOnceForItsSecondAndAgainNextDay();
    void firesUnderATwelveHourClock();
    void failedLaunchStillOpensTheWindowAndShowsWhy();
    void firingWhileItsWindowIsOpenRaisesIt();
    void noCommandFromAFileOthersCanWrite();
    void timerSwitchedOnDuringASecondLeavesThatSecond_data();
    void timerSwitchedOnDuringASecondLeavesThatSecond();
};

void AlarmTriggerTest::launchThenWindow_data()
{
    QTest::addColumn<QString>("runCommand");
    QTest::addColumn<QString>("runHidden");
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("launches");
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("window");
    QTest::newRow("visible command only") << "1"
                                          << "0"
                                          << "0" << 1 << int(LaunchStyle::Normal) << false;
    QTest::newRow("hidden command and window") << "1"
                                               << "1"
                                               << "1" << 1 << int(LaunchStyle::Hidden) << true;
    QTest::newRow("window only") << "0"
                                 << "1"
                                 << "1" << 0 << 0 << true;
    QTest::newRow("nothing wanted") << "0"
                                    << "0"
                                    << "0" << 0 << 0 << false;
    QTest::newRow("display 2 counts off") << "1"
                                          << "0"
                                          << "2" << 1 << int(LaunchStyle::Normal) << false;
    QTest::newRow("run_hidden 2 launches nothing") << "1"
                                                   << "2"
                                                   << "1" << 0 << 0 << true;
}

void AlarmTriggerTest::launchThenWindow()
{
    QFETCH(QString, runCommand);
    QFETCH(QString, runHidden);
    QFETCH(QString, display);
    QFETCH(int, launches);
    QFETCH(int, style);
    QFETCH(bool, window);
    MainWindowFixture fixture;
    fixture.settings.writeValues(alarmAt(3, runCommand, runHidden, display));
    fixture.open();
    int windowsWhenLaunched = -1;
    fixture.launcher.onLaunch = [&] {
        windowsWhenLaunched = openWindows(3);
    };

    fixture.tickAt(utcMs(7, 29, 59));
    QCOMPARE(fixture.launcher.launches.size(), 0);
    fixture.tickAt(utcMs(7, 30, 0));
    QCOMPARE(fixture.launcher.launches.size(), launches);
    if (launches) {
        QCOMPARE(fixture.launcher.launches.first().commandLine, QStringLiteral("wake up"));
        QCOMPARE(int(fixture.launcher.launches.first().style), style);
        QCOMPARE(windowsWhenLaunched, 0); // the command starts before the window opens
    }
    QCOMPARE(openWindows(3), window ? 1 : 0);
}

void AlarmTriggerTest::twoAlarmsInOneSecondKeepTheirOwnStyles()
{
    MainWindowFixture fixture;
    fixture.settings.writeValues(alarmAt(7, "1", "1", "0", "seven"));
    fixture.settings.writeValues(alarmAt(2, "1", "0", "0", "two"));
    fixture.open();
    fixture.tickAt(utcMs(7, 30, 0));
    QCOMPARE(fixture.launcher.launches.size(), 2);
    for (const FakeLauncher::Launch& launch : fixture.launcher.launches) {
        const LaunchStyle expected = launch.commandLine == QLatin1String("seven")
                                         ? LaunchStyle::Hidden
                                         : LaunchStyle::Normal;
        QCOMPARE(launch.style, expected);
    }
}

void AlarmTriggerTest::firesOnceForItsSecondAndAgainNextDay()
{
    MainWindowFixture fixture;
    fixture.settings.writeValues(alarmAt(5, "1", "0", "0"));
    fixture.open();
    // Ticks that bunch, repeat and come late around the alarm's second.
    for (qint64 ms : {utcMs(7, 29, 59, 1), utcMs(7, 30, 0, 1), utcMs(7, 30, 0, 400),
                      utcMs(7, 30, 0, 999), utcMs(7, 30, 2, 300)})
        fixture.tickAt(ms);
    QCOMPARE(fixture.launcher.launches.size(), 1);
    fixture.tickAt(utcMs(7, 30, 0) + 24 * 3600 * 1000);
    QCOMPARE(fixture.launcher.launches.size(), 2);
}

void AlarmTriggerTest::firesUnderATwelveHourClock()
{
    if (!std::setlocale(LC_TIME, "en_US.UTF-8"))
        QFAIL("locale not generated on this machine; scripts/setup.sh generates it");
    MainWindowFixture fixture;
    fixture.settings.writeValues(alarmAt(1, "1", "0", "0"));
    QM_UTC_MAIN& window = fixture.open();
    fixture.tickAt(utcMs(7, 30, 0));
    QCOMPARE(window.LIVE_TIME_LABEL->text(), QStringLiteral("07:30:00 AM"));
    QCOMPARE(fixture.launcher.launches.size(), 1);
}

void AlarmTriggerTest::failedLaunchStillOpensTheWindowAndShowsWhy()
{
    MainWindowFixture fixture;
    fixture.settings.writeValues(alarmAt(4, "1", "0", "1", "Run Command"));
    fixture.launcher.failWith = QStringLiteral("program \"Run\" not found on PATH");
    fixture.open();
    ProblemCapture problems;
    fixture.tickAt(utcMs(7, 30, 0));

    QCOMPARE(problems.lines.size(), 1);
    QVERIFY(problems.lines.first().contains(QLatin1String("alarm 4")));
    QVERIFY(problems.lines.first().contains(QLatin1String("Run Command")));
    auto* window = fixture.window->alarms().openNotification(4);
    QVERIFY(window);
    QVERIFY(window->RUN_COMMAND_ERROR_LABEL->isVisibleTo(window));
    QCOMPARE(window->RUN_COMMAND_ERROR_LABEL->text(), fixture.launcher.failWith);
}

void AlarmTriggerTest::firingWhileItsWindowIsOpenRaisesIt()
{
    MainWindowFixture fixture;
    fixture.settings.writeValues(alarmAt(6, "1", "0", "1"));
    fixture.open();
    fixture.tickAt(utcMs(7, 30, 0));
    auto* first = fixture.window->alarms().openNotification(6);
    QVERIFY(first);
    // Left open until the same time the next day: the command runs again, the window stays one.
    fixture.tickAt(utcMs(7, 30, 0) + 24 * 3600 * 1000);
    QCOMPARE(fixture.launcher.launches.size(), 2);
    QCOMPARE(openWindows(6), 1);
    QCOMPARE(fixture.window->alarms().openNotification(6), first);
}

void AlarmTriggerTest::noCommandFromAFileOthersCanWrite()
{
    MainWindowFixture fixture;
    fixture.settings.writeValues(alarmAt(8, "1", "0", "1"));
    QFile::setPermissions(fixture.settings.filePath(), QFile::ReadOwner | QFile::WriteOwner |
                                                           QFile::ReadGroup | QFile::WriteGroup);
    fixture.open();
    ProblemCapture problems;
    fixture.tickAt(utcMs(7, 30, 0));

    QVERIFY(fixture.launcher.launches.isEmpty());
    QCOMPARE(problems.lines.size(), 1);
    QVERIFY2(problems.lines.first().contains(QLatin1String("chmod 600")),
             qPrintable(problems.lines.first()));
    auto* window = fixture.window->alarms().openNotification(8);
    QVERIFY(window);
    QVERIFY(window->RUN_COMMAND_ERROR_LABEL->text().contains(QLatin1String("chmod 600")));
    window->RUN_NOW_BUTTON->click();
    QVERIFY(fixture.launcher.launches.isEmpty());
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
    MainWindowFixture fixture;
    QList<QPair<QString, QString>> values = alarmAt(2, "1", "0", "0");
    values.removeFirst(); // the master switch stays off: no timer runs at start-up
    fixture.settings.writeValues(values);
    QM_UTC_MAIN& window = fixture.open();
    QVERIFY(!window.alarmTimer(2)->isActive());

    fixture.tickAt(utcMs(7, 29, 59));
    if (switchedOnAt > utcMs(7, 30, 0))
        fixture.tickAt(utcMs(7, 30, 0));
    fixture.time.setEpochMs(switchedOnAt);
    window.alarmTimer(2)->setEnabled(true);
    fixture.tickAt(utcMs(7, 30, 0, 900));
    fixture.tickAt(utcMs(7, 30, 1));
    QTEST(int(fixture.launcher.launches.size()), "launches");
}

QTEST_MAIN(AlarmTriggerTest)
#include "tst_alarmtrigger.moc"
