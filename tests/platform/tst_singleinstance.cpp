// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// The lock against real processes: children made with fork() take it as the clock would.
class tst_SingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstStart_data();
    void firstStart();
    void heldUntilItsHolderDies();
    void programsItStartsDoNotKeepIt();

private:
    // A child process that takes the lock at `path` and keeps it until it is killed.
    pid_t startHolder(const QString& path);

    std::optional<QTemporaryDir> m_dir;
    QList<pid_t> m_children;
};

namespace {
int modeOf(const QString& path)
{
    struct stat status = {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : -1;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray ownPid()
{
    return QByteArray::number(QCoreApplication::applicationPid()) + '\n';
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
}

void tst_SingleInstance::firstStart_data()
{
    QTest::addColumn<QString>("before"); // what the settings folder holds before the start
    QTest::addColumn<QString>("lockPath");
    QTest::addColumn<bool>("held");
    QTest::newRow("no folder yet") << ""
                                   << "config/qm/QM_UTC.instance.lock" << true;
    QTest::newRow("a crashed clock's file") << "stale"
                                            << "QM_UTC.instance.lock" << true;
    QTest::newRow("a file where the folder goes") << "file"
                                                  << "config/QM_UTC.instance.lock" << false;
    QTest::newRow("a symbolic link as the file") << "link"
                                                 << "QM_UTC.instance.lock" << false;
}

void tst_SingleInstance::firstStart()
{
    QFETCH(QString, before);
    QFETCH(QString, lockPath);
    QFETCH(bool, held);
    const QString path = m_dir->filePath(lockPath);
    if (before == QLatin1String("stale")) {
        QFile stale(path);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("999999\n");
        stale.close();
        QVERIFY(stale.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                     QFile::ReadOther));
    } else if (before == QLatin1String("file")) {
        QFile file(m_dir->filePath(QStringLiteral("config")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (before == QLatin1String("link")) {
        QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("elsewhere")), path));
    }

    const SingleInstance instance(path);
    QCOMPARE(instance.state(),
             held ? SingleInstance::State::Held : SingleInstance::State::Unavailable);
    if (!held) {
        QVERIFY(instance.problem().contains(m_dir->path()));
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("elsewhere"))));
        return;
    }
    QCOMPARE(contentOf(path), ownPid());
    QCOMPARE(modeOf(path), 0600);
    for (QDir folder = QFileInfo(path).dir(); folder.path() != m_dir->path(); folder.cdUp())
        QCOMPARE(modeOf(folder.path()), 0700);
}

void tst_SingleInstance::heldUntilItsHolderDies()
{
    const QString path = m_dir->filePath(QStringLiteral("QM_UTC.instance.lock"));
    const pid_t holder = startHolder(path);
    QVERIFY(holder > 0);

    const SingleInstance second(path);
    QCOMPARE(second.state(), SingleInstance::State::HeldElsewhere);
    QCOMPARE(second.otherPid(), qint64(holder));
    QCOMPARE(contentOf(path), QByteArray::number(holder) + '\n');

    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    m_children.removeOne(holder);
    const SingleInstance afterCrash(path);
    QCOMPARE(afterCrash.state(), SingleInstance::State::Held);
    QCOMPARE(contentOf(path), ownPid());
}

void tst_SingleInstance::programsItStartsDoNotKeepIt()
{
    const QString path = m_dir->filePath(QStringLiteral("QM_UTC.instance.lock"));
    pid_t program = -1;
    {
        const SingleInstance clock(path);
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
    const SingleInstance next(path);
    QCOMPARE(next.state(), SingleInstance::State::Held);
}

pid_t tst_SingleInstance::startHolder(const QString& path)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        const SingleInstance instance(path);
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
