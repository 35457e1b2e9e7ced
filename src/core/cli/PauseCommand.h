// SPDX-License-Identifier: GPL-3.0-or-later
// tidewell --pause SERVER: pausing a backup that runs in another process.
#pragma once

#include <QString>

namespace PauseCommand {

// Asks the process that runs the server's backup (a scheduled run, or the
// window) to pause it (SIGUSR1, with the server named in its pause request
// file), and waits up to a minute for the run to end. Exit 0 when it paused
// (or was asked to and is ending), 1 when no backup of the server runs (or
// what holds its lock is a copy or a restore, which do not pause), 2 for an
// unknown server or a configuration that cannot be read.
int pause(const QString &reference);

} // namespace PauseCommand
