// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestTime.h"
#include "alarms/AlarmMatcher.h"
#include "alarms/ShownSeconds.h"

#include <QTest>

// Scenarios are written as steps: "show 2026-12-08 07:30:00" (the clock shows a second),
// "tick" (the alarm's timer ticks), "arm" (its timer starts), "time 07:30:05" (its time is
// changed), "days Mon Fri" (its days are changed), "date 2026-12-09" (it fires once on that
// date), "skip 2026-12-09" (it skips that date), "snooze 2026-12-08 07:35:00" (it is snoozed
// until then). The column "fires" lists the steps at which the alarm fires, "missed" the steps
// at which it says it missed a moment, with that moment.
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
    QTest::addColumn<QStringList>("missed");
    const QString d1 = QStringLiteral("show 2026-12-08 "); // a Tuesday
    const QString d2 = QStringLiteral("show 2026-12-09 ");
    const QString friday = QStringLiteral("show 2026-12-11 ");
    const QString saturday = QStringLiteral("show 2026-12-12 ");
    const auto row = [](const char* name, const char* time, const QStringList& steps,
                        const QList<int>& fires, const QStringList& missed = {}) {
        QTest::newRow(name) << QString(time) << steps << fires << missed;
    };

    row("one tick a second", "07:30:00",
        {d1 + "07:29:59", "tick", d1 + "07:30:00", "tick", d1 + "07:30:01", "tick"}, {3});
    row("tick late across the boundary", "07:30:00",
        {d1 + "07:29:59", "tick", d1 + "07:30:00", d1 + "07:30:01", "tick"}, {4});
    row("two ticks see the same second", "07:30:00", {d1 + "07:30:00", "tick", "tick", "tick"},
        {1});
    row("tick before the clock's in the same second", "07:30:00",
        {d1 + "07:29:59", "tick", "tick", d1 + "07:30:00", "tick"}, {4});
    row("a second the clock never showed", "07:30:00",
        {d1 + "07:29:59", "tick", d1 + "07:30:01", "tick"}, {});
    row("midnight, every day", "00:00:00",
        {d1 + "23:59:59", "tick", d2 + "00:00:00", "tick", "show 2026-12-10 00:00:00", "tick"},
        {3, 5});
    row("clock set back after firing", "07:30:00",
        {d1 + "07:30:00", "tick", d1 + "07:30:01", "tick", d1 + "07:29:59", d1 + "07:30:00",
         "tick"},
        {1});
    row("time changed after firing fires again", "07:30:00",
        {d1 + "07:30:00", "tick", "time 07:30:05", d1 + "07:30:05", "tick"}, {1, 4});
    row("time changed away and back fires again", "07:30:00",
        {d1 + "07:30:00", "tick", "time 08:00:00", "tick", "time 07:30:00", d1 + "07:29:59",
         d1 + "07:30:00", "tick"},
        {1, 7});
    row("started after its second was shown", "07:30:00",
        {d1 + "07:30:00", "arm", "tick", d1 + "07:30:01", "tick"}, {});
    row("started just before its second", "07:30:00",
        {d1 + "07:29:59", "arm", d1 + "07:30:00", "tick"}, {3});
    row("trailing space never fires", "07:30:00 ", {d1 + "07:30:00", "tick"}, {});
    row("no seconds never fires", "07:30", {d1 + "07:30:00", "tick"}, {});
    row("no leading zero never fires", "7:30:00", {d1 + "07:30:00", "tick"}, {});

    // Days of the week: the date of the second shown counts.
    row("weekdays: a Friday fires, a Saturday not", "07:30:00",
        {"days Mon Tue Wed Thu Fri", friday + "07:30:00", "tick", saturday + "07:30:00", "tick"},
        {2});
    row("weekend only, across midnight", "00:00:00",
        {"days Sat Sun", friday + "23:59:59", "tick", saturday + "00:00:00", "tick"}, {4});
    row("no day never fires", "07:30:00", {"days", d1 + "07:30:00", "tick"}, {});

    // Gaps longer than the catch-up minute: reported once, with the last moment missed.
    row("a stall over it", "07:30:00",
        {d1 + "07:29:00", "tick", d1 + "07:31:30", "tick", "tick", d1 + "07:31:31", "tick"}, {},
        {"3 2026-12-08 07:30:00"});
    row("a gap of days names the last one", "07:30:00",
        {d1 + "07:00:00", "tick", friday + "08:00:00", "tick"}, {}, {"3 2026-12-11 07:30:00"});
    row("a gap that ends on its second fires", "07:30:00",
        {d1 + "07:20:00", "tick", d1 + "07:30:00", "tick"}, {3});
    row("a gap over a day it does not fire", "07:30:00",
        {"days Mon Tue Wed Thu Fri", saturday + "07:00:00", "tick", saturday + "08:00:00", "tick"},
        {});
    row("a gap over the weekend names Friday", "07:30:00",
        {"days Mon Tue Wed Thu Fri", friday + "07:00:00", "tick", "show 2026-12-13 09:00:00",
         "tick"},
        {}, {"4 2026-12-11 07:30:00"});
    row("a gap after it fired", "07:30:00",
        {d1 + "07:30:00", "tick", d1 + "07:29:00", "tick", d1 + "07:40:00", "tick"}, {1});
    row("set back is no gap", "07:30:00",
        {d1 + "07:31:00", "tick", d1 + "07:20:00", "tick", d1 + "07:30:00", "tick"}, {5});
    row("missed, then shown after all: not twice", "07:30:00",
        {d1 + "07:29:00", "tick", d1 + "07:32:00", "tick", d1 + "07:30:00", "tick"}, {},
        {"3 2026-12-08 07:30:00"});

    // Once on a date, and skipping a date.
    row("once on its date, not the day before or after", "07:30:00",
        {"date 2026-12-09", d1 + "07:30:00", "tick", d2 + "07:30:00", "tick",
         "show 2026-12-10 07:30:00", "tick"},
        {4});
    row("once: set back across it fires once", "07:30:00",
        {"date 2026-12-09", d2 + "07:30:00", "tick", d2 + "07:29:59", "tick", d2 + "07:30:00",
         "tick"},
        {2});
    row("once: set forward across it is missed", "07:30:00",
        {"date 2026-12-09", d2 + "07:00:00", "tick", d2 + "09:00:00", "tick"}, {},
        {"4 2026-12-09 07:30:00"});
    row("once: a gap of weeks names its date", "07:30:00",
        {"date 2026-12-09", d1 + "07:00:00", "tick", "show 2026-12-30 09:00:00", "tick"}, {},
        {"4 2026-12-09 07:30:00"});
    row("skipped date: silent, the next day fires", "07:30:00",
        {"skip 2026-12-08", d1 + "07:30:00", "tick", d2 + "07:30:00", "tick"}, {4});
    row("skipped date in a gap: not missed", "07:30:00",
        {"skip 2026-12-08", d1 + "07:00:00", "tick", d1 + "08:00:00", "tick"}, {});
    row("skipped once-date never fires", "07:30:00",
        {"date 2026-12-08", "skip 2026-12-08", d1 + "07:30:00", "tick"}, {});

    // A snoozed repeat comes once, whatever its day; the test drops it once it is spent.
    row("snoozed: comes back once", "07:30:00",
        {"snooze 2026-12-12 07:35:00", saturday + "07:34:59", "tick", saturday + "07:35:00", "tick",
         saturday + "07:34:00", saturday + "07:35:00", "tick"},
        {4});
    row("snoozed into a gap: missed", "07:30:00",
        {"snooze 2026-12-08 07:35:00", d1 + "07:34:00", "tick", d1 + "07:40:00", "tick", "tick"},
        {}, {"4 2026-12-08 07:35:00"});
    row("snoozed until before the start: missed", "07:30:00",
        {d1 + "07:40:00", "snooze 2026-12-08 07:35:00", "arm", d1 + "07:40:01", "tick"}, {},
        {"4 2026-12-08 07:35:00"});
    row("its time and its repeat in one gap: one report", "07:30:00",
        {"snooze 2026-12-08 07:35:00", d1 + "07:00:00", "tick", d1 + "08:00:00", "tick"}, {},
        {"4 2026-12-08 07:35:00"});
}

