// SPDX-License-Identifier: GPL-3.0-or-later
// tidewell --export and --import: the window's export and import, headless.
#pragma once

#include <QString>

namespace ConfigCommand {

// Writes every server and setting as JSON to `path`, as Settings' Export
// does (key paths, last runs and report addresses left out). Exit 0, or 2
// with the reason.
int exportTo(const QString &path);

// Reads `path` as Settings' Import does. The import replaces the whole
// configuration and makes the schedules match, so it needs `replace` (the
// window's confirmation); without it, or with `dryRun`, it says what the file
// holds and what would change, and changes nothing. One line per server
// added, replaced or removed, then the import's status line. Exit 0; 2 for a
// file that cannot be read or an import not confirmed; 1 when the servers
// are in but some schedules could not be installed.
int importFrom(const QString &path, bool replace, bool dryRun);

// Removes the server from the configuration and its daily schedule from the
// user manager, as the window's Delete does; its backups stay where they
// are. One line for each; exit 0, 2 for a server or configuration that
// cannot be found, 1 when the schedule could not be removed.
int removeServer(const QString &reference);

} // namespace ConfigCommand
