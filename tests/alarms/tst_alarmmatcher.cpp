// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestTime.h"
#include "alarms/AlarmMatcher.h"
#include "alarms/ShownSeconds.h"

#include <QTest>

// Scenarios are written as steps: "show 2026-12-08 07:30:00" (the clock shows a second),
// "tick" (the alarm's timer ticks), "arm" (its timer starts), "time 07:30:05" (its time is
// changed). The column "fires" lists the steps at which the alarm fires.
class AlarmMatcherTest : public QObject
{
    Q_OBJECT

private slots:
    void scenarios_data();
    void scenarios();
    void daylightSavingChanges_data();
    void daylightSavingChanges();
};

void AlarmMatcherTest::scenarios_data()
{
    QTest::addColumn<QString>("alarmTime");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<int>>("fires");
    const QString d1 = QStringLiteral("show 2026-12-08 ");
    const QString d2 = QStringLiteral("show 2026-12-09 ");

    QTest::newRow("one tick a second")
        << "07:30:00"
        << QStringList{d1 + "07:29:59", "tick", d1 + "07:30:00", "tick", d1 + "07:30:01", "tick"}
        << QList<int>{3};
    QTest::newRow("tick late across the boundary")
        << "07:30:00"
        << QStringList{d1 + "07:29:59", "tick", d1 + "07:30:00", d1 + "07:30:01", "tick"}
        << QList<int>{4};
    QTest::newRow("two ticks see the same second")
        << "07:30:00" << QStringList{d1 + "07:30:00", "tick", "tick", "tick"} << QList<int>{1};
    QTest::newRow("tick before the clock's in the same second")
        << "07:30:00" << QStringList{d1 + "07:29:59", "tick", "tick", d1 + "07:30:00", "tick"}
        << QList<int>{4};
    QTest::newRow("a second the clock never showed")
        << "07:30:00" << QStringList{d1 + "07:29:59", "tick", d1 + "07:30:01", "tick"}
        << QList<int>{};
    QTest::newRow("midnight, every day")
        << "00:00:00"
        << QStringList{d1 + "23:59:59", "tick", d2 + "00:00:00", "tick", "show 2026-12-10 00:00:00",
                       "tick"}
        << QList<int>{3, 5};
    QTest::newRow("clock set back after firing")
        << "07:30:00" << QStringList{d1 + "07:30:00", "tick",          d1 + "07:30:01", "tick",
                                     d1 + "07:29:59", d1 + "07:30:00", "tick"}
        << QList<int>{1};
    QTest::newRow("time changed after firing fires again")
        << "07:30:00"
        << QStringList{d1 + "07:30:00", "tick", "time 07:30:05", d1 + "07:30:05", "tick"}
        << QList<int>{1, 4};
    QTest::newRow("time changed away and back fires again")
        << "07:30:00" << QStringList{d1 + "07:30:00", "tick",          "time 08:00:00", "tick",
                                     "time 07:30:00", d1 + "07:29:59", d1 + "07:30:00", "tick"}
        << QList<int>{1, 7};
    QTest::newRow("started after its second was shown")
        << "07:30:00" << QStringList{d1 + "07:30:00", "arm", "tick", d1 + "07:30:01", "tick"}
        << QList<int>{};
    QTest::newRow("started just before its second")
        << "07:30:00" << QStringList{d1 + "07:29:59", "arm", d1 + "07:30:00", "tick"}
        << QList<int>{3};
    QTest::newRow("trailing space never fires")
        << "07:30:00 " << QStringList{d1 + "07:30:00", "tick"} << QList<int>{};
    QTest::newRow("no seconds never fires")
        << "07:30" << QStringList{d1 + "07:30:00", "tick"} << QList<int>{};
    QTest::newRow("no leading zero never fires")
        << "7:30:00" << QStringList{d1 + "07:30:00", "tick"} << QList<int>{};
}

void AlarmMatcherTest::scenarios()
{
    QFETCH(QString, alarmTime);
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, fires);
    ShownSeconds shown;
    AlarmMatcher matcher;
    QList<int> fired;
    for (int i = 0; i < steps.size(); ++i) {
        const QStringList words = steps.at(i).split(QLatin1Char(' '));
        if (words.first() == QLatin1String("show")) {
            LocalTimeOfDay reading;
            reading.date = QDate::fromString(words.at(1), Qt::ISODate);
            reading.text24 = words.at(2);
            shown.record(reading);
        } else if (words.first() == QLatin1String("arm")) {
            matcher.arm(shown);
        } else if (words.first() == QLatin1String("time")) {
            alarmTime = words.at(1);
        } else if (matcher.check(shown, alarmTime)) {
            fired.append(i);
        }
    }
    QCOMPARE(fired, fires);
}

void AlarmMatcherTest::daylightSavingChanges_data()
{
    QTest::addColumn<QDateTime>("fromUtc");
    QTest::addColumn<int>("firings");
    // Europe/Berlin: 02:00 to 03:00 is skipped on 2026-03-29, and 02:00 to 03:00 is shown
    // twice on 2026-10-25.
    QTest::newRow("spring: the hour never shows")
        << QDateTime(QDate(2026, 3, 29), QTime(0, 0), Qt::UTC) << 0;
    QTest::newRow("autumn: the hour shows twice")
        << QDateTime(QDate(2026, 10, 24), QTime(23, 0), Qt::UTC) << 1;
}

void AlarmMatcherTest::daylightSavingChanges()
{
    QFETCH(QDateTime, fromUtc);
    QFETCH(int, firings);
    TestTime::pinZone("Europe/Berlin");
    ShownSeconds shown;
    AlarmMatcher matcher;
    int fired = 0;
    // Three hours of seconds, one clock reading and one alarm tick each.
    const qint64 start = fromUtc.toMSecsSinceEpoch();
    for (qint64 ms = start; ms < start + 3 * 3600 * 1000; ms += 1000) {
        shown.record(LocalTimeOfDay::at(ms + 1));
        fired += matcher.check(shown, QStringLiteral("02:30:00")) ? 1 : 0;
    }
    QCOMPARE(fired, firings);
}

QTEST_MAIN(AlarmMatcherTest)
#include "tst_alarmmatcher.moc"
