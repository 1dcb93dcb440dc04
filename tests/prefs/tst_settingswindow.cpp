// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "TestWindows.h"
#include "alarms/QM_UTC_ALARM_SETTINGS.h"
#include "notify/QM_UTC_ALARM_NOTIFICATION_WINDOW.h"
#include "platform/Timer.h"
#include "platform/WindowGeometry.h"
#include "prefs/QM_UTC_COLORS_WINDOW.h"
#include "prefs/QM_UTC_SETTINGS.h"
#include "settings/SettingsKeys.h"
#include "widgets/ColourLabel.h"
#include "widgets/TickBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using Values = QList<QPair<QString, QString>>;

namespace {
const QStringList uptimeTimers = {"UPTIME_TIMER",        "DAY_UPTIME_TIMER",
                                  "HOUR_UPTIME_TIMER",   "MINUTE_UPTIME_TIMER",
                                  "SECOND_UPTIME_TIMER", "QM_DISPLAY_UPDATE_TIMER"};
const QStringList preferenceKeys = {"AlwaysOnTop_TICKBOX", "SHOW_UPTIME_TICKBOX",
                                    "LARGE_CLOCK_STARTUP_TICKBOX", "AUTOSTART_TICKBOX"};

// The four boxes as Always On Top, Show UpTime, Large Clock, Auto Start: "1100".
QString boxes(const QM_UTC_SETTINGS& window)
{
    QString shown;
    for (const TickBox* box : {window.AlwaysOnTop_TICKBOX, window.SHOW_UPTIME_TICKBOX,
                               window.LARGE_CLOCK_STARTUP_TICKBOX, window.AUTOSTART_TICKBOX})
        shown += QString::number(box->value());
    return shown;
}

bool counting(QM_UTC_MAIN& strip)
{
    for (const QString& name : uptimeTimers)
        if (!strip.findChild<Timer*>(name)->isEnabled())
            return false;
    return true;
}

bool wide(QM_UTC_MAIN& strip)
{
    return WindowGeometry::outerSize(&strip).width() == 364 &&
           strip.QM_UPTIME_DISPLAY_LABEL->isVisibleTo(&strip);
}

// Everything on disk for the four preference keys, "-" where a key is missing.
QString preferencesOnDisk(const TestSettings& settings)
{
    QStringList values;
    for (const QString& key : preferenceKeys)
        values << (settings.hasOnDisk(key) ? settings.onDisk(key) : QStringLiteral("-"));
    return values.join(u' ');
}

QPointer<QM_UTC_SETTINGS> open(MainWindowFixture& fixture)
{
    // Shown, so that its frame is known before an owned window makes it native.
    fixture.window->show();
    auto* window = new QM_UTC_SETTINGS(*fixture.window, fixture.window->alarms(), fixture.launcher,
                                       fixture.settings.store());
    window->show();
    return window;
}
} // namespace

class SettingsWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void openingAppliesWhatDiffersFromTheLayout_data();
    void openingAppliesWhatDiffersFromTheLayout();
    void showUptimeAndAutoStartTogether();
    void okKeepsHandEditsMadeMeanwhile();
    void tabOrderAsLaidOut();
    void emblemOpensTheChainModally();
    void keysNeitherCloseNorOpenAWindow_data();
    void keysNeitherCloseNorOpenAWindow();
};

void SettingsWindowTest::cleanup()
{
    QVERIFY2(TestWindows::deleteLeftOver().isEmpty(), "a window was left behind");
}

void SettingsWindowTest::openingAppliesWhatDiffersFromTheLayout_data()
{
    QTest::addColumn<Values>("stored");
    QTest::addColumn<QString>("boxes");
    QTest::addColumn<bool>("autoStartEnabled");
    QTest::addColumn<bool>("wide");
    QTest::addColumn<bool>("counting");
    QTest::addColumn<QString>("onDisk");

    // "+0" reads as 0 but is never written so: a rewritten key shows as "0".
    QTest::newRow("empty store") << Values{} << "1100" << true << true << true << "- - - -";
    QTest::newRow("always on top off")
        << Values{{"AlwaysOnTop_TICKBOX", "+0"}} << "0100" << true << true << true << "0 - - -";
    QTest::newRow("auto start on")
        << Values{{"AUTOSTART_TICKBOX", "+1"}} << "1101" << true << true << true << "- - - 1";
    QTest::newRow("auto start off")
        << Values{{"AUTOSTART_TICKBOX", "+0"}} << "1100" << true << true << false << "- - - +0";
    QTest::newRow("uptime hidden, auto start on")
        << Values{{"SHOW_UPTIME_TICKBOX", "+0"}, {"AUTOSTART_TICKBOX", "+1"}} << "1000" << false
        << false << false << "- +0 - 0";
    QTest::newRow("uptime hidden, auto start key missing")
        << Values{{"SHOW_UPTIME_TICKBOX", "0"}} << "1000" << false << false << true << "- 0 - -";
    QTest::newRow("odd values count as off")
        << Values{{"AlwaysOnTop_TICKBOX", "2"}, {"SHOW_UPTIME_TICKBOX", "2"}} << "2200" << false
        << false << true << "2 2 - -";
    // Once moved there, even a place over the strip holds.
    QTest::newRow("stored place over the strip")
        << Values{{"MAIN-SETTINGS-Left", "1000"}, {"MAIN-SETTINGS-Top", "1000"}} << "1100" << true
        << true << true << "- - - -";
}

