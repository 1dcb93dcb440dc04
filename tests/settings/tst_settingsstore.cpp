// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProblemCapture.h"
#include "TestSettings.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTest>

using namespace SettingsKeys;
using namespace std::chrono_literals;

class SettingsStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void missingKeysGiveTheirDefaults();
    void unconvertibleValuesGiveTheDefault_data();
    void unconvertibleValuesGiveTheDefault();
    void readerMayGiveItsOwnDefault();
    void textsRoundTripExactly_data();
    void textsRoundTripExactly();
    void writesReachTheDiskAtOnce();
    void batchWritesReachTheDiskWhenTheOutermostBatchEnds();
    void damagedFileStartsWithDefaultsAndIsKept_data();
    void damagedFileStartsWithDefaultsAndIsKept();
    void sameDamageIsKeptOnlyOnce();
    void damagedCopiesAreBounded_data();
    void damagedCopiesAreBounded();
    void unreadableFileIsLeftAlone_data();
    void unreadableFileIsLeftAlone();
    void emptyLockFileLeftByACrashIsCleared();
    void defaultPathFollowsXdgConfigHome();
    void handTypedValuesSurviveASave();
    void followsTheFile_data();
    void followsTheFile();
    void hugeValuesAreReadWholeAndUnknownKeysKept();

private:
    QByteArray section() const { return SettingsStore::sectionName().toUtf8(); }
};

void SettingsStoreTest::missingKeysGiveTheirDefaults()
{
    TestSettings settings;
    SettingsStore& store = settings.store();
    QCOMPARE(store.readTwips(CLOCK_MAIN_Left), 1000.0f);
    QCOMPARE(store.readTwips(CLOCK_MAIN_Height), 900.0f);
    QCOMPARE(store.readFlag(AlwaysOnTop_TICKBOX), qint16(1));
    QCOMPARE(store.readFlag(ENABLE_ALARMS_TICKBOX), qint16(0));
    QCOMPARE(store.readColour(CLOCK_FORECOLOR), 65280);
    QCOMPARE(store.readText(ENTER_TEXT_COLOR_TEXTBOX), QStringLiteral("&H0000FF00&"));
    QCOMPARE(store.readText(alarm(AlarmField::TIME_TEXTBOX, 10)), QStringLiteral("00:00:00"));
    QVERIFY(!QFile::exists(settings.filePath())); // reading creates nothing
}

void SettingsStoreTest::unconvertibleValuesGiveTheDefault_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("flag");
    QTest::addColumn<float>("twips");
    QTest::newRow("letters") << "abc" << 1 << 1000.0f;
    QTest::newRow("empty") << "" << 1 << 1000.0f;
    QTest::newRow("out of range") << "1e39" << 1 << 1000.0f;
    QTest::newRow("numbers convert") << "0" << 0 << 0.0f;
    QTest::newRow("2 is read as 2") << "2" << 2 << 2.0f;
}

void SettingsStoreTest::unconvertibleValuesGiveTheDefault()
{
    QFETCH(QString, stored);
    QFETCH(int, flag);
    QFETCH(float, twips);
    TestSettings settings;
    settings.writeValues({{AlwaysOnTop_TICKBOX.name, stored}, {CLOCK_MAIN_Left.name, stored}});
    QCOMPARE(settings.store().readFlag(AlwaysOnTop_TICKBOX), qint16(flag));
    QCOMPARE(settings.store().readTwips(CLOCK_MAIN_Left), twips);
}

void SettingsStoreTest::readerMayGiveItsOwnDefault()
{
    TestSettings settings;
    QCOMPARE(settings.store().readFlag(AUTOSTART_TICKBOX), qint16(1));
    QCOMPARE(settings.store().readFlag(AUTOSTART_TICKBOX, 0), qint16(0));
    settings.writeValues({{AUTOSTART_TICKBOX.name, QStringLiteral("junk")}});
    settings.reopen();
    QCOMPARE(settings.store().readFlag(AUTOSTART_TICKBOX, 0), qint16(0));
}

