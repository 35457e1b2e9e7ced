// SPDX-License-Identifier: GPL-3.0-or-later
// Mapping a snapshot's files to the remote paths they came from.
#include "core/restore/SnapshotMap.h"

#include "core/engine/RsyncInvocation.h"
#include "core/engine/Snapshots.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sys/stat.h>

namespace SnapshotMap {

QString normalized(const QString &remotePath)
{
    QString path = remotePath;
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

QList<Root> roots(const Server &server, const QString &snapshotFolder)
{
    QList<Root> list;
    QSet<QString> claimed;
    for (const BackupPath &path : server.paths) {
        const QString folder = RsyncInvocation::targetFolder(snapshotFolder, path);
        if (claimed.contains(folder) || !QFileInfo(folder).isDir())
            continue;
        claimed.insert(folder);
        Root root;
        root.name = path.name;
        root.remotePath = normalized(path.remotePath);
        root.isDirectory = path.isDirectory;
        root.localPath = folder;
        if (!path.isDirectory) {
            // rsync puts a file path's file into the path's folder under its own name.
            const QString file = folder + u'/' + QFileInfo(root.remotePath).fileName();
            if (QFileInfo(file).exists() || QFileInfo(file).isSymLink())
                root.localPath = file;
            else
                root.isDirectory = true; // shown as the folder it is
        }
        list << root;
    }
    const QFileInfoList entries = QDir(snapshotFolder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (claimed.contains(entry.filePath()))
            continue;
        Root root;
        root.name = entry.fileName();
        root.localPath = entry.filePath();
        root.known = false;
        list << root;
    }
    return list;
}

std::optional<Resolved> resolve(const Server &server, const QString &snapshotFolder, const QString &remotePath)
{
    const QString wanted = normalized(remotePath);
    for (const Root &root : roots(server, snapshotFolder)) {
        if (!root.known)
            continue;
        if (wanted == root.remotePath)
            return Resolved{root.localPath, root.remotePath, false};
        if (!root.isDirectory)
            continue;
        const QString prefix = root.remotePath == QStringLiteral("/") ? root.remotePath : root.remotePath + u'/';
        if (!wanted.startsWith(prefix))
            continue;
        // One name at a time: a link on the way is where the walk stops.
        const QStringList names = wanted.mid(prefix.size()).split(u'/');
        Resolved resolved{root.localPath, root.remotePath, false};
        for (qsizetype i = 0; i < names.size(); ++i) {
            resolved.localPath += u'/' + names.at(i);
            resolved.remotePath = resolved.remotePath == QStringLiteral("/")
                                      ? QString(u'/' + names.at(i))
                                      : QString(resolved.remotePath + u'/' + names.at(i));
            if (i + 1 == names.size())
                break;
            struct stat info;
            if (::lstat(QFile::encodeName(resolved.localPath).constData(), &info) != 0) {
                // Not there: neither is anything below it.
                resolved.localPath = root.localPath + u'/' + wanted.mid(prefix.size());
                resolved.remotePath = wanted;
                break;
            }
            if (!S_ISDIR(info.st_mode)) {
                resolved.throughLink = S_ISLNK(info.st_mode);
                if (!resolved.throughLink)
                    return std::nullopt; // a file cannot hold anything
                break;
            }
        }
        return resolved;
    }
    return std::nullopt;
}

std::optional<QString> localPathOf(const Server &server, const QString &snapshotFolder, const QString &remotePath)
{
    const auto resolved = resolve(server, snapshotFolder, remotePath);
    if (!resolved || resolved->throughLink)
        return std::nullopt;
    return resolved->localPath;
}

std::optional<QString> remotePathOf(const Server &server, const QString &snapshotFolder, const QString &localPath)
{
    const QString wanted = QDir::cleanPath(localPath);
    for (const Root &root : roots(server, snapshotFolder)) {
        if (!root.known)
            continue;
        if (wanted == root.localPath)
            return root.remotePath;
        if (root.isDirectory && wanted.startsWith(root.localPath + u'/')) {
            const QString rest = wanted.mid(root.localPath.size() + 1);
            return root.remotePath == QStringLiteral("/") ? QString(u'/' + rest)
                                                          : QString(root.remotePath + u'/' + rest);
        }
    }
    return std::nullopt;
}

} // namespace SnapshotMap