void SettingsWindowTest::openingAppliesWhatDiffersFromTheLayout()
{
    QFETCH(Values, stored);
    MainWindowFixture fixture;
    fixture.settings.writeValues(stored);
    QM_UTC_MAIN& strip = fixture.open();
    QPointer<QM_UTC_SETTINGS> window = open(fixture);

    QTEST(boxes(*window), "boxes");
    QTEST(window->AUTOSTART_TICKBOX->isEnabled(), "autoStartEnabled");
    QTEST(wide(strip), "wide");
    QTEST(counting(strip), "counting");
    QCOMPARE(strip.findChild<Timer*>("AlwaysOnTopTimer")->isEnabled(),
             window->AlwaysOnTop_TICKBOX->value() == 1);
    if (!counting(strip))
        QCOMPARE(strip.QM_UPTIME_DISPLAY_LABEL->text(), QStringLiteral("TIMERS DISABLED"));
    QTEST(preferencesOnDisk(fixture.settings), "onDisk");

    // Opened for the first time, it leaves the strip in sight just below it.
    const bool placeStored = stored.contains({"MAIN-SETTINGS-Top", "1000"});
    QCOMPARE(WindowGeometry::outerTopLeft(window),
             QPoint(67, placeStored ? 67 : strip.frameGeometry().bottom() + 9));
    QCOMPARE(WindowGeometry::outerSize(window), QSize(551, 142));
    // The caption follows the release, which stays 1.0 until its first two numbers change.
    QCOMPARE(window->QM_WBC_VERSION->text(), QStringLiteral("Version 1.0"));
    window->close();
}

void SettingsWindowTest::showUptimeAndAutoStartTogether()
{
    MainWindowFixture fixture;
    QM_UTC_MAIN& strip = fixture.open();
    QPointer<QM_UTC_SETTINGS> window = open(fixture);
    ColourLabel* uptime = strip.QM_UPTIME_DISPLAY_LABEL;
    TestSettings& settings = fixture.settings;

    window->AUTOSTART_TICKBOX->click();
    QCOMPARE(settings.onDisk("AUTOSTART_TICKBOX"), QStringLiteral("1"));

    window->AUTOSTART_TICKBOX->click();
    QVERIFY(!counting(strip));
    QCOMPARE(uptime->backColor(), 255);
    QCOMPARE(uptime->text(), QStringLiteral("TIMERS DISABLED"));
    QCOMPARE(settings.onDisk("AUTOSTART_TICKBOX"), QStringLiteral("0"));

    window->AUTOSTART_TICKBOX->click();

    // Hiding the uptime forces Auto Start off, which stops the counting and stores it.
    window->SHOW_UPTIME_TICKBOX->click();
    QCOMPARE(boxes(*window), QStringLiteral("1000"));
    QVERIFY(!window->AUTOSTART_TICKBOX->isEnabled());
    QVERIFY(!counting(strip));
    QCOMPARE(WindowGeometry::outerSize(&strip).width(), 168);
    QCOMPARE(settings.onDisk("AUTOSTART_TICKBOX"), QStringLiteral("0"));

    // Showing it again offers Auto Start but does not tick it.
    window->SHOW_UPTIME_TICKBOX->click();
    QVERIFY(wide(strip));
    QVERIFY(window->AUTOSTART_TICKBOX->isEnabled());
    QCOMPARE(window->AUTOSTART_TICKBOX->value(), qint16(0));
    QVERIFY(!counting(strip));
    window->close();
    // Closed without OK: Show UpTime is not stored.
    QCOMPARE(preferencesOnDisk(settings), QStringLiteral("- - - 0"));
}