void SettingsStoreTest::textsRoundTripExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("nextRun");
    const auto same = [](const char* name, const QString& text) {
        QTest::newRow(name) << text << text;
    };
    // A line break cannot be stored.
    same("blanks at both ends", "  07:30:00 ");
    same("separators", "a,b;c=d \"q\" [x] #not a comment");
    same("leading at sign", "@Invalid()");
    QTest::newRow("line breaks") << "one\ntwo\r\nthree\r"
                                 << "one two three ";
    same("non-ASCII", "Wecker ü € 時計");
    same("empty", "");
    same("backslashes", "C:\\path\\to \\\\x\\");
    same("looks like a section", "[qm-utc]");
    same("looks like a comment", "; # not one");
    QTest::newRow("NUL") << QStringLiteral("a%1b").arg(QChar(0)) << "a b";
}

void SettingsStoreTest::textsRoundTripExactly()
{
    QFETCH(QString, text);
    QFETCH(QString, nextRun);
    TestSettings settings;
    const SettingKey key = alarm(AlarmField::NAME_TEXTBOX, 4);
    ProblemCapture problems;
    settings.store().writeText(key, text);
    QCOMPARE(settings.store().readText(key), nextRun);
    settings.reopen();
    QCOMPARE(settings.store().readText(key), nextRun);
    QVERIFY2(problems.lines.isEmpty(), "a file the store wrote reads as damaged");
}

void SettingsStoreTest::writesReachTheDiskAtOnce()
{
    TestSettings settings;
    settings.store().writeTwips(CLOCK_MAIN_Left, 1000.0f);
    settings.store().writeFlag(AlwaysOnTop_TICKBOX, 0);
    settings.store().writeColour(CLOCK_FORECOLOR, 65280);
    // Read by another reader while the store is still open, as after a crash.
    QCOMPARE(settings.onDisk(CLOCK_MAIN_Left.name), QStringLiteral("1000"));
    QCOMPARE(settings.onDisk(AlwaysOnTop_TICKBOX.name), QStringLiteral("0"));
    QCOMPARE(settings.onDisk(CLOCK_FORECOLOR.name), QStringLiteral("65280"));
}

void SettingsStoreTest::batchWritesReachTheDiskWhenTheOutermostBatchEnds()
{
    TestSettings settings;
    SettingsStore& store = settings.store();
    {
        SettingsStore::Batch outer(store);
        store.writeTwips(CLOCK_MAIN_Left, 3000.0f);
        {
            SettingsStore::Batch inner(store);
            store.writeTwips(CLOCK_MAIN_Top, 2250.0f);
        }
        QVERIFY(!settings.hasOnDisk(CLOCK_MAIN_Top.name));
        // The store itself already sees what was written.
        QCOMPARE(store.readTwips(CLOCK_MAIN_Top), 2250.0f);
    }
    QCOMPARE(settings.onDisk(CLOCK_MAIN_Left.name), QStringLiteral("3000"));
    QCOMPARE(settings.onDisk(CLOCK_MAIN_Top.name), QStringLiteral("2250"));
}

void SettingsStoreTest::damagedFileStartsWithDefaultsAndIsKept_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("reported");
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("top");
    const QByteArray header = "[" + section() + "]\n";
    QTest::newRow("garbage line") << header + "CLOCK-MAIN-Left=2000\n)(*&^ garbage\n"
                                              "CLOCK-MAIN-Top=3000\n"
                                  << true << 2000.0f << 3000.0f;
    QTest::newRow("binary bytes") << header + QByteArrayLiteral(
                                                  "CLOCK-MAIN-Left=2000\n\x00\x01\x02\xff\xfe\n")
                                  << true << 2000.0f << 1000.0f;
    QTest::newRow("invalid UTF-8")
        << header + "ALARM_1_NAME_TEXTBOX=Wecker \xc3\x28\nCLOCK-MAIN-Top=3000\n"
        << true << 1000.0f << 3000.0f;
    QTest::newRow("number that is not one") << header + "CLOCK-MAIN-Left=far left\n"
                                            << false << 1000.0f << 1000.0f;
    QTest::newRow("empty file") << QByteArray() << false << 1000.0f << 1000.0f;
}

