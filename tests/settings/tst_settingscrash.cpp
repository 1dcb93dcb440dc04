// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProblemCapture.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <csignal>

// A program killed at any moment of a save leaves a whole file: the last save or the one
// before it, never a mixture, never a damaged file.
namespace {
QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class SettingsCrashTest : public QObject
{
    Q_OBJECT

private slots:
    void killedInTheMiddleOfASaveLeavesAWholeFile();
};

void SettingsCrashTest::killedInTheMiddleOfASaveLeavesAWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QM_UTC.ini"));
    QRandomGenerator random(20261208);
    constexpr int kills = 100;
    for (int kill = 0; kill < kills; ++kill) {
        QProcess writer;
        writer.start(QStringLiteral(QMUTC_TEST_HELPER_DIR "/settings_writer"), {path});
        QVERIFY(writer.waitForReadyRead(10000));
        QThread::usleep(random.bounded(20000));
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished(10000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

        ProblemCapture problems;
        const SettingsStore store(path);
        QVERIFY2(problems.lines.isEmpty(), qPrintable(problems.lines.join(u'\n')));
        // Read by hand: the writer keeps its values in the section of a program without a name.
        const QByteArrayList lines = readAll(path).split('\n');
        QCOMPARE(lines.first(), QByteArray("[qm-utc]"));
        QSet<QByteArray> keys, values;
        for (const QByteArray& line : lines.mid(1, lines.size() - 2)) {
            keys.insert(line.left(line.indexOf('=')));
            values.insert(line.mid(line.indexOf('=') + 1));
        }
        QCOMPARE(keys.size(), 2 * SettingsKeys::alarmCount);
        QCOMPARE(values.size(), 1);
        QVERIFY(values.begin()->size() > 10000);
        QVERIFY(lines.last().isEmpty());
    }
    QVERIFY(!QFile::exists(path + QStringLiteral(".damaged")));
}

QTEST_GUILESS_MAIN(SettingsCrashTest)
#include "tst_settingscrash.moc"
