// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <chrono>

class QSocketNotifier;

// SIGTERM and SIGHUP (a logout sends both, one right after the other) reach the event loop as
// received(), once, so that the program can end as its close box ends it, saving where its
// windows were. Should the event loop not get to it, five seconds, or the same signal sent
// again at least `repeatAfter` later, end the process as before; the other signal of the pair
// and a repeat at once change nothing.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr,
                                std::chrono::milliseconds repeatAfter = std::chrono::seconds(1));
    ~TerminationSignals() override;

    static constexpr unsigned graceSeconds = 5;

signals:
    void received(int signalNumber);

private:
    QSocketNotifier* m_notifier = nullptr;
};
