// SPDX-License-Identifier: GPL-3.0-or-later
#include "notify/AutoCloseCountdown.h"

#include <QTest>

// Events as words: "open" (value loaded, then the tick state decides), "tick+" / "tick-"
// (Auto Close clicked into that state), "startstop", "dblclick", "tick" (a countdown tick).
// Returns false if a tick asked to close the window.
static bool apply(AutoCloseCountdown& countdown, const QString& events)
{
    for (const QString& event : events.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (event == QLatin1String("open")) {
            countdown.resetValue();
            countdown.applyTickAtOpening();
        } else if (event.startsWith(QLatin1String("tick")) && event.size() == 5) {
            countdown.autoCloseClicked(event.endsWith(QLatin1Char('+')));
        } else if (event == QLatin1String("startstop")) {
            countdown.startStopClicked();
        } else if (event == QLatin1String("dblclick")) {
            countdown.countdownDoubleClicked();
        } else if (event == QLatin1String("tick") && countdown.tick()) {
            return false;
        }
    }
    return true;
}

static QString describe(const AutoCloseCountdown& c)
{
    return QStringLiteral("%1 %2 %3 %4 %5s")
        .arg(c.timerRunning() ? "running" : "stopped", c.field(), c.caption(),
             c.buttonEnabled() ? "enabled" : "disabled")
        .arg(c.seconds());
}

class TestAutoCloseCountdown : public QObject
{
    Q_OBJECT

private slots:
    void reachesState_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("state");
        const auto row = [](const char* name, const QString& events, const char* state) {
            QTest::newRow(name) << events << QString::fromLatin1(state);
        };
        row("as built", "", "running 00 START enabled 0s");
        row("stored 1, before the branch", "tick+", "running ON START enabled 11s");
        row("opened unticked: Off", "open", "stopped OFF START disabled 11s");
        row("opened ticked: Running", "tick+ open", "running ON STOP enabled 11s");
        row("first tick", "tick+ open tick", "running 10 STOP enabled 10s");
        row("tenth tick", "tick+ open" + QString(" tick").repeated(10),
            "running 01 STOP enabled 1s");
        row("ticking from Off only arms", "open tick+", "stopped ON START enabled 11s");
        row("START from Armed", "open tick+ startstop", "running 10 STOP enabled 11s");
        row("STOP: Stopped", "tick+ open tick startstop", "stopped OFF START enabled 10s");
        row("START again restarts", "tick+ open tick tick startstop startstop tick",
            "running 10 STOP enabled 10s");
        row("unticking during the count", "tick+ open tick tick-",
            "stopped OFF START disabled 10s");
        row("double-click while unticked", "open dblclick", "running 10 START disabled 11s");
        row("its ticks do nothing", "open dblclick tick tick", "running 10 START disabled 11s");
        row("ticking then resets, count goes on", "open dblclick tick+ tick",
            "running 10 START enabled 10s");
        row("double-click during the count", "tick+ open tick dblclick",
            "stopped OFF STOP enabled 10s");
        row("next press only says START", "tick+ open tick dblclick startstop",
            "stopped OFF START enabled 10s");
        row("the press after restarts", "tick+ open tick dblclick startstop startstop",
            "running 10 STOP enabled 11s");
        row("double-click when Stopped", "tick+ open tick startstop dblclick",
            "running 10 START enabled 11s");
    }

    void reachesState()
    {
        QFETCH(QString, events);
        AutoCloseCountdown countdown;
        QVERIFY(apply(countdown, events));
        QTEST(describe(countdown), "state");
    }

    void closesOnEleventhTick_data()
    {
        QTest::addColumn<QString>("start");
        QTest::newRow("opened ticked") << "tick+ open";
        QTest::newRow("armed, then START") << "open tick+ startstop";
        QTest::newRow("armed, then double-click") << "open tick+ dblclick";
    }

    void closesOnEleventhTick()
    {
        QFETCH(QString, start);
        AutoCloseCountdown countdown;
        QVERIFY(apply(countdown, start));
        for (int left = 10; left >= 1; --left) {
            QVERIFY(!countdown.tick());
            QCOMPARE(countdown.field(), QStringLiteral("%1").arg(left, 2, 10, QLatin1Char('0')));
        }
        QVERIFY(countdown.tick());
        QCOMPARE(countdown.field(), QStringLiteral("NOW"));
    }
};

QTEST_APPLESS_MAIN(TestAutoCloseCountdown)
#include "tst_autoclosecountdown.moc"
