// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop notification that reports how a run ended.
#pragma once

#include "core/model/Server.h"

#include <QDBusPendingCall>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <qcoro/qcorotask.h>

#include <optional>

// Posts the result of a run to the desktop's notification service
// (org.freedesktop.Notifications on the session bus), as Tidewell: with its
// icon and its desktop entry, so the desktop can group and badge them.
namespace NotificationService {

inline const QString appIcon = QStringLiteral("org.tidewell.Tidewell");
inline const QString desktopEntry = QStringLiteral("org.tidewell.Tidewell");

// Every notification is Tidewell's: notifyCall adds the icon and the
// desktop-entry hint to each.
struct Content
{
    QString title = QStringLiteral("Tidewell");
    QString body;
    QVariantMap hints;
    QStringList actions; // pairs of key and label, as org.freedesktop.Notifications takes them
};

// A name in a notification is cut to this many characters, "…" included, so
// that a long one does not make a bubble that covers the screen.
inline constexpr qsizetype longestName = 60;
QString shortName(const QString &name);
// The server as its notifications name it (its name cut to longestName).
Server forNotice(const Server &server);

void requestAuthorizationIfNeeded();
// Returns at once; without a session bus or a notification service nothing happens.
std::optional<QDBusPendingCall> postBackupResult(const Server &server, std::optional<qint64> exitCode,
                                                 bool cancelled = false);
// A cancelled run says so, whatever its exit code.
// `warning`: what went wrong after a successful copy, said after the result;
// `failure`: why a failed run failed, when more is known than its exit code.
Content contentFor(const Server &server, std::optional<qint64> exitCode, bool cancelled = false,
                   const QString &warning = QString(), const QString &failure = QString());
// The same for a restore to the server.
Content restoreContent(const Server &server, std::optional<int> exitCode, bool cancelled);
// Returns at once, with the call that is on its way to the service; none
// without a session bus.
std::optional<QDBusPendingCall> post(const Content &content);
// The notification's id, once the service has answered; none without one.
QCoro::Task<std::optional<uint>> postForId(Content content);

// Bodies are sent as plain text, escaped where the service renders markup
// (its capability "body-markup"); the service is asked once per process.
// For tests: asks it again at the next post.
void forgetCapabilitiesForTesting();

} // namespace NotificationService
