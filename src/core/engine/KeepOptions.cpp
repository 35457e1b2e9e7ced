// SPDX-License-Identifier: GPL-3.0-or-later
// The "Keep" settings as rsync options, and their failures in plain words.
#include "core/engine/KeepOptions.h"

#include "core/engine/Fingerprints.h"
#include "core/ssh/Shell.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/xattr.h>
#include <unistd.h>

namespace KeepOptions {

namespace {

std::optional<bool> &rootOverride()
{
    static std::optional<bool> root;
    return root;
}

// Owners, groups, special modes and devices go into extended attributes of
// the copies: for a user who keeps ownership, and always for root, whose
// copies would otherwise hold working setuid-root files and device nodes.
bool keepsOwnersThroughXattrs(const Server &server, const Local &local)
{
    return local.isRoot || server.preserveOwnership;
}

} // namespace

void setRootForTesting(std::optional<bool> root)
{
    rootOverride() = root;
}

Local Local::current()
{
    Local local;
    local.isRoot = rootOverride().value_or(::geteuid() == 0);
    return local;
}

QString remoteCommand(const Server &server)
{
    // The server's shell reads it; a path with anything unusual is refused
    // before a run (ServerCheck), and only a custom one needs quotes at all.
    const QString rsync =
        server.remoteRsyncPath.isEmpty() ? QStringLiteral("rsync") : Shell::quote(server.remoteRsyncPath);
    return server.remoteSudo ? QStringLiteral("sudo -n ") + rsync : rsync;
}

QString rsyncPathArgument(const Server &server)
{
    if (!server.remoteSudo && server.remoteRsyncPath.isEmpty())
        return QString();
    return QStringLiteral("--rsync-path=") + remoteCommand(server);
}

QStringList arguments(const Server &server, const RsyncProbe &probe, const Local &local)
{
    QStringList args;
    if (server.preserveHardLinks)
        args << QStringLiteral("-H");
    if (server.preserveACLs && probe.supportsACLs)
        args << QStringLiteral("-A");
    // Owners, groups, devices and special modes go into extended attributes
    // of the copies (and come back from them).
    const bool fakeSuper = keepsOwnersThroughXattrs(server, local) && probe.supportsXattrs && local.xattrsWork;
    if (server.preserveXattrs && probe.supportsXattrs && local.xattrsWork)
        args << QStringLiteral("-X") << Fingerprints::attributeFilter(local.isRoot || fakeSuper);
    if (server.numericIds)
        args << QStringLiteral("--numeric-ids");
    if (server.sparseFiles)
        args << QStringLiteral("--sparse");
    if (fakeSuper)
        args << QStringLiteral("--fake-super");
    // Root without attributes to keep them in: no device node, FIFO or
    // setuid file is made at all.
    if (local.isRoot && !fakeSuper)
        args << QStringLiteral("--no-devices") << QStringLiteral("--no-specials") << QStringLiteral("--chmod=Fug-s");
    if (const QString path = rsyncPathArgument(server); !path.isEmpty())
        args << path;
    return args;
}

QStringList notes(const Server &server, const RsyncProbe &probe, const Local &local)
{
    QStringList lines;
    if (server.preserveACLs && !probe.supportsACLs)
        lines << QStringLiteral("This computer's rsync does not support ACLs (-A): they are not kept.");
    if ((server.preserveXattrs || keepsOwnersThroughXattrs(server, local)) && !probe.supportsXattrs)
        lines << QStringLiteral(
            "This computer's rsync does not support extended attributes (-X): they, and the owners of files, "
            "are not kept.");
    else if (local.isRoot && !local.xattrsWork)
        lines << QStringLiteral(
            "The backup folder's file system does not store extended attributes: devices, FIFOs and setuid or setgid "
            "bits are not kept, so that no copy works as them.");
    else if ((server.preserveXattrs || keepsOwnersThroughXattrs(server, local)) && !local.xattrsWork)
        lines << QStringLiteral(
            "The backup folder's file system does not store extended attributes: owners, groups and extended "
            "attributes are not kept (the copies belong to you).");
    return lines;
}

tl::expected<void, Error> checkXattrs(const QString &folder)
{
    QString existing = QDir::cleanPath(folder);
    while (!QFileInfo(existing).isDir()) {
        const QString parent = QFileInfo(existing).path();
        if (parent == existing)
            return {};
        existing = parent;
    }
    const QByteArray path = QFile::encodeName(existing);
    static const char name[] = "user.tidewell.probe";
    if (::setxattr(path.constData(), name, "1", 1, 0) == 0) {
        ::removexattr(path.constData(), name);
        return {};
    }
    const int error = errno;
    // Only "not supported" says anything about the file system; a folder
    // that is not ours to write is for the run to report.
    if (error == ENOTSUP || error == EOPNOTSUPP)
        return tl::unexpected(Error{Error::Code::unsupported, QString::fromLocal8Bit(std::strerror(error))});
    return {};
}

QStringList explainFailure(const QStringList &lines)
{
    // A message the pipe delivered in pieces is logged as several lines:
    // they are read run together as well.
    const QString all = lines.join(u'\n');
    QString joined;
    for (const QString &line : lines)
        joined += line.startsWith(QStringLiteral("! ")) ? line.mid(2) : line;
    const auto has = [&all, &joined](const char *text) {
        return all.contains(QLatin1String(text), Qt::CaseInsensitive)
               || joined.contains(QLatin1String(text), Qt::CaseInsensitive);
    };
    QStringList said;
    if (has("sudo: a password is required") || has("sudo: a terminal is required"))
        said << QStringLiteral("sudo on the server asks for a password: let this account run rsync through sudo "
                               "without one (the connection test shows the sudoers line).");
    if (has("sudo: not found") || has("sudo: command not found"))
        said << QStringLiteral("The server has no sudo: install it, or turn off “Run with sudo on the server”.");
    // This side's rsync was asked before the run: what it refuses now is the server's.
    if (has("--acls") || has("-A: unknown option") || has("ACLs are not supported"))
        said << QStringLiteral("The server's rsync does not support ACLs (-A): turn off “ACLs” for this server, or "
                               "install an rsync with ACL support there.");
    if (has("--xattrs") || has("-X: unknown option") || has("extended attributes are not supported"))
        said << QStringLiteral("The server's rsync does not support extended attributes (-X): turn off “Extended "
                               "attributes” for this server, or install an rsync that has them there.");
    return said;
}

} // namespace KeepOptions
