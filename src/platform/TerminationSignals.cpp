// SPDX-License-Identifier: GPL-3.0-or-later
#include "TerminationSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {
int wakePipe[2] = {-1, -1};
long repeatAfterMs = 1000;
volatile sig_atomic_t closing = 0;
// When each of the two signals first came; a zero second: not yet.
timespec firstTerm = {};
timespec firstHangUp = {};

long msSince(const timespec& then)
{
    timespec now = {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - then.tv_sec) * 1000 + (now.tv_nsec - then.tv_nsec) / 1'000'000;
}

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    timespec& first = signalNumber == SIGTERM ? firstTerm : firstHangUp;
    if (first.tv_sec != 0 && msSince(first) >= repeatAfterMs) {
        // The same signal again, well after it first came: whatever holds the event loop up,
        // end now.
        ::signal(signalNumber, SIG_DFL);
        ::raise(signalNumber);
    } else if (first.tv_sec == 0) {
        ::clock_gettime(CLOCK_MONOTONIC, &first);
        if (first.tv_sec == 0)
            first.tv_sec = 1;
    }
    // The other signal of a logout's pair, and a repeat at once, change nothing: the closing
    // is under way.
    if (!closing) {
        closing = 1;
        const unsigned char number = static_cast<unsigned char>(signalNumber);
        (void)!::write(wakePipe[1], &number, 1);
        // SIGALRM's default action ends the process, should the closing never come.
        ::alarm(TerminationSignals::graceSeconds);
    }
    errno = savedErrno;
}
} // namespace

TerminationSignals::TerminationSignals(QObject* parent, std::chrono::milliseconds repeatAfter)
    : QObject(parent)
{
    repeatAfterMs = static_cast<long>(repeatAfter.count());
    if (wakePipe[0] < 0 && ::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        unsigned char number = 0;
        while (::read(wakePipe[0], &number, 1) == 1)
            emit received(number);
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    // One handler at a time: the other signal waits until this one has returned.
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGTERM);
    sigaddset(&action.sa_mask, SIGHUP);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : {SIGTERM, SIGHUP}) {
        struct sigaction before = {};
        ::sigaction(signalNumber, &action, &before);
        // Started with nohup or the like: the signal stays ignored.
        if (before.sa_handler == SIG_IGN)
            ::sigaction(signalNumber, &before, nullptr);
    }
}

TerminationSignals::~TerminationSignals()
{
    for (const int signalNumber : {SIGTERM, SIGHUP})
        ::signal(signalNumber, SIG_DFL);
}