void SettingsStoreTest::damagedFileStartsWithDefaultsAndIsKept()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, reported);
    QFETCH(float, left);
    QFETCH(float, top);
    TestSettings settings;
    settings.writeRaw(content);

    ProblemCapture problems;
    SettingsStore& store = settings.store();
    QCOMPARE(store.readTwips(CLOCK_MAIN_Left), left);
    QCOMPARE(store.readTwips(CLOCK_MAIN_Top), top);
    QCOMPARE(problems.lines.size(), reported ? 1 : 0);

    // Writing rewrites the file; whatever it held before is still there to recover.
    store.writeFlag(AlwaysOnTop_TICKBOX, 0);
    QCOMPARE(settings.onDisk(AlwaysOnTop_TICKBOX.name), QStringLiteral("0"));
    QFile copy(settings.filePath() + QStringLiteral(".damaged"));
    QCOMPARE(copy.exists(), reported);
    if (reported) {
        QVERIFY(problems.lines.first().contains(copy.fileName()));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), content);
    }
}

void SettingsStoreTest::sameDamageIsKeptOnlyOnce()
{
    TestSettings settings;
    settings.writeRaw("[" + section() + "]\ngarbage\n");
    ProblemCapture problems;
    settings.store();
    settings.reopen();
    settings.store();
    QCOMPARE(problems.lines.size(), 2);
    const QDir dir = QFileInfo(settings.filePath()).dir();
    QCOMPARE(dir.entryList({QStringLiteral("*.damaged*")}, QDir::Files).size(), 1);
}

void SettingsStoreTest::damagedCopiesAreBounded_data()
{
    QTest::addColumn<int>("starts"); // each with new junk
    QTest::addColumn<int>("junkBytes");
    QTest::addColumn<int>("kept"); // the newest copies
    QTest::newRow("five starts: the newest three") << 5 << 100 << 3;
    QTest::newRow("7 MiB at four starts: the newest two, 16 MiB at most") << 4 << (7 << 20) << 2;
}

void SettingsStoreTest::damagedCopiesAreBounded()
{
    QFETCH(int, starts);
    QFETCH(int, junkBytes);
    QFETCH(int, kept);
    TestSettings settings;
    const QDir dir = QFileInfo(settings.filePath()).dir();
    const auto copies = [&] {
        return dir.entryList({QStringLiteral("*.damaged*")}, QDir::Files, QDir::Time);
    };
    for (int start = 0; start < starts; ++start) {
        // Another user's junk before each start, the copies older by a day each time.
        for (const QString& copy : copies()) {
            QFile file(dir.filePath(copy));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(file.fileTime(QFileDevice::FileModificationTime).addDays(-1),
                                     QFileDevice::FileModificationTime));
        }
        settings.writeRaw("[" + section() + "]\njunk " + QByteArray::number(start) + ' ' +
                          QByteArray(junkBytes, '*') + '\n');
        settings.reopen();
        settings.store();
    }
    const QStringList left = copies();
    QCOMPARE(left.size(), kept);
    for (int i = 0; i < kept; ++i) {
        QFile copy(dir.filePath(left.at(i)));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QVERIFY(copy.readAll().startsWith("[" + section() + "]\njunk " +
                                          QByteArray::number(starts - 1 - i) + ' '));
    }
}

void SettingsStoreTest::unreadableFileIsLeftAlone_data()
{
    QTest::addColumn<qint64>("size"); // -1: a folder in the file's place
    QTest::newRow("a folder") << qint64(-1);
    QTest::newRow("just over 16 MiB") << qint64((16 << 20) + 1);
    QTest::newRow("5 GB, sparse") << qint64(5) * 1000 * 1000 * 1000;
}

void SettingsStoreTest::unreadableFileIsLeftAlone()
{
    QFETCH(qint64, size);
    TestSettings settings;
    if (size < 0) {
        // A directory where the file should be cannot be read, not even by root.
        QVERIFY(QDir().mkpath(settings.filePath()));
    } else {
        settings.writeRaw("[" + section() + "]\nCLOCK-MAIN-Left=2000\n");
        QFile file(settings.filePath());
        if (!file.resize(size))
            QSKIP("this file system takes no file that large");
    }
    const QDateTime modified = QFileInfo(settings.filePath()).lastModified();
    ProblemCapture problems;
    SettingsStore& store = settings.store();
    QCOMPARE(store.readTwips(CLOCK_MAIN_Left), 1000.0f);
    store.writeTwips(CLOCK_MAIN_Left, 3000.0f);
    store.followFile();
    QCOMPARE(store.readTwips(CLOCK_MAIN_Left), 3000.0f); // kept for this run
    QCOMPARE(store.readRefusal(), problems.lines.value(0));
    settings.reopen(); // the end of the run
    // Never opened for writing, and said once, with what it means for the settings.
    QCOMPARE(QFileInfo(settings.filePath()).lastModified(), modified);
    if (size >= 0)
        QCOMPARE(QFileInfo(settings.filePath()).size(), size);
    QCOMPARE(problems.lines.size(), 1);
    QVERIFY(problems.lines.first().contains(settings.filePath()));
    QVERIFY(problems.lines.first().contains(size < 0 ? "not a regular file" : "16 MiB"));
    QVERIFY(problems.lines.first().contains("default settings"));
}

