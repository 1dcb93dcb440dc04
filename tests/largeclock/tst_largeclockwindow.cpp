// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"
#include "TestSettings.h"
#include "TestTime.h"
#include "TestWindows.h"
#include "largeclock/QM_UTC_LARGE_CLOCK_WINDOW.h"
#include "platform/Timer.h"
#include "platform/WindowGeometry.h"
#include "settings/SettingsKeys.h"
#include "widgets/ColourLabel.h"
#include "widgets/ElidedField.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using Window = QM_UTC_LARGE_CLOCK_WINDOW;
using Values = QList<QPair<QString, QString>>;
using namespace SettingsKeys;

namespace {
QColor textColour(const Window& window)
{
    return window.findChild<QLineEdit*>("TIME_LABEL_MIRROR")->palette().color(QPalette::Text);
}

QColor fieldColour(const Window& window)
{
    return window.findChild<QLineEdit*>("TIME_LABEL_MIRROR")->palette().color(QPalette::Base);
}
} // namespace

class LargeClockWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        QVERIFY2(TestWindows::deleteLeftOver().isEmpty(), "a window was left behind");
    }
    void opensFromTheStore_data();
    void opensFromTheStore();
    void mirrorsTheClockAsItChanges();
    void bothWaysOfClosingWriteThePosition_data();
    void bothWaysOfClosingWriteThePosition();
    void wholeTimeInEveryRegionalFormat_data();
    void wholeTimeInEveryRegionalFormat();
};

void LargeClockWindowTest::opensFromTheStore_data()
{
    QTest::addColumn<Values>("stored");
    QTest::addColumn<QRect>("frame");
    QTest::newRow("empty store") << Values{} << QRect(67, 67, 204, 81);
    QTest::newRow("stored place and size") << Values{{LARGE_CLOCK_Left.name, "-1500"},
                                                     {LARGE_CLOCK_Top.name, "3000"},
                                                     {LARGE_CLOCK_Width.name, "4500"},
                                                     {LARGE_CLOCK_Height.name, "1500"}}
                                           << QRect(-100, 200, 300, 100);
}

