// SPDX-License-Identifier: GPL-3.0-or-later
// The rsync command line that puts one item back on its server.
#pragma once

#include "core/engine/RsyncProbe.h"
#include "core/model/AppSettings.h"
#include "core/model/Server.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// One item of a restore to the server: a file or folder of a snapshot and
// the remote path it was copied from. It goes back to that path, or into
// another remote folder (under its own name there), with exactly the
// server's transfer settings. Files it replaces stay on the server, in a
// folder of the folder it writes into whose name is unique per restore
// (replacedName()); it never deletes anything there.
namespace RestoreInvocation {

struct Item
{
    QString localPath;
    QString remotePath;
    bool isDirectory = false;
};

// ".tidewell-replaced-yyyyMMdd-HHmmss-zzz-xxxx": the time of the restore to
// the millisecond and four random hex digits, so no two restores share one.
QString replacedName(const QDateTime &stamp, quint32 random);
// Where one item goes on the server, every path normalized once.
struct Placement
{
    QString localPath;
    bool isDirectory = false;
    QString destination; // the item's full remote path after the restore
    QString folder;      // the remote folder it is written into
};
Placement place(const Item &item, const std::optional<QString> &otherFolder);
// Where replaced files of the placement's folder are kept, for the folder name `name`.
QString replacedFolder(const Placement &placement, const QString &name);

// What every push of one restore shares, worked out once: the server's
// transfer settings and the restore's own options.
struct Push
{
    QStringList leading;  // before the folder that keeps what is replaced
    QStringList trailing; // after it, before source and destination
    Server server;
};
// `makeFolders`: rsync makes the folders the item goes into (--mkpath,
// rsync 3.2.3 on both sides), for a server whose rsync runs through sudo.
Push push(const Server &server, const AppSettings &settings, const RsyncProbe &probe, bool dryRun, bool makeFolders);
// The push of one item; `replaced` is the name of the folder that keeps what
// it replaces, given to rsync relative to the folder the item is written
// into, so no remote path reaches rsync's option values.
QStringList arguments(const Push &push, const Placement &placement, const QString &replaced);
// Whether this side's rsync can make them (--mkpath).
bool canMakeFolders(const RsyncProbe &probe);

} // namespace RestoreInvocation
