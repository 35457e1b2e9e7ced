// SPDX-License-Identifier: GPL-3.0-or-later
// Walking two snapshots side by side, by name, without reading contents.
#include "core/restore/SnapshotCompare.h"

#include "core/engine/Fingerprints.h"
#include "core/restore/SnapshotMap.h"

#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <map>
#include <optional>
#include <sys/stat.h>

namespace SnapshotCompare {

namespace {

struct Entry
{
    bool isDirectory = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    struct timespec mtime = {};
};

// One folder's entries by name, read with readdir and lstat (no link followed).
std::map<QByteArray, Entry> listing(const QByteArray &folder)
{
    std::map<QByteArray, Entry> entries;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return entries;
    while (const dirent *item = ::readdir(dir)) {
        const QByteArray name(item->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat info;
        if (::lstat(QByteArray(folder + '/' + name).constData(), &info) != 0)
            continue;
        entries[name] = Entry{S_ISDIR(info.st_mode), info.st_dev, info.st_ino, info.st_size, info.st_mtim};
    }
    ::closedir(dir);
    return entries;
}

class Walk
{
public:
    Walk(Result &result, const std::atomic<bool> *stop)
        : m_result(result)
        , m_stop(stop)
    { }

    void compareRoot(const SnapshotMap::Root &older, const SnapshotMap::Root &newer, const QString &shownRoot)
    {
        m_root = shownRoot;
        m_counts = RootCounts{shownRoot, 0, 0, 0};
        const auto a = single(older.localPath);
        const auto b = single(newer.localPath);
        compareEntry(QFile::encodeName(older.localPath), QFile::encodeName(newer.localPath), a, b,
                     rootPath(older, newer));
        m_result.counts << m_counts;
    }

    void onlyIn(const SnapshotMap::Root &root, bool inNewer)
    {
        m_root = root.known ? root.remotePath : root.name;
        m_counts = RootCounts{m_root, 0, 0, 0};
        const QByteArray path = QFile::encodeName(root.localPath);
        const auto entry = single(root.localPath);
        if (entry)
            whole(path, *entry, m_root, inNewer ? Change::Kind::added : Change::Kind::removed);
        m_result.counts << m_counts;
    }

private:
    // Two copies of the same size and time whose contents' prints differ
    // (a btrfs day's file rewritten in place within the same second).
    bool printsDiffer(const QByteArray &a, const QByteArray &b)
    {
        const auto older = Fingerprints::currentPrint(a);
        const auto newer = Fingerprints::currentPrint(b);
        if (!older || !newer)
            return false;
        ++m_result.byFingerprint;
        return !older->sameContents(*newer);
    }

    static QString rootPath(const SnapshotMap::Root &older, const SnapshotMap::Root &newer)
    {
        const SnapshotMap::Root &root = newer.localPath.isEmpty() ? older : newer;
        return root.known ? root.remotePath : root.name;
    }

    static std::optional<Entry> single(const QString &path)
    {
        struct stat info;
        if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &info) != 0)
            return std::nullopt;
        return Entry{S_ISDIR(info.st_mode), info.st_dev, info.st_ino, info.st_size, info.st_mtim};
    }

    void note(Change::Kind kind, const QString &path)
    {
        m_result.changes << Change{kind, path, m_root};
        (kind == Change::Kind::added     ? m_counts.added
         : kind == Change::Kind::removed ? m_counts.removed
                                         : m_counts.changed)++;
    }

    // Every file under a folder that is on one side only.
    void whole(const QByteArray &local, const Entry &entry, const QString &shown, Change::Kind kind)
    {
        if (m_stop && *m_stop)
            return;
        if (!entry.isDirectory) {
            ++m_result.filesCompared;
            note(kind, shown);
            return;
        }
        for (const auto &[name, child] : listing(local))
            whole(local + '/' + name, child, join(shown, name), kind);
    }

    static QString join(const QString &parent, const QByteArray &name)
    {
        return (parent == QStringLiteral("/") ? parent : parent + u'/') + QFile::decodeName(name);
    }

    void compareEntry(const QByteArray &a, const QByteArray &b, const std::optional<Entry> &older,
                      const std::optional<Entry> &newer, const QString &shown)
    {
        if (m_stop && *m_stop) {
            m_result.cancelled = true;
            return;
        }
        if (!older && !newer)
            return;
        if (!older || !newer || older->isDirectory != newer->isDirectory) {
            if (older)
                whole(a, *older, shown, Change::Kind::removed);
            if (newer)
                whole(b, *newer, shown, Change::Kind::added);
            return;
        }
        if (!older->isDirectory) {
            ++m_result.filesCompared;
            // A hard link to the same file is unchanged: nothing else is looked at.
            if (older->device == newer->device && older->inode == newer->inode)
                return;
            if (older->device != newer->device)
                ++m_result.bySizeAndTime;
            // Whole seconds, as rsync's own quick check compares them.
            const bool sameTime = older->mtime.tv_sec == newer->mtime.tv_sec;
            if (older->size != newer->size || !sameTime || printsDiffer(a, b))
                note(Change::Kind::changed, shown);
            return;
        }
        const auto left = listing(a);
        const auto right = listing(b);
        auto l = left.begin();
        auto r = right.begin();
        while (l != left.end() || r != right.end()) {
            if (r == right.end() || (l != left.end() && l->first < r->first)) {
                compareEntry(a + '/' + l->first, QByteArray(), l->second, std::nullopt, join(shown, l->first));
                ++l;
            } else if (l == left.end() || r->first < l->first) {
                compareEntry(QByteArray(), b + '/' + r->first, std::nullopt, r->second, join(shown, r->first));
                ++r;
            } else {
                compareEntry(a + '/' + l->first, b + '/' + r->first, l->second, r->second, join(shown, l->first));
                ++l;
                ++r;
            }
        }
    }

    Result &m_result;
    const std::atomic<bool> *m_stop;
    QString m_root;
    RootCounts m_counts;
};

} // namespace

Result compare(const Server &server, const QString &olderSnapshot, const QString &newerSnapshot,
               const std::atomic<bool> *stop)
{
    Result result;
    Walk walk(result, stop);
    const QList<SnapshotMap::Root> older = SnapshotMap::roots(server, olderSnapshot);
    const QList<SnapshotMap::Root> newer = SnapshotMap::roots(server, newerSnapshot);
    const auto key = [](const SnapshotMap::Root &root) { return root.known ? root.remotePath : u'\n' + root.name; };
    for (const SnapshotMap::Root &root : newer) {
        const auto match =
            std::find_if(older.begin(), older.end(), [&](const SnapshotMap::Root &o) { return key(o) == key(root); });
        if (match == older.end())
            walk.onlyIn(root, true);
        else
            walk.compareRoot(*match, root, root.known ? root.remotePath : root.name);
    }
    for (const SnapshotMap::Root &root : older) {
        if (std::none_of(newer.begin(), newer.end(), [&](const SnapshotMap::Root &n) { return key(n) == key(root); }))
            walk.onlyIn(root, false);
    }
    if (stop && *stop)
        result.cancelled = true;
    std::sort(result.changes.begin(), result.changes.end(),
              [](const Change &x, const Change &y) { return x.remotePath < y.remotePath; });
    return result;
}

} // namespace SnapshotCompare
