// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeLauncher.h"
#include "TestSettings.h"
#include "TestTime.h"
#include "alarms/AlarmTrigger.h"
#include "platform/LocalTimeOfDay.h"
#include "platform/Timer.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <QTest>

// Whole days driven through the alarm engine with a clock that misbehaves as real ones do:
// late, early and bunched wake-ups, stalls, the system clock set forward and back, and the
// daylight-saving changes. Each alarm must fire exactly as often as the README says.
class SimulatedDayTest : public QObject
{
    Q_OBJECT

private slots:
    void firesExactlyAsOftenAsDescribed_data();
    void firesExactlyAsOftenAsDescribed();
};

namespace {
// Events happen at a second of true time counted from the start: "stall S N" (no wake-up
// for N seconds), "step S D" (the system clock is set by D seconds).
struct Events
{
    QMap<qint64, qint64> stalls;
    QMap<qint64, qint64> steps;

    static Events parse(const QString& text)
    {
        Events events;
        for (const QString& event : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QStringList words = event.simplified().split(QLatin1Char(' '));
            (words.at(0) == QLatin1String("stall") ? events.stalls : events.steps)
                .insert(words.at(1).toLongLong(), words.at(2).toLongLong());
        }
        return events;
    }
};

// Where within its second each wake-up reads the clock, in milliseconds.
QList<int> wakeUps(const QString& kind, qint64 second)
{
    if (kind == QLatin1String("late")) // up to 900 ms, spread by a fixed pseudo-random walk
        return {1 + int((second * 7919) % 900)};
    if (kind == QLatin1String("early")) // a coarse timer 5 % early, then re-aimed
        return {-50, 2};
    if (kind == QLatin1String("bunched")) // five wake-ups delivered together every five seconds
        return second % 5 == 4 || second == 0 ? QList<int>{1, 1, 1, 1, 1} : QList<int>{};
    return {1};
}
} // namespace

void SimulatedDayTest::firesExactlyAsOftenAsDescribed_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("startUtc");
    QTest::addColumn<int>("hours");
    QTest::addColumn<QString>("ticks");
    QTest::addColumn<QString>("events");
    QTest::addColumn<QStringList>("alarms");
    QTest::addColumn<QList<int>>("fired");

    const QByteArray london("Europe/London");
    const QByteArray newYork("America/New_York");
    const QString day = QStringLiteral("2026-12-08T00:00:00Z"); // a London midnight, GMT
    const QStringList allDay{"00:00:00", "07:30:00", "12:00:00", "23:59:59"};
    const QStringList morning{"07:30:00", "12:00:00", "13:30:00"};
    const auto row = [](const char* name) {
        return &QTest::newRow(name);
    };

    // clang-format off
    *row("on time")               << london << day << 24 << "exact" << "" << allDay << QList<int>{1, 1, 1, 1};
    *row("late by up to 900 ms")  << london << day << 24 << "late" << "" << allDay << QList<int>{1, 1, 1, 1};
    *row("5 % early")             << london << day << 24 << "early" << "" << allDay << QList<int>{1, 1, 1, 1};
    *row("bunched")               << london << day << 24 << "bunched" << "" << allDay << QList<int>{1, 1, 1, 1};
    *row("a stall skips a tick")  << london << day << 24 << "exact" << "stall 26999 2" << morning << QList<int>{1, 1, 1};
    *row("two minutes stalled")   << london << day << 24 << "exact" << "stall 43140 120" << morning << QList<int>{1, 0, 1};
    *row("set forward 30 s")      << london << day << 24 << "exact" << "step 26985 30" << morning << QList<int>{1, 1, 1};
    *row("set forward 90 s")      << london << day << 24 << "exact" << "step 26970 90" << morning << QList<int>{0, 1, 1};
    *row("set forward 2 h")       << london << day << 24 << "late" << "step 39600 7200" << morning << QList<int>{1, 0, 1};
    *row("set back 90 s")         << london << day << 24 << "exact" << "step 27030 -90" << morning << QList<int>{1, 1, 1};
    *row("set back 2 h")          << london << day << 24 << "late" << "step 45000 -7200" << morning << QList<int>{1, 1, 1};
    // From noon to noon; at 00:00:30 the clock goes back to 23:59:00 of the day before.
    *row("back across midnight")  << london << "2026-12-08T12:00:00Z" << 24 << "exact" << "step 43230 -90"
                                  << QStringList{"23:59:30", "00:00:10", "00:00:45"} << QList<int>{1, 1, 1};
    // 01:00 to 02:00 never shows in spring and shows twice in autumn.
    *row("London, spring")        << london << "2026-03-29T00:00:00Z" << 23 << "late" << ""
                                  << QStringList{"00:30:00", "01:30:00", "02:30:00"} << QList<int>{1, 0, 1};
    *row("London, autumn")        << london << "2026-10-24T23:00:00Z" << 25 << "late" << ""
                                  << QStringList{"00:30:00", "01:30:00", "02:30:00"} << QList<int>{1, 1, 1};
    // 02:00 to 03:00 never shows in spring; 01:00 to 02:00 shows twice in autumn.
    *row("New York, spring")      << newYork << "2026-03-08T05:00:00Z" << 23 << "bunched" << ""
                                  << QStringList{"01:30:00", "02:30:00", "03:30:00"} << QList<int>{1, 0, 1};
    *row("New York, autumn")      << newYork << "2026-11-01T04:00:00Z" << 25 << "early" << ""
                                  << QStringList{"00:30:00", "01:30:00", "02:30:00"} << QList<int>{1, 1, 1};
    // clang-format on
}

