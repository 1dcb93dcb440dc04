// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "ProblemCapture.h"
#include "TestTime.h"
#include "TestWindows.h"
#include "app/StripMenu.h"
#include "notify/AlarmNotifier.h"
#include "platform/Timer.h"
#include "platform/Twips.h"
#include "platform/WindowGeometry.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "widgets/ColourLabel.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <clocale>
#include <sys/stat.h>

using namespace SettingsKeys;
using Values = QList<QPair<QString, QString>>;

namespace {
const QStringList uptimeTimers = {"UPTIME_TIMER",        "DAY_UPTIME_TIMER",
                                  "HOUR_UPTIME_TIMER",   "MINUTE_UPTIME_TIMER",
                                  "SECOND_UPTIME_TIMER", "QM_DISPLAY_UPDATE_TIMER"};

Timer* timer(QM_UTC_MAIN& window, const QString& name)
{
    return window.findChild<Timer*>(name);
}

// What a person sees of the strip's settings.
QStringList strip(QM_UTC_MAIN& window)
{
    QStringList armed;
    for (int n = 1; n <= 10; ++n) {
        if (window.alarmTimer(n)->isActive())
            armed << QString::number(n);
    }
    return {QStringLiteral("colours %1 on %2")
                .arg(window.LIVE_TIME_LABEL->foreColor())
                .arg(window.LIVE_TIME_LABEL->backColor()),
            WindowGeometry::outerSize(&window).width() == 364 ? "wide" : "narrow",
            window.QM_UPTIME_DISPLAY_LABEL->text() == "TIMERS DISABLED" ? "stopped" : "counting",
            timer(window, "AlwaysOnTopTimer")->isEnabled() ? "on top" : "not on top",
            "armed " + armed.join(u' ')};
}

QMessageBox* notice(QM_UTC_MAIN& window)
{
    return window.findChild<QMessageBox*>(QStringLiteral("SETTINGS_FILE_NOTICE"));
}
} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestTime::pinUtcAndPlainFormat(); }
    void emptyStoreStartUp();
    void flagsAreOnOnlyWhenExactlyOne_data();
    void flagsAreOnOnlyWhenExactlyOne();
    void alarmTimersNeedTheMasterSwitchAndTheirRow_data();
    void alarmTimersNeedTheMasterSwitchAndTheirRow();
    void storedGeometryAndColoursAreHonoured();
    void unreachablePlacesGiveTheDefault_data();
    void unreachablePlacesGiveTheDefault();
    void storedAlarmSlotsAreLoaded();
    void clockTextFollowsTheSeconds_data();
    void clockTextFollowsTheSeconds();
    void closingWritesOnlyThePosition_data();
    void closingWritesOnlyThePosition();
    void damagedStoreStartsWithDefaults();
    void handEditsAreAppliedWithinASecond_data();
    void handEditsAreAppliedWithinASecond();
    void settingsProblemsAreToldInAWindowOnce_data();
    void settingsProblemsAreToldInAWindowOnce();
    void stripMenuOffersWhatApplies_data();
    void stripMenuOffersWhatApplies();
};

