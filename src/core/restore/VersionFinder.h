// SPDX-License-Identifier: GPL-3.0-or-later
// Every version of one remote file that the snapshots hold.
#pragma once

#include "core/model/Server.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The versions of one remote path across a server's snapshots. Snapshots
// that hold the same file (hard-linked: the same inode), or a file of the
// same size and modification time whose fingerprints, where both copies
// carry one, agree, hold one version.
namespace VersionFinder {

struct Version
{
    QStringList snapshots; // dates, oldest first
    QString localPath;     // the copy in the newest of them
    qint64 size = 0;
    QDateTime modified;
    bool isDirectory = false;
    // Copies that are different files were found the same by their content
    // fingerprints, besides size and time (days that share no inodes).
    bool byFingerprint = false;

    QString firstDate() const { return snapshots.isEmpty() ? QString() : snapshots.first(); }
    QString lastDate() const { return snapshots.isEmpty() ? QString() : snapshots.last(); }
};

// Newest version first; complete snapshots only.
QList<Version> versionsOf(const Server &server, const QString &serverFolder, const QString &remotePath);

} // namespace VersionFinder