void SettingsStoreTest::emptyLockFileLeftByACrashIsCleared()
{
    TestSettings settings;
    const QString lockPath = settings.filePath() + QStringLiteral(".lock");
    QFile lock(lockPath);
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.close();
    settings.store().writeFlag(AlwaysOnTop_TICKBOX, 0);
    QCOMPARE(settings.onDisk(AlwaysOnTop_TICKBOX.name), QStringLiteral("0"));
    QVERIFY(!QFile::exists(lockPath));
}

void SettingsStoreTest::defaultPathFollowsXdgConfigHome()
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/somewhere");
    QCOMPARE(SettingsStore::defaultFilePath(), QStringLiteral("/tmp/somewhere/QM_UTC.ini"));
    qputenv("XDG_CONFIG_HOME", "relative/is/ignored");
    QCOMPARE(SettingsStore::defaultFilePath(), QDir::homePath() + "/.config/QM_UTC.ini");
    qputenv("XDG_CONFIG_HOME", saved);
}

void SettingsStoreTest::handTypedValuesSurviveASave()
{
    TestSettings settings;
    const QByteArray typed = "; alarms for the week\n"
                             "[" +
                             section() +
                             "]\n"
                             "ALARM_1_RUN_COMMAND_TEXTBOX = notify-send \"Time to leave\" "
                             "\"Bus at 8:15\"\n"
                             "ALARM_1_NAME_TEXTBOX=one,two x;y z \n"
                             "MY_OWN_KEY=kept\n"
                             "\n"
                             "[another program]\n"
                             "Left=5\n";
    settings.writeRaw(typed);
    ProblemCapture problems;
    SettingsStore& store = settings.store();
    QCOMPARE(store.readText(alarm(AlarmField::RUN_COMMAND_TEXTBOX, 1)),
             QStringLiteral("notify-send \"Time to leave\" \"Bus at 8:15\""));
    QCOMPARE(store.readText(alarm(AlarmField::NAME_TEXTBOX, 1)), QStringLiteral("one,two x;y z "));

    store.writeFlag(AlwaysOnTop_TICKBOX, 0);
    QByteArray expected = typed;
    expected.insert(expected.indexOf("\n\n[another") + 1, "AlwaysOnTop_TICKBOX=0\n");
    QCOMPARE(settings.readRaw(), expected);
    QVERIFY(problems.lines.isEmpty());
}

void SettingsStoreTest::followsTheFile_data()
{
    QTest::addColumn<QString>("meanwhile"); // while the clock runs, before it looks
    QTest::addColumn<QStringList>("told");  // the keys told as changed
    QTest::addColumn<float>("top");
    QTest::addColumn<float>("left");
    const QStringList both = {"CLOCK-MAIN-Top", "CLOCK-MAIN-Left"};
    QTest::newRow("nothing") << "" << QStringList{} << 2000.0f << 2000.0f;
    QTest::newRow("a hand edit") << "edit" << both << 3000.0f << 3000.0f;
    QTest::newRow("our own write") << "write" << QStringList{} << 2000.0f << 4000.0f;
    QTest::newRow("a hand edit our save finds")
        << "edit, write" << QStringList{"CLOCK-MAIN-Top"} << 3000.0f << 4000.0f;
    QTest::newRow("our write waiting for the lock stays over a hand edit")
        << "locked write, edit" << QStringList{"CLOCK-MAIN-Top"} << 3000.0f << 4000.0f;
    QTest::newRow("removed: the defaults") << "remove" << both << 1000.0f << 1000.0f;
    QTest::newRow("grown too large: kept as it was")
        << "grow" << QStringList{} << 2000.0f << 2000.0f;
}

