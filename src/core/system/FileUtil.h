// SPDX-License-Identifier: GPL-3.0-or-later
// Atomic writes, folder creation and free space.
#pragma once

#include <QByteArray>
#include <QString>

#include <tl/expected.hpp>

#include <optional>

// File operations that either complete or report why not.
namespace FileUtil {

// Replaces the file as a whole: readers see the old or the new content, never
// a part. On failure the old file stays as it was.
tl::expected<void, QString> writeAtomically(const QString &path, const QByteArray &bytes);
// Removes what writeAtomically() left of `path` when its process was killed
// mid-write. Only for callers that hold the lock every writer of `path` holds.
void removeStaleTemporaries(const QString &path);
// Creates the folder and its parents; an existing folder is fine.
tl::expected<void, QString> makeFolder(const QString &path);

// Deletes the file or folder with everything in it; a link is removed, never
// followed. Nothing there is fine.
tl::expected<void, QString> removeTree(const QString &path);
// Swaps two existing entries of the same file system in one step where the
// file system can (renameat2 with RENAME_EXCHANGE); false when it cannot,
// with nothing changed.
tl::expected<bool, QString> exchange(const QString &first, const QString &second);
// rename(2): replaces nothing but an empty folder or a file.
tl::expected<void, QString> rename(const QString &from, const QString &to);

// Free space of the volume holding the folder, in GB of 2^30 bytes.
std::optional<double> freeSpaceGB(const QString &folder);

} // namespace FileUtil
