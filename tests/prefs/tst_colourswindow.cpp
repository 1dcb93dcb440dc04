// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSettings.h"
#include "TestWindows.h"
#include "prefs/QM_UTC_COLORS_WINDOW.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "widgets/ColourLabel.h"
#include "widgets/StoredTextField.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using Values = QList<QPair<QString, QString>>;

namespace {
// The strip's clock as the window finds it: green on black.
struct Clock
{
    Clock() : label(QStringLiteral("LIVE_TIME_LABEL"), nullptr)
    {
        label.setForeColor(65280);
        label.setBackColor(0);
    }
    ColourLabel label;
};

QPointer<QM_UTC_COLORS_WINDOW> open(TestSettings& settings, Clock& clock)
{
    auto* window = new QM_UTC_COLORS_WINDOW(clock.label, settings.store(), nullptr);
    window->show();
    return window;
}

QColor background(const QWidget* field)
{
    return field->palette().color(QPalette::Base);
}

const QStringList colourKeys = {"CLOCK_FORECOLOR",           "CLOCK_BACKCOLOR",
                                "MANUAL_TEXT_COLOR_TICKBOX", "MANUAL_BACKGROUND_COLOR_TICKBOX",
                                "ENTER_TEXT_COLOR_TEXTBOX",  "ENTER_BACKGROUND_COLOR_TEXTBOX"};
} // namespace

class ColoursWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void previewFollowsEveryEdit();
    void okStoresWhatTheClockShows_data();
    void okStoresWhatTheClockShows();
};

void ColoursWindowTest::cleanup()
{
    QVERIFY2(TestWindows::deleteLeftOver().isEmpty(), "a window was left behind");
}

void ColoursWindowTest::previewFollowsEveryEdit()
{
    TestSettings settings;
    Clock clock;
    QPointer<QM_UTC_COLORS_WINDOW> window = open(settings, clock);
    QLineEdit* entry = window->findChild<QLineEdit*>("ENTER_BACKGROUND_COLOR_TEXTBOX");
    QLineEdit* preview = window->findChild<QLineEdit*>("SHOW_BACKGROUND_COLOR_TEXTBOX");
    entry->setText("&HFF");
    QCOMPARE(background(preview), QColor(255, 0, 0));
    entry->backspace();
    QCOMPARE(background(preview), QColor(15, 0, 0));
    entry->setText("red");
    QCOMPARE(background(preview), QColor(0, 0, 0));
    window->close();
}

void ColoursWindowTest::okStoresWhatTheClockShows_data()
{
    QTest::addColumn<Values>("stored");
    QTest::addColumn<Values>("meanwhile"); // typed into the file while the window is open
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint32>("fore");
    QTest::addColumn<qint32>("back");
    QTest::addColumn<QStringList>("onDisk");

    const QStringList untouched = {"-", "-", "-", "-", "-", "-"};
    QTest::newRow("red on blue, OK")
        << Values{} << Values{} << true << 255 << 16711680
        << QStringList{"255", "16711680", "0", "0", "&H0000FF00&", "&H00000000&"};
    QTest::newRow("red on blue, closed")
        << Values{} << Values{} << false << 255 << 16711680 << untouched;
    QTest::newRow("manual text blue wins over the click")
        << Values{{"MANUAL_TEXT_COLOR_TICKBOX", "1"}, {"ENTER_TEXT_COLOR_TEXTBOX", "&H00FF0000&"}}
        << Values{} << true << 16711680 << 16711680
        << QStringList{"16711680", "16711680", "1", "0", "&H00FF0000&", "&H00000000&"};
    QTest::newRow("manual text unticked is ignored")
        << Values{{"ENTER_TEXT_COLOR_TEXTBOX", "&H00FF0000&"}} << Values{} << true << 255
        << 16711680 << QStringList{"255", "16711680", "0", "0", "&H00FF0000&", "&H00000000&"};
    // Beyond 24 bits and below zero: kept as typed, shown as some colour.
    QTest::newRow("manual values that are no colour")
        << Values{{"MANUAL_TEXT_COLOR_TICKBOX", "1"},
                  {"MANUAL_BACKGROUND_COLOR_TICKBOX", "1"},
                  {"ENTER_TEXT_COLOR_TEXTBOX", "&H7F0000FF&"},
                  {"ENTER_BACKGROUND_COLOR_TEXTBOX", "-5.5"}}
        << Values{} << true << 0x7F0000FF << -6
        << QStringList{"2130706687", "-6", "1", "1", "&H7F0000FF&", "-5.5"};
    // What the window shows but the person did not change keeps the file's new value.
    QTest::newRow("a hand edit meanwhile stays")
        << Values{}
        << Values{{"MANUAL_BACKGROUND_COLOR_TICKBOX", "1"},
                  {"ENTER_BACKGROUND_COLOR_TEXTBOX", "&H0000FFFF&"}}
        << true << 255 << 65535
        << QStringList{"255", "65535", "0", "1", "&H0000FF00&", "&H0000FFFF&"};
}

void ColoursWindowTest::okStoresWhatTheClockShows()
{
    QFETCH(Values, stored);
    QFETCH(Values, meanwhile);
    QFETCH(bool, ok);
    QFETCH(qint32, fore);
    QFETCH(qint32, back);
    TestSettings settings;
    settings.writeValues(stored);
    Clock clock;
    QPointer<QM_UTC_COLORS_WINDOW> window = open(settings, clock);

    // Stored colours are 0x00BBGGRR: the faces show what the clock will.
    auto* red = window->findChild<QPushButton*>("RED_FOREGROUND_COLOR_BUTTON");
    auto* blue = window->findChild<QPushButton*>("BLUE_BACKGROUND_COLOR_BUTTON");
    QCOMPARE(red->palette().color(QPalette::Button), QColor(Qt::red));
    QCOMPARE(blue->palette().color(QPalette::Button), QColor(Qt::blue));
    red->click();
    blue->click();
    settings.writeValues(meanwhile);
    if (ok)
        window->findChild<QPushButton*>("OK_BUTTON")->click();
    else
        window->close();
    TestWindows::discardClosed();
    QVERIFY(window.isNull());

    QCOMPARE(clock.label.foreColor(), fore);
    QCOMPARE(clock.label.backColor(), back);
    QStringList onDisk;
    for (const QString& key : colourKeys)
        onDisk << (settings.hasOnDisk(key) ? settings.onDisk(key) : QStringLiteral("-"));
    QTEST(onDisk, "onDisk");
    QCOMPARE(settings.onDisk("COLORS-WINDOW-Left"), QStringLiteral("1000"));

    // What was stored is what the next start-up reads.
    settings.reopen();
    if (ok) {
        QCOMPARE(settings.store().readColour(SettingsKeys::CLOCK_FORECOLOR), fore);
        QCOMPARE(settings.store().readColour(SettingsKeys::CLOCK_BACKCOLOR), back);
    }
}

QTEST_MAIN(ColoursWindowTest)
#include "tst_colourswindow.moc"
