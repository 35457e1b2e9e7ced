// SPDX-License-Identifier: GPL-3.0-or-later
// Building the push of one restored item.
#include "core/restore/RestoreInvocation.h"

#include "core/engine/RsyncInvocation.h"
#include "core/restore/SnapshotMap.h"

#include <QLocale>

namespace RestoreInvocation {

namespace {

QString parentOf(const QString &remotePath)
{
    const QString path = SnapshotMap::normalized(remotePath);
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString baseName(const QString &remotePath)
{
    return SnapshotMap::normalized(remotePath).section(u'/', -1);
}

QString joined(const QString &folder, const QString &name)
{
    const QString base = SnapshotMap::normalized(folder);
    return base == QStringLiteral("/") ? QString(base + name) : QString(base + u'/' + name);
}

} // namespace

QString destinationPath(const Item &item, const std::optional<QString> &otherFolder)
{
    return otherFolder ? joined(*otherFolder, baseName(item.remotePath)) : SnapshotMap::normalized(item.remotePath);
}

QString remoteFolder(const Item &item, const std::optional<QString> &otherFolder)
{
    if (otherFolder)
        return SnapshotMap::normalized(*otherFolder);
    return item.isDirectory ? SnapshotMap::normalized(item.remotePath) : parentOf(item.remotePath);
}

QString replacedFolder(const Item &item, const std::optional<QString> &otherFolder, const QDateTime &stamp)
{
    return joined(remoteFolder(item, otherFolder),
                  QStringLiteral(".tidewell-replaced-")
                      + QLocale::c().toString(stamp, QStringLiteral("yyyyMMdd-HHmmss")));
}

QStringList arguments(const Server &server, const Item &item, const std::optional<QString> &otherFolder,
                      const AppSettings &settings, const RsyncProbe &probe, const QDateTime &stamp, bool dryRun)
{
    QStringList args = RsyncInvocation::transferOptions(server, settings, probe);
    if (dryRun)
        args << QStringLiteral("--dry-run") << QStringLiteral("--itemize-changes");
    if (settings.ioTimeoutSeconds > 0)
        args << QStringLiteral("--timeout=") + QString::number(settings.ioTimeoutSeconds);
    if (server.bandwidthLimitKBps > 0)
        args << QStringLiteral("--bwlimit=") + QString::number(server.bandwidthLimitKBps);
    // What the restore replaces stays on the server; nothing is ever deleted
    // there. (rsync passes an option's value to the server as it is, unlike
    // the remote path, which the server's shell reads.)
    args << QStringLiteral("--backup") << QStringLiteral("--backup-dir=") + replacedFolder(item, otherFolder, stamp);
    if (probe.needsOldArgs())
        args << QStringLiteral("--old-args");
    const QString destination = destinationPath(item, otherFolder);
    if (item.isDirectory)
        args << item.localPath + u'/' << RsyncInvocation::remoteLocation(server, joined(destination, QString()));
    else
        args << item.localPath << RsyncInvocation::remoteLocation(server, destination);
    return args;
}

} // namespace RestoreInvocation
