// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "ProblemCapture.h"
#include "TestTime.h"
#include "largeclock/QM_UTC_LARGE_CLOCK_WINDOW.h"
#include "platform/Timer.h"
#include "prefs/QM_UTC_SETTINGS.h"
#include "settings/SettingsKeys.h"
#include "widgets/ColourLabel.h"
#include "widgets/TickBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace SettingsKeys;

namespace {
constexpr qint64 wallClock = 1'800'000'000'001; // 2027-01-15 08:00:00.001 UTC

int largeClocks()
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += qobject_cast<QM_UTC_LARGE_CLOCK_WINDOW*>(widget) != nullptr;
    return count;
}

// Runs `inside` once the large clock is the modal window, then closes it. Watches for as
// long as `watcher` lives.
void whenLargeClockOpens(QObject* watcher, std::function<void(QM_UTC_LARGE_CLOCK_WINDOW&)> inside)
{
    auto* poll = new QTimer(watcher);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, inside] {
        auto* open = qobject_cast<QM_UTC_LARGE_CLOCK_WINDOW*>(QApplication::activeModalWidget());
        if (!open)
            return;
        poll->deleteLater();
        poll->stop();
        inside(*open);
        open->close();
    });
    poll->start(0);
}
} // namespace

class AuxiliaryTimersTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestTime::pinUtcAndPlainFormat(); }
    void cleanup() { QCOMPARE(largeClocks(), 0); }
    void doubleClickOpensLargeClockOverALiveStrip();
    void autoOpensOnceAfterStartUp_data();
    void autoOpensOnceAfterStartUp();
    void alwaysOnTopPutsTheStripBackAbove_data();
    void alwaysOnTopPutsTheStripBackAbove();
    void stayOnTopHintOnlyWhenAskedFor();
    void aDesktopThatCannotKeepItOnTopIsNamedOnce_data();
    void aDesktopThatCannotKeepItOnTopIsNamedOnce();
    void aMinimisedStripComesBack();
};

void AuxiliaryTimersTest::doubleClickOpensLargeClockOverALiveStrip()
{
    MainWindowFixture fixture;
    QM_UTC_MAIN& window = fixture.open();
    window.show();
    fixture.tickAt(wallClock);
    QStringList mirrored;
    whenLargeClockOpens(&window, [&](QM_UTC_LARGE_CLOCK_WINDOW& large) {
        QCOMPARE(large.parentWidget(), &window);
        QVERIFY(large.isModal());
        mirrored << large.findChild<QLineEdit*>("TIME_LABEL_MIRROR")->text();
        // The strip's seconds go on meanwhile, and a second double-click opens nothing more.
        fixture.tickAt(wallClock + 1000);
        mirrored << large.findChild<QLineEdit*>("TIME_LABEL_MIRROR")->text();
        window.LIVE_TIME_LABEL_DblClick();
        QCOMPARE(largeClocks(), 1);
        window.LIVE_TIME_LABEL->setForeColor(255);
        QCOMPARE(large.findChild<QLineEdit*>("TIME_LABEL_MIRROR")->palette().color(QPalette::Text),
                 QColor(Qt::red));
    });
    QTest::mouseDClick(window.LIVE_TIME_LABEL, Qt::LeftButton);
    QCOMPARE(mirrored, QStringList({"08:00:00", "08:00:01"}));
    QCOMPARE(largeClocks(), 0);
    QVERIFY(fixture.settings.hasOnDisk(LARGE_CLOCK_Left.name));
}

void AuxiliaryTimersTest::autoOpensOnceAfterStartUp_data()
{
    QTest::addColumn<QString>("preference");
    QTest::addColumn<int>("openings");
    QTest::newRow("on") << "1" << 1;
    QTest::newRow("off") << "0" << 0;
}

void AuxiliaryTimersTest::autoOpensOnceAfterStartUp()
{
    QFETCH(QString, preference);
    QFETCH(int, openings);
    MainWindowFixture fixture;
    fixture.settings.writeValues({{LARGE_CLOCK_STARTUP_TICKBOX.name, preference}});
    QM_UTC_MAIN& window = fixture.open();
    Timer* autoOpen = window.LARGE_CLOCK_AUTO_OPEN_TIMER;
    int opened = 0;
    whenLargeClockOpens(&window, [&](QM_UTC_LARGE_CLOCK_WINDOW&) {
        ++opened;
        // Still pending while it waits, yet its own 3 ms period does not come back.
        QVERIFY(autoOpen->isEnabled());
        QVERIFY(!autoOpen->findChild<QTimer*>()->isActive());
        QTest::qWait(20);
        QCOMPARE(largeClocks(), 1);
    });
    window.show();
    if (openings > 0)
        QTRY_COMPARE(opened, openings);
    QTest::qWait(30);
    QCOMPARE(opened, openings);
    QVERIFY(!autoOpen->isEnabled());
    QCOMPARE(largeClocks(), 0);
}

