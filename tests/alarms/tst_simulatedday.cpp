// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeLauncher.h"
#include "TestSettings.h"
#include "TestTime.h"
#include "alarms/AlarmTrigger.h"
#include "notify/Announcement.h"
#include "platform/LocalTimeOfDay.h"
#include "platform/Timer.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <QTest>

// Whole days driven through the alarm engine with a clock that misbehaves as real ones do:
// late, early and bunched wake-ups, stalls, the system clock set forward and back, the
// daylight-saving changes and the system's time zone changed while the clock runs. Each alarm
// must fire exactly as often as the README says, on its days of the week, and say once for
// each gap that swallowed its time that it was missed.
class SimulatedDayTest : public QObject
{
    Q_OBJECT

private slots:
    void firesExactlyAsOftenAsDescribed_data();
    void firesExactlyAsOftenAsDescribed();
};

namespace {
// Events happen at a second of true time counted from the start: "stall S N" (no wake-up
// for N seconds), "step S D" (the system clock is set by D seconds), "zone S Z" (the system's
// time zone becomes Z).
struct Events
{
    QMap<qint64, qint64> stalls;
    QMap<qint64, qint64> steps;
    QMap<qint64, QByteArray> zones;

    static Events parse(const QString& text)
    {
        Events events;
        for (const QString& event : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QStringList words = event.simplified().split(QLatin1Char(' '));
            const qint64 second = words.at(1).toLongLong();
            if (words.at(0) == QLatin1String("zone"))
                events.zones.insert(second, words.at(2).toUtf8());
            else
                (words.at(0) == QLatin1String("stall") ? events.stalls : events.steps)
                    .insert(second, words.at(2).toLongLong());
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
    QTest::addColumn<QList<int>>("missed");

    const QByteArray london("Europe/London");
    const QByteArray newYork("America/New_York");
    const QString day = QStringLiteral("2026-12-08T00:00:00Z"); // a London midnight, GMT
    const QStringList allDay{"00:00:00", "07:30:00", "12:00:00", "23:59:59"};
    const QStringList morning{"07:30:00", "12:00:00", "13:30:00"};
    const auto row = [](const char* name) {
        return &QTest::newRow(name);
    };

    // clang-format off
    *row("on time")               << london << day << 24 << "exact" << "" << allDay << QList<int>{1, 1, 1, 1} << QList<int>{0, 0, 0, 0};
    *row("late by up to 900 ms")  << london << day << 24 << "late" << "" << allDay << QList<int>{1, 1, 1, 1} << QList<int>{0, 0, 0, 0};
    *row("5 % early")             << london << day << 24 << "early" << "" << allDay << QList<int>{1, 1, 1, 1} << QList<int>{0, 0, 0, 0};
    *row("bunched")               << london << day << 24 << "bunched" << "" << allDay << QList<int>{1, 1, 1, 1} << QList<int>{0, 0, 0, 0};
    *row("a stall skips a tick")  << london << day << 24 << "exact" << "stall 26999 2" << morning << QList<int>{1, 1, 1} << QList<int>{0, 0, 0};
    *row("two minutes stalled")   << london << day << 24 << "exact" << "stall 43140 120" << morning << QList<int>{1, 0, 1} << QList<int>{0, 1, 0};
    *row("set forward 30 s")      << london << day << 24 << "exact" << "step 26985 30" << morning << QList<int>{1, 1, 1} << QList<int>{0, 0, 0};
    *row("set forward 90 s")      << london << day << 24 << "exact" << "step 26970 90" << morning << QList<int>{0, 1, 1} << QList<int>{1, 0, 0};
    *row("set forward 2 h")       << london << day << 24 << "late" << "step 39600 7200" << morning << QList<int>{1, 0, 1} << QList<int>{0, 1, 0};
    *row("set back 90 s")         << london << day << 24 << "exact" << "step 27030 -90" << morning << QList<int>{1, 1, 1} << QList<int>{0, 0, 0};
    *row("set back 2 h")          << london << day << 24 << "late" << "step 45000 -7200" << morning << QList<int>{1, 1, 1} << QList<int>{0, 0, 0};
    // Back 36 h at 14:00, to 02:00 of the day before: a date other than the one each fired on.
    *row("set back 36 h")         << london << day << 24 << "exact" << "step 50400 -129600" << morning << QList<int>{2, 1, 1} << QList<int>{0, 0, 0};
    // From noon to noon; at 00:00:30 the clock goes back to 23:59:00 of the day before.
    *row("back across midnight")  << london << "2026-12-08T12:00:00Z" << 24 << "exact" << "step 43230 -90"
                                  << QStringList{"23:59:30", "00:00:10", "00:00:45"} << QList<int>{1, 1, 1} << QList<int>{0, 0, 0};
    // 01:00 to 02:00 never shows in spring and shows twice in autumn.
    *row("London, spring")        << london << "2026-03-29T00:00:00Z" << 23 << "late" << ""
                                  << QStringList{"00:30:00", "01:30:00", "02:30:00"} << QList<int>{1, 0, 1} << QList<int>{0, 1, 0};
    *row("London, autumn")        << london << "2026-10-24T23:00:00Z" << 25 << "late" << ""
                                  << QStringList{"00:30:00", "01:30:00", "02:30:00"} << QList<int>{1, 1, 1} << QList<int>{0, 0, 0};
    // 02:00 to 03:00 never shows in spring; 01:00 to 02:00 shows twice in autumn.
    *row("New York, spring")      << newYork << "2026-03-08T05:00:00Z" << 23 << "bunched" << ""
                                  << QStringList{"01:30:00", "02:30:00", "03:30:00"} << QList<int>{1, 0, 1} << QList<int>{0, 1, 0};
    *row("New York, autumn")      << newYork << "2026-11-01T04:00:00Z" << 25 << "early" << ""
                                  << QStringList{"00:30:00", "01:30:00", "02:30:00"} << QList<int>{1, 1, 1} << QList<int>{0, 0, 0};
    // At 10:00 London the zone becomes Athens (GMT+2): 10:00 to 12:00 is skipped, and the
    // rest of the day fires at Athens' time.
    *row("zone moved east")       << london << day << 24 << "late" << "zone 36000 Europe/Athens"
                                  << QStringList{"11:00:00", "12:30:00", "23:30:00"} << QList<int>{0, 1, 1} << QList<int>{1, 0, 0};
    // At 12:00 Athens the zone becomes London: 10:00 to 12:00 shows again, and fires no more.
    *row("zone moved west")       << QByteArray("Europe/Athens") << "2026-12-07T22:00:00Z" << 26 << "exact"
                                  << "zone 43200 Europe/London"
                                  << QStringList{"11:00:00", "12:30:00", "23:00:00"} << QList<int>{1, 1, 1} << QList<int>{0, 0, 0};
    // A weekday alarm on a Friday and a Saturday; the day that counts is the date shown.
    *row("weekdays, Friday and Saturday") << london << "2026-12-11T00:00:00Z" << 48 << "late" << ""
                                  << QStringList{"07:30:00 Mon Tue Wed Thu Fri", "12:00:00 Sat Sun", "23:59:59"}
                                  << QList<int>{1, 1, 2} << QList<int>{0, 0, 0};
    *row("Friday across midnight") << london << "2026-12-11T12:00:00Z" << 24 << "bunched" << ""
                                  << QStringList{"23:59:59 Fri", "00:00:00 Fri", "00:00:01 Sat"}
                                  << QList<int>{1, 0, 1} << QList<int>{0, 0, 0};
    // Asleep from Friday 20:00 to Monday 08:00: each alarm names the last of its days missed.
    *row("asleep over the weekend") << london << "2026-12-11T00:00:00Z" << 81 << "exact" << "stall 72000 216000"
                                  << QStringList{"07:30:00 Mon Tue Wed Thu Fri", "09:00:00 Sat Sun", "08:30:00 Mon"}
                                  << QList<int>{1, 0, 1} << QList<int>{1, 1, 0};
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
        // "07:30:00 Mon Tue": its time, then its days, if any.
        const QString time = alarms.at(n - 1).section(QLatin1Char(' '), 0, 0);
        const QString days = alarms.at(n - 1).section(QLatin1Char(' '), 1);
        if (!days.isEmpty())
            values += {alarm(AlarmField::DAYS, n).name, days};
        values += {{alarm(AlarmField::TICKBOX, n).name, "1"},
                   {alarm(AlarmField::TIME_TEXTBOX, n).name, time},
                   {alarm(AlarmField::RUN_COMMAND_TICKBOX, n).name, "1"},
                   {alarm(AlarmField::RUN_COMMAND_TEXTBOX, n).name, QString::number(n)}};
    }
    settings.writeValues(values);
    FakeLauncher launcher;
    AlarmTrigger trigger(settings.store(), launcher, nullptr);
    QList<int> missed(alarms.size(), 0);
    connect(&trigger, &AlarmTrigger::announce, this, [&](const Announcement& announcement) {
        if (!announcement.missed.isEmpty())
            ++missed[announcement.alarmNumber - 1];
    });
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
        // Replaced as /etc/localtime is replaced: nothing tells the clock.
        if (scheduled.zones.contains(second))
            qputenv("TZ", scheduled.zones.value(second));
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
    QTEST(missed, "missed");
}

QTEST_MAIN(SimulatedDayTest)
#include "tst_simulatedday.moc"
