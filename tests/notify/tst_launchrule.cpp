// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeLauncher.h"
#include "ProblemCapture.h"
#include "notify/LaunchRule.h"

#include <QtTest>

class tst_LaunchRule : public QObject
{
    Q_OBJECT

private slots:
    void flagsChooseStyleAndFailuresAreReported_data();
    void flagsChooseStyleAndFailuresAreReported();
    void alarmsInTheSameSecondKeepTheirOwnFlags();
    void refusedOrHugeCommandsAreReportedBriefly();
};

namespace {
constexpr int none = -1; // nothing launched
}

void tst_LaunchRule::flagsChooseStyleAndFailuresAreReported_data()
{
    QTest::addColumn<qint16>("runCommand");
    QTest::addColumn<qint16>("runHidden");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("failWith");
    QTest::addColumn<int>("launched"); // a LaunchStyle, or none

    const QString cmd = QStringLiteral("xterm -e \"top -d 1\"");
    const QString failure = QStringLiteral("program \"xterm\" not found on PATH");
    const int hidden = int(LaunchStyle::Hidden);
    const int normal = int(LaunchStyle::Normal);
    // clang-format off
    QTest::newRow("run, visible")          << qint16(1) << qint16(0) << cmd << QString() << normal;
    QTest::newRow("run, hidden")           << qint16(1) << qint16(1) << cmd << QString() << hidden;
    QTest::newRow("run, hidden 2")         << qint16(1) << qint16(2) << cmd << QString() << none;
    QTest::newRow("run, hidden -1")        << qint16(1) << qint16(-1) << cmd << QString() << none;
    QTest::newRow("no run, visible")       << qint16(0) << qint16(0) << cmd << failure << none;
    QTest::newRow("no run, hidden")        << qint16(0) << qint16(1) << cmd << failure << none;
    QTest::newRow("run 2")                 << qint16(2) << qint16(1) << cmd << failure << none;
    QTest::newRow("run -1")                << qint16(-1) << qint16(0) << cmd << failure << none;
    QTest::newRow("failing, visible")      << qint16(1) << qint16(0) << cmd << failure << normal;
    QTest::newRow("failing, hidden")       << qint16(1) << qint16(1) << cmd << failure << hidden;
    // An empty command is still handed on, so that the launcher's refusal reaches the user.
    QTest::newRow("empty command")         << qint16(1) << qint16(0) << QString("") << QString() << normal;
    QTest::newRow("missing command")       << qint16(1) << qint16(1) << QString() << QString() << hidden;
    QTest::newRow("empty command refused") << qint16(1) << qint16(0) << QString("")
                                           << QString("the command is empty") << normal;
    QTest::newRow("missing, not wanted")   << qint16(0) << qint16(0) << QString() << failure << none;
    // clang-format on
}

void tst_LaunchRule::flagsChooseStyleAndFailuresAreReported()
{
    QFETCH(qint16, runCommand);
    QFETCH(qint16, runHidden);
    QFETCH(QString, command);
    QFETCH(QString, failWith);
    QFETCH(int, launched);

    FakeLauncher launcher;
    launcher.failWith = failWith;
    ProblemCapture problems;
    const LaunchResult result =
        LaunchRule::launch(launcher, QStringLiteral("alarm 3"), runCommand, runHidden, command);

    if (launched == none) {
        QVERIFY(launcher.launches.isEmpty());
        QVERIFY(!result.started);
        QVERIFY(result.error.isEmpty());
        QVERIFY(problems.lines.isEmpty());
        return;
    }
    QCOMPARE(launcher.launches.size(), 1);
    QCOMPARE(launcher.launches.first().commandLine, command);
    QCOMPARE(int(launcher.launches.first().style), launched);
    QCOMPARE(result.started, failWith.isEmpty());
    QCOMPARE(result.error, failWith);
    if (failWith.isEmpty()) {
        QVERIFY(problems.lines.isEmpty());
        return;
    }
    QCOMPARE(problems.lines.size(), 1);
    const QString& line = problems.lines.first();
    QVERIFY2(line.contains(QLatin1String("alarm 3")), qPrintable(line));
    QVERIFY2(line.contains(command), qPrintable(line));
    QVERIFY2(line.contains(failWith), qPrintable(line));
    QVERIFY2(!line.contains(QLatin1Char('\n')), qPrintable(line));
}

void tst_LaunchRule::alarmsInTheSameSecondKeepTheirOwnFlags()
{
    FakeLauncher launcher;
    launcher.failWith = QStringLiteral("no such program");
    ProblemCapture problems;

    LaunchRule::launch(launcher, QStringLiteral("alarm 7"), 1, 1, QStringLiteral("backup --now"));
    LaunchRule::launch(launcher, QStringLiteral("alarm 2"), 1, 0, QStringLiteral("mpv wake.ogg"));

    QCOMPARE(launcher.launches.size(), 2);
    QCOMPARE(launcher.launches.at(0).commandLine, QStringLiteral("backup --now"));
    QCOMPARE(launcher.launches.at(0).style, LaunchStyle::Hidden);
    QCOMPARE(launcher.launches.at(1).commandLine, QStringLiteral("mpv wake.ogg"));
    QCOMPARE(launcher.launches.at(1).style, LaunchStyle::Normal);

    QCOMPARE(problems.lines.size(), 2);
    QVERIFY(problems.lines.at(0).contains(QLatin1String("alarm 7")));
    QVERIFY(problems.lines.at(0).contains(QLatin1String("backup --now")));
    QVERIFY(problems.lines.at(1).contains(QLatin1String("alarm 2")));
    QVERIFY(problems.lines.at(1).contains(QLatin1String("mpv wake.ogg")));
}

void tst_LaunchRule::refusedOrHugeCommandsAreReportedBriefly()
{
    FakeLauncher launcher;
    ProblemCapture problems;
    const QString refusal = QStringLiteral("the settings file can be changed by other users");
    const LaunchResult refused =
        LaunchRule::launch(launcher, QStringLiteral("alarm 1"), 1, 0, QStringLiteral("x"), refusal);
    QVERIFY(!refused.started);
    QCOMPARE(refused.error, refusal);
    QVERIFY(launcher.launches.isEmpty());
    QCOMPARE(
        LaunchRule::launch(launcher, QStringLiteral("alarm 1"), 0, 0, QStringLiteral("x"), refusal)
            .error,
        QString());

    const QString huge(5'000'000, QLatin1Char('x'));
    launcher.failWith = QStringLiteral("program \"%1\" not found on PATH").arg(huge);
    const QString reason =
        LaunchRule::launch(launcher, QStringLiteral("alarm 2"), 1, 0, huge).error;
    QVERIFY(reason.size() < 1000);
    QCOMPARE(problems.lines.size(), 2);
    QVERIFY2(problems.lines.last().size() < 1000, "a report quotes a huge command whole");

    // A command that would act on the terminal is reported as text.
    launcher.failWith = QStringLiteral("not found");
    LaunchRule::launch(launcher, QStringLiteral("alarm 3"), 1, 0,
                       QStringLiteral("\x1b[2Jwake\rup \\"));
    QCOMPARE(problems.lines.last(),
             QStringLiteral("alarm 3: cannot start the command \"\\x1b[2Jwake\\x0dup \\\\\": "
                            "not found"));
}

QTEST_GUILESS_MAIN(tst_LaunchRule)
#include "tst_launchrule.moc"
