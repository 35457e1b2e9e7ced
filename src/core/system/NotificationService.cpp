// Desktop notifications over org.freedesktop.Notifications.
#include "core/system/NotificationService.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace NotificationService {

void requestAuthorizationIfNeeded()
{
    // Desktop notification services on Linux ask no permission of the sender.
}

Content contentFor(const Server &server, std::optional<qint64> exitCode, bool cancelled)
{
    const QString name = server.name.isEmpty() ? QStringLiteral("(untitled)") : server.name;
    Content content;
    content.title = QStringLiteral("Tidewell");
    if (cancelled) {
        content.body = QStringLiteral("⏹ ") + name + QStringLiteral(" — backup cancelled");
        content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    } else if (!exitCode) {
        content.body = name + QStringLiteral(" — backup ended (status unknown)");
        content.hints.insert(QStringLiteral("suppress-sound"), true);
    } else if (*exitCode == 0) {
        content.body = QStringLiteral("✓ ") + name + QStringLiteral(" — backup completed");
        content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    } else {
        content.body = QStringLiteral("✗ ") + name + QStringLiteral(" — backup failed (exit ") + QString::number(*exitCode) + u')';
        content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2)));
    }
    return content;
}

void postBackupResult(const Server &server, std::optional<qint64> exitCode, bool cancelled)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    const Content content = contentFor(server, exitCode, cancelled);
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // replaces_id 0: every result is a notification of its own.
    message << QStringLiteral("Tidewell") << uint(0) << QString() << content.title << content.body << QStringList()
            << content.hints << int(-1);
    // Asynchronous and unanswered: a missing service costs nothing.
    bus.asyncCall(message);
}

} // namespace NotificationService
