// SPDX-License-Identifier: GPL-3.0-or-later
// Listing backups and restoring from the command line.
#pragma once

#include "core/cli/EntryPoint.h"

#include <QUuid>

// tidewell --list-backups and tidewell --restore: for backup hosts without
// a desktop. Each prints what it did (errors on standard error, one line
// each) and returns the exit status.
namespace RestoreCommand {

// `server`: an id or a name (see ServerReference).
int listBackups(const QString &server, bool asJson);
// Needs a QCoreApplication: a restore to the server runs on its event loop.
int restore(const EntryPoint::Options::Restore &request);

} // namespace RestoreCommand
