// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the rsync argument list and the ssh remote shell of one path.
#include "core/engine/RsyncInvocation.h"

#include "core/model/SafePathComponent.h"
#include "core/ssh/CipherPreference.h"
#include "core/ssh/HostKeyChecker.h"
#include "core/ssh/SSHTester.h"
#include "core/ssh/Shell.h"
#include "core/system/AppPaths.h"

#include <QRegularExpression>

namespace RsyncInvocation {

QString targetFolder(const QString &runFolder, const BackupPath &path)
{
    return runFolder + u'/' + safePathComponent(path.name);
}

QString remoteLocation(const Server &server, const QString &remotePath)
{
    const QString host = server.host.contains(u':') ? u'[' + server.host + u']' : server.host;
    // "~/…" is the account's home: rsync takes a path without a leading "/"
    // relative to it.
    return server.username + u'@' + host + u':' + Shell::quotePath(remotePath);
}

QString remoteSource(const Server &server, const BackupPath &path)
{
    QString source = path.remotePath;
    if (path.isDirectory && !source.endsWith(u'/'))
        source += u'/';
    return remoteLocation(server, source);
}

QStringList transferOptions(const Server &server, const AppSettings &settings, const RsyncProbe &probe,
                            const KeepOptions::Local &local)
{
    QStringList args{QStringLiteral("-a"), QStringLiteral("--stats"), QStringLiteral("-e"), remoteShellCommand(server)};
    if (probe.isModern)
        args << QStringLiteral("--human-readable") << QStringLiteral("--info=progress2");
    else
        args << QStringLiteral("--progress");
    if (settings.compress)
        args << QStringLiteral("-z");
    args << KeepOptions::arguments(server, probe, local);
    return args;
}

QString remoteShellCommand(const Server &server)
{
    QString command = QStringLiteral("ssh -p ") + QString::number(server.port) + QStringLiteral(" -o ")
                      + SSHTester::hostKeyOption(server) + QStringLiteral(" -o BatchMode=yes ")
                      + SSHTester::runOptions().join(u' ');
    for (const QString &option : HostKeyChecker::knownHostsOptions(server))
        command += u' ' + (option == QStringLiteral("-o") ? option : Shell::quoteForRsyncShell(option));
    if (!server.useSSHAgent) {
        command += QStringLiteral(" -i ") + Shell::quoteForRsyncShell(AppPaths::expandTilde(server.privateKeyPath))
                   + QStringLiteral(" -o IdentitiesOnly=yes");
    }
    // Cipher names need no quotes; a list with anything else is refused
    // before a run (see ServerCheck), and quoted here all the same.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9@.,+-]+$"));
    const QString ciphers = CipherPreference::forServer(server);
    return command + QStringLiteral(" -o Ciphers=")
           + (plain.match(ciphers).hasMatch() ? ciphers : Shell::quoteForRsyncShell(ciphers));
}

QStringList excludePatterns(const BackupPath &path)
{
    QStringList patterns;
    for (const QString &pattern : path.excludes) {
        // Blank lines are left over from editing; spaces inside a pattern count.
        if (!pattern.trimmed().isEmpty())
            patterns << pattern;
    }
    return patterns;
}

QStringList excludeArguments(const BackupPath &path)
{
    // "-" and one space, then the pattern to its last character; each rule
    // is one argument, so no shell reads it either.
    QStringList args;
    for (const QString &pattern : excludePatterns(path))
        args << QStringLiteral("--filter=- ") + pattern;
    return args;
}

Common common(const Server &server, const AppSettings &settings, const RsyncProbe &probe,
              const KeepOptions::Local &local)
{
    Common common;
    common.server = server;
    common.options = transferOptions(server, settings, probe, local);
    if (settings.deleteExtraneous)
        common.deleteOption = probe.isModern ? QStringLiteral("--delete") : QStringLiteral("--del");
    if (settings.ioTimeoutSeconds > 0)
        common.timeoutOption = QStringLiteral("--timeout=") + QString::number(settings.ioTimeoutSeconds);
    if (server.bandwidthLimitKBps > 0)
        common.bandwidthOption = QStringLiteral("--bwlimit=") + QString::number(server.bandwidthLimitKBps);
    common.oldArgs = probe.needsOldArgs();
    return common;
}

QStringList arguments(const Common &common, const BackupPath &path, const QString &targetFolder, const Base &base)
{
    QStringList args = common.options;
    if (path.isDirectory && !common.deleteOption.isEmpty())
        args << common.deleteOption;
    else if (path.isDirectory && common.inPlace)
        args << QStringLiteral("--delete");
    // What the excludes leave out is no longer in the day either, as in a day made afresh.
    if (path.isDirectory && common.inPlace)
        args << QStringLiteral("--delete-excluded");
    if (!common.timeoutOption.isEmpty())
        args << common.timeoutOption;
    // A file cut off (a pause, a cancel, a lost connection) is kept there,
    // and the next run sends only the rest of it. In place, it stays where
    // it is (rsync takes no partial folder then).
    if (common.inPlace)
        args << QStringLiteral("--inplace") << QStringLiteral("--no-whole-file");
    else
        args << QStringLiteral("--partial-dir=") + partialFolder;
    if (!base.folder.isEmpty())
        args << (base.link ? QStringLiteral("--link-dest=") : QStringLiteral("--copy-dest=")) + base.folder;
    if (!base.partialFolder.isEmpty())
        args << (base.link ? QStringLiteral("--link-dest=") : QStringLiteral("--copy-dest=")) + base.partialFolder;
    if (!common.bandwidthOption.isEmpty())
        args << common.bandwidthOption;
    args << excludeArguments(path);
    if (common.oldArgs)
        args << QStringLiteral("--old-args");
    args << remoteSource(common.server, path) << targetFolder;
    return args;
}

} // namespace RsyncInvocation
