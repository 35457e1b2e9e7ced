// SPDX-License-Identifier: GPL-3.0-or-later
// Where Tidewell keeps its files; tilde expansion for user paths.
#pragma once

#include <QString>
#include <QUuid>

// Where Tidewell keeps its files, and the "~" expansion used for every
// user-entered path.
namespace AppPaths {

// First XDG data location + "/Tidewell".
QString dataFolder();
QString configFile();
// Held by the run of that server, in whatever process runs it.
QString runLockFile(const QUuid &serverID);
// Written by `tidewell --pause` beside the run lock before it signals the
// run's process (SIGUSR1): which of that process's runs is to pause.
QString pauseRequestFile(const QUuid &serverID);
// "~" → home folder, "~user" → that user's home folder; anything else unchanged.
QString expandTilde(const QString &path);
// The user's home folder as the process sees it ($HOME).
// One of the slots backups take to run (see AppSettings::maxConcurrentRuns).
QString runSlotFile(int slot);
QString homeFolder();
// "$XDG_RUNTIME_DIR/tidewell" (the user's runtime folder, gone at logout and
// at a reboot), or under /run/user/<uid> when the variable is not set;
// empty when this user has no runtime folder.
QString runtimeFolder();

} // namespace AppPaths