void MainWindowTest::emptyStoreStartUp()
{
    MainWindowFixture fixture;
    QM_UTC_MAIN& window = fixture.open();

    QCOMPARE(window.windowTitle(), QStringLiteral("QM-GLIMMER-DIAL"));
    QCOMPARE(WindowGeometry::outerTopLeft(&window), QPoint(67, 67));
    QCOMPARE(WindowGeometry::outerSize(&window), QSize(364, 60));
    QVERIFY(window.windowFlags() & Qt::Tool);
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(window.windowFlags() & Qt::WindowMinimizeButtonHint));

    QCOMPARE(window.AlwaysOnTop_TICKBOX, qint16(1));
    QCOMPARE(window.SHOW_UPTIME_TICKBOX, qint16(1));
    QCOMPARE(window.LARGE_CLOCK_STARTUP_TICKBOX, qint16(0));
    QCOMPARE(window.AUTOSTART_TICKBOX, qint16(1));
    QCOMPARE(window.alarms().masterSwitch(), qint16(0));

    QCOMPARE(window.LIVE_TIME_LABEL->foreColor(), 65280);
    QCOMPARE(window.LIVE_TIME_LABEL->backColor(), 0);
    // The time and the uptime show at once, not at the first tick up to a second later.
    QCOMPARE(window.LIVE_TIME_LABEL->text(), QStringLiteral("00:00:00"));
    QCOMPARE(window.QM_UPTIME_DISPLAY_LABEL->text(), QStringLiteral("0d, 0h, 0m, 0s"));
    QVERIFY(window.QM_UPTIME_DISPLAY_LABEL->isVisibleTo(&window));
    QCOMPARE(window.QM_UPTIME_DISPLAY_LABEL->backColor(), 0);
    QCOMPARE(window.LIVE_TIME_LABEL->geometry(), QRect(64, 8, 93, 25));
    QCOMPARE(window.QUILL_MARSH_BUTTON->geometry(), QRect(8, 8, 49, 25));
    QCOMPARE(window.QM_UPTIME_DISPLAY_LABEL->geometry(), QRect(160, 8, 193, 25));

    QVERIFY(timer(window, "CLOCK_TIMER")->isActive());
    QVERIFY(timer(window, "AlwaysOnTopTimer")->isActive());
    for (const QString& name : uptimeTimers)
        QVERIFY2(timer(window, name)->isActive(), qPrintable(name));
    QVERIFY(!timer(window, "LARGE_CLOCK_AUTO_OPEN_TIMER")->isActive());
    QCOMPARE(timer(window, "LARGE_CLOCK_AUTO_OPEN_TIMER")->interval(), 3);
    for (int n = 1; n <= 10; ++n) {
        Timer* alarmTimer = timer(window, QStringLiteral("ALARM_%1_TIMER").arg(n));
        QVERIFY(alarmTimer);
        QCOMPARE(alarmTimer->interval(), 1000);
        QVERIFY(!alarmTimer->isEnabled());

        const AlarmSlot& slot = window.alarmSlot(n);
        QCOMPARE(slot.enabled, qint16(0));
        QCOMPARE(slot.name, QStringLiteral("Alarm Name"));
        QCOMPARE(slot.time, QStringLiteral("00:00:00"));
        QCOMPARE(slot.message, QStringLiteral("Display Message"));
        QCOMPARE(slot.command, QStringLiteral("Run Command"));
        QCOMPARE(slot.displayMessage + slot.autoClose + slot.runCommand + slot.runHidden, 0);
        QCOMPARE(QM_UTC_MAIN::ALARM_NUMBER_TEXTBOX(n), QString::number(n));
    }
    QCOMPARE(QM_UTC_MAIN::ALARM_TEST_NUMBER_TEXTBOX(), QStringLiteral("T"));
}

void MainWindowTest::flagsAreOnOnlyWhenExactlyOne_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("on");
    QTest::newRow("0") << "0" << false;
    QTest::newRow("1") << "1" << true;
    QTest::newRow("2 counts off") << "2" << false;
    QTest::newRow("-1 counts off") << "-1" << false;
}

