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
// The local file or folder of this snapshot that holds `remotePath`.
std::optional<QString> localPathOf(const Server &server, const QString &snapshotFolder, const QString &remotePath);
// The remote path that `localPath` (in this snapshot) was copied from.
std::optional<QString> remotePathOf(const Server &server, const QString &snapshotFolder, const QString &localPath);

} // namespace SnapshotMap
