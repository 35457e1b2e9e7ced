// SPDX-License-Identifier: GPL-3.0-or-later
// Scanning, looking up and trusting SSH host keys with the OpenSSH tools.
#include "core/ssh/HostKeyChecker.h"

#include "core/model/ServerId.h"
#include "core/ssh/TargetCheck.h"
#include "core/system/AppPaths.h"
#include "core/system/FileUtil.h"
#include "core/system/Subprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <pwd.h>
#include <unistd.h>

namespace HostKeyChecker {

namespace {

// ssh-keyscan's lines for the server, or why there are none.
using Scan = tl::expected<QByteArray, ProbeError>;

QCoro::Task<Scan> keyscan(QString host, qint64 port)
{
    if (const auto safe = TargetCheck::host(host); !safe)
        co_return tl::unexpected(safe.error());
    // "--": a host is never read as an option, whatever it holds.
    const QStringList arguments{QStringLiteral("-T"),  QStringLiteral("5"),  QStringLiteral("-p"),
                                QString::number(port), QStringLiteral("--"), host};
    const Subprocess::Result result = co_await Subprocess::run(keyscanExecutable, arguments);
    if (!result)
        co_return tl::unexpected(result.error());
    if (result->out.isEmpty())
        co_return tl::unexpected(ProbeError{
            Error::Code::unreachable,
            QCoreApplication::translate("HostKeyChecker", "No response from %1:%2").arg(host, QString::number(port))});
    co_return result->out;
}

QCoro::Task<ProbeResult> fingerprintOf(QByteArray keys)
{
    const QStringList arguments{QStringLiteral("-l"), QStringLiteral("-f"), QStringLiteral("-")};
    const Subprocess::Result result = co_await Subprocess::run(keygenExecutable, arguments, keys);
    if (!result)
        co_return tl::unexpected(result.error());
    const auto chosen = preferred(parseFingerprints(Subprocess::strictUtf8(result->out)));
    if (!chosen)
        co_return tl::unexpected(ProbeError{
            Error::Code::damaged, QCoreApplication::translate("HostKeyChecker", "Could not parse fingerprint")});
    co_return *chosen;
}

tl::expected<void, Error> appendToKnownHosts(const QByteArray &lines)
{
    const QString path = knownHostsFile();
    if (const auto folder = FileUtil::makeFolder(QFileInfo(path).absolutePath()); !folder)
        return folder;
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append))
        return tl::unexpected(Error::failed(file.errorString()));
    QByteArray text;
    // Never glue the first new line onto a last line without a line break.
    if (file.size() > 0) {
        file.seek(file.size() - 1);
        if (file.read(1) != "\n")
            text += '\n';
    }
    text += lines;
    if (!lines.endsWith('\n'))
        text += '\n';
    if (file.write(text) != text.size() || !file.flush())
        return tl::unexpected(Error::failed(file.errorString()));
    file.close();
    if (file.error() != QFile::NoError)
        return tl::unexpected(Error::failed(file.errorString()));
    return {};
}

} // namespace

Status::Classified Status::state() const
{
    if (!live)
        return {State::unreachable,
                {},
                {},
                error.value_or(QCoreApplication::translate("HostKeyChecker", "ssh-keyscan failed"))};
    if (!known)
        return {State::unknown, *live, {}, {}};
    if (*live == *known)
        return {State::trusted, *live, *known, {}};
    return {State::mismatch, *live, *known, {}};
}

namespace {
QString testKnownHosts;
} // namespace

QString knownHostsFile()
{
    if (!testKnownHosts.isEmpty())
        return testKnownHosts;
    const passwd *entry = ::getpwuid(::getuid());
    const QString home = entry && entry->pw_dir ? QString::fromLocal8Bit(entry->pw_dir) : AppPaths::homeFolder();
    return home + QStringLiteral("/.ssh/known_hosts");
}

void setKnownHostsFileForTesting(const QString &path)
{
    testKnownHosts = path;
}

QStringList knownHostsOptions()
{
    if (testKnownHosts.isEmpty())
        return {};
    return {QStringLiteral("-o"), QStringLiteral("UserKnownHostsFile=") + testKnownHosts};
}

QString fleetKnownHostsFile(const QUuid &serverID)
{
    return AppPaths::dataFolder() + QStringLiteral("/known_hosts.d/") + ServerId::text(serverID);
}

QStringList knownHostsOptions(const Server &server)
{
    if (server.knownHostKeys.isEmpty())
        return knownHostsOptions();
    const QString path = fleetKnownHostsFile(server.id);
    const QByteArray lines = server.knownHostKeys.join(u'\n').toUtf8() + '\n';
    const auto current = FileUtil::readRegularFile(path, 1024 * 1024);
    if (!current || !*current || **current != lines) {
        (void)FileUtil::makePrivateFolder(QFileInfo(path).absolutePath());
        (void)FileUtil::writeAtomically(path, lines);
    }
    // ssh expands "%" and "~" in the name and splits it at spaces: quoted,
    // with "%" doubled. A name that cannot be quoted names no file, and the
    // connection fails as an unknown key would.
    QString quoted = path;
    quoted.replace(u'%', QStringLiteral("%%"));
    if (quoted.contains(u'"') || quoted.contains(u'\\'))
        quoted = QStringLiteral("/nonexistent");
    return {QStringLiteral("-o"), QStringLiteral("UserKnownHostsFile=\"") + quoted + u'"'};
}

