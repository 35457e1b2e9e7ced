// SPDX-License-Identifier: GPL-3.0-or-later
// A server's dated backup folders: which are complete, and where the next run writes.
#pragma once

#include "core/model/Error.h"
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <tl/expected.hpp>

#include <optional>

// With one folder per day, each run writes a dated folder ("yyyy-MM-dd")
// under the server's folder. A marker file at the top of that folder says a
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
    QString name; // yyyy-MM-dd
    QString path;
    bool complete = true;
};

QString dayName(const QDate &day);

// Dated folders of the server folder, newest first: hidden entries, files
// and other names left out; a link to a folder counts as a folder.
QList<Backup> list(const QString &serverFolder);
// The newest complete folder dated before `today`: what unchanged files of
// today's run are hard-linked to. Folders dated after today never are.
std::optional<Backup> linkBase(const QString &serverFolder, const QDate &today);

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
Target target(const QString &serverFolder, const QDate &today, bool link);

// Puts back what a run killed between the two steps of a swap left behind,
// and removes hidden work folders of other days. Returns what it did, for
// the diagnostic log.
QStringList recover(const QString &serverFolder, const QDate &today);
// After a successful second run of a day: the new copy takes the dated name,
// and the earlier one is deleted. On failure the earlier copy keeps its name.
tl::expected<void, Error> replace(const Target &target);

void markIncomplete(const QString &runFolder);
void markComplete(const QString &runFolder);

} // namespace Snapshots