// The box the person clicks is saved; those left as they opened keep what was typed into the
// file meanwhile, which the strip shows as well.
void SettingsWindowTest::okKeepsHandEditsMadeMeanwhile()
{
    MainWindowFixture fixture;
    QM_UTC_MAIN& strip = fixture.open();
    QPointer<QM_UTC_SETTINGS> window = open(fixture);
    fixture.settings.writeValues({{"SHOW_UPTIME_TICKBOX", "0"},
                                  {"LARGE_CLOCK_STARTUP_TICKBOX", "1"},
                                  {"AlwaysOnTop_TICKBOX", "1"}});
    window->AlwaysOnTop_TICKBOX->click();
    window->OK_BUTTON->click();
    QCOMPARE(preferencesOnDisk(fixture.settings), QStringLiteral("0 0 1 -"));
    QVERIFY(!wide(strip));
    QVERIFY(!strip.findChild<Timer*>("AlwaysOnTopTimer")->isEnabled());
}

void SettingsWindowTest::tabOrderAsLaidOut()
{
    const auto chain = [](QWidget* first) {
        QStringList names;
        QWidget* at = first;
        do {
            if (at->isVisibleTo(first->window()) && (at->focusPolicy() & Qt::TabFocus))
                names << at->objectName();
            at = at->nextInFocusChain();
        } while (at != first);
        return names;
    };
    MainWindowFixture fixture;
    fixture.open();
    QPointer<QM_UTC_SETTINGS> window = open(fixture);
    QCOMPARE(window->focusWidget(), window->OK_BUTTON);
    QCOMPARE(
        chain(window->OK_BUTTON),
        QStringList({"OK_BUTTON", "AlwaysOnTop_TICKBOX", "ALARM_SETTINGS_BUTTON", "COLORS_BUTTON",
                     "AUTOSTART_TICKBOX", "SHOW_UPTIME_TICKBOX", "LARGE_CLOCK_STARTUP_TICKBOX"}));

    auto* colours = new QM_UTC_COLORS_WINDOW(*fixture.window->LIVE_TIME_LABEL,
                                             fixture.settings.store(), window);
    colours->show();
    QStringList expected = {"OK_BUTTON"};
    for (const char* colour :
         {"BLACK", "GREEN", "WHITE", "BLUE", "PINK", "YELLOW", "CYAN", "RED", "PURPLE", "ORANGE"})
        expected << QString(colour) + "_FOREGROUND_COLOR_BUTTON";
    for (const char* colour :
         {"WHITE", "BLACK", "YELLOW", "RED", "ORANGE", "BLUE", "GREEN", "PINK", "CYAN", "PURPLE"})
        expected << QString(colour) + "_BACKGROUND_COLOR_BUTTON";
    QCOMPARE(colours->focusWidget(), colours->findChild<QPushButton*>("OK_BUTTON"));
    QCOMPARE(chain(colours->findChild<QPushButton*>("OK_BUTTON")), expected);
    colours->close();
    window->close();
}

void SettingsWindowTest::emblemOpensTheChainModally()
{
    MainWindowFixture fixture;
    QM_UTC_MAIN& strip = fixture.open();
    QStringList seen; // each modal window met, with its owner
    // The settings window opens the colours window, then the alarm settings window, each of
    // whose OK returns to the settings window, whose OK returns to the strip. Clicks that open a
    // window run outside the driver, which must keep running while that window waits.
    QTimer driver;
    driver.setInterval(5);
    connect(&driver, &QTimer::timeout, this, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* settings = qobject_cast<QM_UTC_SETTINGS*>(modal);
            settings && seen.size() % 2 == 0) {
            seen << modal->objectName() + " over " + modal->parentWidget()->objectName();
            QPushButton* next = seen.size() == 1   ? settings->COLORS_BUTTON
                                : seen.size() == 3 ? settings->ALARM_SETTINGS_BUTTON
                                                   : settings->OK_BUTTON;
            QTimer::singleShot(0, next, &QPushButton::click);
            if (seen.size() == 5)
                driver.stop();
        } else if (auto* colours = qobject_cast<QM_UTC_COLORS_WINDOW*>(modal)) {
            seen << modal->objectName() + " over " + modal->parentWidget()->objectName();
            colours->findChild<QPushButton*>("RED_FOREGROUND_COLOR_BUTTON")->click();
            colours->findChild<QPushButton*>("OK_BUTTON")->click();
        } else if (auto* alarms = qobject_cast<QM_UTC_ALARM_SETTINGS*>(modal)) {
            seen << modal->objectName() + " over " + modal->parentWidget()->objectName();
            alarms->OK_BUTTON->click();
        }
    });
    driver.start();
    strip.QUILL_MARSH_BUTTON->click();

    QCOMPARE(seen,
             QStringList(
                 {"QM_UTC_SETTINGS over QM_UTC_MAIN", "QM_UTC_COLORS_WINDOW over QM_UTC_SETTINGS",
                  "QM_UTC_SETTINGS over QM_UTC_MAIN", "QM_UTC_ALARM_SETTINGS over QM_UTC_SETTINGS",
                  "QM_UTC_SETTINGS over QM_UTC_MAIN"}));
    TestWindows::discardClosed();
    QCOMPARE(QApplication::topLevelWidgets(), QWidgetList{&strip});
    QCOMPARE(strip.LIVE_TIME_LABEL->foreColor(), 255);
    QCOMPARE(fixture.settings.onDisk("CLOCK_FORECOLOR"), QStringLiteral("255"));
    // OK stores all but Auto Start, and the position, unmoved, as the twips it was placed from.
    QCOMPARE(preferencesOnDisk(fixture.settings), QStringLiteral("1 1 0 -"));
    QCOMPARE(fixture.settings.onDisk("MAIN-SETTINGS-Left"), QStringLiteral("1000"));
}

