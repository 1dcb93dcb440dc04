// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopNotifier.h"

#include "platform/SessionBus.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDialog>

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString appName = QStringLiteral("QM-UTC");
const QString desktopEntry = QStringLiteral("qm-utc");
constexpr uchar criticalUrgency = 2;
constexpr qint32 neverExpires = 0; // it is withdrawn with its window

QDBusMessage call(const QString& method)
{
    return QDBusMessage::createMethodCall(service, path, service, method);
}
} // namespace

struct DesktopNotifier::Notification
{
    QString summary;
    QString body;
    quint32 id = 0; // given by the service
    bool open = true;
};

DesktopNotifier::DesktopNotifier(QObject* parent) : QObject(parent), m_sessionBus(true) {}

DesktopNotifier::DesktopNotifier(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_bus(bus)
{}

DesktopNotifier::~DesktopNotifier() = default;

const QDBusConnection* DesktopNotifier::bus()
{
    // Asked for a session bus it cannot find, libdbus would start one of its own, and Qt
    // connects to a named one waiting for its answer.
    if (m_sessionBus && SessionBus::usable())
        m_bus = QDBusConnection::sessionBus();
    m_sessionBus = false;
    return m_bus && m_bus->isConnected() ? &*m_bus : nullptr;
}

void DesktopNotifier::post(QWidget* window, const QString& summary, const QString& body)
{
    if (!bus())
        return;
    auto notification = std::make_shared<Notification>();
    notification->summary = summary.trimmed().isEmpty() ? appName : summary;
    notification->body = body;
    const auto closed = [this, notification] {
        if (!notification->open)
            return;
        notification->open = false;
        if (notification->id != 0)
            withdraw(notification->id);
    };
    connect(window, &QObject::destroyed, this, closed);
    if (auto* dialog = qobject_cast<QDialog*>(window))
        connect(dialog, &QDialog::finished, this, closed);
    if (m_bodyMarkup)
        notify(notification);
    else
        askCapabilities(notification);
}

void DesktopNotifier::askCapabilities(const std::shared_ptr<Notification>& notification)
{
    auto* watcher = new QDBusPendingCallWatcher(
        m_bus->asyncCall(call(QStringLiteral("GetCapabilities"))), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, notification](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<QStringList> reply = *finished;
                if (reply.isError())
                    return; // no service
                m_bodyMarkup = reply.value().contains(QStringLiteral("body-markup"));
                notify(notification);
            });
}

void DesktopNotifier::notify(const std::shared_ptr<Notification>& notification)
{
    if (!notification->open)
        return;
    // Where the body is read as markup, a message is still shown as typed.
    const QString body = *m_bodyMarkup ? notification->body.toHtmlEscaped() : notification->body;
    // Silent: an alarm that rings plays its own sound, and one that does not wants none.
    const QVariantMap hints{{QStringLiteral("desktop-entry"), desktopEntry},
                            {QStringLiteral("urgency"), QVariant::fromValue(criticalUrgency)},
                            {QStringLiteral("suppress-sound"), true}};
    QDBusMessage message = call(QStringLiteral("Notify"));
    message << appName << quint32(0) << desktopEntry << notification->summary << body
            << QStringList() << hints << neverExpires;
    auto* watcher = new QDBusPendingCallWatcher(m_bus->asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, notification](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<quint32> reply = *finished;
                if (reply.isError())
                    return;
                notification->id = reply.value();
                // Closed while the service was answering.
                if (!notification->open)
                    withdraw(notification->id);
            });
}

void DesktopNotifier::withdraw(quint32 id)
{
    QDBusMessage message = call(QStringLiteral("CloseNotification"));
    message << id;
    m_bus->send(message);
}
