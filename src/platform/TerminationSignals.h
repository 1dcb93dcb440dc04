// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM and SIGHUP (a logout sends both) reach the event loop as received(), so that the
// program can end as its close box ends it, saving where its windows were. Should the event
// loop not get to it, a second signal, or five seconds, end the process as before.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    static constexpr unsigned graceSeconds = 5;

signals:
    void received(int signalNumber);

private:
    QSocketNotifier* m_notifier = nullptr;
};
