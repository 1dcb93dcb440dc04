// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <memory>
#include <optional>

class QWidget;

// Repeats an alarm's window as a desktop notification (org.freedesktop.Notifications on the
// session bus), so that the alarm also reaches the desktop's notification list, its lock screen
// and other monitors, and withdraws it when the window closes. Every call is asynchronous:
// without a bus or a notification service nothing is said and nothing waits.
class DesktopNotifier : public QObject
{
    Q_OBJECT

public:
    // The session bus, connected at the first notification.
    explicit DesktopNotifier(QObject* parent = nullptr);
    DesktopNotifier(const QDBusConnection& bus, QObject* parent = nullptr);
    ~DesktopNotifier() override;

    // One notification for as long as `window` is open.
    void post(QWidget* window, const QString& summary, const QString& body);

private:
    struct Notification;

    const QDBusConnection* bus();
    void askCapabilities(const std::shared_ptr<Notification>& notification);
    void notify(const std::shared_ptr<Notification>& notification);
    void withdraw(quint32 id);

    std::optional<QDBusConnection> m_bus;
    bool m_sessionBus = false;
    // Whether the service reads the body as markup; unknown until it is asked.
    std::optional<bool> m_bodyMarkup;
};
