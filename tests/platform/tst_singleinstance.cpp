// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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
    void anotherUsersProgramOnTheNameIsNotTheClock_data();
    void anotherUsersProgramOnTheNameIsNotTheClock();

private:
    // A child process that starts at `settingsPath` and keeps running until it is killed.
    pid_t startHolder(const QString& settingsPath);
    QString settingsPath() const { return m_dir->filePath(QStringLiteral("QM_UTC.ini")); }
    QString lockPath() const { return m_dir->filePath(QStringLiteral("QM_UTC.instance.lock")); }

    std::optional<QTemporaryDir> m_dir;
    QList<pid_t> m_children;
};

namespace {
constexpr uid_t nobody = 65534;

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
}
} // namespace

void tst_SingleInstance::init()
{
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
    ::umask(022);
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
    QTest::newRow("no folder yet") << "config/qm/QM_UTC.ini"
                                   << "";
    QTest::newRow("a crashed clock's lock file") << "QM_UTC.ini"
                                                 << "before: stale";
    QTest::newRow("a file where the folder goes") << "config/QM_UTC.ini"
                                                  << "before: file";
    QTest::newRow("lock file deleted") << "QM_UTC.ini"
                                       << "delete";
    QTest::newRow("lock file replaced by a link") << "QM_UTC.ini"
                                                  << "link";
    QTest::newRow("lock file replaced by a folder") << "QM_UTC.ini"
                                                    << "folder";
    QTest::newRow("lock file naming a dead process") << "QM_UTC.ini"
                                                     << "stale";
    QTest::newRow("folder made read-only") << "QM_UTC.ini"
                                           << "read-only";
}

void tst_SingleInstance::secondStartNamesTheRunningClock()
{
    QFETCH(QString, settings);
    QFETCH(QString, change);
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
    if (change.startsWith(QLatin1String("before")))
        QVERIFY(make(change));
    const QStringList entries = entriesOf(m_dir->path());
    const pid_t clock = startHolder(m_dir->filePath(settings));
    QVERIFY(clock > 0);
    // Nothing on disk: nothing there for anyone to delete or replace.
    QCOMPARE(entriesOf(m_dir->path()), entries);
    if (!change.startsWith(QLatin1String("before")))
        QVERIFY(make(change));

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

void tst_SingleInstance::anotherUsersProgramOnTheNameIsNotTheClock_data()
{
    QTest::addColumn<QString>("lockFile");
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<bool>("held");
    QTest::addColumn<QString>("said");
    QTest::newRow("the lock file serves") << "" << 0700 << true << "serves instead";
    QTest::newRow("a FIFO as the lock file") << "fifo" << 0700 << false << "not a regular file";
    QTest::newRow("in a folder others can change") << "" << 0777 << false << "other users";
}

void tst_SingleInstance::anotherUsersProgramOnTheNameIsNotTheClock()
{
    QFETCH(QString, lockFile);
    QFETCH(int, folderMode);
    QFETCH(bool, held);
    QFETCH(QString, said);
    // Another user's program takes the name this user's clock would hold.
    const QByteArray name = SingleInstance::socketNameFor(settingsPath());
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.constData(), size_t(name.size()));
    const int squatter = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::geteuid() != 0 || ::seteuid(nobody) != 0)
        QSKIP("only root can act as another user");
    const bool bound = ::bind(squatter, reinterpret_cast<sockaddr*>(&address),
                              socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size())) == 0 &&
                       ::listen(squatter, 8) == 0;
    QVERIFY(::seteuid(0) == 0 && bound);
    if (lockFile == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(lockPath()).constData(), 0600), 0);
    QCOMPARE(::chmod(QFile::encodeName(m_dir->path()).constData(), mode_t(folderMode)), 0);

    const SingleInstance instance(settingsPath());
    ::close(squatter);
    QCOMPARE(instance.state(),
             held ? SingleInstance::State::Held : SingleInstance::State::Unavailable);
    QVERIFY2(instance.problem().contains(QStringLiteral("another user's process")) &&
                 instance.problem().contains(said),
             qPrintable(instance.problem()));
}

pid_t tst_SingleInstance::startHolder(const QString& settingsPath)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
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
