// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/WindowPlacement.h"

#include <QTest>

class WindowPlacementTest : public QObject
{
    Q_OBJECT

private slots:
    void firstOpeningLeavesTheStripInSight_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<int>("top");
        const QRect strip(67, 67, 364, 60);
        QTest::addColumn<QRect>("strip");
        QTest::addColumn<QRect>("screen");
        const QRect screen(0, 0, 1280, 800);
        QTest::newRow("over the strip: below it")
            << QRect(67, 67, 551, 142) << 135 << strip << screen;
        QTest::newRow("clear of it: unmoved") << QRect(67, 300, 551, 142) << 300 << strip << screen;
        QTest::newRow("no room below: above it")
            << QRect(67, 600, 551, 142) << 450 << QRect(67, 600, 364, 60) << screen;
        QTest::newRow("room on neither side: unmoved")
            << QRect(67, 67, 912, 557) << 67 << QRect(67, 300, 364, 60) << screen;
    }

    void firstOpeningLeavesTheStripInSight()
    {
        QFETCH(QRect, frame);
        QFETCH(QRect, strip);
        QFETCH(QRect, screen);
        QTEST(WindowPlacement::topClearOf(frame, strip, screen), "top");
    }

    // Qt's names of its platforms; where one reports no positions, none is stored.
    void positionsStoredWhereThePlatformReportsThem_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<bool>("stored");
        QTest::newRow("X11") << "xcb" << true;
        QTest::newRow("offscreen") << "offscreen" << true;
        QTest::newRow("Wayland") << "wayland" << false;
        QTest::newRow("Wayland with EGL") << "wayland-egl" << false;
        QTest::newRow("Wayland, other shell") << "wayland-xcomposite-glx" << false;
    }

    void positionsStoredWhereThePlatformReportsThem()
    {
        QFETCH(QString, platform);
        QTEST(WindowPlacement::positionsReported(platform), "stored");
    }
};

QTEST_GUILESS_MAIN(WindowPlacementTest)
#include "tst_windowplacement.moc"
