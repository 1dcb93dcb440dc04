// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DisplayCheck.h"
#include "platform/PlatformChoice.h"

#include <QtTest>

class TestPlatformChoice : public QObject
{
    Q_OBJECT

    QByteArray savedPlatform, savedWayland, savedDisplay;

    static void setOrUnset(const char* name, const QByteArray& value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

private slots:
    void init()
    {
        savedPlatform = qgetenv("QT_QPA_PLATFORM");
        savedWayland = qgetenv("WAYLAND_DISPLAY");
        savedDisplay = qgetenv("DISPLAY");
    }

    void cleanup()
    {
        setOrUnset("QT_QPA_PLATFORM", savedPlatform);
        setOrUnset("WAYLAND_DISPLAY", savedWayland);
        setOrUnset("DISPLAY", savedDisplay);
    }

    void forcesX11OnlyWhenWaylandRunsAndNothingWasChosen_data()
    {
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("forced");
        QTest::newRow("wayland, no choice")
            << QByteArray() << QByteArray("wayland-0") << QByteArray("xcb");
        QTest::newRow("wayland chosen")
            << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray();
        QTest::newRow("offscreen chosen")
            << QByteArray("offscreen") << QByteArray("wayland-0") << QByteArray();
        QTest::newRow("x11 session") << QByteArray() << QByteArray() << QByteArray();
    }

    void forcesX11OnlyWhenWaylandRunsAndNothingWasChosen()
    {
        QFETCH(QByteArray, chosen);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, forced);
        QCOMPARE(PlatformChoice::forced(chosen, wayland), forced);
    }

    // After the choice, the display check must agree with it: forced onto X11 means DISPLAY
    // has to be there, and the one line says why.
    void displayCheckFollowsTheChoice_data()
    {
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("platformAfter");
        QTest::addColumn<QString>("problemMentions");
        // A Wayland session with XWayland, as GNOME's and KDE's are: the clock goes to the X
        // display (here one that is not running, so the check names it).
        QTest::newRow("wayland and XWayland, no choice")
            << QByteArray() << QByteArray("wayland-0") << QByteArray(":4095") << QByteArray("xcb")
            << QStringLiteral("cannot reach the X display :4095");
        QTest::newRow("wayland, no choice, no DISPLAY")
            << QByteArray() << QByteArray("wayland-0") << QByteArray() << QByteArray("xcb")
            << QStringLiteral("XWayland");
        QTest::newRow("wayland chosen, no DISPLAY")
            << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray()
            << QByteArray("wayland") << QString();
        QTest::newRow("no session at all") << QByteArray() << QByteArray() << QByteArray()
                                           << QByteArray() << QStringLiteral("DISPLAY is not set");
    }

    void displayCheckFollowsTheChoice()
    {
        QFETCH(QByteArray, chosen);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, platformAfter);
        QFETCH(QString, problemMentions);
        setOrUnset("QT_QPA_PLATFORM", chosen.isEmpty() ? QByteArray() : chosen);
        setOrUnset("WAYLAND_DISPLAY", wayland.isEmpty() ? QByteArray() : wayland);
        setOrUnset("DISPLAY", display.isEmpty() ? QByteArray() : display);

        PlatformChoice::apply();

        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), platformAfter);
        const QString problem = DisplayCheck::problem();
        if (problemMentions.isEmpty())
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        else
            QVERIFY2(problem.contains(problemMentions), qPrintable(problem));
        QVERIFY(!problem.contains(QLatin1Char('\n')));
    }

    // Natively on Wayland one line says what will not work and how to run through XWayland.
    void nativeWaylandIsNamedInOneLine_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<bool>("said");
        QTest::newRow("wayland") << "wayland" << true;
        QTest::newRow("wayland-egl") << "wayland-egl" << true;
        QTest::newRow("xcb") << "xcb" << false;
        QTest::newRow("offscreen") << "offscreen" << false;
    }

    void nativeWaylandIsNamedInOneLine()
    {
        QFETCH(QString, platform);
        QFETCH(bool, said);
        const QString notice = PlatformChoice::nativeWaylandNotice(platform);
        QCOMPARE(notice.isEmpty(), !said);
        if (said) {
            for (const char* named : {"stay on top", "keyboard", "QT_QPA_PLATFORM=xcb"})
                QVERIFY2(notice.contains(QLatin1String(named)), qPrintable(notice));
            QVERIFY(!notice.contains(QLatin1Char('\n')));
        }
    }
};

QTEST_GUILESS_MAIN(TestPlatformChoice)
#include "tst_platformchoice.moc"
