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

QString replacedName(const QDateTime &stamp, quint32 random)
{
    return QStringLiteral(".tidewell-replaced-") + QLocale::c().toString(stamp, QStringLiteral("yyyyMMdd-HHmmss-zzz"))
           + u'-' + QStringLiteral("%1").arg(random & 0xffff, 4, 16, QLatin1Char('0'));
}

QString destinationPath(const Item &item, const std::optional<QString> &otherFolder)
{
    return otherFolder ? joined(*otherFolder, baseName(item.remotePath)) : SnapshotMap::normalized(item.remotePath);
}

QString remoteFolder(const Item &item, const std::optional<QString> &otherFolder)
{
    if (otherFolder)
        return item.isDirectory ? destinationPath(item, otherFolder) : SnapshotMap::normalized(*otherFolder);
    return item.isDirectory ? SnapshotMap::normalized(item.remotePath) : parentOf(item.remotePath);
}

QString replacedFolder(const Item &item, const std::optional<QString> &otherFolder, const QString &name)
{
    return joined(remoteFolder(item, otherFolder), name);
}

QStringList arguments(const Server &server, const Item &item, const std::optional<QString> &otherFolder,
                      const AppSettings &settings, const RsyncProbe &probe, const QString &replaced, bool dryRun)
{
    QStringList args = RsyncInvocation::transferOptions(server, settings, probe);
    // What was sent, item by item: the log says what the restore wrote and
    // what it replaced.
    args << QStringLiteral("--itemize-changes");
    if (dryRun)
        args << QStringLiteral("--dry-run");
    if (settings.ioTimeoutSeconds > 0)
        args << QStringLiteral("--timeout=") + QString::number(settings.ioTimeoutSeconds);
    if (server.bandwidthLimitKBps > 0)
        args << QStringLiteral("--bwlimit=") + QString::number(server.bandwidthLimitKBps);
    // What the restore replaces stays on the server; nothing is ever deleted
    // there. A relative folder is relative to the folder written into.
    args << QStringLiteral("--backup") << QStringLiteral("--backup-dir=") + replaced;
    if (probe.needsOldArgs())
        args << QStringLiteral("--old-args");
    const QString destination = destinationPath(item, otherFolder);
    if (item.isDirectory)
        args << item.localPath + u'/' << RsyncInvocation::remoteLocation(server, joined(destination, QString()));
    else
        args << item.localPath << RsyncInvocation::remoteLocation(server, destination);
    return args;
}

bool canMakeFolders(const RsyncProbe &probe)
{
    return probe.isModern && probe.version >= QVersionNumber(3, 2, 3);
}

QStringList argumentsMakingFolders(const Server &server, const Item &item, const std::optional<QString> &otherFolder,
                                   const AppSettings &settings, const RsyncProbe &probe, const QString &replaced,
                                   bool dryRun)
{
    QStringList args = arguments(server, item, otherFolder, settings, probe, replaced, dryRun);
    args.insert(args.size() - 2, QStringLiteral("--mkpath"));
    return args;
}

} // namespace RestoreInvocation
