// SPDX-License-Identifier: GPL-3.0-or-later
// What each copy target holds of each server, as the last copies left it.
#pragma once

#include "core/model/AppSettings.h"
#include "core/model/Error.h"

#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QMap>
#include <QString>
#include <QUuid>

#include <optional>
#include <tl/expected.hpp>

// Kept in the data folder, one file per target ("copies/<id>.json"), written
// atomically by the copy that holds the target's lock; read by anyone. It
// lets status tell how far behind a target is without reaching it, and a
// copy tell a day the destination made again (a second run of that day)
// from the day it copied before.
namespace CopyState {

struct ServerCopy
{
    // Day → what the destination's folder of that day was when it was copied.
    QMap<QString, QString> days;
    std::optional<QDateTime> lastAttempt;
    std::optional<QDateTime> lastSuccess;
    QString lastError; // empty: the last copy succeeded
    // The newest day copied; empty: none yet.
    QString newestDay() const { return days.isEmpty() ? QString() : days.lastKey(); }
    friend bool operator==(const ServerCopy &, const ServerCopy &) = default;
};

using State = QHash<QUuid, ServerCopy>;

// Where the state files are; a watcher sees each save there.
QString folder();
QString file(const QUuid &targetID);
// An unreadable or missing file is an empty state: copies then go by what
// the target holds.
State load(const QUuid &targetID);
tl::expected<void, Error> save(const QUuid &targetID, const State &state);
// Which folder a path is now ("device:inode"); a second run of a day swaps
// in a new folder, so the text changes. Empty when it cannot be read.
QString identity(const QString &folder);

// How far a target is behind the destination for one server.
struct Lag
{
    QString target;        // the target's name
    QString newestDay;     // copied there; empty: none yet
    qint64 daysBehind = 0; // from newestDay to the destination's newest complete day
    QString lastError;
    friend bool operator==(const Lag &, const Lag &) = default;
};
// From the target's state file and the destination's listing (the target
// is not reached).
Lag lag(const CopyTarget &target, const AppSettings &settings, const Server &server);
// The same for every enabled target that takes the server.
QList<Lag> lags(const AppSettings &settings, const Server &server);
// [{"target", "newestDay" (or null), "daysBehind", "behind" (from
// `overdueDays` days on), "lastError" (or null)}], as status and reports say it.
QJsonArray lagsJson(const QList<Lag> &lags, qint64 overdueDays);

} // namespace CopyState
