// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QSocketNotifier;

// The running clock's door for the command line: a socket beside the instance lock, in the
// user's private runtime folder or else in a settings folder only the user can change, that takes
// one request a connection ("snooze" or "stop") and answers with how many alarm windows it
// answered. At rest it is one listening socket the event loop watches: no timer, no polling. Only a
// process of the same user gets an answer; others are hung up on unread.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    enum class Request
    {
        Snooze,
        Stop
    };
    // Answers the request and gives the number of alarm windows it answered.
    using Handler = std::function<int(Request)>;

    // Listens for the clock of this settings file; problem() says why not, where it cannot.
    InstanceChannel(const QString& settingsFilePath, Handler handler, QObject* parent = nullptr);
    ~InstanceChannel() override;

    QString problem() const { return m_problem; }

    // Where the socket may be, the runtime folder first; empty where neither folder is the
    // user's alone.
    static QStringList pathsFor(const QString& settingsFilePath);

    // Asks the clock of this settings file: the number of windows answered, or nothing with
    // the reason in `problem` (no clock to ask, or no answer in time).
    static std::optional<int> ask(const QString& settingsFilePath, Request request,
                                  QString& problem);

private:
    static std::optional<int> askOn(int fd, Request request, QString& problem);
    void accept();
    void serve(int fd);

    Handler m_handler;
    QString m_path;
    QString m_problem;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};
