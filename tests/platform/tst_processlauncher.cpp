// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProblemCapture.h"
#include "platform/ProcessLauncher.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString probePath = QStringLiteral(QMUTC_TEST_HELPER_DIR "/fd_probe");
constexpr uid_t nobody = 65534;
} // namespace

// Starts fd_probe for real and reads back what it saw (see tests/helpers/fd_probe.cpp).
class tst_ProcessLauncher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void argumentsArriveVerbatim_data();
    void argumentsArriveVerbatim();
    void nothingBeyondStandardStreamsIsInherited_data();
    void nothingBeyondStandardStreamsIsInherited();
    void failuresAreQuickAndExplained_data();
    void failuresAreQuickAndExplained();
    void startsInTheHomeFolder_data();
    void startsInTheHomeFolder();
    void noChildIsLeftBehind();
    void everySweepMarksHighDescriptors_data();
    void everySweepMarksHighDescriptors();

private:
    struct Report
    {
        QStringList args;
        QList<int> fds;
        qint64 sid = -1;
        bool tty = true;
        QStringList std; // targets of 0, 1, 2
        quint64 ignoredSignals = ~0ULL;
        QString cwd;
    };
    // Runs the probe with `arguments` appended and waits for its report.
    Report probe(const QString& arguments, LaunchStyle style, const QString& program = probePath);
    Report probe(const QString& arguments, LaunchStyle style, const QString& program,
                 ProcessLauncher& launcher);

    QTemporaryDir m_dir;
    int m_reports = 0;
};

namespace {
// Raw, as the probe reports it: QFile would turn "pipe:[123]" into a path.
QString linkTarget(const QByteArray& path)
{
    char target[4096];
    const ssize_t length = ::readlink(path.constData(), target, sizeof target);
    return length < 0 ? QString() : QString::fromLocal8Bit(target, length);
}

// Children of this process, as "pid state".
QStringList childProcesses()
{
    QStringList found;
    const QString self = QString::number(QCoreApplication::applicationPid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // The name may hold blanks; the fields after its closing parenthesis do not.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> rest = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (rest.size() > 1 && rest.at(1) == self.toLatin1())
            found << pid + QLatin1Char(' ') + QString::fromLatin1(rest.at(0));
    }
    return found;
}
} // namespace

void tst_ProcessLauncher::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFileInfo(probePath).isExecutable(), qPrintable(probePath));

    QFile plain(m_dir.filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("text\n");
    plain.close();
    // Executable by its mode bits but not by its content: only exec itself can refuse it.
    QFile garbage(m_dir.filePath(QStringLiteral("garbage")));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(64, '\x01'));
    garbage.close();
    QVERIFY(garbage.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

tst_ProcessLauncher::Report tst_ProcessLauncher::probe(const QString& arguments, LaunchStyle style,
                                                       const QString& program)
{
    ProcessLauncher launcher;
    return probe(arguments, style, program, launcher);
}

tst_ProcessLauncher::Report tst_ProcessLauncher::probe(const QString& arguments, LaunchStyle style,
                                                       const QString& program,
                                                       ProcessLauncher& launcher)
{
    const QString out = m_dir.filePath(QStringLiteral("report%1").arg(++m_reports));
    const LaunchResult result =
        launcher.launch(QStringLiteral("\"%1\" \"%2\" %3").arg(program, out, arguments), style);
    Report report;
    if (!result.started) {
        qWarning() << "probe did not start:" << result.error;
        return report;
    }
    [&] {
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 5000);
    }();
    QFile file(out);
    if (!file.open(QIODevice::ReadOnly))
        return report;
    for (const QString& line : QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'))) {
        const QString key = line.section(QLatin1Char(' '), 0, 0);
        const QString value = line.section(QLatin1Char(' '), 1);
        if (key == QLatin1String("arg"))
            report.args << value;
        else if (key == QLatin1String("fd"))
            report.fds << value.toInt();
        else if (key == QLatin1String("sid"))
            report.sid = value.section(QLatin1Char(' '), 0, 0).toLongLong();
        else if (key == QLatin1String("tty"))
            report.tty = value == QLatin1String("yes");
        else if (key == QLatin1String("cwd"))
            report.cwd = value;
        else if (key == QLatin1String("sigign"))
            report.ignoredSignals = value.toULongLong(nullptr, 16);
        else if (key.startsWith(QLatin1String("std")))
            report.std << value;
    }
    return report;
}

