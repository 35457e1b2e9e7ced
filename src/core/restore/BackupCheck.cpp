// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a server's copies once each and comparing them with their fingerprints.
#include "core/restore/BackupCheck.h"

#include "core/engine/Fingerprints.h"
#include "core/engine/OutputDecoder.h"
#include "core/engine/Snapshots.h"
#include "core/system/Btrfs.h"
#include "core/system/Descriptor.h"
#include "core/system/FileUtil.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace BackupCheck {

namespace {

constexpr int maxDepth = 128;
// How often the place is written down, and progress told.
constexpr int saveEveryMs = 2000;
constexpr int progressEveryMs = 500;
// How many files ahead of the one being read the kernel is asked to fetch.
constexpr size_t readAhead = 16;
// Of each: its start (a large file is read ahead by the kernel as it goes).
constexpr off_t readAheadBytes = 4 << 20;

using Key = std::pair<dev_t, ino_t>;

// A copy in a btrfs snapshot day is the copy of the day it was made from
// while nothing has touched its inode since: each subvolume is a device of
// its own, but the snapshot keeps the inode number, size and times, and any
// write, change of mode or attribute moves the change time.
using SharedKey = std::tuple<ino_t, off_t, qint64, qint64>;

qint64 nanoseconds(const struct timespec &time)
{
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}

SharedKey sharedKey(const struct stat &info)
{
    return SharedKey(info.st_ino, info.st_size, nanoseconds(info.st_mtim), nanoseconds(info.st_ctim));
}

struct Item
{
    Key key;
    int day = 0;
    bool inSnapshot = false;
    QByteArray relative; // below the day's folder
};

struct Walk
{
    std::set<Key> seen;
    std::set<SharedKey> shared; // of the copies in snapshot days
    std::vector<Item> items;
};

bool inPart(ino_t inode, const Options &options)
{
    if (options.parts <= 1)
        return true;
    // Spread neighbouring inode numbers over the parts.
    const quint64 mixed = (quint64(inode) * 0x9E3779B97F4A7C15ULL) >> 17;
    const int part = int(mixed % quint64(options.parts));
    return part >= options.first && part < options.first + options.count;
}

bool isOwnEntry(const char *name, int depth)
{
    // Tidewell's own files beside the copies (markers, the manifest, this
    // check's place) when a server keeps no dated folders.
    return depth == 0 && std::strncmp(name, ".tidewell-", 10) == 0;
}

std::vector<QByteArray> sortedNames(DIR *listing)
{
    std::vector<QByteArray> names;
    while (const dirent *entry = ::readdir(listing)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        names.emplace_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Visits every regular file below `folder` (taken over) in name order.
template<typename Visit>
void walkFiles(int folder, const QByteArray &relative, int depth, const Visit &visit)
{
    DIR *listing = ::fdopendir(folder);
    if (!listing) {
        ::close(folder);
        return;
    }
    for (const QByteArray &name : sortedNames(listing)) {
        if (isOwnEntry(name.constData(), depth))
            continue;
        struct stat info;
        if (::fstatat(::dirfd(listing), name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        const QByteArray inner = relative.isEmpty() ? name : relative + '/' + name;
        if (S_ISREG(info.st_mode)) {
            visit(info, inner);
        } else if (S_ISDIR(info.st_mode) && depth < maxDepth) {
            const int fd =
                ::openat(::dirfd(listing), name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (fd >= 0)
                walkFiles(fd, inner, depth + 1, visit);
        }
    }
    ::closedir(listing);
}

int openFolder(const QString &path)
{
    return ::openat(AT_FDCWD, QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

QString dayFolder(const QString &serverFolder, const QString &day)
{
    return day.isEmpty() ? serverFolder : serverFolder + u'/' + day;
}

// Opens `relative` below the open folder `root` one folder at a time, none
// of them through a link.
Descriptor openBelow(int root, const QByteArray &relative)
{
    const QList<QByteArray> parts = relative.split('/');
    Descriptor folder(::dup(root));
    for (qsizetype i = 0; i + 1 < parts.size() && folder.isValid(); ++i)
        folder.reset(::openat(folder.get(), parts[i].constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.isValid())
        return Descriptor();
    return Descriptor(Fingerprints::openFile(folder.get(), parts.last().constData()));
}

// The place of a stopped check: the days and part it was for, how far it came.
struct Place
{
    QStringList days;
    int parts = 1;
    int first = 0;
    int count = 1;
    qint64 done = 0;
    qint64 fresh = 0;
    qint64 unreadable = 0;
    QJsonArray damaged; // {"path", "dev", "inode", "shared": [size, mtime ns, ctime ns] in a snapshot day}

    bool matches(const Options &options, const QStringList &sortedDays) const
    {
        return days == sortedDays && parts == options.parts && first == options.first && count == options.count;
    }
    QByteArray json() const
    {
        return QJsonDocument(QJsonObject{{QStringLiteral("days"), QJsonArray::fromStringList(days)},
                                         {QStringLiteral("parts"), parts},
                                         {QStringLiteral("first"), first},
                                         {QStringLiteral("count"), count},
                                         {QStringLiteral("done"), done},
                                         {QStringLiteral("fresh"), fresh},
                                         {QStringLiteral("unreadable"), unreadable},
                                         {QStringLiteral("damaged"), damaged}})
            .toJson(QJsonDocument::Compact);
    }
    static Place read(const QString &path)
    {
        QFile file(path);
        Place place;
        if (!file.open(QIODevice::ReadOnly))
            return place;
        const QJsonObject object = QJsonDocument::fromJson(file.read(16 << 20)).object();
        for (const auto &day : object.value(QStringLiteral("days")).toArray())
            place.days << day.toString();
        place.parts = object.value(QStringLiteral("parts")).toInt(1);
        place.first = object.value(QStringLiteral("first")).toInt(0);
        place.count = object.value(QStringLiteral("count")).toInt(1);
        place.done = object.value(QStringLiteral("done")).toInteger(0);
        place.fresh = object.value(QStringLiteral("fresh")).toInteger(0);
        place.unreadable = object.value(QStringLiteral("unreadable")).toInteger(0);
        place.damaged = object.value(QStringLiteral("damaged")).toArray();
        return place;
    }
};

// The first and last day (names sort as dates) that hold each damaged file.
void findDays(const QString &serverFolder, const QStringList &checkedDays, QList<Damaged> &damaged,
              const std::vector<Key> &keys, const std::map<SharedKey, qsizetype> &shared)
{
    QStringList days = checkedDays;
    for (const Snapshots::Backup &backup : Snapshots::list(serverFolder)) {
        if (!days.contains(backup.name))
            days << backup.name;
    }
    std::sort(days.begin(), days.end());
    std::map<Key, qsizetype> index;
    for (size_t i = 0; i < keys.size(); ++i)
        index.emplace(keys[i], qsizetype(i));
    for (const QString &day : std::as_const(days)) {
        const QString path = dayFolder(serverFolder, day);
        const bool snapshot = !shared.empty() && Btrfs::isSubvolume(path);
        const int folder = openFolder(path);
        if (folder < 0)
            continue;
        walkFiles(folder, QByteArray(), 0, [&](const struct stat &info, const QByteArray &) {
            qsizetype at = -1;
            if (const auto found = index.find(Key(info.st_dev, info.st_ino)); found != index.end())
                at = found->second;
            else if (const auto same = snapshot ? shared.find(sharedKey(info)) : shared.end(); same != shared.end())
                at = same->second;
            if (at < 0)
                return;
            Damaged &entry = damaged[at];
            if (entry.firstDay.isEmpty())
                entry.firstDay = day;
            entry.lastDay = day;
        });
    }
}

struct Reader
{
    const QString &serverFolder;
    const Options &options;
    Fingerprints::Store store;
    Place place;
    Result result;
    std::vector<Key> damagedKeys;

    void check(const Item &item, int root)
    {
        Descriptor file = openBelow(root, item.relative);
        struct stat info;
        if (!file.isValid() || ::fstat(file.get(), &info) != 0 || Key(info.st_dev, info.st_ino) != item.key) {
            noteUnreadable(item, file.isValid() ? QStringLiteral("replaced while it was checked")
                                                : QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        const auto print = Fingerprints::compute(file.get(), true);
        if (!print) {
            noteUnreadable(item, print.error().message);
            return;
        }
        result.bytes += print->size;
        const auto stored = store.find(file.get(), info);
        if (!stored) {
            if (store.keep(file.get(), info, *print))
                ++place.fresh;
            return;
        }
        if (stored->sameContents(*print) && stored->size == print->size)
            return;
        QJsonObject entry{{QStringLiteral("path"), QFile::decodeName(item.relative)},
                          {QStringLiteral("dev"), qint64(item.key.first)},
                          {QStringLiteral("inode"), qint64(item.key.second)}};
        if (item.inSnapshot)
            entry.insert(QStringLiteral("shared"),
                         QJsonArray{qint64(info.st_size), nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)});
        place.damaged.append(entry);
    }

    void noteUnreadable(const Item &item, const QString &why)
    {
        ++place.unreadable;
        if (result.firstUnreadable.isEmpty())
            result.firstUnreadable =
                OutputDecoder::visible(QFile::decodeName(item.relative)) + QStringLiteral(": ") + why;
    }

    void savePlace()
    {
        store.save();
        FileUtil::writeAtomically(serverFolder + u'/' + progressName, place.json());
    }

    void finish(const QStringList &days)
    {
        result.done = place.done;
        result.fresh = place.fresh;
        result.unreadable = place.unreadable;
        std::map<SharedKey, qsizetype> shared;
        for (const auto &value : std::as_const(place.damaged)) {
            const QJsonObject entry = value.toObject();
            const ino_t inode = ino_t(entry.value(QStringLiteral("inode")).toInteger());
            if (const QJsonArray times = entry.value(QStringLiteral("shared")).toArray(); times.size() == 3)
                shared.emplace(
                    SharedKey(inode, off_t(times.at(0).toInteger()), times.at(1).toInteger(), times.at(2).toInteger()),
                    result.damaged.size());
            result.damaged.append(Damaged{entry.value(QStringLiteral("path")).toString(), QString(), QString()});
            damagedKeys.emplace_back(dev_t(entry.value(QStringLiteral("dev")).toInteger()), inode);
        }
        if (!result.damaged.isEmpty())
            findDays(serverFolder, days, result.damaged, damagedKeys, shared);
    }
};

} // namespace

QStringList allDays(const QString &serverFolder, bool dated)
{
    QStringList days;
    if (!dated)
        return days;
    // An incomplete day may be one a run is writing: its files are not
    // what they will be.
    for (const Snapshots::Backup &backup : Snapshots::list(serverFolder)) {
        if (backup.complete)
            days.prepend(backup.name);
    }
    return days;
}

qint64 damageToRecord(const Server &server, qint64 found, bool whole)
{
    const qint64 known = server.lastVerifiedAt ? server.damagedFiles : 0;
    return whole ? found : std::max(found, known);
}

QString Damaged::shown() const
{
    // A name is the server's text: one line, whatever it holds.
    const QString name = OutputDecoder::visible(path);
    if (firstDay.isEmpty())
        return name;
    if (firstDay == lastDay)
        return name + QStringLiteral(" (") + firstDay + u')';
    return name + QStringLiteral(" (") + firstDay + QStringLiteral(" … ") + lastDay + u')';
}

namespace {

// Every distinct file of the days (of the part), day by day in name order.
tl::expected<Walk, Error> collect(const QString &serverFolder, const QStringList &days, const Options &options)
{
    Walk walk;
    for (int index = 0; index < days.size(); ++index) {
        const QString path = dayFolder(serverFolder, days[index]);
        const bool snapshot = Btrfs::isSubvolume(path);
        const int folder = openFolder(path);
        if (folder < 0)
            return tl::unexpected(Error{Error::Code::unreadable,
                                        path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno))});
        walkFiles(folder, QByteArray(), 0, [&](const struct stat &info, const QByteArray &relative) {
            const Key key(info.st_dev, info.st_ino);
            if (!inPart(info.st_ino, options) || !walk.seen.insert(key).second)
                return;
            // A copy the snapshot shares with an earlier day is read there.
            if (snapshot && !walk.shared.insert(sharedKey(info)).second)
                return;
            walk.items.push_back(Item{key, index, snapshot, relative});
        });
    }
    return walk;
}

} // namespace

tl::expected<Result, Error> run(const QString &serverFolder, bool attributes, const Options &options)
{
    QStringList days = options.days;
    std::sort(days.begin(), days.end());
    if (days.isEmpty())
        days << QString();
    const auto walk = collect(serverFolder, days, options);
    if (!walk)
        return tl::unexpected(walk.error());

    Reader reader{serverFolder, options, Fingerprints::Store(serverFolder, attributes), Place(), Result(), {}};
    reader.result.total = qint64(walk->items.size());
    reader.result.manifest = reader.store.usesManifest();
    const QString placePath = serverFolder + u'/' + progressName;
    if (Place earlier = Place::read(placePath); earlier.matches(options, days) && earlier.done < reader.result.total)
        reader.place = earlier;
    reader.place.days = days;
    reader.place.parts = options.parts;
    reader.place.first = options.first;
    reader.place.count = options.count;
    reader.result.resumedAt = reader.place.done;

    QDeadlineTimer nextSave(saveEveryMs), nextProgress(progressEveryMs);
    std::vector<Descriptor> roots;
    for (const QString &day : std::as_const(days))
        roots.emplace_back(openFolder(dayFolder(serverFolder, day)));
    for (qint64 &done = reader.place.done; done < reader.result.total; ++done) {
        if (options.stop && options.stop()) {
            reader.savePlace();
            reader.finish(days);
            return reader.result;
        }
        const Item &item = walk->items[size_t(done)];
        // The disk reads ahead while this file is hashed.
        if (const size_t ahead = size_t(done) + readAhead; ahead < walk->items.size()) {
            const Item &next = walk->items[ahead];
            if (const Descriptor file = openBelow(roots[size_t(next.day)].get(), next.relative); file.isValid())
                ::posix_fadvise(file.get(), 0, readAheadBytes, POSIX_FADV_WILLNEED);
        }
        reader.check(item, roots[size_t(item.day)].get());
        if (nextSave.hasExpired()) {
            reader.savePlace();
            nextSave.setRemainingTime(saveEveryMs);
        }
        if (options.progress && nextProgress.hasExpired()) {
            options.progress(done + 1, reader.result.total);
            nextProgress.setRemainingTime(progressEveryMs);
        }
    }
    reader.store.save();
    QFile::remove(placePath);
    reader.result.finished = true;
    reader.finish(days);
    return reader.result;
}

} // namespace BackupCheck