void SettingsWindowTest::keysNeitherCloseNorOpenAWindow_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::newRow("settings: Enter on a tick box") << "settings"
                                                   << "AlwaysOnTop_TICKBOX" << int(Qt::Key_Return);
    QTest::newRow("settings: Escape") << "settings"
                                      << "OK_BUTTON" << int(Qt::Key_Escape);
    QTest::newRow("colours: Escape") << "colours"
                                     << "RED_FOREGROUND_COLOR_BUTTON" << int(Qt::Key_Escape);
    QTest::newRow("alarms: Enter in a name") << "alarms"
                                             << "ALARM_1_NAME_TEXTBOX" << int(Qt::Key_Return);
    QTest::newRow("alarms: keypad Enter in a time") << "alarms"
                                                    << "ALARM_1_TIME_TEXTBOX" << int(Qt::Key_Enter);
    QTest::newRow("alarms: Enter in a command")
        << "alarms"
        << "ALARM_1_RUN_COMMAND_TEXTBOX" << int(Qt::Key_Return);
    QTest::newRow("alarms: Enter on a tick box") << "alarms"
                                                 << "ENABLE_ALARMS_TICKBOX" << int(Qt::Key_Return);
    QTest::newRow("alarms: Escape in a name") << "alarms"
                                              << "ALARM_1_NAME_TEXTBOX" << int(Qt::Key_Escape);
    QTest::newRow("test window: Escape in a typed command")
        << "test"
        << "ALARM_RUN_COMMAND_TEXTBOX" << int(Qt::Key_Escape);
}

void SettingsWindowTest::keysNeitherCloseNorOpenAWindow()
{
    QFETCH(QString, window);
    QFETCH(QString, focus);
    QFETCH(int, key);
    MainWindowFixture fixture;
    fixture.settings.writeValues({{"ENABLE_ALARMS_TICKBOX", "1"},
                                  {"ALARM_1_TICKBOX", "1"},
                                  {"ALARM_1_RUN_COMMAND_TICKBOX", "1"}});
    fixture.open();
    QPointer<QM_UTC_SETTINGS> settings = open(fixture);
    QPointer<QDialog> shown = settings.data();
    if (window == "colours")
        shown = new QM_UTC_COLORS_WINDOW(*fixture.window->LIVE_TIME_LABEL, fixture.settings.store(),
                                         settings);
    else if (window == "alarms")
        shown = new QM_UTC_ALARM_SETTINGS(fixture.window->alarms(), fixture.settings.store(),
                                          fixture.launcher, settings);
    else if (window == "test") {
        auto* test = new QM_UTC_ALARM_NOTIFICATION_WINDOW(
            Announcement::forTest(), fixture.settings.store(), fixture.launcher, settings);
        test->ALARM_RUN_COMMAND_TICKBOX->click();
        shown = test;
    }
    shown->show();
    QWidget* control = shown->findChild<QWidget*>(focus);
    control->setFocus();
    auto* field = qobject_cast<QLineEdit*>(control);
    if (field)
        QTest::keyClicks(field, QStringLiteral("typed"));
    const QString text = field ? field->text() : QString();

    // Anything the key opens is noted and closed again.
    QStringList opened;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != shown) {
            opened << modal->objectName();
            modal->close();
        }
    });
    watch.start(5);
    QTest::keyClick(control, Qt::Key(key));
    watch.stop();
    TestWindows::discardClosed();
    QVERIFY(shown && shown->isVisible());
    QCOMPARE(opened, QStringList());
    if (field)
        QCOMPARE(field->text(), text);
    QCOMPARE(fixture.launcher.launches.size(), 0);
}

QTEST_MAIN(SettingsWindowTest)
#include "tst_settingswindow.moc"
