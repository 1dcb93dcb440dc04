// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TerminationSignals.h"

#include <QtTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;

// A logout's signals against a clock whose event loop is held up: children made with fork()
// take the signals as the clock does and never get to close.
class tst_TerminationSignals : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheSameSignalAgainEndsAtOnce_data();
    void onlyTheSameSignalAgainEndsAtOnce();
};

void tst_TerminationSignals::onlyTheSameSignalAgainEndsAtOnce_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("atOnce"); // sent right after the first
    QTest::addColumn<int>("later");  // sent once the repeat time has passed; it ends the child
    QTest::newRow("TERM, HUP, TERM") << SIGTERM << SIGHUP << SIGTERM;
    QTest::newRow("HUP, TERM, HUP") << SIGHUP << SIGTERM << SIGHUP;
    QTest::newRow("TERM, TERM, TERM") << SIGTERM << SIGTERM << SIGTERM;
}

void tst_TerminationSignals::onlyTheSameSignalAgainEndsAtOnce()
{
    QFETCH(int, first);
    QFETCH(int, atOnce);
    QFETCH(int, later);
    int ready[2];
    QCOMPARE(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const TerminationSignals termination(nullptr, 100ms);
        (void)!::write(ready[1], "r", 1);
        for (;;)
            ::pause();
    }
    QVERIFY(child > 0);
    char byte = 0;
    QCOMPARE(::read(ready[0], &byte, 1), ssize_t(1));
    ::close(ready[0]);
    ::close(ready[1]);
    const auto running = [child] {
        return ::waitpid(child, nullptr, WNOHANG) == 0;
    };

    ::kill(child, first);
    ::kill(child, atOnce);
    QTest::qWait(300);
    const bool stillRunning = running();
    ::kill(child, later);
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY2(stillRunning, "ended before it could close");
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(WTERMSIG(status), later);
}

QTEST_GUILESS_MAIN(tst_TerminationSignals)
#include "tst_terminationsignals.moc"
