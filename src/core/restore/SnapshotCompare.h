// SPDX-License-Identifier: GPL-3.0-or-later
// What changed between two snapshots of a server.
#pragma once

#include "core/model/Server.h"

#include <QList>
#include <QString>

#include <atomic>

// The files added, removed and changed from one snapshot to a later one. A
// file is changed when the two copies are different files (not the same
// inode, as hard-linked unchanged files are) and differ in size or
// modification time (whole seconds, as rsync's quick check), or in the
// content fingerprints both copies carry (btrfs days share no inodes, and
// a file rewritten in place may keep its size and second); contents are
// never read. Symbolic links count as files.
namespace SnapshotCompare {

struct Change
{
    enum class Kind { added, removed, changed };
    Kind kind;
    QString remotePath; // or the path inside the snapshot for a folder no path writes to
    QString root;       // the top-level entry it is under (its remote path)
};

struct RootCounts
{
    QString root;
    int added = 0;
    int removed = 0;
    int changed = 0;
};

struct Result
{
    QList<Change> changes; // sorted by path
    QList<RootCounts> counts;
    int filesCompared = 0;
    // Of those, the pairs on two file systems or subvolumes (days on btrfs),
    // which no hard link joins: compared by size and time; and the pairs
    // whose fingerprints were compared.
    int bySizeAndTime = 0;
    int byFingerprint = 0;
    bool cancelled = false;
};

// Blocking; run it with Background::run(). `stop` ends it early.
Result compare(const Server &server, const QString &olderSnapshot, const QString &newerSnapshot,
               const std::atomic<bool> *stop = nullptr);

} // namespace SnapshotCompare
