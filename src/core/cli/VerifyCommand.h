// SPDX-License-Identifier: GPL-3.0-or-later
// tidewell --verify: the copies of a server read against their fingerprints.
#pragma once

#include "core/cli/EntryPoint.h"

#include <QStringList>
#include <QUuid>

#include <qcoro/qcorotask.h>

#include <atomic>
#include <memory>

class ConfigStore;
class RemoteCheck;

namespace VerifyCommand {

// Reads the chosen days of the server (the newest complete one, one date,
// or all) and says which files are damaged, with every day that holds
// them. Exit 0 when every file read is intact, 1 for damaged or unreadable
// files, 2 for a server, day or configuration that cannot be found, 20
// when the check was stopped (run again to continue).
int verify(const EntryPoint::Options::Verify &request);

// After a scheduled run: today's part of the server's copies (Settings'
// verifyParts), stopped at verifyMinutesPerRun or when `stop` is set. Says
// what it found in the journal and keeps it in the configuration. Returns
// the damaged files found, for the desktop to hear of.
// After a scheduled run, when verifyRemoteEveryDays have passed since the
// last one: the newest complete day read against the server with `check`
// (its cancel() stops it). Says what it found in the journal, keeps when it
// ran, and returns the files that differ silently.
QCoro::Task<QStringList> remoteCheckWhenDue(ConfigStore &store, QUuid serverID, RemoteCheck &check);

QCoro::Task<QStringList> dailyCheck(ConfigStore &store, QUuid serverID, std::shared_ptr<std::atomic_bool> stop);

} // namespace VerifyCommand
