// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeTimeSource.h"
#include "platform/SecondTicker.h"
#include "platform/Timer.h"

#include <QSignalSpy>
#include <QTest>

class TimerTest : public QObject
{
    Q_OBJECT

private slots:
    void activeOnlyWhenOnWithAnInterval_data();
    void activeOnlyWhenOnWithAnInterval();
    void firesWithItsIntervalAndStopsWhenOff();
    void handlerIsNotEnteredAgainWhileItRuns();
    void ownPeriodSleepsWhileTheHandlerRuns_data();
    void ownPeriodSleepsWhileTheHandlerRuns();
    void delayToNextSecond_data();
    void delayToNextSecond();
    void tickerFiresActiveFollowersInJoiningOrder();
    void tickerSkipsAFollowerStillInItsHandler();
    void tickerWakesOnlyWhileAFollowerIsActive();
};

void TimerTest::activeOnlyWhenOnWithAnInterval_data()
{
    QTest::addColumn<bool>("createdOn");
    QTest::addColumn<int>("interval");
    QTest::addColumn<bool>("active");
    QTest::newRow("on, no interval yet") << true << 0 << false;
    QTest::newRow("on with interval") << true << 1000 << true;
    QTest::newRow("off with interval") << false << 1000 << false;
    QTest::newRow("negative interval is none") << true << -5 << false;
}

void TimerTest::activeOnlyWhenOnWithAnInterval()
{
    QFETCH(bool, createdOn);
    QFETCH(int, interval);
    QFETCH(bool, active);
    Timer timer(QStringLiteral("T"), createdOn, nullptr);
    QVERIFY(!timer.isActive());
    timer.setInterval(interval);
    QCOMPARE(timer.isActive(), active);
    QCOMPARE(timer.objectName(), QStringLiteral("T"));
}

void TimerTest::firesWithItsIntervalAndStopsWhenOff()
{
    Timer timer(QStringLiteral("T"), true, nullptr);
    QSignalSpy spy(&timer, &Timer::timeout);
    QTest::qWait(20);
    QCOMPARE(spy.count(), 0); // on, but without an interval it never fires

    timer.setInterval(2);
    QTRY_VERIFY(spy.count() >= 2);
    timer.setEnabled(false);
    const int fired = spy.count();
    QTest::qWait(20);
    QCOMPARE(spy.count(), fired);
}

void TimerTest::handlerIsNotEnteredAgainWhileItRuns()
{
    Timer timer(QStringLiteral("T"), true, nullptr);
    timer.setInterval(1000);
    int depth = 0;
    int maxDepth = 0;
    int calls = 0;
    connect(&timer, &Timer::timeout, this, [&] {
        ++calls;
        maxDepth = qMax(maxDepth, ++depth);
        timer.fire(); // as a nested event loop inside the handler would
        timer.setEnabled(false);
        timer.setEnabled(true); // a restart must not let it in either
        timer.fire();
        --depth;
    });
    timer.fire();
    QCOMPARE(calls, 1);
    QCOMPARE(maxDepth, 1);
    QVERIFY(!timer.isInHandler());
    timer.fire();
    QCOMPARE(calls, 2);
}

void TimerTest::ownPeriodSleepsWhileTheHandlerRuns_data()
{
    QTest::addColumn<QString>("handlerDoes");
    QTest::addColumn<int>("intervalAfter"); // 0: asleep after the handler
    QTest::newRow("nothing") << "" << 3;
    QTest::newRow("switches itself off") << "off" << 0;
    QTest::newRow("switches itself off and on") << "off on" << 3;
    QTest::newRow("takes a new interval") << "interval" << 7;
}

