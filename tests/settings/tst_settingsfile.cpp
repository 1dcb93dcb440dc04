// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProblemCapture.h"
#include "TestSettings.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QScopeGuard>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <memory>
#include <pwd.h>
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

// Gives the path the group a row wants: "own" (the user's own, named as the user, as Debian
// makes it), "shared" (another of the user's groups, or nogroup for root) or "". Empty, or why
// this machine cannot.
QString setGroup(const QString& path, const QString& wanted)
{
    const passwd* user = ::getpwuid(::geteuid());
    const group* own = user ? ::getgrgid(user->pw_gid) : nullptr;
    if (wanted == "own" && !(own && QByteArray(own->gr_name) == user->pw_name))
        return QStringLiteral("the user's primary group is not the user's own");
    gid_t groups[64];
    const int count = ::getgroups(64, groups);
    gid_t shared = ::geteuid() == 0 ? nobody : gid_t(-1);
    for (int i = 0; i < count && shared == gid_t(-1); ++i)
        shared = groups[i] != ::getegid() ? groups[i] : shared;
    if (wanted == "shared" &&
        (shared == gid_t(-1) || ::chown(QFile::encodeName(path).constData(), -1, shared) != 0))
        return QStringLiteral("the user has no group besides the own one");
    return {};
}

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
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("after");
    QTest::newRow("new file") << 0 << "" << 0600;
    QTest::newRow("readable by all") << 0644 << "" << 0600;
    // Kept, so that the warning about it is not silenced by our own rewrite.
    QTest::newRow("a shared group may write") << 0660 << "shared" << 0660;
    QTest::newRow("the private group may write") << 0660 << "own" << 0600;
    QTest::newRow("others may write") << 0606 << "" << 0606;
}

void SettingsFileTest::filesArePrivateWhateverTheUmask()
{
    QFETCH(int, before);
    QFETCH(QString, group);
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
        if (const QString why = setGroup(path, group); !why.isEmpty())
            QSKIP(qPrintable(why));
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
    QTest::addColumn<QString>("how"); // "", "linked", "owned by another user", a group: "own"
                                      // or "shared" for the file or folder the group may write
    QTest::addColumn<QString>("fix"); // expected in the refusal; empty: commands may run
    QTest::newRow("no file yet") << 0 << 0777 << ""
                                 << "";
    QTest::newRow("private") << 0600 << 0700 << ""
                             << "";
    QTest::newRow("readable by all") << 0644 << 0755 << ""
                                     << "";
    QTest::newRow("a shared group may write") << 0620 << 0700 << "shared"
                                              << "chmod 600 %file";
    QTest::newRow("the private group may write") << 0620 << 0700 << "own"
                                                 << "";
    QTest::newRow("others may write") << 0602 << 0700 << ""
                                      << "chmod 600 %file";
    QTest::newRow("folder a shared group may write") << 0600 << 0770 << "shared"
                                                     << "chmod 700 %folder";
    // What a umask of 002 makes of ~/.config.
    QTest::newRow("folder the private group may write") << 0600 << 0775 << "own"
                                                        << "";
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
    if (const QString why = setGroup(folderMode == 0700 ? file : folder, how); !why.isEmpty())
        QSKIP(qPrintable(why));
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
    QTest::addColumn<int>("modeAfter");     // 0: not saved
    QTest::addColumn<QString>("fix");       // in the refusal; empty: commands may run
    QTest::newRow("nothing") << "" << 0600 << "";
    QTest::newRow("file made writable by all") << "chmod 666 file" << 0666 << "chmod 600";
    QTest::newRow("file given to another user") << "chown file" << 0 << "another user";
    QTest::newRow("folder made writable by all") << "chmod 777 folder" << 0600 << "chmod 700";
}

void SettingsFileTest::trustIsJudgedAgainAtEverySave()
{
    QFETCH(QString, meanwhile);
    QFETCH(int, modeAfter);
    QFETCH(QString, fix);
    TestSettings settings;
    const QString folder = QFileInfo(settings.filePath()).absolutePath();
    settings.writeValues({{ENABLE_ALARMS_TICKBOX.name, "1"}});
    QVERIFY(setMode(settings.filePath(), 0600));
    ProblemCapture problems;
    QCOMPARE(settings.store().commandRefusal(), QString());

    settings.writeValues({{QStringLiteral("ALARM_1_RUN_COMMAND_TEXTBOX"), "/tmp/x/payload"}});
    if (meanwhile.startsWith("chmod"))
        QVERIFY(setMode(meanwhile.endsWith("file") ? settings.filePath() : folder,
                        meanwhile.mid(6, 3).toInt(nullptr, 8)));
    if (meanwhile == "chown file" &&
        ::chown(QFile::encodeName(settings.filePath()).constData(), nobody, nobody) != 0)
        QSKIP("only root can give a file to another user");
    const QByteArray before = settings.readRaw();
    settings.store().writeTwips(CLOCK_MAIN_Left, 3000.0f);
    settings.store().writeTwips(CLOCK_MAIN_Top, 3000.0f);
    QVERIFY(setMode(folder, 0700));

    QCOMPARE(modeOf(settings.filePath()), modeAfter ? modeAfter : 0600);
    QCOMPARE(settings.readRaw() == before, !modeAfter);
    const QString refusal = settings.store().commandRefusal();
    QVERIFY2(refusal.contains(fix) && refusal.isEmpty() == fix.isEmpty(), qPrintable(refusal));
    // Said once, with the fix; the rewrite does not make the file look trusted next time.
    QCOMPARE(problems.lines.filter(QStringLiteral("seen while the clock ran")).size(),
             fix.isEmpty() ? 0 : 1);
    settings.reopen();
    if (meanwhile.endsWith("file"))
        QVERIFY(!settings.store().commandRefusal().isEmpty());
}

