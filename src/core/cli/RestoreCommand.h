// SPDX-License-Identifier: GPL-3.0-or-later
// Listing backups and restoring from the command line.
#pragma once

#include "core/cli/EntryPoint.h"

#include <QDate>
#include <QUuid>

#include <optional>

// tidewell --list-backups, --restore and --verify-remote: for backup hosts without
// a desktop. Each prints what it did (errors on standard error, one line
// each) and returns the exit status.
namespace RestoreCommand {

// `server`: an id or a name (see ServerReference).
int listBackups(const QString &server, bool asJson, const QString &from = QString());
// Needs a QCoreApplication: a restore to the server runs on its event loop.
int restore(const EntryPoint::Options::Restore &request);
// tidewell --verify-remote: the newest complete day (or `day`) read against
// the server (see RemoteCheck). Exit 0 when it agrees, 1 when a file differs
// though its size and time agree, 2 refused, rsync's status otherwise.
int verifyRemote(const QString &server, const std::optional<QString> &day);

} // namespace RestoreCommand
