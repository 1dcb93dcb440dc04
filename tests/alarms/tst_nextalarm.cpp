// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestTime.h"
#include "alarms/NextAlarm.h"

#include <QTest>

using TestTime::utcMs;

// Alarms are written "number|name|time", and optionally "|days|snoozed until|once on|skips". London
// keeps UTC in winter, so winter rows read as local wall time.
class NextAlarmTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestTime::pinZone("Europe/London"); }
    void cleanupTestCase() { TestTime::pinUtcAndPlainFormat(); }
    void describe_data();
    void describe();
    void findGivesTheMoment();
};

void NextAlarmTest::describe_data()
{
    QTest::addColumn<qint64>("nowUtc");
    QTest::addColumn<QStringList>("alarms");
    QTest::addColumn<QString>("text");
    const qint64 morning = utcMs(2026, 12, 8, 4, 18, 0);

    QTest::newRow("nothing armed") << morning << QStringList{} << "No alarm armed";
    QTest::newRow("only times that never fire")
        << morning << QStringList{"1|A|7:30:00", "2|B|24:00:00", "3|C|"} << "No alarm armed";
    QTest::newRow("later today") << morning << QStringList{"3|Tea|07:30:00"}
                                 << "Next alarm: Tea at 07:30:00, in 3 h 12 min";
    QTest::newRow("earlier today fires tomorrow")
        << utcMs(2026, 12, 8, 8, 0, 0) << QStringList{"3|Tea|07:30:00"}
        << "Next alarm: Tea at 07:30:00, in 23 h 30 min";
    QTest::newRow("its second now shown has passed")
        << utcMs(2026, 12, 8, 7, 30, 0, 400) << QStringList{"3|Tea|07:30:00"}
        << "Next alarm: Tea at 07:30:00, in 23 h 59 min";
    QTest::newRow("last moment before it")
        << utcMs(2026, 12, 8, 7, 29, 59, 999) << QStringList{"3|Tea|07:30:00"}
        << "Next alarm: Tea at 07:30:00, in less than a minute";
    QTest::newRow("under an hour, minutes rounded down")
        << utcMs(2026, 12, 8, 6, 30, 0, 500) << QStringList{"3|Tea|07:30:00"}
        << "Next alarm: Tea at 07:30:00, in 59 min";
    QTest::newRow("exactly an hour")
        << utcMs(2026, 12, 8, 6, 30, 0) << QStringList{"3|Tea|07:30:00"}
        << "Next alarm: Tea at 07:30:00, in 1 h 0 min";
    QTest::newRow("today's beats tomorrow's")
        << utcMs(2026, 12, 8, 12, 0, 0) << QStringList{"1|Early|11:00:00", "2|Late|13:00:00"}
        << "Next alarm: Late at 13:00:00, in 1 h 0 min";
    QTest::newRow("tie goes to the lower number")
        << morning << QStringList{"7|Walk|07:30:00", "2|Tea|07:30:00", "9|Run|07:30:00"}
        << "Next alarm: Tea at 07:30:00, in 3 h 12 min";
    QTest::newRow("across midnight")
        << utcMs(2026, 12, 8, 23, 59, 30) << QStringList{"4|Late|23:59:00", "5|New day|00:00:00"}
        << "Next alarm: New day at 00:00:00, in less than a minute";
    QTest::newRow("no name") << morning << QStringList{"4| |07:30:00"}
                             << "Next alarm: Alarm 4 at 07:30:00, in 3 h 12 min";
    QTest::newRow("name with placeholders") << morning << QStringList{"4|%2 %1|07:30:00"}
                                            << "Next alarm: %2 %1 at 07:30:00, in 3 h 12 min";
    // Clocks go forward from 01:00 GMT to 02:00 BST on 2026-03-29 and back from 02:00 BST to
    // 01:00 GMT on 2026-10-25. Durations are real time.
    QTest::newRow("skipped by summer time: tomorrow")
        << utcMs(2026, 3, 29, 0, 30, 0) << QStringList{"1|Skipped|01:30:00"}
        << "Next alarm: Skipped at 01:30:00, in 24 h 0 min";
    QTest::newRow("across the jump forward")
        << utcMs(2026, 3, 29, 0, 30, 0) << QStringList{"1|Skipped|01:30:00", "2|After|03:00:00"}
        << "Next alarm: After at 03:00:00, in 1 h 30 min";
    QTest::newRow("shown twice: the first showing")
        << utcMs(2026, 10, 24, 23, 30, 0) << QStringList{"1|Twice|01:30:00"}
        << "Next alarm: Twice at 01:30:00, in 1 h 0 min";
    QTest::newRow("shown twice, after the first showing: tomorrow")
        << utcMs(2026, 10, 25, 1, 10, 0) << QStringList{"1|Twice|01:45:00"}
        << "Next alarm: Twice at 01:45:00, in 24 h 35 min";
    // 2026-12-08 is a Tuesday.
    QTest::newRow("weekdays, on a Saturday: Monday's")
        << utcMs(2026, 12, 12, 4, 18, 0) << QStringList{"3|Gym|07:30:00|Mon Tue Wed Thu Fri"}
        << "Next alarm: Gym on Monday at 07:30:00, in 2 d 3 h";
    QTest::newRow("weekdays, on a Sunday: tomorrow's form")
        << utcMs(2026, 12, 13, 8, 0, 0) << QStringList{"3|Gym|07:30:00|Mon Tue Wed Thu Fri"}
        << "Next alarm: Gym at 07:30:00, in 23 h 30 min";
    QTest::newRow("its one day has passed: a week ahead")
        << utcMs(2026, 12, 8, 8, 0, 0) << QStringList{"3|Gym|07:30:00|Tue"}
        << "Next alarm: Gym on Tuesday at 07:30:00, in 6 d 23 h";
    QTest::newRow("no day") << morning << QStringList{"3|Gym|07:30:00|"} << "No alarm armed";
    QTest::newRow("snoozed")
        << morning << QStringList{"5|Tea|07:30:00|Mon Tue Wed Thu Fri Sat Sun|2026-12-08T04:25:00"}
        << "Next alarm: Tea, snoozed, at 04:25:00, in 7 min";
    QTest::newRow("a snooze that has ended counts no more")
        << morning << QStringList{"5|Tea|07:30:00|Mon Tue Wed Thu Fri Sat Sun|2026-12-08T04:10:00"}
        << "Next alarm: Tea at 07:30:00, in 3 h 12 min";
    const QString everyDay = "|Mon Tue Wed Thu Fri Sat Sun|";
    QTest::newRow("once on a date weeks ahead: the date")
        << morning << QStringList{"3|Tea|07:30:00" + everyDay + "|2026-12-24"}
        << "Next alarm: Tea on 2026-12-24 at 07:30:00, in 16 d 3 h";
    QTest::newRow("once on a date that has passed")
        << utcMs(2026, 12, 24, 7, 30, 0) << QStringList{"3|Tea|07:30:00" + everyDay + "|2026-12-24"}
        << "No alarm armed";
    QTest::newRow("today skipped: tomorrow's")
        << morning << QStringList{"3|Tea|07:30:00" + everyDay + "||2026-12-08"}
        << "Next alarm: Tea at 07:30:00, in 27 h 12 min";
    QTest::newRow("its one day skipped: the week after")
        << morning << QStringList{"3|Gym|07:30:00|Tue|||2026-12-08"}
        << "Next alarm: Gym on Tuesday at 07:30:00, in 7 d 3 h";
    QTest::newRow("its one date skipped")
        << morning << QStringList{"3|Tea|07:30:00" + everyDay + "|2026-12-08|2026-12-08"}
        << "No alarm armed";
}