void AlarmMatcherTest::scenarios()
{
    QFETCH(QString, alarmTime);
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, fires);
    ShownSeconds shown;
    AlarmMatcher matcher;
    AlarmDays days = AlarmDays::everyDay();
    std::optional<LocalTimeOfDay> snooze;
    std::optional<QDate> once;
    std::optional<QDate> skip;
    QList<int> fired;
    QStringList missed;
    for (int i = 0; i < steps.size(); ++i) {
        const QStringList words = steps.at(i).split(QLatin1Char(' '));
        const auto reading = [&] {
            LocalTimeOfDay read;
            read.date = QDate::fromString(words.at(1), Qt::ISODate);
            read.text24 = words.at(2);
            return read;
        };
        if (words.first() == QLatin1String("show")) {
            shown.record(reading());
        } else if (words.first() == QLatin1String("arm")) {
            matcher.arm(shown);
        } else if (words.first() == QLatin1String("time")) {
            alarmTime = words.at(1);
        } else if (words.first() == QLatin1String("days")) {
            days = *AlarmDays::fromText(words.mid(1).join(QLatin1Char(' ')));
        } else if (words.first() == QLatin1String("date")) {
            once = QDate::fromString(words.at(1), Qt::ISODate);
        } else if (words.first() == QLatin1String("skip")) {
            skip = QDate::fromString(words.at(1), Qt::ISODate);
        } else if (words.first() == QLatin1String("snooze")) {
            snooze = reading();
        } else {
            const AlarmMatcher::Outcome outcome =
                matcher.check(shown, alarmTime, days, snooze, once, skip);
            if (outcome.fires)
                fired.append(i);
            if (outcome.missed)
                missed.append(
                    QStringLiteral("%1 %2 %3")
                        .arg(i)
                        .arg(outcome.missed->date.toString(Qt::ISODate), outcome.missed->time24));
            if (outcome.snoozeSpent)
                snooze.reset();
        }
    }
    QCOMPARE(fired, fires);
    QTEST(missed, "missed");
}

