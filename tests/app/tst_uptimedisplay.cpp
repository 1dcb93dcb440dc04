// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "TestTime.h"
#include "platform/Timer.h"
#include "settings/SettingsKeys.h"
#include "uptime/UptimeDisplay.h"
#include "widgets/ColourLabel.h"

#include <QTest>

using namespace SettingsKeys;

namespace {
constexpr qint64 wallClock = 1'800'000'000'001; // just after a whole second
} // namespace

class UptimeDisplayTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestTime::pinUtcAndPlainFormat(); }
    void settlesWithinEachTick_data();
    void settlesWithinEachTick();
    void countsWhileHiddenAndShowsAtOnce();
};

void UptimeDisplayTest::settlesWithinEachTick_data()
{
    // Two readings of the boot count, one tick each: the second text is settled at once.
    QTest::addColumn<quint64>("before");
    QTest::addColumn<quint64>("after");
    QTest::addColumn<QString>("text");
    QTest::newRow("into the first minute")
        << quint64(59'999) << quint64(60'000) << "0d, 0h, 1m, 0s";
    QTest::newRow("into a new day")
        << quint64(86'399'999) << quint64(86'400'000) << "1d, 0h, 0m, 0s";
    QTest::newRow("past 2^32 ms, no wrap")
        << quint64(4'294'967'295) << quint64(4'294'968'296) << "49d, 17h, 2m, 48s";
}

void UptimeDisplayTest::settlesWithinEachTick()
{
    QFETCH(quint64, before);
    QFETCH(quint64, after);
    MainWindowFixture fixture;
    fixture.time.setBootMs(before);
    fixture.time.setEpochMs(wallClock);
    QM_UTC_MAIN& window = fixture.open();
    QVERIFY(!window.QM_UPTIME_DISPLAY_LABEL->text().isEmpty());

    fixture.time.setBootMs(after);
    fixture.tickAt(wallClock + 1000);
    QTEST(window.QM_UPTIME_DISPLAY_LABEL->text(), "text");
    QCOMPARE(window.uptimeDisplay().breakdown().START_TB, after);
    QCOMPARE(window.QM_UPTIME_DISPLAY_LABEL->backColor(), 0);
}

void UptimeDisplayTest::countsWhileHiddenAndShowsAtOnce()
{
    MainWindowFixture fixture;
    fixture.settings.writeValues({{SHOW_UPTIME_TICKBOX.name, "0"}});
    QM_UTC_MAIN& window = fixture.open();
    fixture.time.setBootMs(191'229'400);
    fixture.tickAt(wallClock);
    QVERIFY(!window.QM_UPTIME_DISPLAY_LABEL->isVisibleTo(&window));

    window.showUptime(true);
    QVERIFY(window.QM_UPTIME_DISPLAY_LABEL->isVisibleTo(&window));
    QCOMPARE(window.QM_UPTIME_DISPLAY_LABEL->text(), QStringLiteral("2d, 5h, 7m, 9s"));
}

QTEST_MAIN(UptimeDisplayTest)
#include "tst_uptimedisplay.moc"
