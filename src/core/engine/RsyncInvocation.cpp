// Builds the rsync argument list and the ssh remote shell of one path.
#include "core/engine/RsyncInvocation.h"

#include "core/model/SafePathComponent.h"
#include "core/ssh/Shell.h"
#include "core/system/AppPaths.h"

namespace RsyncInvocation {

QString targetFolder(const QString &runFolder, const BackupPath &path)
{
    return runFolder + u'/' + safePathComponent(path.name);
}

QString remoteSource(const Server &server, const BackupPath &path)
{
    QString source = path.remotePath;
    if (path.isDirectory && !source.endsWith(u'/'))
        source += u'/';
    return server.username + u'@' + server.host + u':' + Shell::escapeRemotePath(source);
}

QString remoteShellCommand(const Server &server)
{
    QString command = QStringLiteral("ssh -p %1 -o StrictHostKeyChecking=accept-new -o BatchMode=yes").arg(server.port);
    if (!server.useSSHAgent) {
        command += QStringLiteral(" -i ") + Shell::quoteForRsyncShell(AppPaths::expandTilde(server.privateKeyPath))
                   + QStringLiteral(" -o IdentitiesOnly=yes");
    }
    return command;
}

QStringList arguments(const Server &server, const BackupPath &path, bool compress, bool deleteExtraneous,
                      const QString &targetFolder, const RsyncProbe &probe)
{
    QStringList args{QStringLiteral("-a"), QStringLiteral("--stats"), QStringLiteral("-e"), remoteShellCommand(server)};
    if (probe.isModern)
        args << QStringLiteral("--human-readable") << QStringLiteral("--info=progress2");
    else
        args << QStringLiteral("--progress");
    if (compress)
        args << QStringLiteral("-z");
    if (path.isDirectory && deleteExtraneous)
        args << (probe.isModern ? QStringLiteral("--delete") : QStringLiteral("--del"));
    if (probe.needsOldArgs())
        args << QStringLiteral("--old-args");
    args << remoteSource(server, path) << targetFolder;
    return args;
}

} // namespace RsyncInvocation
