// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QPointer>
#include <QString>

class QSocketNotifier;

// One clock per user and settings file. The clock holds a name in the abstract namespace of
// Unix sockets, made of the user's id and the settings file's path: there is nothing on disk
// that anyone could delete or replace, and the system frees the name however the holder ends.
// A later start learns the holder's process from the connection itself. Where the name cannot
// be had (another user's program holds it, or the system has no such sockets), an exclusive
// lock on a file beside the settings serves instead.
class SingleInstance
{
public:
    enum class State
    {
        Held,          // this process runs the clock
        HeldElsewhere, // another process of this user runs it: otherPid()
        Unavailable    // neither the name nor the lock could be had: problem()
    };

    explicit SingleInstance(const QString& settingsFilePath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // The fallback lock beside the settings file.
    static QString lockFilePathFor(const QString& settingsFilePath);
    // The name held, without the leading NUL of the abstract namespace.
    static QByteArray socketNameFor(const QString& settingsFilePath);

    State state() const { return m_state; }
    // The running clock's process id; 0 when it cannot be told.
    qint64 otherPid() const { return m_otherPid; }
    // Why the state is Unavailable, or why the fallback lock is held instead of the name.
    QString problem() const { return m_problem; }

    // Accepts and closes the connections of later starts, so that any number of them find
    // the clock. Needs the application's event loop.
    void answerLaterStarts();

private:
    enum class Claim
    {
        Held,
        HeldElsewhere,
        Failed
    };
    Claim claimName(const QByteArray& name);
    void takeLockFile(const QString& lockFilePath);

    int m_listener = -1;
    int m_lockFd = -1;
    QPointer<QSocketNotifier> m_answerer; // goes with the application
    State m_state = State::Unavailable;
    qint64 m_otherPid = 0;
    QString m_problem;
};
