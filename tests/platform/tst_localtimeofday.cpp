// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestTime.h"
#include "platform/LocalTimeOfDay.h"

#include <QTest>
#include <clocale>
#include <cstdlib>
#include <ctime>

using TestTime::pinZone;
using TestTime::utcMs;

class LocalTimeOfDayTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { TestTime::pinUtcAndPlainFormat(); }
    void readings_data();
    void readings();
    void regionalText_data();
    void regionalText();
};

void LocalTimeOfDayTest::readings_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<qint64>("epochMs");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text24");
    QTest::addColumn<int>("msOfSecond");

    QTest::newRow("afternoon") << QByteArray("UTC") << utcMs(2026, 12, 8, 14, 5, 9, 999)
                               << QDate(2026, 12, 8) << "14:05:09" << 999;
    QTest::newRow("midnight starts a new date") << QByteArray("UTC") << utcMs(2026, 12, 9, 0, 0, 0)
                                                << QDate(2026, 12, 9) << "00:00:00" << 0;
    QTest::newRow("last second of the day")
        << QByteArray("UTC") << utcMs(2026, 12, 8, 23, 59, 59, 500) << QDate(2026, 12, 8)
        << "23:59:59" << 500;
    // Europe/Berlin: clocks go back from 03:00 CEST to 02:00 CET on 2026-10-25.
    QTest::newRow("first 02:30 in summer time")
        << QByteArray("Europe/Berlin") << utcMs(2026, 10, 25, 0, 30, 0) << QDate(2026, 10, 25)
        << "02:30:00" << 0;
    QTest::newRow("second 02:30 in winter time")
        << QByteArray("Europe/Berlin") << utcMs(2026, 10, 25, 1, 30, 0) << QDate(2026, 10, 25)
        << "02:30:00" << 0;
    // Clocks jump from 02:00 to 03:00 on 2026-03-29: 02:30 never shows.
    QTest::newRow("skipped hour") << QByteArray("Europe/Berlin") << utcMs(2026, 3, 29, 1, 0, 0)
                                  << QDate(2026, 3, 29) << "03:00:00" << 0;
    QTest::newRow("before 1970 rounds down")
        << QByteArray("UTC") << qint64(-1) << QDate(1969, 12, 31) << "23:59:59" << 999;
}

void LocalTimeOfDayTest::readings()
{
    QFETCH(QByteArray, zone);
    QFETCH(qint64, epochMs);
    QFETCH(QDate, date);
    QFETCH(QString, text24);
    QFETCH(int, msOfSecond);
    pinZone(zone.constData());

    const LocalTimeOfDay reading = LocalTimeOfDay::at(epochMs);
    QCOMPARE(reading.date, date);
    QCOMPARE(reading.text24, text24);
    QCOMPARE(reading.msOfSecond, msOfSecond);
}

void LocalTimeOfDayTest::regionalText_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QString>("text");
    QTest::newRow("C") << QByteArray("C") << "14:05:09";
    QTest::newRow("en_GB 24-hour") << QByteArray("en_GB.UTF-8") << "14:05:09";
    QTest::newRow("en_US 12-hour") << QByteArray("en_US.UTF-8") << "02:05:09 PM";
    QTest::newRow("de_DE") << QByteArray("de_DE.UTF-8") << "14:05:09";
}

void LocalTimeOfDayTest::regionalText()
{
    QFETCH(QByteArray, locale);
    QFETCH(QString, text);
    if (!std::setlocale(LC_TIME, locale.constData()))
        QFAIL("locale not generated on this machine; scripts/setup.sh generates it");
    pinZone("UTC");

    const LocalTimeOfDay reading = LocalTimeOfDay::at(utcMs(2026, 12, 8, 14, 5, 9));
    QCOMPARE(reading.regionalText, text);
    QCOMPARE(reading.text24, QStringLiteral("14:05:09"));
}

QTEST_MAIN(LocalTimeOfDayTest)
#include "tst_localtimeofday.moc"
