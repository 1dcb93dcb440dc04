// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/X11Tuning.h"

#include <QTest>

class X11TuningTest : public QObject
{
    Q_OBJECT

private slots:
    void launchedProgramsInheritTheUsersEnvironment_data();
    void launchedProgramsInheritTheUsersEnvironment();
};

void X11TuningTest::launchedProgramsInheritTheUsersEnvironment_data()
{
    QTest::addColumn<bool>("userSet");
    QTest::newRow("user left it unset") << false;
    QTest::newRow("user set it") << true;
}

void X11TuningTest::launchedProgramsInheritTheUsersEnvironment()
{
    QFETCH(bool, userSet);
    if (userSet)
        qputenv("QT_XCB_NO_MITSHM", "0");
    else
        qunsetenv("QT_XCB_NO_MITSHM");

    X11Tuning tuning;
    QVERIFY(qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"));
    tuning.applicationMade();
    QCOMPARE(qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"), userSet);
    if (userSet)
        QCOMPARE(qgetenv("QT_XCB_NO_MITSHM"), QByteArray("0"));
}

QTEST_MAIN(X11TuningTest)
#include "tst_x11tuning.moc"
