// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// One clock per user and settings file, against real processes: children made with fork()
// start as the clock would.
class tst_SingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void secondStartNamesTheRunningClock_data();
    void secondStartNamesTheRunningClock();
    void heldUntilItsHolderDies();
    void programsItStartsDoNotKeepIt();
    void anotherUserCannotTakeTheClocksPlace_data();
    void anotherUserCannotTakeTheClocksPlace();

private:
    // A child process that starts at `settingsPath`, with XDG_RUNTIME_DIR set to `runtime`
    // (unset when empty), and keeps running until it is killed.
    pid_t startHolder(const QString& settingsPath, const QString& runtime);
    pid_t startHolder(const QString& settingsPath) { return startHolder(settingsPath, runtime()); }
    QString settingsPath() const { return m_dir->filePath(QStringLiteral("QM_UTC.ini")); }
    QString lockPath() const { return m_dir->filePath(QStringLiteral("QM_UTC.instance.lock")); }
    QString runtime() const { return m_dir->filePath(QStringLiteral("run")); }

    std::optional<QTemporaryDir> m_dir;
    QList<pid_t> m_children;
};

namespace {
constexpr uid_t nobody = 65534;

void setRuntime(const QString& folder)
{
    if (folder.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}
} // namespace

void tst_SingleInstance::init()
{
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
    ::umask(022);
    // As a login session makes it.
    QVERIFY(QDir().mkdir(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    setRuntime(runtime());
}

void tst_SingleInstance::cleanup()
{
    for (const pid_t child : std::as_const(m_children)) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    m_children.clear();
    if (m_dir)
        ::chmod(QFile::encodeName(m_dir->path()).constData(), 0700);
}

void tst_SingleInstance::secondStartNamesTheRunningClock_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("change"); // to the settings folder, before the first start or after
    QTest::addColumn<QString>("runtimes"); // whether each start has a runtime folder: "yes no"
    QTest::newRow("no folder yet") << "config/qm/QM_UTC.ini"
                                   << ""
                                   << "yes yes";
    QTest::newRow("a crashed clock's lock file") << "QM_UTC.ini"
                                                 << "before: stale"
                                                 << "yes yes";
    QTest::newRow("a file where the folder goes") << "config/QM_UTC.ini"
                                                  << "before: file"
                                                  << "yes yes";
    QTest::newRow("lock file deleted") << "QM_UTC.ini"
                                       << "delete"
                                       << "yes yes";
    QTest::newRow("lock file replaced by a link") << "QM_UTC.ini"
                                                  << "link"
                                                  << "yes yes";
    QTest::newRow("lock file replaced by a folder") << "QM_UTC.ini"
                                                    << "folder"
                                                    << "yes yes";
    QTest::newRow("lock file naming a dead process") << "QM_UTC.ini"
                                                     << "stale"
                                                     << "yes yes";
    QTest::newRow("folder made read-only") << "QM_UTC.ini"
                                           << "read-only"
                                           << "yes yes";
    QTest::newRow("no runtime folder") << "QM_UTC.ini"
                                       << ""
                                       << "no no";
    QTest::newRow("runtime folder for the first start only") << "QM_UTC.ini"
                                                             << ""
                                                             << "yes no";
    QTest::newRow("runtime folder for the second start only") << "QM_UTC.ini"
                                                              << ""
                                                              << "no yes";
}

void tst_SingleInstance::secondStartNamesTheRunningClock()
{
    QFETCH(QString, settings);
    QFETCH(QString, change);
    QFETCH(QString, runtimes);
    const auto make = [this](const QString& what) {
        ::unlink(QFile::encodeName(lockPath()).constData());
        if (what.endsWith(QLatin1String("stale"))) {
            QFile dead(lockPath());
            return dead.open(QIODevice::WriteOnly) && dead.write("2147480000\n") > 0;
        }
        if (what.endsWith(QLatin1String("file")))
            return QFile(m_dir->filePath(QStringLiteral("config"))).open(QIODevice::WriteOnly);
        if (what == QLatin1String("link"))
            return QFile::link(QStringLiteral("/dev/null"), lockPath());
        if (what == QLatin1String("folder"))
            return QDir().mkdir(lockPath());
        if (what == QLatin1String("read-only"))
            return QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner);
        return true;
    };
    const auto runtimeFor = [&](int start) {
        return runtimes.split(QLatin1Char(' ')).at(start) == QLatin1String("yes") ? runtime()
                                                                                  : QString();
    };
    if (change.startsWith(QLatin1String("before")))
        QVERIFY(make(change));
    const pid_t clock = startHolder(m_dir->filePath(settings), runtimeFor(0));
    QVERIFY(clock > 0);
    if (!change.isEmpty() && !change.startsWith(QLatin1String("before")))
        QVERIFY(make(change));

    setRuntime(runtimeFor(1));
    const SingleInstance second(m_dir->filePath(settings));
    QCOMPARE(second.state(), SingleInstance::State::HeldElsewhere);
    QCOMPARE(second.otherPid(), qint64(clock));
}

void tst_SingleInstance::heldUntilItsHolderDies()
{
    const pid_t holder = startHolder(settingsPath());
    QVERIFY(holder > 0);
    // Another spelling of the same file names the same clock.
    QVERIFY(QDir().mkdir(m_dir->filePath(QStringLiteral("sub"))));
    const SingleInstance second(m_dir->filePath(QStringLiteral("sub/../QM_UTC.ini")));
    QCOMPARE(second.state(), SingleInstance::State::HeldElsewhere);
    QCOMPARE(second.otherPid(), qint64(holder));
    // Another settings file has a clock of its own.
    const SingleInstance other(m_dir->filePath(QStringLiteral("sub/QM_UTC.ini")));
    QCOMPARE(other.state(), SingleInstance::State::Held);

    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    m_children.removeOne(holder);
    const SingleInstance afterCrash(settingsPath());
    QCOMPARE(afterCrash.state(), SingleInstance::State::Held);
}

void tst_SingleInstance::programsItStartsDoNotKeepIt()
{
    pid_t program = -1;
    {
        const SingleInstance clock(settingsPath());
        QCOMPARE(clock.state(), SingleInstance::State::Held);
        // Closed by the exec, which the test waits for.
        int execed[2];
        QCOMPARE(::pipe2(execed, O_CLOEXEC), 0);
        program = ::fork();
        if (program == 0) {
            ::execl("/bin/sleep", "sleep", "60", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(execed[1]);
        QVERIFY(program > 0);
        m_children << program;
        char ignored;
        QCOMPARE(::read(execed[0], &ignored, 1), ssize_t(0));
        ::close(execed[0]);
    }
    // The clock has ended; the program it started runs on.
    const SingleInstance next(settingsPath());
    QCOMPARE(next.state(), SingleInstance::State::Held);
}

void tst_SingleInstance::anotherUserCannotTakeTheClocksPlace_data()
{
    QTest::addColumn<int>("runtimeMode");    // of a runtime folder another user has a lock in
    QTest::addColumn<bool>("othersRuntime"); // that folder is the other user's
    QTest::addColumn<int>("folderMode");     // of the settings folder
    QTest::addColumn<bool>("held");
    QTest::addColumn<QString>("said");
    QTest::newRow("runtime folder open to all")
        << 01777 << false << 0700 << true << "closed to others; the lock on";
    QTest::newRow("runtime folder of another user")
        << 0700 << true << 0700 << true << "closed to others; the lock on";
    QTest::newRow("and a settings folder only the user's private group can change")
        << 01777 << false << 0770 << true << "closed to others; the lock on";
    QTest::newRow("and a settings folder others can change")
        << 01777 << false << 0777 << false << "closed to others; no lock is made in";
}

void tst_SingleInstance::anotherUserCannotTakeTheClocksPlace()
{
    QFETCH(int, runtimeMode);
    QFETCH(bool, othersRuntime);
    QFETCH(int, folderMode);
    QFETCH(bool, held);
    QFETCH(QString, said);
    if (::geteuid() != 0)
        QSKIP("only root can act as another user");
    // The lock this user's clock would hold there, were the folder private.
    const QString lock = SingleInstance::runtimeLockPathFor(settingsPath());
    QVERIFY(!lock.isEmpty());
    const QByteArray folder = QFile::encodeName(runtime());
    QCOMPARE(::chmod(folder.constData(), mode_t(runtimeMode)), 0);
    if (othersRuntime)
        QCOMPARE(::chown(folder.constData(), nobody, nobody), 0);
    QVERIFY(SingleInstance::runtimeLockPathFor(settingsPath()).isEmpty());
    // The other user takes it first.
    QCOMPARE(::chmod(QFile::encodeName(m_dir->path()).constData(), 0711), 0);
    QCOMPARE(::seteuid(nobody), 0);
    const int squatter =
        ::open(QFile::encodeName(lock).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    QVERIFY(::seteuid(0) == 0 && squatter >= 0);
    QCOMPARE(::flock(squatter, LOCK_EX | LOCK_NB), 0);
    QCOMPARE(::chmod(QFile::encodeName(m_dir->path()).constData(), mode_t(folderMode)), 0);

    const SingleInstance instance(settingsPath());
    ::close(squatter);
    QCOMPARE(instance.state(),
             held ? SingleInstance::State::Held : SingleInstance::State::Unavailable);
    QVERIFY2(instance.problem().contains(said), qPrintable(instance.problem()));
}

pid_t tst_SingleInstance::startHolder(const QString& settingsPath, const QString& runtime)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        setRuntime(runtime);
        const SingleInstance instance(settingsPath);
        const char state = instance.state() == SingleInstance::State::Held ? 'H' : '-';
        (void)!::write(ready[1], &state, 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char state = 0;
    const bool held = child > 0 && ::read(ready[0], &state, 1) == 1 && state == 'H';
    ::close(ready[0]);
    if (child > 0)
        m_children << child;
    return held ? child : -1;
}

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_singleinstance.moc"