void SettingsStoreTest::followsTheFile()
{
    QFETCH(QString, meanwhile);
    QFETCH(QStringList, told);
    TestSettings settings;
    settings.writeValues({{CLOCK_MAIN_Top.name, "2000"}, {CLOCK_MAIN_Left.name, "2000"}});
    SettingsStore& store = settings.store();
    QStringList heard;
    store.setChangeListener([&](const QSet<QString>& keys) { heard += keys.values(); });
    ProblemCapture problems;
    std::unique_ptr<QLockFile> otherWriter;
    for (const QString& step : meanwhile.split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
        if (step == "edit") {
            settings.writeValues({{CLOCK_MAIN_Top.name, "3000"}, {CLOCK_MAIN_Left.name, "3000"}});
        } else if (step == "locked write") {
            otherWriter = std::make_unique<QLockFile>(settings.filePath() + ".lock");
            QVERIFY(otherWriter->tryLock(0ms));
            store.setLockWait(0ms);
            store.writeTwips(CLOCK_MAIN_Left, 4000.0f);
        } else if (step == "write") {
            store.writeTwips(CLOCK_MAIN_Left, 4000.0f);
        } else if (step == "remove") {
            QVERIFY(QFile::remove(settings.filePath()));
        } else if (step == "grow") {
            QVERIFY(QFile(settings.filePath()).resize(17 << 20));
        }
    }
    store.followFile();
    store.followFile(); // nothing new the second time
    heard.sort();
    told.sort();
    QCOMPARE(heard, told);
    QTEST(store.readTwips(CLOCK_MAIN_Top), "top");
    QTEST(store.readTwips(CLOCK_MAIN_Left), "left");
    QCOMPARE(problems.lines.size(), meanwhile.contains("lock") || meanwhile == "grow" ? 1 : 0);
    // What the store reads now is what the next start reads, once what waited is saved.
    otherWriter.reset();
    store.writeFlag(AlwaysOnTop_TICKBOX, 0);
    settings.reopen();
    if (meanwhile == "grow") {
        QCOMPARE(QFileInfo(settings.filePath()).size(), qint64(17 << 20));
    } else {
        QTEST(settings.store().readTwips(CLOCK_MAIN_Top), "top");
        QTEST(settings.store().readTwips(CLOCK_MAIN_Left), "left");
    }
}

void SettingsStoreTest::hugeValuesAreReadWholeAndUnknownKeysKept()
{
    TestSettings settings;
    const QByteArray command = "notify-send \"" + QByteArray(5 << 20, 'c') + "\" ;,";
    const QByteArray message = QByteArray(4 << 20, 'm') + " ";
    QByteArray content = "[" + section() + "]\nALARM_2_RUN_COMMAND_TEXTBOX=" + command +
                         "\nALARM_2_MESSAGE_TEXTBOX=" + message + "\n";
    constexpr int unknownKeys = 200000;
    for (int i = 0; i < unknownKeys; ++i)
        content += "UNKNOWN_" + QByteArray::number(i) + "=value " + QByteArray::number(i) + "\n";
    settings.writeRaw(content);

    SettingsStore& store = settings.store();
    QCOMPARE(store.readText(alarm(AlarmField::RUN_COMMAND_TEXTBOX, 2)),
             QString::fromLatin1(command));
    QCOMPARE(store.readText(alarm(AlarmField::MESSAGE_TEXTBOX, 2)), QString::fromLatin1(message));
    store.writeFlag(alarm(AlarmField::TICKBOX, 2), 1);
    const QByteArray saved = settings.readRaw();
    QCOMPARE(saved.size(), content.size() + qsizetype(sizeof "ALARM_2_TICKBOX=1\n") - 1);
    QVERIFY(saved.startsWith(content.left(content.indexOf("UNKNOWN_"))));
    QVERIFY(saved.contains("\nUNKNOWN_199999=value 199999\nALARM_2_TICKBOX=1\n"));
}

QTEST_MAIN(SettingsStoreTest)
#include "tst_settingsstore.moc"