void tst_ProcessLauncher::argumentsArriveVerbatim_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("shell characters")
        << "$HOME ; | * ~ && >x" << QStringList{"$HOME", ";", "|", "*", "~", "&&", ">x"};
    QTest::newRow("quoted groups")
        << "\"a b\"  \"c;d | e\" f" << QStringList{"a b", "c;d | e", "f"};
    QTest::newRow("quotes inside a word") << "pre\"fix mid\"dle" << QStringList{"prefix middle"};
    QTest::newRow("literal quote") << "\"\"\"hi\"\"\"" << QStringList{"\"hi\""};
    QTest::newRow("substitution") << "\"$(touch %DIR%/made)\" `touch %DIR%/made`"
                                  << QStringList{"$(touch %DIR%/made)", "`touch", "%DIR%/made`"};
}

void tst_ProcessLauncher::argumentsArriveVerbatim()
{
    QFETCH(QString, arguments);
    QFETCH(QStringList, expected);
    arguments.replace(QLatin1String("%DIR%"), m_dir.path());
    expected.replaceInStrings(QStringLiteral("%DIR%"), m_dir.path());

    QCOMPARE(probe(arguments, LaunchStyle::Normal).args, expected);
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("made"))));
}

void tst_ProcessLauncher::nothingBeyondStandardStreamsIsInherited_data()
{
    QTest::addColumn<LaunchStyle>("style");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("normal") << LaunchStyle::Normal << false;
    QTest::newRow("hidden") << LaunchStyle::Hidden << true;
}

void tst_ProcessLauncher::nothingBeyondStandardStreamsIsInherited()
{
    QFETCH(LaunchStyle, style);
    QFETCH(bool, hidden);

    // Many programs ignore SIGPIPE; what they start must not inherit that.
    const auto previousSigpipe = std::signal(SIGPIPE, SIG_IGN);
    // Opened the careless way, as a library might.
    const int leaky = ::open("/dev/null", O_RDONLY);
    const int high = ::fcntl(leaky, F_DUPFD, 700);
    QVERIFY(leaky >= 3 && high >= 700);

    const Report report = probe({}, style);
    ::close(leaky);
    ::close(high);
    std::signal(SIGPIPE, previousSigpipe);

    QCOMPARE(report.fds, (QList<int>{0, 1, 2}));
    QVERIFY(!report.tty);
    QVERIFY(report.sid > 0);
    QVERIFY(report.sid != ::getsid(0));
    QCOMPARE(report.ignoredSignals & (1ULL << (SIGPIPE - 1)), 0ULL);
    QStringList ownStd;
    for (int fd = 0; fd <= 2; ++fd)
        ownStd << (hidden ? QStringLiteral("/dev/null")
                          : linkTarget("/proc/self/fd/" + QByteArray::number(fd)));
    QCOMPARE(report.std, ownStd);
}

void tst_ProcessLauncher::failuresAreQuickAndExplained_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("reasonHas");

    QTest::newRow("empty") << ""
                           << "empty";
    QTest::newRow("blank") << " \t  "
                           << "empty";
    QTest::newRow("empty quotes") << "\"\""
                                  << "empty";
    QTest::newRow("not on PATH") << "qmutc-absent-program --now"
                                 << "\"qmutc-absent-program\" not found on PATH";
    QTest::newRow("default text") << "Run Command"
                                  << "\"Run\" not found on PATH";
    QTest::newRow("no such path") << "%DIR%/absent"
                                  << "does not exist";
    QTest::newRow("tilde stays literal") << "~/qmutc-absent"
                                         << "does not exist";
    QTest::newRow("not executable") << "%DIR%/plain"
                                    << "\"%DIR%/plain\" is not executable";
    QTest::newRow("directory") << "%DIR%"
                               << "is a directory";
    QTest::newRow("not a program") << "%DIR%/garbage arg"
                                   << "could not be started";
}

void tst_ProcessLauncher::failuresAreQuickAndExplained()
{
    QFETCH(QString, command);
    QFETCH(QString, reasonHas);
    command.replace(QLatin1String("%DIR%"), m_dir.path());
    reasonHas.replace(QLatin1String("%DIR%"), m_dir.path());

    ProcessLauncher launcher;
    for (const LaunchStyle style : {LaunchStyle::Normal, LaunchStyle::Hidden}) {
        QElapsedTimer timer;
        timer.start();
        const LaunchResult result = launcher.launch(command, style);
        QVERIFY(timer.elapsed() < 2000);
        QVERIFY(!result.started);
        QVERIFY2(result.error.contains(reasonHas), qPrintable(result.error));
        QVERIFY2(!result.error.contains(QLatin1Char('\n')), qPrintable(result.error));
    }
}

void tst_ProcessLauncher::startsInTheHomeFolder_data()
{
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("asAnotherUser"); // the home folder is root's and closed to others
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("said"); // once, however many commands start
    QTest::newRow("home") << "%DIR%/home" << probePath << false << "%DIR%/home"
                          << "";
    QTest::newRow("relative program") << "%DIR%/home"
                                      << "./probe" << false << "%DIR%/home"
                                      << "";
    QTest::newRow("home missing") << "%DIR%/absent" << probePath << false << "/"
                                  << "commands start in / because the home folder %DIR%/absent "
                                     "cannot be entered (No such file or directory)";
    QTest::newRow("home that cannot be entered")
        << "%DIR%/home" << probePath << true << "/"
        << "commands start in / because the home folder %DIR%/home cannot be entered "
           "(Permission denied)";
}

