// SPDX-License-Identifier: GPL-3.0-or-later
#include "uptime/UptimeBreakdown.h"

#include <QTest>
#include <limits>

class UptimeBreakdownTest : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void textOfFieldsAsTheyStand_data();
    void textOfFieldsAsTheyStand();
};

void UptimeBreakdownTest::text_data()
{
    QTest::addColumn<quint64>("ms");
    QTest::addColumn<QString>("text");

    QTest::newRow("40 s") << quint64(40000) << "0d, 0h, 0m, 40s";
    QTest::newRow("exactly 3 s") << quint64(3000) << "0d, 0h, 0m, 3s";
    QTest::newRow("1 ms short of 3 s") << quint64(2999) << "0d, 0h, 0m, 2s";
    QTest::newRow("a day and half a second") << quint64(86400500) << "1d, 0h, 0m, 0s";
    QTest::newRow("1d 1h 1m 1.5s") << quint64(90061500) << "1d, 1h, 1m, 1s";
    QTest::newRow("exactly 3 days") << quint64(259200000) << "3d, 0h, 0m, 0s";
    QTest::newRow("1 ms short of 3 days") << quint64(259199999) << "2d, 23h, 59m, 59s";
    QTest::newRow("exactly 1 hour") << quint64(3600000) << "0d, 1h, 0m, 0s";
    QTest::newRow("1 ms short of a day") << quint64(86399999) << "0d, 23h, 59m, 59s";
    QTest::newRow("worked example") << quint64(191229400) << "2d, 5h, 7m, 9s";
    QTest::newRow("worked example, whole seconds") << quint64(191229000) << "2d, 5h, 7m, 9s";
    QTest::newRow("2^31") << quint64(2147483648) << "24d, 20h, 31m, 23s";
    QTest::newRow("2^32 does not wrap") << quint64(4294967296) << "49d, 17h, 2m, 47s";
    QTest::newRow("ten years") << quint64(315378429999) << "3650d, 5h, 7m, 9s";
    // Beyond 2^53 a double cannot tell this count from the next whole day.
    QTest::newRow("1 ms short of 123456789 days")
        << quint64(10666666569599999) << "123456788d, 23h, 59m, 59s";
    QTest::newRow("days beyond 32 bits hold at the last")
        << quint64(18446744073709551615ULL) << "2147483647d, 23h, 59m, 59s";
}

void UptimeBreakdownTest::text()
{
    QFETCH(quint64, ms);
    QFETCH(QString, text);

    UptimeBreakdown stepwise;
    stepwise.stageA(ms);
    stepwise.stageB();
    stepwise.stageC();
    stepwise.stageD();
    stepwise.stageE();
    QCOMPARE(stepwise.stageF(), text);

    // A second reading on the same fields settles the same way.
    UptimeBreakdown reused;
    reused.update(ms + 12345678);
    QCOMPARE(reused.update(ms), text);
}

void UptimeBreakdownTest::textOfFieldsAsTheyStand_data()
{
    QTest::addColumn<qint32>("days");
    QTest::addColumn<qint32>("hours");
    QTest::addColumn<qint32>("minutes");
    QTest::addColumn<qint32>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("a passing 60m") << 0 << 0 << 60 << 0 << "0d, 0h, 60m, 0s";
    QTest::newRow("stages out of order") << -1 << 23 << -1 << 59 << "-1d, 23h, -1m, 59s";
    QTest::newRow("the ends of 32 bits")
        << std::numeric_limits<qint32>::min() << std::numeric_limits<qint32>::max() << 0 << 0
        << "-2147483648d, 2147483647h, 0m, 0s";
}

// Stage F writes whatever the fields hold, in plain decimal.
void UptimeBreakdownTest::textOfFieldsAsTheyStand()
{
    UptimeBreakdown b;
    QFETCH(qint32, days);
    QFETCH(qint32, hours);
    QFETCH(qint32, minutes);
    QFETCH(qint32, seconds);
    b.DAYS_ROUNDED_TB = days;
    b.HOURS_ROUNDED_TB = hours;
    b.MINUTES_DIFFERENCE_ROUNDED_TB = minutes;
    b.SECONDS_DIFFERENCE_ROUNDED_TB = seconds;
    QTEST(b.stageF(), "text");
}

QTEST_APPLESS_MAIN(UptimeBreakdownTest)
#include "tst_uptimebreakdown.moc"
