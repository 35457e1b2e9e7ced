// SPDX-License-Identifier: GPL-3.0-or-later
// tidewell --apply FILE: the configuration made to match a fleet file.
#pragma once

#include <QString>

namespace FleetCommand {

// Makes the configuration match `file`, a configuration in the export's
// form that says how things should be: its settings replace those it names
// (the others stay); each of its servers is the configured server with the
// same id, else the one with the same name, else a new one, and gets the
// members the file gives (the others stay, as does what runs recorded; an
// empty privateKeyPath, as exports write it, keeps the key). A server's
// "paths", when given, are all its paths, matched the same way. Servers the
// file does not hold stay unless `prune`. Dates may be written as ISO 8601.
// Every change is checked as the editor checks; one that would bring a
// problem changes nothing (exit 2). Each change is said on one line
// ("added web-07", "changed db-02: port 22 → 2222", "removed web-09",
// "schedule installed for web-07") and the schedules are made to match.
// Exit 0 (also when nothing had to change: nothing is said then), 1 when a
// schedule could not be installed or removed, 2 for a file or change refused.
// With `check` nothing is changed: the same lines, and exit 1 when something
// would change.
int apply(const QString &file, bool check, bool prune);

} // namespace FleetCommand