void SettingsFileTest::nothingIsWrittenThroughWhatOthersPlant_data()
{
    QTest::addColumn<QString>("planted"); // a link to the victim file, or nothing
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("said");
    QTest::newRow("link as the damaged copy") << ".damaged" << 0700 << true << ".damaged.1";
    QTest::newRow("link as the lock file") << ".lock" << 0700 << false << "not a regular file";
    QTest::newRow("another user's link as the file")
        << "" << 0700 << false << "belongs to another user";
    QTest::newRow("link into a folder others can change")
        << "" << 0700 << false << "other users can change";
    QTest::newRow("our link as the file, in a folder others can change")
        << "" << 0777 << false << "nothing is written through it";
    // New files and a rename: no link planted there leads a write astray.
    QTest::newRow("folder others can change") << ".damaged" << 0777 << true << ".damaged.1";
    QTest::newRow("folder a shared group can change") << "none" << 0770 << true << ".damaged";
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
    const QByteArray damaged = "[" + SettingsStore::sectionName().toUtf8() + "]\ngarbage\n";
    settings.writeRaw(damaged);
    if (planted.startsWith('.')) {
        QVERIFY(QFile::link(victim, settings.filePath() + planted));
    } else if (planted.isEmpty()) { // the settings file itself, to an existing file
        QFile thesis(victim);
        QVERIFY(thesis.open(QIODevice::WriteOnly) && thesis.write("chapter one\n") > 0);
        thesis.close();
        QVERIFY(QFile::remove(settings.filePath()) && QFile::link(victim, settings.filePath()));
        if (said.startsWith("other users"))
            QVERIFY(setMode(folder + QStringLiteral("/home"), 0777));
        else if (said.startsWith("belongs") &&
                 ::lchown(QFile::encodeName(settings.filePath()).constData(), nobody, nobody))
            QSKIP("only root can give a link to another user");
    }
    if (const QString why = setGroup(folder, folderMode == 0770 ? "shared" : ""); !why.isEmpty())
        QSKIP(qPrintable(why));
    QVERIFY(setMode(folder, folderMode));
    ProblemCapture problems;
    settings.store().writeTwips(CLOCK_MAIN_Left, 3000.0f);
    const qsizetype saidOnce = problems.lines.size();
    settings.store().writeTwips(CLOCK_MAIN_Top, 3000.0f);
    QVERIFY(setMode(folder, 0700) && setMode(folder + QStringLiteral("/home"), 0700));

    QCOMPARE(problems.lines.size(), saidOnce);
    QVERIFY2(!problems.lines.filter(said).isEmpty(), qPrintable(problems.lines.join('\n')));
    QCOMPARE(settings.hasOnDisk(CLOCK_MAIN_Top.name) && !planted.isEmpty(), saved);
    QFile thesis(victim);
    QCOMPARE(thesis.open(QIODevice::ReadOnly) ? thesis.readAll() : QByteArray(),
             planted.isEmpty() ? QByteArray("chapter one\n") : QByteArray());
    settings.reopen(); // its last save, if any, says what it says here
}

void SettingsFileTest::damagedFileIsRewrittenOnlyOnceCopied()
{
    TestSettings settings;
    // An unreadable line longer than the room left on the disk; the rewrite would be small.
    const QByteArray damaged = "[" + SettingsStore::sectionName().toUtf8() +
                               "]\nCLOCK-MAIN-Left=2000\n" + QByteArray(64 << 10, '*') + "\n";
    settings.writeRaw(damaged);
    ProblemCapture problems;
    rlimit room = {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &room), 0);
    const rlimit unlimited = room;
    const auto lift = qScopeGuard([&] { ::setrlimit(RLIMIT_FSIZE, &unlimited); });
    ::signal(SIGXFSZ, SIG_IGN);
    room.rlim_cur = 32 << 10; // files grow no further, as on a disk nearly full
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &room), 0);
    settings.store().writeTwips(CLOCK_MAIN_Top, 3000.0f);
    settings.store().writeTwips(CLOCK_MAIN_Top, 3500.0f);
    // Nothing rewritten while no copy can be kept, and that said once.
    QCOMPARE(settings.readRaw(), damaged);
    QCOMPARE(problems.lines.filter(QStringLiteral("no copy of it can be kept")).size(), 2);

    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &unlimited), 0);
    settings.store().writeTwips(CLOCK_MAIN_Top, 4000.0f);
    QFile copy(settings.filePath() + QStringLiteral(".damaged"));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), damaged);
    QCOMPARE(settings.onDisk(CLOCK_MAIN_Top.name), QStringLiteral("4000"));
    QCOMPARE(settings.onDisk(CLOCK_MAIN_Left.name), QStringLiteral("2000"));
    QVERIFY(problems.lines.last().contains(copy.fileName()));
}

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
