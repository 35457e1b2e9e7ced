// SPDX-License-Identifier: GPL-3.0-or-later
// Content fingerprints of the copies: written by the run for the files it
// wrote, read back by a check to prove a copy still holds what was copied.
#pragma once

#include "core/model/Error.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <tl/expected.hpp>

#include <optional>
#include <sys/stat.h>

namespace Fingerprints {

// The copy's extended attribute: an inode's, so every day that links to
// the file shares it. rsync's own attribute copying leaves it alone
// (attributeFilter()), so it never reaches a server.
inline constexpr char attribute[] = "user.tidewell.xxh128";
// In the server's folder where the file system stores no user attributes:
// one line per inode, newest last.
inline const QString manifestName = QStringLiteral(".tidewell-fingerprints");

// XXH3-128 of a file's contents, with the size and modification time it
// had: a fast non-cryptographic hash, enough to find a disk's damage (it
// is not a defence against someone who can write the copies).
struct Print
{
    quint64 high = 0;
    quint64 low = 0;
    qint64 size = 0;
    qint64 mtimeSeconds = 0;
    qint64 mtimeNanoseconds = 0;

    // "xxh128:<32 hex digits> <size> <seconds>.<nanoseconds>"
    QByteArray encoded() const;
    static std::optional<Print> decode(QByteArrayView text);
    bool sameContents(const Print &other) const { return high == other.high && low == other.low; }
    // Taken of the file as it is now: the same size and modification time.
    bool describes(const struct stat &info) const
    {
        return size == info.st_size && mtimeSeconds == info.st_mtim.tv_sec && mtimeNanoseconds == info.st_mtim.tv_nsec;
    }
};

// The print in the attribute of the copy at `path` (never through a link),
// when it was taken of the copy as it is now: the same size and
// modification time. None when there is none, or it is older.
std::optional<Print> currentPrint(const QByteArray &path);

// Opens `name` in `folder` to read it, never through a link, and without
// touching its access time where this user may ask that.
int openFile(int folder, const char *name);

// Reads the open file from its start to its end. `forget` tells the kernel
// the data is not needed again (a check of a whole history must not push
// everything else out of the page cache).
tl::expected<Print, Error> compute(int fd, bool forget = false);

// Where a server's prints are kept: each copy's attribute, or the manifest
// beside its days. Not shared between threads.
class Store
{
public:
    // `attributes`: the folder's file system keeps user extended attributes.
    Store(const QString &serverFolder, bool attributes);

    bool usesManifest() const { return !m_attributes; }
    // The print stored for the open file, if any. From the manifest only
    // while the size matches: an inode number is reused once its file is
    // gone, and the new file's print is a later line. (The time is no
    // test: damage does not change it, rsync may set it in place.)
    std::optional<Print> find(int fd, const struct stat &info);
    // Keeps `print` for the file; false when it could not be kept.
    bool keep(int fd, const struct stat &info, const Print &print);
    // The manifest's new lines appended (nothing to do with attributes).
    tl::expected<void, Error> save();

private:
    void loadManifest();

    QString m_manifestPath;
    bool m_attributes = true;
    bool m_loaded = false;
    QHash<quint64, Print> m_manifest;
    QList<QPair<quint64, Print>> m_added;
};

struct Written
{
    qint64 files = 0;
    qint64 bytes = 0;
    qint64 failed = 0;
    QString firstFailure;
};

// Gives every regular file under `newFolder` that has no print and is not
// the very file (a hard link) at the same place under `previousFolder` one.
// Those are the files this run wrote; the others were fingerprinted when
// they were written, or are older than fingerprints and get theirs at the
// first check. Links are never followed.
Written fingerprintNew(const QString &previousFolder, const QString &newFolder, Store &store);

// rsync's --filter rules that keep the attribute out of -X: never sent to
// a server nor taken as a difference from it. `allNamespaces`: this side
// copies every namespace but system (root, or --fake-super); rsync drops
// its default namespace rule once any attribute rule is given.
QStringList attributeFilter(bool allNamespaces);

} // namespace Fingerprints
