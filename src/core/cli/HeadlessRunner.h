// SPDX-License-Identifier: GPL-3.0-or-later
// The headless mode: one backup of one server, then the process ends with its code.
#pragma once

#include <QString>
#include <QUuid>

// A backup of one server without any window, as a daily schedule starts it.
namespace HeadlessRunner {

// The longest a finished run waits for the desktop to take its notification.
constexpr int exitPauseMs = 300;

// Runs the backup in a QCoreApplication event loop and returns its exit
// status (2 for an unknown server, else the run's exit code, 0 when unset) as
// soon as it has ended and its notification has been answered, or after
// exitPauseMs without an answer. `server` is an id or a name (see ServerReference).
int exec(const QString &server);

// Where a run notes that it started and has not reported yet.
QString unreportedMarker(const QUuid &serverID);
// tidewell --report-failure: when the server's last scheduled run started
// and never reported (killed, crashed), sends its failure reports now; 0
// either way.
int reportFailure(const QString &server);

} // namespace HeadlessRunner