void tst_ProcessLauncher::startsInTheHomeFolder()
{
    QFETCH(QString, home);
    QFETCH(QString, program);
    QFETCH(bool, asAnotherUser);
    QFETCH(QString, folder);
    QFETCH(QString, said);
    for (QString* text : {&home, &folder, &said})
        text->replace(QLatin1String("%DIR%"), m_dir.path());
    QDir(m_dir.path()).mkpath(QStringLiteral("home"));
    QFile::link(probePath, m_dir.filePath(QStringLiteral("home/probe")));
    const QByteArray closed = QFile::encodeName(m_dir.filePath(QStringLiteral("home")));
    if (asAnotherUser) {
        if (::geteuid() != 0)
            QSKIP("only root can act as another user here");
        // The reports are written where that user can write; root's home stays closed.
        QCOMPARE(::chmod(QFile::encodeName(m_dir.path()).constData(), 0777), 0);
        QCOMPARE(::chmod(closed.constData(), 0700), 0);
        // A build in a private folder (a clone in `mktemp -d`) is out of that user's reach.
        const QString reachable = m_dir.filePath(QStringLiteral("probe-copy"));
        QFile::remove(reachable);
        QVERIFY(QFile::copy(program, reachable));
        QVERIFY(QFile::setPermissions(reachable, QFile::permissions(program) | QFile::ExeOther |
                                                     QFile::ReadOther));
        program = reachable;
        QCOMPARE(::seteuid(nobody), 0);
    }

    const QByteArray ownHome = qgetenv("HOME");
    qputenv("HOME", home.toLocal8Bit());
    ProblemCapture problems;
    ProcessLauncher launcher;
    const Report first = probe({}, LaunchStyle::Hidden, program, launcher);
    const Report second = probe({}, LaunchStyle::Normal, program, launcher);
    qputenv("HOME", ownHome);
    if (asAnotherUser) {
        QCOMPARE(::seteuid(0), 0);
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0700);
        ::chmod(closed.constData(), 0755);
    }
    QCOMPARE(first.cwd, folder);
    QCOMPARE(second.cwd, folder);
    QCOMPARE(problems.lines, said.isEmpty() ? QStringList() : QStringList{said});
}

void tst_ProcessLauncher::noChildIsLeftBehind()
{
    QVERIFY(childProcesses().isEmpty());
    ProcessLauncher launcher;
    probe({}, LaunchStyle::Normal);
    probe({}, LaunchStyle::Hidden);
    QVERIFY(
        !launcher.launch(m_dir.filePath(QStringLiteral("garbage")), LaunchStyle::Normal).started);

    // A detached program is nobody's child here, so once any child still running has ended,
    // there must be none left at all, and in particular no zombie.
    const auto running = [] {
        const QStringList all = childProcesses();
        return std::count_if(all.begin(), all.end(),
                             [](const QString& c) { return !c.endsWith(QLatin1String(" Z")); });
    };
    QTRY_COMPARE_WITH_TIMEOUT(running(), 0, 5000);
    QCOMPARE(childProcesses(), QStringList());
}

void tst_ProcessLauncher::everySweepMarksHighDescriptors_data()
{
    QTest::addColumn<ProcessLauncher::Sweep>("sweep");
    QTest::newRow("range") << ProcessLauncher::Sweep::Range;
    QTest::newRow("listing") << ProcessLauncher::Sweep::Listing;
    QTest::newRow("loop") << ProcessLauncher::Sweep::Loop;
}

void tst_ProcessLauncher::everySweepMarksHighDescriptors()
{
    QFETCH(ProcessLauncher::Sweep, sweep);
    const int low = ::open("/dev/null", O_RDONLY);
    const int high = ::fcntl(low, F_DUPFD, 1234);
    QVERIFY(low >= 3 && high >= 1234);
    int standard[3];
    for (int fd = 0; fd <= 2; ++fd)
        standard[fd] = ::fcntl(fd, F_GETFD);

    ProcessLauncher::markCloseOnExec(sweep);

    QVERIFY(::fcntl(low, F_GETFD) & FD_CLOEXEC);
    QVERIFY(::fcntl(high, F_GETFD) & FD_CLOEXEC);
    for (int fd = 0; fd <= 2; ++fd)
        QCOMPARE(::fcntl(fd, F_GETFD), standard[fd]);
    ::close(low);
    ::close(high);
}

QTEST_GUILESS_MAIN(tst_ProcessLauncher)
#include "tst_processlauncher.moc"
