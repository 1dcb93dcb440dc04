// SPDX-License-Identifier: GPL-3.0-or-later
#include "TerminationSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
int wakePipe[2] = {-1, -1};
volatile sig_atomic_t signalsSeen = 0;

void onSignal(int signalNumber)
{
    const bool again = signalsSeen != 0;
    signalsSeen = 1;
    if (again) {
        // Asked again: whatever holds the event loop up, end now.
        ::signal(signalNumber, SIG_DFL);
        ::raise(signalNumber);
        return;
    }
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    (void)!::write(wakePipe[1], &number, 1);
    // SIGALRM's default action ends the process, should the closing never come.
    ::alarm(TerminationSignals::graceSeconds);
}
} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
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
    sigemptyset(&action.sa_mask);
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
