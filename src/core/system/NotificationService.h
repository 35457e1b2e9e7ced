// The desktop notification that reports how a run ended.
#pragma once

#include "core/model/Server.h"

#include <QString>
#include <QVariantMap>

#include <optional>

// Posts the result of a run to the desktop's notification service
// (org.freedesktop.Notifications on the session bus).
namespace NotificationService {

struct Content
{
    QString title;
    QString body;
    QVariantMap hints;
};

void requestAuthorizationIfNeeded();
// Returns at once; without a session bus or a notification service nothing happens.
void postBackupResult(const Server &server, std::optional<qint64> exitCode, bool cancelled = false);
// A cancelled run says so, whatever its exit code.
Content contentFor(const Server &server, std::optional<qint64> exitCode, bool cancelled = false);

} // namespace NotificationService