void NextAlarmTest::describe()
{
    QFETCH(qint64, nowUtc);
    QFETCH(QStringList, alarms);
    QFETCH(QString, text);

    QList<ArmedAlarm> armed;
    for (const QString& alarm : alarms) {
        const QStringList parts = alarm.split(u'|');
        ArmedAlarm armedAlarm;
        armedAlarm.number = parts[0].toInt();
        armedAlarm.name = parts[1];
        armedAlarm.time = parts[2];
        if (parts.size() > 3)
            armedAlarm.days = *AlarmDays::fromText(parts[3]);
        if (parts.size() > 4 && !parts[4].isEmpty())
            armedAlarm.snoozedUntil = QDateTime::fromString(parts[4], Qt::ISODate);
        if (parts.size() > 5 && !parts[5].isEmpty())
            armedAlarm.once = QDate::fromString(parts[5], Qt::ISODate);
        if (parts.size() > 6)
            armedAlarm.skip = QDate::fromString(parts[6], Qt::ISODate);
        armed.append(armedAlarm);
    }
    QCOMPARE(NextAlarm::describe(armed, QDateTime::fromMSecsSinceEpoch(nowUtc)), text);
}

void NextAlarmTest::findGivesTheMoment()
{
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(utcMs(2026, 12, 8, 8, 0, 0));
    const auto next = NextAlarm::find({{6, "Tea", "07:30:00"}, {8, "Soup", "12:00:00"}}, now);
    QVERIFY(next);
    QCOMPARE(next->alarm.number, 8);
    QCOMPARE(next->at, QDateTime(QDate(2026, 12, 8), QTime(12, 0)));
}

QTEST_APPLESS_MAIN(NextAlarmTest)
#include "tst_nextalarm.moc"