void TimerTest::ownPeriodSleepsWhileTheHandlerRuns()
{
    QFETCH(QString, handlerDoes);
    QFETCH(int, intervalAfter);
    Timer timer(QStringLiteral("T"), true, nullptr);
    timer.setInterval(3);
    auto* period = timer.findChild<QTimer*>();
    QVERIFY(period && period->isActive());
    bool wokeDuringHandler = false;
    connect(&timer, &Timer::timeout, this, [&] {
        for (const QString& step : handlerDoes.split(' ', Qt::SkipEmptyParts)) {
            if (step == "off")
                timer.setEnabled(false);
            else if (step == "on")
                timer.setEnabled(true);
            else
                timer.setInterval(7);
            wokeDuringHandler |= period->isActive();
        }
        // As while it waits in a modal window.
        wokeDuringHandler |= period->isActive();
    });
    timer.fire();
    QVERIFY(!wokeDuringHandler);
    QCOMPARE(period->isActive(), intervalAfter > 0);
    if (intervalAfter > 0)
        QCOMPARE(period->interval(), intervalAfter);
}

void TimerTest::delayToNextSecond_data()
{
    QTest::addColumn<qint64>("epochMs");
    QTest::addColumn<int>("delay");
    QTest::newRow("on the boundary") << qint64(5000) << 1;
    QTest::newRow("just after the phase") << qint64(5001) << 1000;
    QTest::newRow("mid-second") << qint64(5500) << 501;
    QTest::newRow("just before the boundary") << qint64(5999) << 2;
    QTest::newRow("before 1970") << qint64(-500) << 501;
}

void TimerTest::delayToNextSecond()
{
    QFETCH(qint64, epochMs);
    QFETCH(int, delay);
    QCOMPARE(SecondTicker::delayToNextSecond(epochMs), delay);
}

void TimerTest::tickerFiresActiveFollowersInJoiningOrder()
{
    FakeTimeSource time;
    SecondTicker ticker(time, SecondTicker::Mode::Manual);
    Timer first(QStringLiteral("first"), true, nullptr);
    Timer off(QStringLiteral("off"), false, nullptr);
    Timer noInterval(QStringLiteral("none"), true, nullptr);
    Timer last(QStringLiteral("last"), true, nullptr);
    QStringList order;
    for (Timer* timer : {&first, &off, &noInterval, &last}) {
        timer->followSeconds(ticker);
        connect(timer, &Timer::timeout, this, [&order, timer] { order << timer->objectName(); });
    }
    first.setInterval(1000);
    off.setInterval(1000);
    last.setInterval(1000);
    // What the second's timers changed is shown once all of them have run.
    connect(&ticker, &SecondTicker::aboutToTick, this, [&order] { order << "about to tick"; });
    connect(&ticker, &SecondTicker::ticked, this, [&order] { order << "ticked"; });

    ticker.tick();
    QCOMPARE(order, QStringList({"about to tick", "first", "last", "ticked"}));
}

void TimerTest::tickerSkipsAFollowerStillInItsHandler()
{
    FakeTimeSource time;
    SecondTicker ticker(time, SecondTicker::Mode::Manual);
    Timer waiting(QStringLiteral("waiting"), true, nullptr);
    Timer clock(QStringLiteral("clock"), true, nullptr);
    waiting.followSeconds(ticker);
    clock.followSeconds(ticker);
    waiting.setInterval(1000);
    clock.setInterval(1000);
    int waitingCalls = 0;
    int clockCalls = 0;
    connect(&clock, &Timer::timeout, this, [&] { ++clockCalls; });
    connect(&waiting, &Timer::timeout, this, [&] {
        // Seconds that pass while this handler waits, as in a modal window.
        if (++waitingCalls == 1) {
            ticker.tick();
            ticker.tick();
        }
    });

    ticker.tick();
    QCOMPARE(waitingCalls, 1);
    QCOMPARE(clockCalls, 3);
}

void TimerTest::tickerWakesOnlyWhileAFollowerIsActive()
{
    FakeTimeSource time;
    time.setEpochMs(1'700'000'000'250);
    SecondTicker ticker(time);
    Timer timer(QStringLiteral("T"), false, nullptr);
    timer.followSeconds(ticker);
    timer.setInterval(1000);
    QVERIFY(!ticker.isArmed());

    timer.setEnabled(true);
    QVERIFY(ticker.isArmed());
    QVERIFY(ticker.remainingMs() <= 751);

    timer.setEnabled(false);
    ticker.tick();
    QVERIFY(!ticker.isArmed());
}

QTEST_MAIN(TimerTest)
#include "tst_timer.moc"
