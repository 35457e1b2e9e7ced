// SPDX-License-Identifier: GPL-3.0-or-later
// Grouping a file's copies in the snapshots into versions.
#include "core/restore/VersionFinder.h"

#include "core/engine/Fingerprints.h"
#include "core/engine/Snapshots.h"
#include "core/restore/SnapshotMap.h"

#include <QFile>

#include <sys/stat.h>

namespace VersionFinder {

namespace {

// Two copies of the same size and time are one version unless both carry
// a print of their contents and the prints differ (a btrfs day's file
// rewritten in place within the same second). `compared`: both had one.
bool printsAgree(const QString &a, const QString &b, bool &compared)
{
    const auto first = Fingerprints::currentPrint(QFile::encodeName(a));
    const auto second = Fingerprints::currentPrint(QFile::encodeName(b));
    if (!first || !second)
        return true;
    compared = first->sameContents(*second);
    return compared;
}

} // namespace

QList<Version> versionsOf(const Server &server, const QString &serverFolder, const QString &remotePath)
{
    struct Seen
    {
        Version version;
        dev_t device;
        ino_t inode;
        qint64 mtimeNs;
    };
    QList<Seen> seen;
    QList<Snapshots::Backup> backups = Snapshots::list(serverFolder);
    std::reverse(backups.begin(), backups.end()); // oldest first
    for (const Snapshots::Backup &backup : std::as_const(backups)) {
        if (!backup.complete)
            continue;
        const auto local = SnapshotMap::localPathOf(server, backup.path, remotePath);
        struct stat info;
        if (!local || ::lstat(QFile::encodeName(*local).constData(), &info) != 0)
            continue;
        // Whole seconds, as rsync's own quick check compares them.
        const qint64 mtimeNs = qint64(info.st_mtim.tv_sec) * 1000000000;
        const bool isDirectory = S_ISDIR(info.st_mode);
        bool byPrint = false;
        auto same = std::find_if(seen.begin(), seen.end(), [&](const Seen &s) {
            if (s.version.isDirectory != isDirectory)
                return false;
            if (s.device == info.st_dev && s.inode == info.st_ino)
                return true;
            if (isDirectory || s.version.size != qint64(info.st_size) || s.mtimeNs != mtimeNs)
                return false;
            return printsAgree(s.version.localPath, *local, byPrint);
        });
        if (same == seen.end()) {
            Seen fresh{{}, info.st_dev, info.st_ino, mtimeNs};
            fresh.version.size = isDirectory ? 0 : qint64(info.st_size);
            fresh.version.modified = QDateTime::fromMSecsSinceEpoch(mtimeNs / 1000000);
            fresh.version.isDirectory = isDirectory;
            seen << fresh;
            same = seen.end() - 1;
        }
        same->version.byFingerprint = same->version.byFingerprint || byPrint;
        same->version.snapshots << backup.name;
        same->version.localPath = *local;
    }
    QList<Version> versions;
    for (const Seen &s : std::as_const(seen))
        versions << s.version;
    std::sort(versions.begin(), versions.end(),
              [](const Version &a, const Version &b) { return a.lastDate() > b.lastDate(); });
    return versions;
}

} // namespace VersionFinder