void MainWindowTest::flagsAreOnOnlyWhenExactlyOne()
{
    QFETCH(QString, stored);
    QFETCH(bool, on);
    MainWindowFixture fixture;
    fixture.settings.writeValues({{AlwaysOnTop_TICKBOX.name, stored},
                                  {SHOW_UPTIME_TICKBOX.name, stored},
                                  {LARGE_CLOCK_STARTUP_TICKBOX.name, stored},
                                  {AUTOSTART_TICKBOX.name, stored}});
    QM_UTC_MAIN& window = fixture.open();
    // A second on: the uptime counts, or stays disabled with nothing ticking.
    fixture.time.setBootMs(40'000);
    fixture.tickAt(1'800'000'000'001);

    QCOMPARE(timer(window, "AlwaysOnTopTimer")->isEnabled(), on);
    QCOMPARE(timer(window, "LARGE_CLOCK_AUTO_OPEN_TIMER")->isEnabled(), on);
    QCOMPARE(WindowGeometry::outerSize(&window), on ? QSize(364, 60) : QSize(168, 60));
    QCOMPARE(window.QM_UPTIME_DISPLAY_LABEL->isVisibleTo(&window), on);
    for (const QString& name : uptimeTimers)
        QCOMPARE(timer(window, name)->isEnabled(), on);
    if (on) {
        QCOMPARE(window.QM_UPTIME_DISPLAY_LABEL->text(), QStringLiteral("0d, 0h, 0m, 40s"));
        QCOMPARE(window.QM_UPTIME_DISPLAY_LABEL->backColor(), 0);
    } else {
        QCOMPARE(window.QM_UPTIME_DISPLAY_LABEL->text(), QStringLiteral("TIMERS DISABLED"));
        QCOMPARE(window.QM_UPTIME_DISPLAY_LABEL->backColor(), 255);
    }
}

void MainWindowTest::alarmTimersNeedTheMasterSwitchAndTheirRow_data()
{
    QTest::addColumn<QString>("master");
    QTest::addColumn<QString>("row");
    QTest::addColumn<bool>("on");
    QTest::newRow("both on") << "1"
                             << "1" << true;
    QTest::newRow("row off") << "1"
                             << "0" << false;
    QTest::newRow("master off") << "0"
                                << "1" << false;
    QTest::newRow("master 2") << "2"
                              << "1" << false;
    QTest::newRow("row 2") << "1"
                           << "2" << false;
}

void MainWindowTest::alarmTimersNeedTheMasterSwitchAndTheirRow()
{
    QFETCH(QString, master);
    QFETCH(QString, row);
    QFETCH(bool, on);
    MainWindowFixture fixture;
    fixture.settings.writeValues({{ENABLE_ALARMS_TICKBOX.name, master},
                                  {alarm(AlarmField::TICKBOX, 4).name, row},
                                  {alarm(AlarmField::TICKBOX, 10).name, row}});
    QM_UTC_MAIN& window = fixture.open();
    for (int n = 1; n <= 10; ++n) {
        const bool expected = on && (n == 4 || n == 10);
        QCOMPARE(window.alarmTimer(n)->isActive(), expected);
    }
}

void MainWindowTest::storedGeometryAndColoursAreHonoured()
{
    MainWindowFixture fixture;
    fixture.settings.writeValues({{CLOCK_MAIN_Left.name, "-3000"},
                                  {CLOCK_MAIN_Top.name, "1512.5"},
                                  {CLOCK_MAIN_Height.name, "1200"},
                                  {CLOCK_FORECOLOR.name, "255"},
                                  {CLOCK_BACKCOLOR.name, "16711680"}});
    QM_UTC_MAIN& window = fixture.open();
    QCOMPARE(WindowGeometry::outerTopLeft(&window), QPoint(-200, 101)); // off screen stays so
    QCOMPARE(WindowGeometry::outerSize(&window), QSize(364, 80));
    QCOMPARE(window.LIVE_TIME_LABEL->foreColor(), 255);
    QCOMPARE(window.LIVE_TIME_LABEL->palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(window.LIVE_TIME_LABEL->palette().color(QPalette::Window), QColor(Qt::blue));
}

void MainWindowTest::unreachablePlacesGiveTheDefault_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("pixelHeight");
    const QPoint home = Twips::toPixels(1000, 1000);
    QTest::newRow("far left") << "-50000"
                              << "1000"
                              << "900" << home << 60;
    QTest::newRow("far right") << "10000000"
                               << "1000"
                               << "900" << home << 60;
    QTest::newRow("title above the screen") << "1000"
                                            << "-600"
                                            << "900" << home << 60;
    QTest::newRow("not a number") << "nan"
                                  << "inf"
                                  << "900" << home << 60;
    QTest::newRow("partly on screen stays") << "-3000"
                                            << "3000"
                                            << "900" << QPoint(-200, 200) << 60;
    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
    QTest::newRow("taller than the screen") << "1000"
                                            << "0"
                                            << "1e9" << QPoint(67, 0) << screenHeight;
}

void MainWindowTest::unreachablePlacesGiveTheDefault()
{
    QFETCH(QString, left);
    QFETCH(QString, top);
    QFETCH(QString, height);
    MainWindowFixture fixture;
    fixture.settings.writeValues({{CLOCK_MAIN_Left.name, left},
                                  {CLOCK_MAIN_Top.name, top},
                                  {CLOCK_MAIN_Height.name, height}});
    QM_UTC_MAIN& window = fixture.open();
    QTEST(WindowGeometry::outerTopLeft(&window), "at");
    QTEST(WindowGeometry::outerSize(&window).height(), "pixelHeight");
    // Left as it was until the strip is moved or closed.
    QCOMPARE(fixture.settings.onDisk(CLOCK_MAIN_Left.name), left);
}

void MainWindowTest::storedAlarmSlotsAreLoaded()
{
    MainWindowFixture fixture;
    fixture.settings.writeValues({{alarm(AlarmField::NAME_TEXTBOX, 10).name, " Tea "},
                                  {alarm(AlarmField::TIME_TEXTBOX, 10).name, "16:30:00"},
                                  {alarm(AlarmField::RUN_COMMAND_TICKBOX, 10).name, "1"},
                                  {alarm(AlarmField::RUN_COMMAND_TEXTBOX, 10).name, "kettle on"},
                                  {alarm(AlarmField::RUN_HIDDEN_TICKBOX, 10).name, "1"},
                                  {alarm(AlarmField::MESSAGE_AUTO_CLOSE_TICKBOX, 10).name, "1"},
                                  {alarm(AlarmField::DISPLAY_MESSAGE_TICKBOX, 9).name, "1"}});
    QM_UTC_MAIN& window = fixture.open();
    const AlarmSlot& ten = window.alarmSlot(10);
    QCOMPARE(ten.name, QStringLiteral(" Tea ")); // as written, blanks and all
    QCOMPARE(ten.time, QStringLiteral("16:30:00"));
    QCOMPARE(ten.runCommand, qint16(1));
    QCOMPARE(ten.command, QStringLiteral("kettle on"));
    QCOMPARE(ten.runHidden, qint16(1));
    QCOMPARE(ten.autoClose, qint16(1));
    QCOMPARE(ten.displayMessage, qint16(0));
    QCOMPARE(window.alarmSlot(9).displayMessage, qint16(1));
    QCOMPARE(window.alarmSlot(9).name, QStringLiteral("Alarm Name"));
}

void MainWindowTest::clockTextFollowsTheSeconds_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("24-hour") << QByteArray("C")
                             << QStringList{"23:59:58", "23:59:59", "00:00:00", "00:00:01"};
    QTest::newRow("12-hour") << QByteArray("en_US.UTF-8")
                             << QStringList{"11:59:58 PM", "11:59:59 PM", "12:00:00 AM",
                                            "12:00:01 AM"};
}

