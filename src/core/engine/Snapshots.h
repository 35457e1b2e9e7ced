// SPDX-License-Identifier: GPL-3.0-or-later
// A server's dated backup folders: which are complete, and which one the next run links to.
#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// With one folder per day, each run writes a dated folder ("yyyy-MM-dd")
// under the server's folder. A marker file at the top of that folder says a
// run is writing it or did not finish; only a whole successful run removes
// it. Folders made before markers existed count as complete. Listing reads
// names and markers only, never the trees.
namespace Snapshots {

inline const QString incompleteMarker = QStringLiteral(".tidewell-incomplete");

struct Backup
{
    QString name; // yyyy-MM-dd
    QString path;
    bool complete = true;
};

// Dated folders of the server folder, newest first: hidden entries, files
// and other names left out; a link to a folder counts as a folder.
QList<Backup> list(const QString &serverFolder);
// The newest complete folder dated before `today`: what unchanged files of
// today's run are hard-linked to.
std::optional<Backup> linkBase(const QString &serverFolder, const QDate &today);

void markIncomplete(const QString &runFolder);
void markComplete(const QString &runFolder);

} // namespace Snapshots
