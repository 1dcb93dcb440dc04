// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "ProblemCapture.h"
#include "TestTime.h"
#include "TestWindows.h"
#include "notify/QM_UTC_ALARM_NOTIFICATION_WINDOW.h"
#include "notify/SoundSettings.h"
#include "platform/Timer.h"
#include "widgets/FlowLabel.h"

#include <QPushButton>
#include <QTest>

namespace {
using Window = QM_UTC_ALARM_NOTIFICATION_WINDOW;

// Alarm 1 at 07:30:00 rings with its window, under the entries given, which come later and win.
void store(MainWindowFixture& fixture, const QStringList& entries)
{
    QList<QPair<QString, QString>> values{{"ENABLE_ALARMS_TICKBOX", "1"},
                                          {"ALARM_1_TICKBOX", "1"},
                                          {"ALARM_1_TIME_TEXTBOX", "07:30:00"},
                                          {"ALARM_1_DISPLAY_MESSAGE_TICKBOX", "1"},
                                          {"ALARM_1_RING_TICKBOX", "1"}};
    for (const QString& entry : entries)
        values.append({entry.section(u'=', 0, 0), entry.section(u'=', 1)});
    fixture.settings.writeValues(values);
}

// The clock at HH:MM:SS on the test's day, or "tomorrow HH:MM:SS"; its uptime moves with it.
void showTime(MainWindowFixture& fixture, const QString& when)
{
    const QTime time = QTime::fromString(when.section(u' ', -1), QStringLiteral("HH:mm:ss"));
    const qint64 ms = QDateTime(QDate(2026, 12, when.startsWith("tomorrow") ? 9 : 8), time, Qt::UTC)
                          .toMSecsSinceEpoch() +
                      1;
    fixture.time.setEpochMs(ms);
    fixture.time.setBootMs(quint64(ms - TestTime::utcMs(2026, 12, 8, 0, 0, 0)));
    fixture.ticker.tick();
}

Window* windowOf(MainWindowFixture& fixture, int n)
{
    return fixture.window->notifier().openWindow(
        QStringLiteral("QM_UTC_ALARM_%1_NOTIFICATION_WINDOW").arg(n));
}

// One step of what the user and the clock do: a time the clock shows, or "ok 1", "snooze 1",
// "close 1" (the close box), "run 1" (RUN NOW), "countdown 1" (Auto Close runs out), "open 1"
// (its window is still open).
void act(MainWindowFixture& fixture, const QString& step)
{
    if (step.front().isDigit() || step.startsWith("tomorrow")) {
        showTime(fixture, step);
        return;
    }
    const QString what = step.section(u' ', 0, 0);
    Window* window = windowOf(fixture, step.section(u' ', 1).toInt());
    QVERIFY2(window, qPrintable(step + ": no window"));
    if (what == "ok")
        window->OK_BUTTON->click();
    else if (what == "snooze")
        window->SNOOZE_BUTTON->click();
    else if (what == "close")
        window->close();
    else if (what == "run")
        window->RUN_NOW_BUTTON->click();
    else if (what == "countdown")
        for (int tick = 0; tick < 11; ++tick)
            window->ALARM_MESSAGE_AUTOCLOSE_TIMER->fire();
}
} // namespace

class RingerTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestTime::pinUtcAndPlainFormat(); }
    void cleanup() { TestWindows::closeAll(); }

    // What is heard at each step: the sound looped ("loop"), played once ("once"), stopped.
    void whatIsHeard_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("heard");
        QTest::newRow("OK answers it")
            << QStringList{} << QStringList{"07:29:59", "07:30:00", "ok 1"}
            << QStringList{"", "loop", "stop"};
        QTest::newRow("a file without Ring: silence")
            << QStringList{"ALARM_1_RING_TICKBOX="} << QStringList{"07:30:00", "open 1", "ok 1"}
            << QStringList{"", "", ""};
        QTest::newRow("the close box answers it")
            << QStringList{} << QStringList{"07:30:00", "close 1"} << QStringList{"loop", "stop"};
        QTest::newRow("Auto Close's end answers it")
            << QStringList{"ALARM_1_MESSAGE_AUTO_CLOSE_TICKBOX=1"}
            << QStringList{"07:30:00", "countdown 1"} << QStringList{"loop", "stop"};
        QTest::newRow("Snooze stops it; it rings again when the snooze ends")
            << QStringList{"SNOOZE_MINUTES=1"}
            << QStringList{"07:30:00", "snooze 1", "07:30:59", "07:31:00", "ok 1"}
            << QStringList{"loop", "stop", "", "loop", "stop"};
        QTest::newRow("RUN NOW does not restart it")
            << QStringList{"ALARM_1_RUN_COMMAND_TICKBOX=1"}
            << QStringList{"07:30:00", "run 1", "ok 1"} << QStringList{"loop", "", "stop"};
        QTest::newRow("the ring time ends it; the window stays, and rings again tomorrow")
            << QStringList{"SOUND_RING_MINUTES=2"}
            << QStringList{"07:30:00", "07:31:59",          "07:32:00",
                           "open 1",   "tomorrow 07:30:00", "ok 1"}
            << QStringList{"loop", "", "stop", "", "loop", "stop"};
        QTest::newRow("two alarms in one second ring once, until both are answered")
            << QStringList{"ALARM_2_TICKBOX=1", "ALARM_2_TIME_TEXTBOX=07:30:00",
                           "ALARM_2_DISPLAY_MESSAGE_TICKBOX=1", "ALARM_2_RING_TICKBOX=1"}
            << QStringList{"07:30:00", "ok 2", "ok 1"} << QStringList{"loop", "", "stop"};
        QTest::newRow("a second alarm rings on with the first, past the first's ring time")
            << QStringList{"SOUND_RING_MINUTES=1", "ALARM_2_TICKBOX=1",
                           "ALARM_2_TIME_TEXTBOX=07:30:30", "ALARM_2_DISPLAY_MESSAGE_TICKBOX=1",
                           "ALARM_2_RING_TICKBOX=1"}
            << QStringList{"07:30:00", "07:30:30", "07:31:00", "07:31:30"}
            << QStringList{"loop", "", "", "stop"};
        QTest::newRow("a missed alarm is silent")
            << QStringList{} << QStringList{"07:29:59", "07:35:00", "open 1"}
            << QStringList{"", "", ""};
        QTest::newRow("without a window to answer, it plays once")
            << QStringList{"ALARM_1_DISPLAY_MESSAGE_TICKBOX=0"} << QStringList{"07:30:00"}
            << QStringList{"once"};
    }

    void whatIsHeard()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, steps);
        MainWindowFixture fixture;
        store(fixture, stored);
        showTime(fixture, QStringLiteral("07:29:58"));
        fixture.open();
        QStringList heard;
        for (const QString& step : steps) {
            fixture.sound.heard.clear();
            act(fixture, step);
            if (step.startsWith("open"))
                QVERIFY2(windowOf(fixture, step.section(u' ', 1).toInt()), qPrintable(step));
            // Silent as the window closes, not once it is gone.
            heard << fixture.sound.heard.join(u' ');
            TestWindows::discardClosed();
        }
        QTEST(heard, "heard");
    }

    // Each key read into its range: a number outside it clamped, anything else the default,
    // either said once; the fade no longer than the ring.
    void soundSettingsAreBroughtIntoRange_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QList<int>>("read"); // volume, fade seconds, ring minutes
        QTest::addColumn<QString>("said");
        QTest::newRow("none stored") << QStringList{} << QList<int>{80, 10, 10} << "";
        QTest::newRow("as set") << QStringList{"SOUND_VOLUME=35", "SOUND_FADE_IN_SECONDS=0",
                                               "SOUND_RING_MINUTES=3"}
                                << QList<int>{35, 0, 3} << "";
        QTest::newRow("too loud")
            << QStringList{"SOUND_VOLUME=150"} << QList<int>{100, 10, 10}
            << "SOUND_VOLUME=150 is outside 0 to 100; the alarms ring at 100 %";
        QTest::newRow("below silence")
            << QStringList{"SOUND_VOLUME=-5"} << QList<int>{0, 10, 10}
            << "SOUND_VOLUME=-5 is outside 0 to 100; the alarms ring at 0 %";
        QTest::newRow("not a number")
            << QStringList{"SOUND_VOLUME=loud"} << QList<int>{80, 10, 10}
            << "SOUND_VOLUME=loud is not a whole number from 0 to 100; the alarms ring at 80 %";
        QTest::newRow("fade longer than the ring")
            << QStringList{"SOUND_FADE_IN_SECONDS=900", "SOUND_RING_MINUTES=2"}
            << QList<int>{80, 120, 2}
            << "SOUND_FADE_IN_SECONDS=900 is outside 0 to 120; the sound fades in over 120 "
               "seconds";
        QTest::newRow("no ring time")
            << QStringList{"SOUND_RING_MINUTES=0"} << QList<int>{80, 10, 1}
            << "SOUND_RING_MINUTES=0 is outside 1 to 1440; the alarms ring for 1 minutes";
    }

    void soundSettingsAreBroughtIntoRange()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, said);
        TestSettings settings;
        QList<QPair<QString, QString>> values;
        for (const QString& entry : stored)
            values.append({entry.section(u'=', 0, 0), entry.section(u'=', 1)});
        settings.writeValues(values);
        ProblemCapture problems;
        const SoundSettings sound = SoundSettings::read(settings.store());
        QTEST((QList<int>{sound.volume, sound.fadeSeconds, sound.ringMinutes}), "read");
        SoundSettings::read(settings.store());
        QCOMPARE(problems.lines, said.isEmpty() ? QStringList{} : QStringList{said});
    }

    // The player's problem shows in every ringing window's free area and once on standard
    // error; the alarm still rings.
    void aProblemShowsInTheWindowAndOnceOnStandardError()
    {
        MainWindowFixture fixture;
        store(fixture,
              {"SOUND_FILE=/nowhere/bell.oga", "ALARM_2_TICKBOX=1", "ALARM_2_TIME_TEXTBOX=07:30:05",
               "ALARM_2_DISPLAY_MESSAGE_TICKBOX=1", "ALARM_2_RING_TICKBOX=1"});
        showTime(fixture, QStringLiteral("07:29:58"));
        fixture.open();
        ProblemCapture problems;
        showTime(fixture, QStringLiteral("07:30:00"));
        QCOMPARE(fixture.sound.played.size(), 1);
        QCOMPARE(fixture.sound.played.first(), (SoundRequest{"/nowhere/bell.oga", 80, 10, false}));
        const QString reason = QStringLiteral(
            "sound file /nowhere/bell.oga: No such file or directory; the desktop's alarm sound "
            "rings instead");
        emit fixture.sound.problem(reason);
        showTime(fixture, QStringLiteral("07:30:05"));
        for (int n : {1, 2}) {
            FlowLabel* label = windowOf(fixture, n)->SOUND_PROBLEM_LABEL;
            QVERIFY2(label->isVisible() && label->text() == reason, qPrintable(label->text()));
        }
        QCOMPARE(problems.lines, QStringList{reason});
        QCOMPARE(fixture.sound.heard, QStringList{"loop"});
    }
};

QTEST_MAIN(RingerTest)
#include "tst_ringer.moc"