void MainWindowTest::clockTextFollowsTheSeconds()
{
    QFETCH(QByteArray, locale);
    QFETCH(QStringList, texts);
    if (!std::setlocale(LC_TIME, locale.constData()))
        QFAIL("locale not generated on this machine; scripts/setup.sh generates it");
    MainWindowFixture fixture;
    QM_UTC_MAIN& window = fixture.open();
    const qint64 start = TestTime::utcMs(2026, 12, 31, 23, 59, 58);
    for (int i = 0; i < texts.size(); ++i) {
        // Just after each boundary, where the ticker wakes.
        fixture.tickAt(start + i * 1000 + 1);
        QCOMPARE(window.LIVE_TIME_LABEL->text(), texts.at(i));
        // A second tick in the same second changes nothing.
        fixture.tickAt(start + i * 1000 + 900);
        QCOMPARE(window.LIVE_TIME_LABEL->text(), texts.at(i));
    }
}

void MainWindowTest::closingWritesOnlyThePosition_data()
{
    QTest::addColumn<QPoint>("moveTo");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("top");
    QTest::newRow("not moved keeps the exact twips") << QPoint() << "1000"
                                                     << "1000";
    QTest::newRow("moved") << QPoint(200, 150) << "3000"
                           << "2250";
    QTest::newRow("moved off screen") << QPoint(-50, 0) << "-750"
                                      << "0";
}

void MainWindowTest::closingWritesOnlyThePosition()
{
    QFETCH(QPoint, moveTo);
    QFETCH(QString, left);
    QFETCH(QString, top);
    MainWindowFixture fixture;
    QM_UTC_MAIN& window = fixture.open();
    QSignalSpy unloaded(&window, &QM_UTC_MAIN::unloaded);
    if (!moveTo.isNull())
        window.move(moveTo);
    window.close();

    QCOMPARE(unloaded.count(), 1);
    QCOMPARE(fixture.settings.onDisk(CLOCK_MAIN_Left.name), left);
    QCOMPARE(fixture.settings.onDisk(CLOCK_MAIN_Top.name), top);
    const QByteArray file = fixture.settings.readRaw();
    QCOMPARE(file.count('='), 2);
}

