// SPDX-License-Identifier: GPL-3.0-or-later
// Counting what changed between two days, and the held-change marker.
#include "core/engine/MassChange.h"

#include "core/engine/Retention.h"
#include "core/storage/ConfigStore.h"
#include "core/system/FileUtil.h"

#include <QFile>
#include <QJsonDocument>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace MassChange {

namespace {

// Deeper than this, folders are not walked: they are counted as neither
// changed nor unchanged, and no descriptor runs out on a hostile tree.
constexpr int maxDepth = 128;

int openFolder(int parent, const char *name)
{
    return ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool sameFile(const struct stat &before, int after, const char *name)
{
    struct stat now;
    if (after < 0 || ::fstatat(after, name, &now, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(now.st_mode))
        return false;
    if (now.st_dev == before.st_dev && now.st_ino == before.st_ino)
        return true;
    return now.st_size == before.st_size && now.st_mtim.tv_sec == before.st_mtim.tv_sec
           && now.st_mtim.tv_nsec == before.st_mtim.tv_nsec;
}

// `before` is taken over (closed here); `after` stays the caller's (-1: gone).
void walk(int before, int after, int depth, Count &count)
{
    DIR *listing = ::fdopendir(before);
    if (!listing) {
        ::close(before);
        return;
    }
    while (const dirent *entry = ::readdir(listing)) {
        const char *name = entry->d_name;
        if ((name[0] == '.' && name[1] == '\0') || (name[0] == '.' && name[1] == '.' && name[2] == '\0'))
            continue;
        struct stat info;
        if (::fstatat(::dirfd(listing), name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISREG(info.st_mode)) {
            ++count.before;
            if (!sameFile(info, after, name))
                ++count.changed;
        } else if (S_ISDIR(info.st_mode) && depth < maxDepth) {
            const int inner = openFolder(::dirfd(listing), name);
            if (inner < 0)
                continue;
            const int innerAfter = after < 0 ? -1 : openFolder(after, name);
            walk(inner, innerAfter, depth + 1, count);
            if (innerAfter >= 0)
                ::close(innerAfter);
        }
    }
    ::closedir(listing);
}

QString markerPath(const QString &serverFolder)
{
    return serverFolder + u'/' + heldMarker;
}

} // namespace

Count &Count::operator+=(const Count &other)
{
    before += other.before;
    changed += other.changed;
    return *this;
}

Count measure(const QString &previousFolder, const QString &newFolder)
{
    Count count;
    const int before = openFolder(AT_FDCWD, QFile::encodeName(previousFolder).constData());
    if (before < 0)
        return count;
    const int after = openFolder(AT_FDCWD, QFile::encodeName(newFolder).constData());
    walk(before, after, 0, count);
    if (after >= 0)
        ::close(after);
    return count;
}

std::optional<ChangeHold> held(const QString &serverFolder)
{
    QFile file(markerPath(serverFolder));
    if (!file.exists())
        return std::nullopt;
    ChangeHold unknown;
    unknown.day = QStringLiteral("?");
    unknown.since = QStringLiteral("?");
    if (!file.open(QIODevice::ReadOnly))
        return unknown;
    const QJsonDocument document = QJsonDocument::fromJson(file.read(64 * 1024));
    const auto decoded = ChangeHold::fromJson(document.object(), heldMarker);
    return decoded && !decoded->day.isEmpty() ? *decoded : unknown;
}

tl::expected<void, Error> hold(const QString &serverFolder, const ChangeHold &change)
{
    return FileUtil::writeAtomically(markerPath(serverFolder),
                                     QJsonDocument(change.toJson()).toJson(QJsonDocument::Compact) + '\n');
}

tl::expected<bool, Error> release(const QString &serverFolder)
{
    QFile file(markerPath(serverFolder));
    if (!file.exists())
        return false;
    if (!file.remove())
        return tl::unexpected(Error{Error::Code::failed, file.errorString()});
    return true;
}

tl::expected<bool, Error> accept(ConfigStore &store, const QUuid &serverID)
{
    const Server *server = store.settings().server(serverID);
    if (!server)
        return false;
    const bool recorded = server->heldChange.has_value();
    const auto released = release(Retention::serverFolder(store.settings().destinationPath, *server));
    if (!released)
        return tl::unexpected(released.error());
    store.recordHeldChange(serverID, std::nullopt);
    return *released || recorded;
}

} // namespace MassChange
