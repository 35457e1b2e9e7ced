// SPDX-License-Identifier: GPL-3.0-or-later
// The exit codes of runs and of the command line.
#pragma once

// What a process, a run or a restore ends with, beside rsync's own statuses.
namespace ExitCode {

inline constexpr int success = 0;
// Something to look at: a failing backup in --status.
inline constexpr int failing = 1;
// Refused before anything ran: a usage error, an unknown server, a request
// that cannot be done as given, a run whose preconditions fail.
inline constexpr int refused = 2;
// A run whose destination could not be made, or whose rsync did not start.
inline constexpr int notStarted = -1;
// Too little free space at the destination (ENOSPC).
inline constexpr int noSpace = 28;
// ssh's own failure (a refused host key).
inline constexpr int sshFailed = 255;
// No verdict (monitoring's UNKNOWN): nothing to watch over, or a
// configuration that could not be read for a while.
inline constexpr int unknown = 3;
// Stopped by the user or a signal, when no rsync status tells more: rsync's
// own status for a transfer stopped by a signal.
inline constexpr int cancelled = 20;
// An attempt Tidewell ended because nothing moved for the I/O time-out:
// rsync's own "timeout in data send/receive", retried.
inline constexpr int stalled = 30;
// Did not start because the server is being backed up (or restored) elsewhere.
inline constexpr int alreadyRunning = 75;

} // namespace ExitCode