void MainWindowTest::damagedStoreStartsWithDefaults()
{
    MainWindowFixture fixture;
    fixture.settings.writeRaw("[" + SettingsStore::sectionName().toUtf8() +
                              "]\nCLOCK_FORECOLOR=255\n\x01\x02 what is this\n"
                              "AlwaysOnTop_TICKBOX=on\nCLOCK-MAIN-Left=\n"
                              "ENABLE_ALARMS_TICKBOX=1\nALARM_2_TICKBOX=1\n");
    ProblemCapture problems;
    QM_UTC_MAIN& window = fixture.open();
    QCOMPARE(problems.lines.size(), 1);
    QCOMPARE(window.LIVE_TIME_LABEL->foreColor(), 255);
    QCOMPARE(window.AlwaysOnTop_TICKBOX, qint16(1));
    QCOMPARE(WindowGeometry::outerTopLeft(&window), QPoint(67, 67));
    QVERIFY(window.alarmTimer(2)->isActive());
}

void MainWindowTest::handEditsAreAppliedWithinASecond_data()
{
    QTest::addColumn<Values>("edits");
    QTest::addColumn<QStringList>("seen");
    QTest::addColumn<int>("launches"); // at 12:00:02
    const QString wide = "wide", counting = "counting", onTop = "on top";
    QTest::newRow("nothing") << Values{}
                             << QStringList{"colours 65280 on 0", wide, counting, onTop, "armed "}
                             << 0;
    QTest::newRow("colours") << Values{{"CLOCK_FORECOLOR", "255"}, {"CLOCK_BACKCOLOR", "65535"}}
                             << QStringList{"colours 255 on 65535", wide, counting, onTop, "armed "}
                             << 0;
    QTest::newRow("switches") << Values{{"SHOW_UPTIME_TICKBOX", "0"},
                                        {"AUTOSTART_TICKBOX", "0"},
                                        {"AlwaysOnTop_TICKBOX", "0"}}
                              << QStringList{"colours 65280 on 0", "narrow", "stopped",
                                             "not on top", "armed "}
                              << 0;
    QTest::newRow("alarms") << Values{{"ENABLE_ALARMS_TICKBOX", "1"},
                                      {"ALARM_4_TICKBOX", "1"},
                                      {"ALARM_7_TICKBOX", "1"},
                                      {"ALARM_7_TIME_TEXTBOX", "12:00:02"},
                                      {"ALARM_7_RUN_COMMAND_TICKBOX", "1"},
                                      {"ALARM_7_RUN_COMMAND_TEXTBOX", "ring"}}
                            << QStringList{"colours 65280 on 0", wide, counting, onTop, "armed 4 7"}
                            << 1;
}

void MainWindowTest::handEditsAreAppliedWithinASecond()
{
    QFETCH(Values, edits);
    MainWindowFixture fixture;
    QM_UTC_MAIN& window = fixture.open();
    const qint64 noon = TestTime::utcMs(2026, 12, 8, 12, 0, 0);
    fixture.tickAt(noon);
    fixture.settings.writeValues(edits);
    const QByteArray edited = fixture.settings.readRaw();
    fixture.tickAt(noon + 1000);
    QTEST(strip(window), "seen");
    fixture.tickAt(noon + 2000);
    QTEST(int(fixture.launcher.launches.size()), "launches");
    // Applied without a write of the clock's own.
    QCOMPARE(fixture.settings.readRaw(), edited);
}

void MainWindowTest::settingsProblemsAreToldInAWindowOnce_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QStringList>("said"); // in the window
    QTest::newRow("none") << "" << QStringList{};
    QTest::newRow("a folder others can change")
        << "folder" << QStringList{"Alarm commands are not run", "chmod 700"};
    QTest::newRow("a file too large")
        << "large" << QStringList{"16 MiB", "default settings", "with your settings in it"};
    QTest::newRow("a file grown too large while the clock runs")
        << "grows"
        << QStringList{"16 MiB", "keeps the settings it had", "with your settings in it"};
}

