#include "ProblemCapture.h"
#include "TestSettings.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace SettingsKeys;
using namespace std::chrono_literals;

namespace {
constexpr uid_t nobody = 65534;

int modeOf(const QString& path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

bool setMode(const QString& path, int mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
}

void makeOld(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                             QFileDevice::FileModificationTime));
}

// Root may write anywhere, so under root the given paths are handed to an ordinary user and
// the test runs as that user until this ends.
class AsOrdinaryUser
{
public:
    explicit AsOrdinaryUser(const QStringList& paths)
    {
        if (::geteuid() != 0)
            return;
        for (const QString& path : paths) {
            if (::chown(QFile::encodeName(path).constData(), nobody, nobody) != 0)
                return;
        }
        m_switched = ::setegid(nobody) == 0 && ::seteuid(nobody) == 0;
    }
    ~AsOrdinaryUser()
    {
        if (m_switched && ::seteuid(0) == 0)
            (void)::setegid(0);
    }
    bool failed() const { return ::geteuid() == 0; }

private:
    bool m_switched = false;
};

// Sets the umask while it lives.
class Umask
{
public:
    explicit Umask(mode_t mask) : m_previous(::umask(mask)) {}
    ~Umask() { ::umask(m_previous); }

private:
    mode_t m_previous;
};
} // namespace

class SettingsFileTest : public QObject
{
    Q_OBJECT

private slots:
    void lockHeldByAWriterIsWaitedForBriefly_data();
    void lockHeldByAWriterIsWaitedForBriefly();
    void abandonedLocksAreCleared_data();
    void abandonedLocksAreCleared();
    void readOnlyFolderIsReportedOnce();
    void filesArePrivateWhateverTheUmask_data();
    void filesArePrivateWhateverTheUmask();
    void linkedFileStaysALink();
    void commandsRefusedFromAFileOthersCanChange_data();
    void commandsRefusedFromAFileOthersCanChange();
    void trustIsJudgedAgainAtEverySave_data();
    void trustIsJudgedAgainAtEverySave();
    void nothingIsWrittenThroughWhatOthersPlant_data();
    void nothingIsWrittenThroughWhatOthersPlant();
    void damagedFileIsRewrittenOnlyOnceCopied_data();
    void damagedFileIsRewrittenOnlyOnceCopied();
};

void SettingsFileTest::lockHeldByAWriterIsWaitedForBriefly_data()
{
    QTest::addColumn<bool>("empty");
    QTest::addColumn<bool>("old");
    QTest::newRow("live writer") << false << false;
    QTest::newRow("live writer, old lock") << false << true;
    QTest::newRow("empty, held") << true << false;
    QTest::newRow("empty, held, old") << true << true;
}

void SettingsFileTest::lockHeldByAWriterIsWaitedForBriefly()
{
    QFETCH(bool, empty);
    QFETCH(bool, old);
    TestSettings settings;
    const QString lockPath = settings.filePath() + QStringLiteral(".lock");
    std::unique_ptr<QLockFile> writer;
    int heldFd = -1;
    if (empty) {
        heldFd =
            ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        QVERIFY(heldFd >= 0 && ::flock(heldFd, LOCK_EX) == 0);
    } else {
        writer = std::make_unique<QLockFile>(lockPath);
        QVERIFY(writer->tryLock(0ms));
    }
    if (old)
        makeOld(lockPath);

    ProblemCapture problems;
    SettingsStore& store = settings.store();
    store.setLockWait(0ms);
    store.writeTwips(CLOCK_MAIN_Left, 3000.0f);
    store.writeTwips(CLOCK_MAIN_Top, 4500.0f);
    QCOMPARE(problems.lines.size(), 1);
    QVERIFY(problems.lines.first().contains(lockPath));
    QVERIFY(QFile::exists(lockPath));
    QVERIFY(!settings.hasOnDisk(CLOCK_MAIN_Left.name));
    QCOMPARE(store.readTwips(CLOCK_MAIN_Left), 3000.0f);

    // The writer goes; the next write saves everything still pending.
    writer.reset();
    if (heldFd >= 0)
        ::close(heldFd);
    store.writeFlag(AlwaysOnTop_TICKBOX, 0);
    QCOMPARE(settings.onDisk(CLOCK_MAIN_Left.name), QStringLiteral("3000"));
    QCOMPARE(settings.onDisk(CLOCK_MAIN_Top.name), QStringLiteral("4500"));
    QCOMPARE(settings.onDisk(AlwaysOnTop_TICKBOX.name), QStringLiteral("0"));
    QCOMPARE(problems.lines.size(), 1);
}

