// SPDX-License-Identifier: GPL-3.0-or-later
// tidewell --run-overdue: the backups that are due when the drive appears.
#pragma once

namespace DriveCommand {

// Starts the scheduled backup of every server that is due
// (ServerRules::isDueWhenDriveConnected) through its own service, which
// does nothing more when it runs already; one line each, or one saying
// nothing is due. What org.tidewell.drive.service starts when the backup
// drive is mounted. Exit 0, 2 when the configuration cannot be read, 1 when
// a backup could not be started.
int runOverdue();

} // namespace DriveCommand