QString hostPattern(const QString &host, qint64 port)
{
    // User text is never run through arg(): a "%1" in a host stays as it is.
    return port == 22 ? host : u'[' + host + QStringLiteral("]:") + QString::number(port);
}

QList<Fingerprint> parseFingerprints(const QString &text)
{
    QList<Fingerprint> result;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QStringList pieces = line.split(u' ', Qt::SkipEmptyParts);
        if (pieces.size() < 2 || !pieces.at(1).startsWith(QLatin1String("SHA256:")))
            continue;
        QString type = pieces.last();
        while (type.startsWith(u'(') || type.startsWith(u')'))
            type.remove(0, 1);
        while (type.endsWith(u')') || type.endsWith(u'('))
            type.chop(1);
        result.append({type.toUpper(), pieces.at(1)});
    }
    return result;
}

std::optional<Fingerprint> preferred(const QList<Fingerprint> &fingerprints)
{
    for (const char *type : {"ED25519", "ECDSA", "RSA", "DSA"}) {
        for (const Fingerprint &fingerprint : fingerprints) {
            if (fingerprint.keyType == QLatin1String(type))
                return fingerprint;
        }
    }
    if (fingerprints.isEmpty())
        return std::nullopt;
    return fingerprints.first();
}

QCoro::Task<ProbeResult> liveFingerprint(QString host, qint64 port)
{
    const Scan scan = co_await keyscan(host, port);
    if (!scan)
        co_return tl::unexpected(scan.error());
    co_return co_await fingerprintOf(*scan);
}

QCoro::Task<std::optional<Fingerprint>> knownHostFingerprint(QString host, qint64 port)
{
    const QString path = knownHostsFile();
    if (!QFile::exists(path) || !TargetCheck::host(host))
        co_return std::nullopt;
    const QStringList find{QStringLiteral("-F"), hostPattern(host, port), QStringLiteral("-f"),
                           QFileInfo(path).absoluteFilePath()};
    const Subprocess::Result found = co_await Subprocess::run(keygenExecutable, find);
    if (!found)
        co_return std::nullopt;
    QStringList entries;
    const QStringList lines = Subprocess::strictUtf8(found->out).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        if (!line.startsWith(u'#'))
            entries.append(line);
    }
    if (entries.isEmpty())
        co_return std::nullopt;
    const QStringList list{QStringLiteral("-l"), QStringLiteral("-f"), QStringLiteral("-")};
    const Subprocess::Result listed = co_await Subprocess::run(keygenExecutable, list, entries.join(u'\n').toUtf8());
    if (!listed)
        co_return std::nullopt;
    co_return preferred(parseFingerprints(Subprocess::strictUtf8(listed->out)));
}

QCoro::Task<ProbeResult> trust(QString host, qint64 port, std::optional<Fingerprint> seen)
{
    const Scan scan = co_await keyscan(host, port);
    if (!scan)
        co_return tl::unexpected(scan.error());
    const ProbeResult now = co_await fingerprintOf(*scan);
    if (seen && !now)
        co_return tl::unexpected(now.error());
    if (seen && *now != *seen)
        co_return tl::unexpected(ProbeError{
            Error::Code::failed, QCoreApplication::translate(
                                     "HostKeyChecker", "the server now presents %1 %2, not the key shown. Check again.")
                                     .arg(now->keyType, now->sha256)});
    if (const auto appended = appendToKnownHosts(*scan); !appended)
        co_return tl::unexpected(appended.error());
    co_return co_await liveFingerprint(host, port);
}

QCoro::Task<ProbeResult> replace(QString host, qint64 port, Fingerprint seen)
{
    if (const auto safe = TargetCheck::host(host); !safe)
        co_return tl::unexpected(safe.error());
    // The new key first: nothing is removed for a key the user was not shown.
    const ProbeResult now = co_await liveFingerprint(host, port);
    if (!now)
        co_return tl::unexpected(now.error());
    if (*now != seen)
        co_return tl::unexpected(ProbeError{
            Error::Code::failed, QCoreApplication::translate(
                                     "HostKeyChecker", "the server now presents %1 %2, not the key shown. Check again.")
                                     .arg(now->keyType, now->sha256)});
    const QString path = knownHostsFile();
    const QStringList remove{QStringLiteral("-R"), hostPattern(host, port), QStringLiteral("-f"),
                             QFileInfo(path).absoluteFilePath()};
    const Subprocess::Result removed = co_await Subprocess::run(keygenExecutable, remove);
    if (!removed)
        co_return tl::unexpected(removed.error());
    if (removed->status != 0)
        co_return tl::unexpected(ProbeError{Error::Code::toolFailed, Subprocess::strictUtf8(removed->err).trimmed()});
    co_return co_await trust(host, port, seen);
}

QCoro::Task<Status> check(QString host, qint64 port)
{
    const ProbeResult live = co_await liveFingerprint(host, port);
    Status status;
    if (live)
        status.live = *live;
    else
        status.error = live.error().message;
    status.known = co_await knownHostFingerprint(host, port);
    co_return status;
}

} // namespace HostKeyChecker
