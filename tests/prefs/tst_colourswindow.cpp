#include "TestSettings.h"
#include "platform/WindowGeometry.h"
#include "prefs/QM_UTC_COLORS_WINDOW.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "widgets/ColourLabel.h"
#include "widgets/TickBox.h"

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
    void openingLoadsTheHiddenSection_data();
    void openingLoadsTheHiddenSection();
    void previewFollowsEveryEdit();
    void okStoresWhatTheClockShows_data();
    void okStoresWhatTheClockShows();
};

void ColoursWindowTest::cleanup()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QWidgetList left = QApplication::topLevelWidgets();
    qDeleteAll(left);
    QVERIFY2(left.isEmpty(), "a window was left behind");
}

void ColoursWindowTest::openingLoadsTheHiddenSection_data()
{
    QTest::addColumn<Values>("stored");
    QTest::addColumn<bool>("textOpen");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("textPreview");
    QTest::addColumn<bool>("backgroundOpen");

    const QColor green(0, 255, 0);
    QTest::newRow("empty store") << Values{} << false << "&H0000FF00&" << green << false;
    QTest::newRow("manual text red")
        << Values{{"MANUAL_TEXT_COLOR_TICKBOX", "1"}, {"ENTER_TEXT_COLOR_TEXTBOX", "&H000000FF&"}}
        << true << "&H000000FF&" << QColor(255, 0, 0) << false;
    QTest::newRow("manual background, odd text flag")
        << Values{{"MANUAL_TEXT_COLOR_TICKBOX", "2"}, {"MANUAL_BACKGROUND_COLOR_TICKBOX", "1"}}
        << false << "&H0000FF00&" << green << true;
}

void ColoursWindowTest::openingLoadsTheHiddenSection()
{
    QFETCH(Values, stored);
    QFETCH(bool, textOpen);
    QFETCH(bool, backgroundOpen);
    TestSettings settings;
    settings.writeValues(stored);
    Clock clock;
    QPointer<QM_UTC_COLORS_WINDOW> window = open(settings, clock);

    QCOMPARE(WindowGeometry::outerTopLeft(window), QPoint(67, 67));
    QCOMPARE(WindowGeometry::outerSize(window), QSize(616, 238));
    for (QWidget* hidden :
         QWidgetList{window->MANUAL_TEXT_COLOR_TICKBOX, window->MANUAL_BACKGROUND_COLOR_TICKBOX,
                     window->ENTER_TEXT_COLOR_TEXTBOX, window->ENTER_BACKGROUND_COLOR_TEXTBOX,
                     window->SHOW_TEXT_COLOR_TEXTBOX, window->SHOW_BACKGROUND_COLOR_TEXTBOX})
        QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));

    const QColor open = QApplication::palette().color(QPalette::Base);
    const QColor locked(0xE0, 0xE0, 0xE0);
    QTEST(window->ENTER_TEXT_COLOR_TEXTBOX->text(), "text");
    QTEST(background(window->SHOW_TEXT_COLOR_TEXTBOX), "textPreview");
    QCOMPARE(window->ENTER_TEXT_COLOR_TEXTBOX->isEnabled(), textOpen);
    QCOMPARE(window->ENTER_TEXT_COLOR_TEXTBOX->isReadOnly(), !textOpen);
    QCOMPARE(background(window->ENTER_TEXT_COLOR_TEXTBOX), textOpen ? open : locked);
    QCOMPARE(window->ENTER_BACKGROUND_COLOR_TEXTBOX->isEnabled(), backgroundOpen);
    QCOMPARE(background(window->ENTER_BACKGROUND_COLOR_TEXTBOX), backgroundOpen ? open : locked);
    window->close();
}

void ColoursWindowTest::previewFollowsEveryEdit()
{
    TestSettings settings;
    Clock clock;
    QPointer<QM_UTC_COLORS_WINDOW> window = open(settings, clock);
    QLineEdit* entry = window->ENTER_BACKGROUND_COLOR_TEXTBOX;
    QLineEdit* preview = window->SHOW_BACKGROUND_COLOR_TEXTBOX;
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
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint32>("fore");
    QTest::addColumn<qint32>("back");
    QTest::addColumn<QStringList>("onDisk");

    const QStringList untouched = {"-", "-", "-", "-", "-", "-"};
    QTest::newRow("red on blue, OK")
        << Values{} << true << 255 << 16711680
        << QStringList{"255", "16711680", "0", "0", "&H0000FF00&", "&H00000000&"};
    QTest::newRow("red on blue, closed") << Values{} << false << 255 << 16711680 << untouched;
    QTest::newRow("manual text blue wins over the click")
        << Values{{"MANUAL_TEXT_COLOR_TICKBOX", "1"}, {"ENTER_TEXT_COLOR_TEXTBOX", "&H00FF0000&"}}
        << true << 16711680 << 16711680
        << QStringList{"16711680", "16711680", "1", "0", "&H00FF0000&", "&H00000000&"};
    QTest::newRow("manual text unticked is ignored")
        << Values{{"ENTER_TEXT_COLOR_TEXTBOX", "&H00FF0000&"}} << true << 255 << 16711680
        << QStringList{"255", "16711680", "0", "0", "&H00FF0000&", "&H00000000&"};
    // Beyond 24 bits and below zero: kept as typed, shown as some colour.
    QTest::newRow("manual values that are no colour")
        << Values{{"MANUAL_TEXT_COLOR_TICKBOX", "1"},
                  {"MANUAL_BACKGROUND_COLOR_TICKBOX", "1"},
                  {"ENTER_TEXT_COLOR_TEXTBOX", "&H7F0000FF&"},
                  {"ENTER_BACKGROUND_COLOR_TEXTBOX", "-5.5"}}
        << true << 0x7F0000FF << -6
        << QStringList{"2130706687", "-6", "1", "1", "&H7F0000FF&", "-5.5"};
}

void ColoursWindowTest::okStoresWhatTheClockShows()
{
    QFETCH(Values, stored);
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
    if (ok)
        window->OK_BUTTON->click();
    else
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