void AlarmMatcherTest::daylightSavingChanges_data()
{
    QTest::addColumn<QDateTime>("fromUtc");
    QTest::addColumn<int>("firings");
    QTest::addColumn<int>("missed");
    // Europe/Berlin: 02:00 to 03:00 is skipped on 2026-03-29, and 02:00 to 03:00 is shown
    // twice on 2026-10-25.
    QTest::newRow("spring: the hour never shows")
        << QDateTime(QDate(2026, 3, 29), QTime(0, 0), Qt::UTC) << 0 << 1;
    QTest::newRow("autumn: the hour shows twice")
        << QDateTime(QDate(2026, 10, 24), QTime(23, 0), Qt::UTC) << 1 << 0;
}

void AlarmMatcherTest::daylightSavingChanges()
{
    QFETCH(QDateTime, fromUtc);
    QFETCH(int, firings);
    TestTime::pinZone("Europe/Berlin");
    ShownSeconds shown;
    AlarmMatcher matcher;
    int fired = 0;
    int missed = 0;
    // Three hours of seconds, one clock reading and one alarm tick each.
    const qint64 start = fromUtc.toMSecsSinceEpoch();
    for (qint64 ms = start; ms < start + 3 * 3600 * 1000; ms += 1000) {
        shown.record(LocalTimeOfDay::at(ms + 1));
        const AlarmMatcher::Outcome outcome = matcher.check(shown, QStringLiteral("02:30:00"));
        fired += outcome.fires ? 1 : 0;
        missed += outcome.missed ? 1 : 0;
    }
    QCOMPARE(fired, firings);
    QTEST(missed, "missed");
}

QTEST_MAIN(AlarmMatcherTest)
#include "tst_alarmmatcher.moc"