void SettingsFileTest::abandonedLocksAreCleared_data()
{
    QTest::addColumn<QString>("left");
    QTest::newRow("empty") << "empty";
    QTest::newRow("empty and old") << "empty and old";
    QTest::newRow("by a process that has ended") << "ended";
}

void SettingsFileTest::abandonedLocksAreCleared()
{
    QFETCH(QString, left);
    TestSettings settings;
    const QString lockPath = settings.filePath() + QStringLiteral(".lock");
    QByteArray content;
    if (left == "ended") {
        // A real lock's content, with the number of a process that does not exist.
        QLockFile real(lockPath);
        QVERIFY(real.tryLock(0ms));
        QFile file(lockPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        content = file.readAll();
        content = "2147480000" + content.mid(content.indexOf('\n'));
    }
    QFile lock(lockPath);
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(content);
    lock.close();
    if (left == "empty and old")
        makeOld(lockPath);

    ProblemCapture problems;
    settings.store().setLockWait(0ms);
    settings.store().writeFlag(AlwaysOnTop_TICKBOX, 0);
    QCOMPARE(settings.onDisk(AlwaysOnTop_TICKBOX.name), QStringLiteral("0"));
    QVERIFY(problems.lines.isEmpty());
    QVERIFY(!QFile::exists(lockPath));
}

void SettingsFileTest::readOnlyFolderIsReportedOnce()
{
    TestSettings settings;
    const QByteArray damaged =
        "[" + SettingsStore::sectionName().toUtf8() + "]\ngarbage\nCLOCK-MAIN-Left=2000\n";
    settings.writeRaw(damaged);
    const QString folder = QFileInfo(settings.filePath()).absolutePath();
    AsOrdinaryUser user({folder, settings.filePath()});
    if (user.failed())
        QSKIP("cannot run as an ordinary user");
    QVERIFY(setMode(folder, 0500));

    ProblemCapture problems;
    SettingsStore& store = settings.store();
    QCOMPARE(problems.lines.size(), 1); // the damage; no copy can be kept
    store.writeTwips(CLOCK_MAIN_Left, 3000.0f);
    store.writeTwips(CLOCK_MAIN_Top, 4500.0f);
    settings.reopen();
    QCOMPARE(problems.lines.size(), 2);
    QVERIFY(problems.lines.last().contains(QStringLiteral("cannot save")));
    QVERIFY(problems.lines.last().contains(settings.filePath()));
    QCOMPARE(settings.readRaw(), damaged);
    QVERIFY(setMode(folder, 0700));
}

void SettingsFileTest::filesArePrivateWhateverTheUmask_data()
{
    QTest::addColumn<int>("before"); // 0: no file yet
    QTest::addColumn<int>("after");
    QTest::newRow("new file") << 0 << 0600;
    QTest::newRow("readable by all") << 0644 << 0600;
    // Kept, so that the warning about it is not silenced by our own rewrite.
    QTest::newRow("group may write") << 0660 << 0660;
    QTest::newRow("others may write") << 0606 << 0606;
}

void SettingsFileTest::filesArePrivateWhateverTheUmask()
{
    QFETCH(int, before);
    QFETCH(int, after);
    const Umask umask(022);
    TestSettings settings;
    const QString top = QFileInfo(settings.filePath()).absolutePath() + QStringLiteral("/a");
    const QString path = top + QStringLiteral("/b/QM_UTC.ini");
    if (before) {
        QVERIFY(QDir().mkpath(top + QStringLiteral("/b")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(setMode(path, before));
    }
    {
        SettingsStore store(path);
        store.writeFlag(AlwaysOnTop_TICKBOX, 0);
        store.writeFlag(AlwaysOnTop_TICKBOX, 1);
    }
    QCOMPARE(modeOf(path), after);
    if (!before) {
        QCOMPARE(modeOf(top), 0700);
        QCOMPARE(modeOf(top + QStringLiteral("/b")), 0700);
    }
}

void SettingsFileTest::linkedFileStaysALink()
{
    TestSettings settings;
    const QString real = QFileInfo(settings.filePath()).absolutePath() + QStringLiteral("/dots");
    QVERIFY(QDir().mkpath(real));
    const QString target = real + QStringLiteral("/QM_UTC.ini");
    QFile file(target);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("; mine\n");
    file.close();
    QVERIFY(QFile::link(target, settings.filePath()));

    settings.store().writeFlag(AlwaysOnTop_TICKBOX, 0);
    QVERIFY(QFileInfo(settings.filePath()).isSymLink());
    QCOMPARE(QFileInfo(settings.filePath()).symLinkTarget(), target);
    QCOMPARE(settings.onDisk(AlwaysOnTop_TICKBOX.name), QStringLiteral("0"));
    QVERIFY(settings.readRaw().startsWith("; mine\n"));
    QCOMPARE(modeOf(target), 0600);
}

void SettingsFileTest::commandsRefusedFromAFileOthersCanChange_data()
{
    QTest::addColumn<int>("fileMode"); // 0: no file
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<QString>("how"); // "", "linked", "owned by another user"
    QTest::addColumn<QString>("fix"); // expected in the refusal; empty: commands may run
    QTest::newRow("no file yet") << 0 << 0777 << ""
                                 << "";
    QTest::newRow("private") << 0600 << 0700 << ""
                             << "";
    QTest::newRow("readable by all") << 0644 << 0755 << ""
                                     << "";
    QTest::newRow("group may write") << 0620 << 0700 << ""
                                     << "chmod 600 %file";
    QTest::newRow("others may write") << 0602 << 0700 << ""
                                      << "chmod 600 %file";
    QTest::newRow("folder group may write") << 0600 << 0770 << ""
                                            << "chmod 700 %folder";
    QTest::newRow("folder others may write") << 0600 << 0703 << ""
                                             << "chmod 700 %folder";
    QTest::newRow("link to a file others may write") << 0666 << 0700 << "linked"
                                                     << "chmod 600 %file";
    QTest::newRow("owned by another user") << 0600 << 0700 << "owned by another user"
                                           << "another user";
}

void SettingsFileTest::commandsRefusedFromAFileOthersCanChange()
{
    QFETCH(int, fileMode);
    QFETCH(int, folderMode);
    QFETCH(QString, how);
    QFETCH(QString, fix);
    TestSettings settings;
    const QString folder = QFileInfo(settings.filePath()).absolutePath();
    QString file = settings.filePath();
    if (how == "linked") {
        file = folder + QStringLiteral("/real.ini");
        QVERIFY(QFile::link(file, settings.filePath()));
    }
    if (fileMode) {
        settings.writeRaw("[x]\n");
        QVERIFY(setMode(file, fileMode));
    }
    if (how == "owned by another user" &&
        ::chown(QFile::encodeName(file).constData(), nobody, nobody) != 0)
        QSKIP("only root can give a file to another user");
    QVERIFY(setMode(folder, folderMode));

    const QString refusal = settings.store().commandRefusal();
    QVERIFY(setMode(folder, 0700));
    fix.replace(QStringLiteral("%file"), settings.filePath());
    fix.replace(QStringLiteral("%folder"), folder);
    if (fix.isEmpty()) {
        QCOMPARE(refusal, QString());
    } else {
        QVERIFY2(refusal.startsWith(QStringLiteral("alarm commands are not run: ")),
                 qPrintable(refusal));
        QVERIFY2(refusal.contains(fix), qPrintable(refusal));
    }
}

void SettingsFileTest::trustIsJudgedAgainAtEverySave_data()
{
    QTest::addColumn<QString>("meanwhile"); // done while the clock runs, before it saves
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("modeAfter");
    QTest::addColumn<QString>("fix"); // in the refusal; empty: commands may run
    QTest::newRow("nothing") << "" << true << 0600 << "";
    QTest::newRow("file made writable by all") << "chmod file" << true << 0666 << "chmod 600";
    QTest::newRow("file given to another user") << "chown file" << false << 0600 << "another user";
    QTest::newRow("folder made writable by all") << "chmod folder" << false << 0600 << "chmod 700";
}

void SettingsFileTest::trustIsJudgedAgainAtEverySave()
{
    QFETCH(QString, meanwhile);
    QFETCH(bool, saved);
    QFETCH(int, modeAfter);
    QFETCH(QString, fix);
    TestSettings settings;
    const QString folder = QFileInfo(settings.filePath()).absolutePath();
    settings.writeValues({{ENABLE_ALARMS_TICKBOX.name, "1"}});
    QVERIFY(setMode(settings.filePath(), 0600));
    ProblemCapture problems;
    SettingsStore& store = settings.store();
    QCOMPARE(store.commandRefusal(), QString());

    // Another user's line, where the change lets one in.
    settings.writeValues({{QStringLiteral("ALARM_1_RUN_COMMAND_TEXTBOX"), "/tmp/x/payload"}});
    const QByteArray path = QFile::encodeName(settings.filePath());
    if (meanwhile == "chmod file")
        QVERIFY(setMode(settings.filePath(), 0666));
    else if (meanwhile == "chown file")
        QVERIFY(::chown(path.constData(), nobody, nobody) == 0 || ::geteuid() != 0);
    else if (meanwhile == "chmod folder")
        QVERIFY(setMode(folder, 0777));
    if (meanwhile == "chown file" && ::geteuid() != 0)
        QSKIP("only root can give a file to another user");
    const QByteArray before = settings.readRaw();
    store.writeTwips(CLOCK_MAIN_Left, 3000.0f);
    store.writeTwips(CLOCK_MAIN_Top, 3000.0f);
    QVERIFY(setMode(folder, 0700));

    QCOMPARE(settings.hasOnDisk(CLOCK_MAIN_Left.name), saved);
    if (!saved)
        QCOMPARE(settings.readRaw(), before);
    QCOMPARE(modeOf(settings.filePath()), modeAfter);
    if (fix.isEmpty()) {
        QCOMPARE(store.commandRefusal(), QString());
        QCOMPARE(problems.lines, QStringList());
        return;
    }
    QVERIFY2(store.commandRefusal().contains(fix), qPrintable(store.commandRefusal()));
    // Said once, naming the fix; the file is not made to look trusted for the next start.
    QVERIFY(problems.lines.first().contains(QStringLiteral("changed while the clock ran")));
    QVERIFY(problems.lines.first().contains(fix));
    QCOMPARE(problems.lines.filter(QStringLiteral("changed while")).size(), 1);
    settings.reopen();
    if (meanwhile != "chmod folder")
        QVERIFY(!settings.store().commandRefusal().isEmpty());
}

void SettingsFileTest::nothingIsWrittenThroughWhatOthersPlant_data()
{
    QTest::addColumn<QString>("planted");
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("said"); // in the one line about it
    QTest::newRow("FIFO as the lock file") << "fifo lock" << 0700 << false << "not a regular file";
    QTest::newRow("FIFO as the settings file")
        << "fifo file" << 0700 << false << "not a regular file";
    QTest::newRow("FIFO as the damaged copy") << "fifo copy" << 0700 << true << ".damaged.1";
    QTest::newRow("link as the damaged copy") << "link copy" << 0700 << true << ".damaged.1";
    QTest::newRow("link as the lock file") << "link lock" << 0700 << false << "not a regular file";
    QTest::newRow("another user's link as the file")
        << "foreign link" << 0700 << false << "belongs to another user";
    QTest::newRow("link into a folder others can change")
        << "open link" << 0700 << false << "other users can change";
    QTest::newRow("folder others can change")
        << "link copy" << 0777 << false << "can be changed by other users";
    QTest::newRow("folder the group can change")
        << "" << 0770 << false << "can be changed by other users";
}

void SettingsFileTest::nothingIsWrittenThroughWhatOthersPlant()
{
    QFETCH(QString, planted);
    QFETCH(int, folderMode);
    QFETCH(bool, saved);
    QFETCH(QString, said);
    TestSettings settings;
    const QString folder = QFileInfo(settings.filePath()).absolutePath();
    const QString victim = folder + QStringLiteral("/home/thesis.txt");
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/home")));
    const auto at = [&](const char* suffix) {
        return QFile::encodeName(settings.filePath() + QLatin1String(suffix));
    };
    const QByteArray damaged = "[" + SettingsStore::sectionName().toUtf8() + "]\ngarbage\n";
    settings.writeRaw(planted.endsWith("copy") ? damaged : QByteArray("; mine\n"));
    if (planted == "fifo lock")
        QCOMPARE(::mkfifo(at(".lock").constData(), 0600), 0);
    else if (planted == "fifo copy")
        QCOMPARE(::mkfifo(at(".damaged").constData(), 0600), 0);
    else if (planted == "link copy")
        QVERIFY(QFile::link(victim, settings.filePath() + QStringLiteral(".damaged")));
    else if (planted == "link lock")
        QVERIFY(QFile::link(victim, settings.filePath() + QStringLiteral(".lock")));
    if (planted.endsWith("link")) {
        QFile thesis(victim);
        QVERIFY(thesis.open(QIODevice::WriteOnly));
        thesis.write("chapter one\n");
        thesis.close();
        QVERIFY(QFile::remove(settings.filePath()));
        QVERIFY(QFile::link(victim, settings.filePath()));
        if (planted == "open link")
            QVERIFY(setMode(folder + QStringLiteral("/home"), 0777));
        else if (::lchown(at("").constData(), nobody, nobody) != 0)
            QSKIP("only root can give a link to another user");
    }
    QVERIFY(setMode(folder, folderMode));
    ProblemCapture problems;
    SettingsStore& store = settings.store();
    if (planted == "fifo file") {
        QVERIFY(QFile::remove(settings.filePath()));
        QCOMPARE(::mkfifo(at("").constData(), 0600), 0);
    }
    store.writeTwips(CLOCK_MAIN_Left, 3000.0f);
    const qsizetype linesAfterOne = problems.lines.size();
    store.writeTwips(CLOCK_MAIN_Top, 3000.0f);
    QVERIFY(setMode(folder, 0700));
    QVERIFY(setMode(folder + QStringLiteral("/home"), 0700));

    QCOMPARE(problems.lines.size(), linesAfterOne); // each thing said once
    QVERIFY2(!problems.lines.filter(said).isEmpty(), qPrintable(problems.lines.join('\n')));
    const QFileInfo file(settings.filePath());
    QCOMPARE(file.isFile() && settings.hasOnDisk(CLOCK_MAIN_Top.name), saved);
    QFile thesis(victim);
    QCOMPARE(thesis.open(QIODevice::ReadOnly) ? thesis.readAll() : QByteArray(),
             planted.endsWith("link") ? QByteArray("chapter one\n") : QByteArray());
    QVERIFY(!QFileInfo::exists(settings.filePath() + QStringLiteral(".damaged.1")) ||
            QFile(settings.filePath() + QStringLiteral(".damaged.1")).size() == damaged.size());
    struct stat lock;
    QCOMPARE(::lstat(at(".lock").constData(), &lock) == 0,
             planted.endsWith("lock")); // a lock the clock made would be gone
    settings.reopen(); // its last save, if any, says what it says here
}

void SettingsFileTest::damagedFileIsRewrittenOnlyOnceCopied_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("folder read-only at start") << "read-only folder";
    QTest::newRow("no room for the copy") << "no room";
}

void SettingsFileTest::damagedFileIsRewrittenOnlyOnceCopied()
{
    QFETCH(QString, obstacle);
    TestSettings settings;
    const QString folder = QFileInfo(settings.filePath()).absolutePath();
    // An unreadable line longer than the room left, in a file whose rewrite is small.
    const QByteArray damaged = "[" + SettingsStore::sectionName().toUtf8() +
                               "]\nCLOCK-MAIN-Left=2000\n" + QByteArray(64 << 10, '*') + "\n";
    settings.writeRaw(damaged);
    AsOrdinaryUser user({folder, settings.filePath()});
    if (obstacle == "read-only folder" && user.failed())
        QSKIP("cannot run as an ordinary user");
    rlimit room = {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &room), 0);
    const rlimit unlimited = room;
    if (obstacle == "read-only folder") {
        QVERIFY(setMode(folder, 0500));
    } else {
        ::signal(SIGXFSZ, SIG_IGN);
        room.rlim_cur = 32 << 10;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &room), 0);
    }

    ProblemCapture problems;
    SettingsStore& store = settings.store();
    if (obstacle == "read-only folder")
        QVERIFY(setMode(folder, 0700)); // writable again, but the copy was not made at start
    store.writeTwips(CLOCK_MAIN_Top, 3000.0f);
    store.writeTwips(CLOCK_MAIN_Top, 3500.0f);
    const QFile copy(settings.filePath() + QStringLiteral(".damaged"));
    if (obstacle == "no room") {
        // Nothing rewritten while no copy can be kept, and that said once.
        QCOMPARE(settings.readRaw(), damaged);
        QVERIFY(!copy.exists());
        QCOMPARE(problems.lines.filter(QStringLiteral("no copy of it can be kept")).size(), 2);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &unlimited), 0);
        store.writeTwips(CLOCK_MAIN_Top, 4000.0f);
    }
    QVERIFY(copy.exists());
    QFile kept(copy.fileName());
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), damaged);
    QVERIFY(settings.hasOnDisk(CLOCK_MAIN_Top.name));
    QCOMPARE(settings.onDisk(CLOCK_MAIN_Left.name), QStringLiteral("2000"));
    QVERIFY(problems.lines.last().contains(copy.fileName()));
}

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
