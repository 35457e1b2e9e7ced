// SPDX-License-Identifier: GPL-3.0-or-later
// Atomic writes, folder creation and free space.
#pragma once

#include "core/model/Error.h"
#include "core/system/Descriptor.h"

#include <QByteArray>
#include <QString>

#include <tl/expected.hpp>

#include <optional>

// File operations that either complete or report why not.
namespace FileUtil {

// Who may read a file that writeAtomically() writes.
enum class Access {
    ownerOnly, // 0600 whatever the umask: settings and logs may hold secrets
    shared,    // as the umask allows (unit files, which hold none)
};

// Replaces the file as a whole: readers see the old or the new content, never
// a part. On failure the old file stays as it was.
tl::expected<void, Error> writeAtomically(const QString &path, const QByteArray &bytes,
                                          Access access = Access::ownerOnly);
// Removes what writeAtomically() left of `path` when its process was killed
// mid-write. Only for callers that hold the lock every writer of `path` holds.
void removeStaleTemporaries(const QString &path);
// The whole file, when it is a regular file (a link to one is followed);
// none when nothing is there. A FIFO, a device or a folder in its place is
// an error, found without blocking on it; so is a file larger than
// `maxBytes` (when not negative), which is not read.
tl::expected<std::optional<QByteArray>, Error> readRegularFile(const QString &path, qint64 maxBytes = -1);
// Creates the folder (and its parents) for this user alone (0700 whatever
// the umask; an existing folder of this user is made so).
tl::expected<void, Error> makePrivateFolder(const QString &path);
// makePrivateFolder() that says whether an existing folder was tightened:
// the mode it had then, none when it was private already or new.
tl::expected<std::optional<unsigned>, Error> makeFolderPrivate(const QString &path);
// Creates the folder and its parents; an existing folder is fine.
tl::expected<void, Error> makeFolder(const QString &path);
// The folder at `path` when it exists, otherwise the nearest one above it
// that does ("/" at the end).
QString nearestExistingFolder(const QString &path);

// The folder at `path`, opened by descriptor one name at a time from "/":
// a link on the way is followed only when it belongs to this user or to
// root (another user's could lead anywhere); with `create`, missing folders
// are made (as the umask allows). Anything else in the way is an error.
tl::expected<Descriptor, Error> openFolder(const QString &path, bool create);
// The folder `name` of the open folder `parent`, never through a link.
tl::expected<Descriptor, Error> openFolderAt(int parent, const QByteArray &name);
// removeTree() of the entry `name` of the open folder `parent`.
tl::expected<void, Error> removeTreeAt(int parent, const QByteArray &name);

// Deletes the file or folder with everything in it; a link is removed, never
// followed. Read-only folders are made writable first, and immutable flags
// cleared where the process may. Nothing there is fine. The error names the
// first reason and how many entries are left ("Permission denied (3 entries)").
tl::expected<void, Error> removeTree(const QString &path);
// Swaps two existing entries of the same file system in one step where the
// file system can (renameat2 with RENAME_EXCHANGE); false when it cannot,
// with nothing changed.
tl::expected<bool, Error> exchange(const QString &first, const QString &second);
// rename(2): replaces nothing but an empty folder or a file.
tl::expected<void, Error> rename(const QString &from, const QString &to);

// Free space of the volume holding the folder, in GB of 2^30 bytes.
std::optional<double> freeSpaceGB(const QString &folder);

} // namespace FileUtil
