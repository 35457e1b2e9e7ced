// SPDX-License-Identifier: GPL-3.0-or-later
// Desktop notifications over org.freedesktop.Notifications.
#include "core/system/NotificationService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <qcoro/qcorodbuspendingcall.h>

namespace NotificationService {

void requestAuthorizationIfNeeded()
{
    // Desktop notification services on Linux ask no permission of the sender.
}

Content contentFor(const Server &server, std::optional<qint64> exitCode, bool cancelled, const QString &warning,
                   const QString &failure)
{
    const QString name = server.shownName();
    Content content;
    if (cancelled) {
        content.body = QCoreApplication::translate("NotificationService", "⏹ %1 — backup cancelled").arg(name);
        content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    } else if (!exitCode) {
        content.body =
            QCoreApplication::translate("NotificationService", "%1 — backup ended (status unknown)").arg(name);
        content.hints.insert(QStringLiteral("suppress-sound"), true);
    } else if (*exitCode == 0 && !warning.isEmpty()) {
        // The warning is the engine's (English) text; its translation, when there is one.
        content.body = QCoreApplication::translate("NotificationService", "⚠ %1 — backup completed, but %2")
                           .arg(name, QCoreApplication::translate("RsyncRunner", warning.toUtf8().constData()));
        content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2)));
    } else if (*exitCode == 0) {
        content.body = QCoreApplication::translate("NotificationService", "✓ %1 — backup completed").arg(name);
        content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    } else if (!failure.isEmpty()) {
        content.body = QCoreApplication::translate("NotificationService", "✗ %1 — backup failed: %2")
                           .arg(name, QCoreApplication::translate("RsyncRunner", failure.toUtf8().constData()));
        content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2)));
    } else {
        content.body = QCoreApplication::translate("NotificationService", "✗ %1 — backup failed (exit %2)")
                           .arg(name, QString::number(*exitCode));
        content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2)));
    }
    return content;
}

Content restoreContent(const Server &server, std::optional<int> exitCode, bool cancelled)
{
    const QString name = server.shownName();
    Content content;
    if (cancelled) {
        content.body = QCoreApplication::translate("NotificationService", "⏹ %1 — restore cancelled").arg(name);
        content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    } else if (exitCode == 0) {
        content.body = QCoreApplication::translate("NotificationService", "✓ %1 — restore completed").arg(name);
        content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    } else {
        content.body =
            exitCode
                ? QCoreApplication::translate("NotificationService", "✗ %1 — restore failed (exit %2)")
                      .arg(name, QString::number(*exitCode))
                : QCoreApplication::translate("NotificationService", "✗ %1 — restore failed (exit unknown)").arg(name);
        content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2)));
    }
    return content;
}

namespace {

QDBusMessage notifyCall(const Content &content)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // The desktop groups and badges them by the entry.
    QVariantMap hints = content.hints;
    hints.insert(QStringLiteral("desktop-entry"), desktopEntry);
    // replaces_id 0: every result is a notification of its own.
    message << QStringLiteral("Tidewell") << uint(0) << appIcon << content.title << content.body << content.actions
            << hints << int(-1);
    return message;
}

} // namespace

std::optional<QDBusPendingCall> post(const Content &content)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    // Asynchronous: a missing service costs nothing, and only a process that
    // is about to end waits for the answer.
    return bus.asyncCall(notifyCall(content));
}

QCoro::Task<std::optional<uint>> postForId(Content content)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        co_return std::nullopt;
    const QDBusMessage reply = co_await bus.asyncCall(notifyCall(content), 10000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        co_return std::nullopt;
    co_return reply.arguments().first().toUInt();
}

std::optional<QDBusPendingCall> postBackupResult(const Server &server, std::optional<qint64> exitCode, bool cancelled)
{
    return post(contentFor(server, exitCode, cancelled));
}

} // namespace NotificationService
