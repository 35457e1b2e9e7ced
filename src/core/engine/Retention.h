// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the newest dated backup folders of a server and deletes the rest.
#pragma once

#include "core/engine/Snapshots.h"
#include "core/model/AppSettings.h"
#include "core/model/Server.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// Keeps the newest dated backup folders of a server and deletes the rest.
namespace Retention {

// The server's folder at the destination ("~" expanded).
QString serverFolder(const QString &destinationPath, const Server &server);

struct Failure
{
    QString name; // the dated folder's name
    QString error;
};

struct Outcome
{
    QList<Failure> failed;   // folders that could not be deleted (wholly)
    QStringList deleted;     // folders deleted, newest first
    QStringList ignored;     // names dated after now, never touched
    QStringList keptWeekly;  // names kept by the weekly rule alone
    QStringList keptMonthly; // names kept by the monthly rule alone
};

// With retentionCount of 1 or more: keeps the newest complete snapshot of
// each of the newest retentionCount days that have one (with a snapshot a
// day, the newest retentionCount), and besides them the newest complete
// snapshot of each of the last keepHourly clock hours, keepWeekly ISO weeks
// and keepMonthly calendar months (this hour, week and month included);
// deletes older complete ones, and incomplete ones older than the newest
// complete snapshot. The snapshot a run starting `now` makes, the newest
// complete one and those dated after `now` (a clock that was wrong, or is)
// are never deleted. Never touches files, hidden entries or folders not
// named as snapshots; a link to a folder is removed as a link, never followed.
// A folder is renamed out of the list before it is deleted, so one that
// could not be deleted wholly is never taken for a snapshot; the next prune
// tries again.
// `serverFolder` is serverFolder() of the destination.
Outcome prune(const QString &serverFolder, const Server &server, const QDateTime &now);
// The same with a retentionCount of 0 taken as "only what the weekly and
// monthly rules keep, and the newest" (a second copy that keeps months only).
Outcome pruneAsDecided(const QString &serverFolder, const Server &server, const QDateTime &now);

// What prune() decides for a listing (newest first), wherever it lies.
struct Decision
{
    QList<Snapshots::Backup> doomed; // to delete, newest first
    QStringList ignored;
    QStringList keptWeekly;
    QStringList keptMonthly;
};
Decision decide(const QList<Snapshots::Backup> &backups, const Server &server, const QDateTime &now);
// The run log's lines about what prune() did.
QStringList report(const Outcome &outcome, const Server &server);
struct AfterRun
{
    QStringList lines; // for the run log
    qsizetype failures = 0;
};
// After a successful run: prunes when the server keeps a number of dated
// folders and runs make them; returns the log's lines (none otherwise).
AfterRun afterRun(const QString &serverFolder, const Server &server, const AppSettings &settings, const QDateTime &now);

} // namespace Retention
