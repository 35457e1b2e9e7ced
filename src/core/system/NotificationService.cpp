// SPDX-License-Identifier: GPL-3.0-or-later
// Desktop notifications over org.freedesktop.Notifications.
#include "core/system/NotificationService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <qcoro/qcorodbuspendingcall.h>

namespace NotificationService {

QString shortName(const QString &name)
{
    if (name.size() <= longestName)
        return name;
    return name.left(longestName - 1).trimmed() + u'…';
}

Server forNotice(const Server &server)
{
    Server shown = server;
    shown.name = shortName(server.shownName());
    return shown;
}

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

std::optional<bool> s_rendersMarkup;

QDBusMessage serviceCall(const QString &method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
                                          QStringLiteral("/org/freedesktop/Notifications"),
                                          QStringLiteral("org.freedesktop.Notifications"), method);
}

// A service that renders markup would take "R&D <b>prod</b>" in a name as
// markup (and some show nothing of a body they cannot parse).
bool rendersMarkup(const QDBusConnection &bus)
{
    if (s_rendersMarkup)
        return *s_rendersMarkup;
    const QDBusMessage reply = bus.call(serviceCall(QStringLiteral("GetCapabilities")), QDBus::Block, 3000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false; // asked again next time: the service may start later
    s_rendersMarkup = reply.arguments().first().toStringList().contains(QStringLiteral("body-markup"));
    return *s_rendersMarkup;
}

QDBusMessage notifyCall(const QDBusConnection &bus, const Content &content)
{
    QDBusMessage message = serviceCall(QStringLiteral("Notify"));
    const QString body = rendersMarkup(bus) ? content.body.toHtmlEscaped() : content.body;
    // The desktop groups and badges them by the entry.
    QVariantMap hints = content.hints;
    hints.insert(QStringLiteral("desktop-entry"), desktopEntry);
    // replaces_id 0: every result is a notification of its own.
    message << QStringLiteral("Tidewell") << uint(0) << appIcon << content.title << body << content.actions << hints
            << int(-1);
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
    return bus.asyncCall(notifyCall(bus, content));
}

QCoro::Task<std::optional<uint>> postForId(Content content)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        co_return std::nullopt;
    const QDBusMessage call = notifyCall(bus, content);
    const QDBusPendingCall pending = bus.asyncCall(call, 10000);
    const QDBusMessage reply = co_await pending;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        co_return std::nullopt;
    co_return reply.arguments().first().toUInt();
}

std::optional<QDBusPendingCall> postBackupResult(const Server &server, std::optional<qint64> exitCode, bool cancelled)
{
    return post(contentFor(forNotice(server), exitCode, cancelled));
}

void forgetCapabilitiesForTesting()
{
    s_rendersMarkup.reset();
}

} // namespace NotificationService
