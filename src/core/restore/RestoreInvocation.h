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
// ".tidewell-replaced-<yyyyMMdd-HHmmss>" folder of the folder it writes
// into; it never deletes anything there.
namespace RestoreInvocation {

struct Item
{
    QString localPath;
    QString remotePath;
    bool isDirectory = false;
};

// The remote folder the item is written into.
QString remoteFolder(const Item &item, const std::optional<QString> &otherFolder);
// Where replaced files of that folder are kept.
QString replacedFolder(const Item &item, const std::optional<QString> &otherFolder, const QDateTime &stamp);
// The item's full remote path after the restore.
QString destinationPath(const Item &item, const std::optional<QString> &otherFolder);
QStringList arguments(const Server &server, const Item &item, const std::optional<QString> &otherFolder,
                      const AppSettings &settings, const RsyncProbe &probe, const QDateTime &stamp, bool dryRun);

} // namespace RestoreInvocation
