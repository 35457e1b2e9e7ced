// SPDX-License-Identifier: GPL-3.0-or-later
// Where a snapshot's files came from on the server, and back.
#pragma once

#include "core/model/Server.h"

#include <QList>
#include <QString>

#include <optional>

// A snapshot holds one folder per path of the server (its name made safe):
// a folder path's contents, or a file path's one file inside it. This maps
// those local files to the remote paths they were copied from, and back,
// with the server's paths as they are configured now.
namespace SnapshotMap {

struct Root
{
    QString localPath;  // the path's folder, or for a file path the file in it
    QString remotePath; // as configured (no trailing "/"); empty when unknown
    QString name;       // the path's name, or the folder's for an unknown one
    bool isDirectory = true;
    // A folder of the snapshot that no path of today's settings writes to.
    bool known = true;
};

// Remote paths without the "/" that marks a folder (but "/" itself).
QString normalized(const QString &remotePath);
// The snapshot's top-level entries, in the server's path order, then unknown folders.
QList<Root> roots(const Server &server, const QString &snapshotFolder);
struct Resolved
{
    QString localPath;
    QString remotePath; // of localPath
    // A link of the snapshot lies on the way to the path asked for: the
    // result is that link (restored as a link, never followed here).
    bool throughLink = false;
};
// The local file or folder of this snapshot that holds `remotePath`, found
// without following a link of the snapshot; none when no path of the
// server holds it. (It need not exist.)
std::optional<Resolved> resolve(const Server &server, const QString &snapshotFolder, const QString &remotePath);
// resolve()'s local path when no link lies on the way; none otherwise.
std::optional<QString> localPathOf(const Server &server, const QString &snapshotFolder, const QString &remotePath);
// The remote path that `localPath` (in this snapshot) was copied from.
std::optional<QString> remotePathOf(const Server &server, const QString &snapshotFolder, const QString &localPath);

} // namespace SnapshotMap