void SimulatedDayTest::firesExactlyAsOftenAsDescribed()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, startUtc);
    QFETCH(int, hours);
    QFETCH(QString, ticks);
    QFETCH(QString, events);
    QFETCH(QStringList, alarms);
    TestTime::pinZone(zone.constData());

    TestSettings settings;
    QList<QPair<QString, QString>> values{{SettingsKeys::ENABLE_ALARMS_TICKBOX.name, "1"}};
    for (int n = 1; n <= alarms.size(); ++n) {
        using SettingsKeys::alarm;
        using SettingsKeys::AlarmField;
        values += {{alarm(AlarmField::TICKBOX, n).name, "1"},
                   {alarm(AlarmField::TIME_TEXTBOX, n).name, alarms.at(n - 1)},
                   {alarm(AlarmField::RUN_COMMAND_TICKBOX, n).name, "1"},
                   {alarm(AlarmField::RUN_COMMAND_TEXTBOX, n).name, QString::number(n)}};
    }
    settings.writeValues(values);
    FakeLauncher launcher;
    AlarmTrigger trigger(settings.store(), launcher, nullptr);
    trigger.load(settings.store());
    for (int n = 1; n <= alarms.size(); ++n) {
        trigger.timer(n)->setInterval(1000);
        trigger.timer(n)->setEnabled(true);
    }

    const Events scheduled = Events::parse(events);
    const qint64 start = QDateTime::fromString(startUtc, Qt::ISODate).toMSecsSinceEpoch();
    qint64 clockSetBy = 0;
    qint64 stalledUntil = -1;
    for (qint64 second = 0; second < hours * 3600; ++second) {
        clockSetBy += scheduled.steps.value(second) * 1000;
        if (scheduled.stalls.contains(second))
            stalledUntil = second + scheduled.stalls.value(second);
        if (second < stalledUntil)
            continue;
        for (int ms : wakeUps(ticks, second)) {
            if (second == 0 && ms < 0)
                continue; // before the day begins
            trigger.clockShown(LocalTimeOfDay::at(start + second * 1000 + ms + clockSetBy));
        }
    }

    QList<int> fired(alarms.size(), 0);
    for (const FakeLauncher::Launch& launch : launcher.launches)
        ++fired[launch.commandLine.toInt() - 1];
    QTEST(fired, "fired");
}

QTEST_MAIN(SimulatedDayTest)
#include "tst_simulatedday.moc"
