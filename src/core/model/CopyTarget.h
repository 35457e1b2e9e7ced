// SPDX-License-Identifier: GPL-3.0-or-later
// A second place that receives the complete days of the destination.
#pragma once

#include "core/model/DecodeError.h"
#include "core/model/Server.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>
#include <tl/expected.hpp>

// A folder on this computer (another drive) or on a host reached over ssh
// that receives, day by day, exactly the snapshots the destination holds,
// and keeps a history of its own. A server's days live there under
// <path>/<server folder>/<day>, as in the destination.
struct CopyTarget
{
    enum class Kind { folder, ssh };

    QUuid id = QUuid::createUuid();
    QString name;
    bool enabled = true;
    Kind kind = Kind::folder;
    QString path;
    // For an ssh target: where and as whom to connect, as for a server.
    QString host;
    qint64 port = 22;
    QString username;
    QString privateKeyPath;
    bool useSSHAgent = false;
    // The servers whose days it takes; empty: all.
    QList<QUuid> servers;
    // Its own retention; unset: the server's own counts at the destination.
    std::optional<qint64> keepDaily;
    std::optional<qint64> keepWeekly;
    std::optional<qint64> keepMonthly;
    // A folder target that holds a gocryptfs folder: copies are written in
    // its plaintext view (see AppSettings::destinationEncrypted).
    bool encrypted = false;

    bool takes(const QUuid &serverID) const;
    // "offsite", or the id when it has no name.
    QString shownName() const;
    // Where it is, as the run log and Settings say it: the folder, or the host.
    QString where() const;
    // The connection fields of an ssh target as a server's, so that its
    // ssh is started, checked and trusted as a server's is.
    Server connection() const;
    // The server with this target's retention in place of its own.
    Server retentionOf(const Server &server) const;

    QJsonObject toJson() const;
    static tl::expected<CopyTarget, DecodeError> fromJson(const QJsonObject &object, const QString &context,
                                                          QStringList *warnings = nullptr);
    friend bool operator==(const CopyTarget &, const CopyTarget &) = default;
};