void MainWindowTest::settingsProblemsAreToldInAWindowOnce()
{
    QFETCH(QString, problem);
    QFETCH(QStringList, said);
    MainWindowFixture fixture;
    fixture.settings.writeValues({{CLOCK_FORECOLOR.name, "255"}});
    const QString folder = QFileInfo(fixture.settings.filePath()).absolutePath();
    if (problem == "folder")
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
    if (problem == "large")
        QVERIFY(QFile(fixture.settings.filePath()).resize(17 << 20));
    ProblemCapture problems;
    QM_UTC_MAIN& window = fixture.open();
    if (problem == "grows")
        QVERIFY(QFile(fixture.settings.filePath()).resize(17 << 20));
    const qint64 noon = TestTime::utcMs(2026, 12, 8, 12, 0, 0);
    fixture.tickAt(noon);
    ::chmod(QFile::encodeName(folder).constData(), 0700);

    QMessageBox* box = notice(window);
    QCOMPARE(box != nullptr, !said.isEmpty());
    if (box) {
        QVERIFY(box->isVisible());
        for (const QString& part : said)
            QVERIFY2(box->informativeText().contains(part), qPrintable(box->informativeText()));
        box->close();
        TestWindows::discardClosed();
    }
    QCOMPARE(window.LIVE_TIME_LABEL->foreColor(), problem == "large" ? 65280 : 255);
    fixture.tickAt(noon + 1000);
    QVERIFY(!notice(window)); // once
}

void MainWindowTest::stripMenuOffersWhatApplies_data()
{
    QTest::addColumn<Values>("stored");
    QTest::addColumn<QStringList>("offered"); // at 12:00:01
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("then");
    const QStringList windows{"Preferences", "Large clock"};
    const Values tea{{"ENABLE_ALARMS_TICKBOX", "1"},
                     {"ALARM_7_TICKBOX", "1"},
                     {"ALARM_7_NAME_TEXTBOX", "Tea & cake"},
                     {"ALARM_7_TIME_TEXTBOX", "12:30:00"}};
    QTest::newRow("nothing armed") << Values{} << windows << "" << windows;
    QTest::newRow("skip today's, then tomorrow's is next")
        << tea << QStringList{"Skip Tea && cake at 12:30:00 today"} + windows << "Skip"
        << QStringList{"Skip Tea && cake at 12:30:00 tomorrow"} + windows;
    QTest::newRow("once on a date weeks ahead")
        << tea + Values{{"ALARM_7_DATE", "2026-12-24"}}
        << QStringList{"Skip Tea && cake at 12:30:00 2026-12-24"} + windows << "Skip" << windows;
    const Values ringing{{"ENABLE_ALARMS_TICKBOX", "1"},
                         {"ALARM_7_TICKBOX", "1"},
                         {"ALARM_7_TIME_TEXTBOX", "12:00:01"},
                         {"ALARM_7_DISPLAY_MESSAGE_TICKBOX", "1"}};
    QTest::newRow("ringing: Stop answers it")
        << ringing
        << QStringList{"Skip Alarm Name at 12:00:01 tomorrow", "Snooze", "Stop"} + windows << "Stop"
        << QStringList{"Skip Alarm Name at 12:00:01 tomorrow"} + windows;
    QTest::newRow("ringing: Snooze brings it back")
        << ringing
        << QStringList{"Skip Alarm Name at 12:00:01 tomorrow", "Snooze", "Stop"} + windows
        << "Snooze" << QStringList{"Skip Alarm Name at 12:00:01 tomorrow"} + windows;
}

void MainWindowTest::stripMenuOffersWhatApplies()
{
    QFETCH(Values, stored);
    QFETCH(QString, chosen);
    MainWindowFixture fixture;
    fixture.settings.writeValues(stored);
    QM_UTC_MAIN& window = fixture.open();
    const qint64 noon = TestTime::utcMs(2026, 12, 8, 12, 0, 0);
    fixture.tickAt(noon);
    fixture.tickAt(noon + 1000);
    const auto texts = [&](StripMenu& menu) {
        QStringList all;
        for (const QAction* action : menu.actions())
            all << action->text();
        return all;
    };
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(noon + 1000);
    StripMenu menu(window.alarms(), window.notifier(), now, &window);
    QTEST(texts(menu), "offered");
    for (QAction* action : menu.actions()) {
        if (!chosen.isEmpty() && action->text().startsWith(chosen))
            action->trigger();
    }
    QCoreApplication::sendPostedEvents();
    StripMenu after(window.alarms(), window.notifier(), now, &window);
    QTEST(texts(after), "then");
    if (chosen == "Skip")
        QVERIFY(!fixture.settings.onDisk("ALARM_7_SKIP_DATE").isEmpty());
    if (chosen == "Snooze")
        QCOMPARE(fixture.settings.onDisk("ALARM_7_SNOOZED_UNTIL"), "2026-12-08T12:05:01");
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
