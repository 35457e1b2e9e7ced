// SPDX-License-Identifier: GPL-3.0-or-later
// The headless mode: one backup of one server, then the process ends with its code.
#pragma once

#include <QUuid>

#include <qcoro/qcorotask.h>

// A backup of one server without any window, as a daily schedule starts it.
namespace HeadlessRunner {

// The exit status: 2 for an unknown server, else the run's exit code (0 when unset).
QCoro::Task<int> run(QUuid serverID);
// Runs the backup in a QCoreApplication event loop and exits 0.3 s after it ends.
int exec(const QUuid &serverID);

} // namespace HeadlessRunner