void LargeClockWindowTest::opensFromTheStore()
{
    QFETCH(Values, stored);
    QFETCH(QRect, frame);
    TestSettings settings;
    settings.writeValues(stored);
    ColourLabel clock(QStringLiteral("LIVE_TIME_LABEL"), nullptr);
    clock.setForeColor(0x00FF00);
    clock.setText(QStringLiteral("14:05:09"));

    Window window(clock, settings.store(), nullptr);
    QCOMPARE(window.windowTitle(), QStringLiteral("QM-GLIMMER-DIAL"));
    QVERIFY(window.windowFlags() & Qt::Tool);
    QVERIFY(
        !(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(QRect(WindowGeometry::outerTopLeft(&window), WindowGeometry::outerSize(&window)),
             frame);
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(window.findChild<QLineEdit*>("TIME_LABEL_MIRROR")->text(), QStringLiteral("14:05:09"));
    QCOMPARE(textColour(window), QColor(Qt::green));
    QCOMPARE(fieldColour(window), QColor(Qt::black));
    QCOMPARE(window.findChild<QLineEdit*>("TIME_LABEL_MIRROR")->font().pointSizeF(), 26.25);
}

void LargeClockWindowTest::mirrorsTheClockAsItChanges()
{
    TestSettings settings;
    ColourLabel clock(QStringLiteral("LIVE_TIME_LABEL"), nullptr);
    // Colours chosen before the window opens show from the start.
    clock.setForeColor(0x0000FF);
    clock.setBackColor(0xFFFFFF);
    Window window(clock, settings.store(), nullptr);
    window.show();
    QCOMPARE(window.findChild<QLineEdit*>("TIME_LABEL_MIRROR")->text(), QString());
    QCOMPARE(textColour(window), QColor(Qt::red));
    QCOMPARE(fieldColour(window), QColor(Qt::white));

    clock.setText(QStringLiteral("2:05:09 PM"));
    QCOMPARE(window.findChild<QLineEdit*>("TIME_LABEL_MIRROR")->text(),
             QStringLiteral("2:05:09 PM"));
    clock.setForeColor(0xFF0000);
    QCOMPARE(textColour(window), QColor(Qt::blue));
    // A system colour code follows as the colour it names.
    clock.setBackColor(qint32(0x8000000F));
    QCOMPARE(fieldColour(window), QApplication::palette().color(QPalette::Button));
    QVERIFY(window.findChild<QLineEdit*>("TIME_LABEL_MIRROR")->isReadOnly());
}

void LargeClockWindowTest::bothWaysOfClosingWriteThePosition_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("close button") << "button";
    QTest::newRow("close box") << "box";
    // It holds nothing to lose, so Escape puts it away as a viewer's window would.
    QTest::newRow("Escape") << "escape";
}

void LargeClockWindowTest::bothWaysOfClosingWriteThePosition()
{
    QFETCH(QString, how);
    TestSettings settings;
    settings.writeValues({{LARGE_CLOCK_Width.name, "3600"}});
    ColourLabel clock(QStringLiteral("LIVE_TIME_LABEL"), nullptr);
    QPointer<Window> window = new Window(clock, settings.store(), nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    WindowGeometry::setOuterTopLeft(window, QPoint(240, 330));
    if (how == "button")
        window->findChild<QPushButton*>("QM_CLOSE_BUTTON")->click();
    else if (how == "escape")
        QTest::keyClick(window, Qt::Key_Escape);
    else
        window->close();
    TestWindows::discardClosed();
    QVERIFY(window.isNull());

    QCOMPARE(settings.onDisk(LARGE_CLOCK_Left.name), QStringLiteral("3600"));
    QCOMPARE(settings.onDisk(LARGE_CLOCK_Top.name), QStringLiteral("4950"));
    QCOMPARE(settings.onDisk(LARGE_CLOCK_Width.name), QStringLiteral("3600"));
    QVERIFY(!settings.hasOnDisk(LARGE_CLOCK_Height.name));

    // Reopened, it is where it was left.
    Window again(clock, settings.store(), nullptr);
    QCOMPARE(WindowGeometry::outerTopLeft(&again), QPoint(240, 330));
}

void LargeClockWindowTest::wholeTimeInEveryRegionalFormat_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<bool>("smaller"); // than the laid-out 26.25 pt
    QTest::newRow("24-hour") << QByteArray("C") << false;
    QTest::newRow("German") << QByteArray("de_DE.UTF-8") << false;
    QTest::newRow("12-hour English") << QByteArray("en_US.UTF-8") << true;
    QTest::newRow("Japanese") << QByteArray("ja_JP.UTF-8") << true;
}

// The strip and the large clock show the time whole, the large clock at its laid-out size
// where the time fits.
void LargeClockWindowTest::wholeTimeInEveryRegionalFormat()
{
    QFETCH(QByteArray, locale);
    TestTime::pinZone("UTC");
    if (!std::setlocale(LC_TIME, locale.constData()))
        QSKIP("the locale is not generated here (scripts/setup.sh generates it)");
    MainWindowFixture fixture;
    QM_UTC_MAIN& strip = fixture.open();
    fixture.tickAt(TestTime::utcMs(2026, 12, 8, 11, 7, 43));
    Window window(*strip.LIVE_TIME_LABEL, fixture.settings.store(), &strip);
    window.show();
    const QString time = strip.LIVE_TIME_LABEL->text();
    std::setlocale(LC_TIME, "C");
    QVERIFY2(time.contains(QLatin1String("11")) && time.contains(QLatin1String("43")),
             qPrintable(time));
    QCOMPARE(window.findChild<QLineEdit*>("TIME_LABEL_MIRROR")->text(), time);
    QLineEdit* mirror = window.findChild<QLineEdit*>("TIME_LABEL_MIRROR");
    QVERIFY(mirror->fontMetrics().horizontalAdvance(time) <= ElidedField::textRect(mirror).width());
    QVERIFY(strip.LIVE_TIME_LABEL->fontMetrics().horizontalAdvance(time) <=
            strip.LIVE_TIME_LABEL->contentsRect().width());
    QTEST(mirror->font().pointSizeF() < 26.25, "smaller");
    QVERIFY(mirror->font().pointSizeF() > 15);
}

QTEST_MAIN(LargeClockWindowTest)
#include "tst_largeclockwindow.moc"
