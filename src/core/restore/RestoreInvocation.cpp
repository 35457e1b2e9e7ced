// SPDX-License-Identifier: GPL-3.0-or-later
// Building the push of one restored item.
#include "core/restore/RestoreInvocation.h"

#include "core/engine/RsyncInvocation.h"
#include "core/restore/SnapshotMap.h"

#include <QLocale>

namespace RestoreInvocation {

namespace {

// Both take paths normalized already (SnapshotMap::normalized).
QString parentOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString joined(const QString &folder, const QString &name)
{
    return folder == QStringLiteral("/") ? QString(folder + name) : QString(folder + u'/' + name);
}

} // namespace

QString replacedName(const QDateTime &stamp, quint32 random)
{
    return QStringLiteral(".tidewell-replaced-") + QLocale::c().toString(stamp, QStringLiteral("yyyyMMdd-HHmmss-zzz"))
           + u'-' + QStringLiteral("%1").arg(random & 0xffff, 4, 16, QLatin1Char('0'));
}

Placement place(const Item &item, const std::optional<QString> &otherFolder)
{
    Placement placement;
    placement.localPath = item.localPath;
    placement.isDirectory = item.isDirectory;
    const QString remotePath = SnapshotMap::normalized(item.remotePath);
    if (otherFolder) {
        const QString folder = SnapshotMap::normalized(*otherFolder);
        placement.destination = joined(folder, remotePath.section(u'/', -1));
        placement.folder = item.isDirectory ? placement.destination : folder;
    } else {
        placement.destination = remotePath;
        placement.folder = item.isDirectory ? remotePath : parentOf(remotePath);
    }
    return placement;
}

QString replacedFolder(const Placement &placement, const QString &name)
{
    return joined(placement.folder, name);
}

Push push(const Server &server, const AppSettings &settings, const RsyncProbe &probe, bool dryRun, bool makeFolders)
{
    Push push;
    push.server = server;
    QStringList &args = push.leading;
    args = RsyncInvocation::transferOptions(server, settings, probe);
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
    args << QStringLiteral("--backup");
    if (probe.needsOldArgs())
        push.trailing << QStringLiteral("--old-args");
    if (makeFolders)
        push.trailing << QStringLiteral("--mkpath");
    return push;
}

QStringList arguments(const Push &push, const Placement &placement, const QString &replaced)
{
    QStringList args = push.leading;
    args << QStringLiteral("--backup-dir=") + replaced << push.trailing;
    if (placement.isDirectory)
        args << placement.localPath + u'/'
             << RsyncInvocation::remoteLocation(push.server, joined(placement.destination, QString()));
    else
        args << placement.localPath << RsyncInvocation::remoteLocation(push.server, placement.destination);
    return args;
}

bool canMakeFolders(const RsyncProbe &probe)
{
    return probe.isModern && probe.version >= QVersionNumber(3, 2, 3);
}

} // namespace RestoreInvocation
