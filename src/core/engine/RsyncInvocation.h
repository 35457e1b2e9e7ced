// SPDX-License-Identifier: GPL-3.0-or-later
// The rsync command line for one path of a run.
#pragma once

#include "core/engine/KeepOptions.h"
#include "core/engine/RsyncProbe.h"
#include "core/model/AppSettings.h"
#include "core/model/BackupPath.h"
#include "core/model/Server.h"

#include <QString>
#include <QStringList>

namespace RsyncInvocation {

QString targetFolder(const QString &runFolder, const BackupPath &path);
// user@host:quoted-source, a folder's source ending in "/"; a literal IPv6
// host in brackets, or rsync would read its colons as the path separator.
QString remoteSource(const Server &server, const BackupPath &path);
// user@host:path (a literal IPv6 host in brackets), the path quoted for the
// remote shell (Shell::quote); a path starting with "~/" is taken relative to
// the account's home, one starting with "-" is written "./-…".
QString remoteLocation(const Server &server, const QString &remotePath);
// What every transfer of the server starts with: archive mode, statistics,
// the remote shell, progress, compression when Settings ask for it, and what
// the server's "Keep" settings add (see KeepOptions).
QStringList transferOptions(const Server &server, const AppSettings &settings, const RsyncProbe &probe,
                            const KeepOptions::Local &local = KeepOptions::Local::current());
// The text given to rsync's "-e": ssh with connection and liveness time-outs,
// so a server that stops answering ends the transfer.
QString remoteShellCommand(const Server &server);
// The path's exclude patterns that reach rsync: blank lines dropped.
QStringList excludePatterns(const BackupPath &path);
// The same path's folder in an earlier snapshot (absolute): unchanged files
// are hard-linked to it (--link-dest), or copied from it on this disk
// (--copy-dest) when snapshots are not to share files.
struct Base
{
    QString folder;
    bool link = true;
    // The same path in an interrupted earlier day, asked after `folder`.
    QString partialFolder;
};
// What every path of a run's rsync shares, worked out once per run.
// Where rsync keeps a file it had only partly received, in that file's
// folder (--partial-dir): the next run takes it up from there.
inline const QString partialFolder = QStringLiteral(".tidewell-partial");

struct Common
{
    Server server;
    QStringList options;  // transferOptions()
    QString deleteOption; // for folders, when Settings delete what the server no longer has
    QString timeoutOption;
    QString bandwidthOption;
    bool oldArgs = false;
    // The day is a btrfs snapshot of the day before: rsync rewrites only the
    // changed blocks of a file in place (so the rest stays shared), deletes
    // what the server no longer has whatever Settings say (the snapshot
    // still holds it) and what the excludes leave out, and keeps a file cut
    // off where it is.
    bool inPlace = false;
};
Common common(const Server &server, const AppSettings &settings, const RsyncProbe &probe,
              const KeepOptions::Local &local = KeepOptions::Local::current());
// The rsync arguments of one path.
QStringList arguments(const Common &common, const BackupPath &path, const QString &targetFolder, const Base &base = {});
// Each exclude as a filter rule that takes the pattern as typed: rsync reads
// a leading "- ", "+ " or "!" of a plain --exclude as a rule of its own.
QStringList excludeArguments(const BackupPath &path);

} // namespace RsyncInvocation