void AuxiliaryTimersTest::alwaysOnTopPutsTheStripBackAbove_data()
{
    QTest::addColumn<bool>("restacks");
    QTest::addColumn<QString>("active");
    QTest::addColumn<QStringList>("sent");
    QTest::newRow("the strip itself") << true << "strip" << QStringList{};
    QTest::newRow("another window")
        << true << "77777" << QStringList{"ordinary 77777", "above strip"};
    QTest::newRow("none") << true << "0" << QStringList{"above strip"};
    // An alarm's window, say, keeps its place above others.
    QTest::newRow("one of its own windows") << true << "own" << QStringList{"above strip"};
    // Then it can only ask to stay on top, once, before it is first shown.
    QTest::newRow("cannot restack") << false << "77777" << QStringList{};
}

void AuxiliaryTimersTest::alwaysOnTopPutsTheStripBackAbove()
{
    QFETCH(bool, restacks);
    QFETCH(QString, active);
    QFETCH(QStringList, sent);
    MainWindowFixture fixture;
    fixture.stacking.restacks = restacks;
    QM_UTC_MAIN& window = fixture.open();
    QCOMPARE(bool(window.windowFlags() & Qt::WindowStaysOnTopHint), !restacks);
    window.show();
    const QString strip = QString::number(window.winId());
    QWidget own;
    own.show();
    fixture.stacking.active = active == "strip" ? window.winId()
                              : active == "own" ? own.winId()
                                                : active.toULongLong();
    fixture.tickAt(wallClock);
    QCOMPARE(fixture.stacking.sent, sent.replaceInStrings("strip", strip));

    // Switched off, it leaves the stacking alone; the strip stays where it was put.
    fixture.stacking.sent.clear();
    window.setKeptOnTop(false);
    fixture.tickAt(wallClock + 1000);
    QVERIFY(fixture.stacking.sent.isEmpty());
}

void AuxiliaryTimersTest::stayOnTopHintOnlyWhenAskedFor()
{
    MainWindowFixture fixture;
    fixture.stacking.restacks = false;
    fixture.settings.writeValues({{AlwaysOnTop_TICKBOX.name, "0"}});
    QVERIFY(!(fixture.open().windowFlags() & Qt::WindowStaysOnTopHint));
}

void AuxiliaryTimersTest::aDesktopThatCannotKeepItOnTopIsNamedOnce_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<int>("lines");
    const QString sway = QStringLiteral("this window manager cannot keep the strip on top");
    QTest::newRow("on at start") << "1" << sway << 1;
    // Said when it is switched on, not while nobody asks for it.
    QTest::newRow("off at start") << "0" << sway << 1;
    QTest::newRow("a desktop that can") << "1" << QString() << 0;
}

void AuxiliaryTimersTest::aDesktopThatCannotKeepItOnTopIsNamedOnce()
{
    QFETCH(QString, stored);
    QFETCH(QString, problem);
    QFETCH(int, lines);
    ProblemCapture problems;
    MainWindowFixture fixture;
    fixture.stacking.restacks = problem.isEmpty();
    fixture.stacking.problem = problem;
    fixture.settings.writeValues({{AlwaysOnTop_TICKBOX.name, stored}});
    QM_UTC_MAIN& strip = fixture.open();
    QM_UTC_SETTINGS settings(strip, strip.alarms(), fixture.launcher, fixture.settings.store());
    // Switched off and on again in the preferences: still one line in all.
    for (const qint16 value : {1, 0, 1})
        settings.AlwaysOnTop_TICKBOX->setValue(value);
    QCOMPARE(problems.lines.size(), lines);
    if (lines > 0)
        QCOMPARE(problems.lines.first(), "Always On Top: " + problem);
    QCOMPARE(settings.AlwaysOnTop_TICKBOX->toolTip(),
             problem.isEmpty() ? QString() : "T" + problem.mid(1) + ".");
}

void AuxiliaryTimersTest::aMinimisedStripComesBack()
{
    MainWindowFixture fixture;
    QM_UTC_MAIN& strip = fixture.open();
    strip.show();
    strip.setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(!strip.isMinimized());
    QVERIFY(strip.isVisible());
}

QTEST_MAIN(AuxiliaryTimersTest)
#include "tst_auxiliarytimers.moc"
