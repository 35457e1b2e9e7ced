// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the newest dated backup folders of a server and deletes the rest.
#pragma once

#include "core/model/AppSettings.h"
#include "core/model/Server.h"

#include <QString>
#include <QStringList>

// Keeps the newest dated backup folders of a server and deletes the rest.
namespace Retention {

// The server's folder at the destination ("~" expanded).
QString serverFolder(const QString &destinationPath, const Server &server);
// Keeps the newest retentionCount complete dated folders; deletes older
// complete ones, and incomplete ones older than the newest complete folder.
// Returns the folders deleted, newest first. Never touches files, hidden
// entries or folders not named yyyy-MM-dd; a link to a folder is removed
// as a link, never followed.
QStringList prune(const QString &destinationPath, const Server &server);
// The run log's lines about what prune() deleted.
QStringList report(const QStringList &pruned, qint64 keep);
// After a successful run: prunes when the server keeps a number of dated
// folders and runs make them; returns the log's lines (none otherwise).
QStringList afterRun(const Server &server, const AppSettings &settings);

} // namespace Retention
