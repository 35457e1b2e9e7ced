// SPDX-License-Identifier: GPL-3.0-or-later
// btrfs subvolumes: what a folder is, and making, protecting and deleting them.
#pragma once

#include "core/model/Error.h"

#include <QString>

#include <tl/expected.hpp>

// The few btrfs operations a snapshot needs, through Debian's libbtrfsutil.
// A snapshot of a subvolume is made at once whatever it holds and shares
// all its data until either side changes.
namespace Btrfs {

// Whether `path` is on a btrfs file system; a path that does not exist yet
// is judged by the nearest folder above it that does.
bool isBtrfs(const QString &path);
// Whether `path` is the top folder of a subvolume (a snapshot is one).
bool isSubvolume(const QString &path);
// The same for the entry `name` of the open folder `parent`.
bool isSubvolumeAt(int parent, const char *name);

// A new empty subvolume at `path`, whose parent exists.
tl::expected<void, Error> createSubvolume(const QString &path);
// A writable snapshot of the subvolume `source` at `path`.
tl::expected<void, Error> snapshot(const QString &source, const QString &path);
tl::expected<void, Error> setReadOnly(const QString &path, bool readOnly);
bool isReadOnly(const QString &path);
// Makes the subvolume `name` of `parent` writable and deletes it where the
// kernel lets this user (root, or a file system mounted with
// user_subvol_rm_allowed). False when it did not: the caller empties it and
// removes it with rmdir, as an empty subvolume's owner may.
bool deleteSubvolumeAt(int parent, const char *name);
// Whether this user can make a subvolume in `folder` (an existing folder)
// and remove it again: tried with a hidden one that is removed at once.
bool canMakeSubvolumes(const QString &folder);

} // namespace Btrfs
