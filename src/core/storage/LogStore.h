// SPDX-License-Identifier: GPL-3.0-or-later
// The log file of each server's last run and the folder that holds it.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

// The per-server log file of the last run, and the folder that holds it.
namespace LogStore {

// Created on every call; a failure to create it is ignored.
QString directory();
QString logFile(const QUuid &serverID);
// The log of the server's last restore, beside the backup log.
QString restoreLogFile(const QUuid &serverID);
// Replaces the server's log file atomically; errors are ignored.
void save(const QUuid &serverID, const QString &header, const QStringList &lines);
// The same for the restore log.
void saveRestore(const QUuid &serverID, const QString &header, const QStringList &lines);
// Lines added to the end of the server's last run log (what followed the
// run: its second copies); nothing when there is no log.
void append(const QUuid &serverID, const QStringList &lines);

QString statusWord(bool wasCancelled, std::optional<int> exitCode);
// "yyyy-MM-dd HH:mm:ss Z" in local time, for example "2025-01-31 02:00:05 +0100".
QString timeStamp(const QDateTime &time);
QString header(const QDateTime &startedAt, const QDateTime &finishedAt, const QString &status);
// The same, opening with "# Tidewell restore log".
QString restoreHeader(const QDateTime &startedAt, const QDateTime &finishedAt, const QString &status);

} // namespace LogStore
