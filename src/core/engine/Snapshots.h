// SPDX-License-Identifier: GPL-3.0-or-later
// A server's dated backup folders: which are complete, and where the next run writes.
#pragma once

#include "core/model/Error.h"
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <tl/expected.hpp>

#include <optional>

// With one folder per day, each run writes a dated folder ("yyyy-MM-dd")
// under the server's folder; a server backed up more than once a day writes
// one per run ("yyyy-MM-dd_HHmm", local time). Both forms sort by name from
// oldest to newest, a day's name before the timed ones of that day. A marker file at the top of that folder says a
// run is writing it or did not finish; only a whole successful run removes
// it. Folders made before markers existed count as complete. Listing reads
// names and markers only, never the trees.
//
// A complete snapshot is never written into again: a second run on the same
// day writes a fresh hidden folder beside it (unchanged files linked to it)
// and swaps the two only when that run has succeeded.
namespace Snapshots {

inline const QString incompleteMarker = QStringLiteral(".tidewell-incomplete");
// Where a second run of a day writes, beside that day's complete snapshot.
inline const QString rerunPrefix = QStringLiteral(".tidewell-rerun-");
// A day's earlier snapshot on its way out, once a second run has replaced it.
inline const QString replacedPrefix = QStringLiteral(".tidewell-replaced-");
// A dated folder that retention is deleting.
inline const QString deletingPrefix = QStringLiteral(".tidewell-deleting-");

struct Backup
{
    QString name; // yyyy-MM-dd or yyyy-MM-dd_HHmm
    QString path;
    bool complete = true;
};

QString dayName(const QDate &day);
// "yyyy-MM-dd_HHmm" of `time` in local time.
QString timedName(const QDateTime &time);
// Whether `name` is a snapshot's name of either form, with a real date and time.
bool isSnapshotName(const QString &name);
// The local time a name stands for (a day's name: its midnight); invalid
// for any other name.
QDateTime timeOf(const QString &name);
QDate dateOf(const QString &name);
// Whether the snapshot `name` is what `request` names: the same name, or
// for a day's name ("yyyy-MM-dd") any snapshot of that day.
bool isOf(const QString &name, const QString &request);
// The name of a run that starts at `now`: the timed form when the server is
// backed up several times a day, or when its folder already holds a timed
// snapshot of that day (so that the day's snapshots keep their order);
// otherwise the day's name.
QString runName(const QString &serverFolder, const QDateTime &now, bool severalADay);

// Dated folders of the server folder, newest first: hidden entries, files
// and other names left out; a link to a folder counts as a folder.
QList<Backup> list(const QString &serverFolder);
// The newest complete folder named before `run` (the run's name): what
// unchanged files of the run are hard-linked to. Later folders never are.
std::optional<Backup> linkBase(const QString &serverFolder, const QString &run);

// Where one run of a server writes.
struct Target
{
    QString folder;      // the dated folder the run makes or finishes
    QString writeFolder; // where rsync writes: `folder`, or beside it when that is complete
    // The earlier copy unchanged files come from: the previous complete day,
    // or for a second run of a day that day's complete snapshot.
    std::optional<Backup> base;
    // An interrupted earlier day newer than `base` (a first copy cut off):
    // what it holds is taken from it too, never sent again. Never counted
    // as complete for that.
    std::optional<Backup> partial;
    bool replacesComplete() const { return writeFolder != folder; }
};
// `link`: whether the previous day's snapshot may be a base at all.
// `run`: the run's name (runName()).
Target target(const QString &serverFolder, const QString &run, bool link);

// Puts back what a run killed between the two steps of a swap left behind,
// and removes hidden work folders of other runs than `run` (the run's name;
// empty: of any run). Returns what it did, for the diagnostic log.
QStringList recover(const QString &serverFolder, const QString &run);
// After a successful second run of a day: the new copy takes the dated name,
// and the earlier one is deleted. On failure the earlier copy keeps its name.
tl::expected<void, Error> replace(const Target &target);

void markIncomplete(const QString &runFolder);
void markComplete(const QString &runFolder);
// A paused run's folder: incomplete, with a marker that says so.
void markPaused(const QString &runFolder);
bool isPaused(const QString &folder);
// Before a run named `run`: when the newest snapshot is a paused run's
// (and nothing has the run's name yet), that folder takes the run's name,
// and the run goes on in it. Returns the log's line about it.
QStringList resumePaused(const QString &serverFolder, const QString &run);

} // namespace Snapshots
