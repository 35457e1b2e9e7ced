// SPDX-License-Identifier: GPL-3.0-or-later
// A dry run and a run of a restore to the server, logged like a backup.
#include "core/restore/ServerRestore.h"

#include "core/engine/OutputDecoder.h"
#include "core/engine/RsyncPreview.h"
#include "core/ssh/SSHTester.h"
#include "core/ssh/Shell.h"
#include "core/ssh/TargetCheck.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "core/system/FileLock.h"
#include "core/system/Subprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QPointer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

#include <cstdio>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

// A push itemizes what it sends with "<": "<f+++++++++ new", "<f.st...... changed".
const QRegularExpression sent(QStringLiteral("^<([fLDS])([^ ]{9,}|.{9}) "));

// Regular files an item holds (the item itself when it is one).
int filesIn(const ServerRestore::Item &item)
{
    if (!item.isDirectory)
        return 1;
    int files = 0;
    QDirIterator it(item.localPath, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++files;
    }
    return files;
}

namespace OwnerCount {

// The owner a copy holds for `path`: in the attribute --fake-super wrote, or its own.
std::pair<uint, uint> owner(const QByteArray &path, const struct stat &info)
{
    char value[128];
    const ssize_t length = ::lgetxattr(path.constData(), "user.rsync.%stat", value, sizeof value - 1);
    unsigned mode = 0, major = 0, minor = 0, uid = 0, gid = 0;
    if (length > 0) {
        value[length] = 0;
        if (std::sscanf(value, "%o %u,%u %u:%u", &mode, &major, &minor, &uid, &gid) == 5)
            return {uid, gid};
    }
    return {info.st_uid, info.st_gid};
}

// Entries at or under `path` owned by another user than `uid`, or by a group outside `groups`.
int differing(const QString &path, uint uid, const QSet<uint> &groups)
{
    int count = 0;
    QStringList pending{path};
    while (!pending.isEmpty()) {
        const QString next = pending.takeLast();
        const QByteArray encoded = QFile::encodeName(next);
        struct stat info;
        if (::lstat(encoded.constData(), &info) != 0)
            continue;
        const auto [owner, group] = OwnerCount::owner(encoded, info);
        if (owner != uid || !groups.contains(group))
            ++count;
        if (S_ISDIR(info.st_mode)) {
            for (const QString &name :
                 QDir(next).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
                pending << next + u'/' + name;
        }
    }
    return count;
}

} // namespace OwnerCount

QString remoteMkdir(const QString &folder)
{
    return QStringLiteral("mkdir -p -- ") + Shell::quotePath(folder);
}

} // namespace

ServerRestore::ServerRestore(QObject *parent)
    : TransferRunner(parent)
{ }

QString ServerRestore::summary(const Preview &preview)
{
    return QCoreApplication::translate("ServerRestore", "%1 file(s) would be created, %2 would be replaced")
        .arg(preview.created)
        .arg(preview.replaced);
}

bool ServerRestore::isReplacement(const QString &line)
{
    const auto match = sent.match(line);
    return match.hasMatch() && !match.captured(2).startsWith(u'+');
}

void ServerRestore::take(Preview &preview, const QString &line)
{
    if (const auto match = sent.match(line); match.hasMatch() && match.captured(1) == u'f') {
        if (match.captured(2).startsWith(u'+'))
            ++preview.created;
        else
            ++preview.replaced;
    }
    if (!line.isEmpty() && preview.lines.size() < RsyncPreview::shownLines)
        preview.lines << line;
}

QCoro::Task<ServerRestore::Preview> ServerRestore::preview(Request request)
{
    QPointer<ServerRestore> self(this);
    Preview preview;
    m_makeFolders = false;
    const Server &server = request.server;
    if (const auto safe = TargetCheck::target(server.host, server.username); !safe) {
        preview.errors << safe.error().message;
        preview.exitCode = ExitCode::refused;
        co_return preview;
    }
    const OutputSink ignore = [](const QByteArray &, bool) {};
    if (request.otherFolder) {
        // A folder that is not there yet would be made: everything is new.
        const QStringList test =
            SSHTester::runCommandArgs(server, QStringLiteral("test -d ") + Shell::quotePath(*request.otherFolder));
        const auto there = co_await runChild(SSHTester::executable, test, ignore, 0, false);
        if (!self)
            co_return preview;
        m_makeFolders = there && *there == 1 && server.remoteSudo && RestoreInvocation::canMakeFolders(request.probe);
        if (there && *there == 1 && !m_makeFolders) {
            for (const Item &item : std::as_const(request.items))
                preview.created += filesIn(item);
            preview.lines << QCoreApplication::translate("ServerRestore",
                                                         "The folder %1 is not on the server yet: it will be made.")
                                 .arg(OutputDecoder::visible(*request.otherFolder));
            co_return preview;
        }
    }
    const QString replaced = RestoreInvocation::replacedName(m_clock(), 0);
    const RestoreInvocation::Push push =
        RestoreInvocation::push(server, request.settings, request.probe, true, m_makeFolders);
    for (const Item &item : std::as_const(request.items)) {
        OutputDecoder out;
        OutputDecoder err;
        const OutputSink sink = [&preview, &out, &err](const QByteArray &data, bool fromStandardError) {
            for (const QString &line : (fromStandardError ? err : out).feed(data))
                fromStandardError ? void(preview.errors << line) : take(preview, line);
        };
        const QStringList args =
            RestoreInvocation::arguments(push, RestoreInvocation::place(item, request.otherFolder), replaced);
        const auto status = co_await runChild(request.probe.executable, args, sink, 0, true);
        if (!self)
            co_return preview;
        for (const QString &line : out.finish())
            take(preview, line);
        preview.errors << err.finish();
        if (!status) {
            preview.errors << QStringLiteral("Failed to start rsync: ") + status.error().message;
            preview.exitCode = -1;
            break;
        }
        if (*status != 0 || m_wasCancelled) {
            preview.exitCode = m_wasCancelled ? cancelledExitCode : *status;
            break;
        }
    }
    co_return preview;
}

QCoro::Task<int> ServerRestore::countUnownable(Server server, QList<Item> items)
{
    QPointer<ServerRestore> self(this);
    QByteArray said;
    const OutputSink collect = [&said](const QByteArray &data, bool fromStandardError) {
        if (!fromStandardError && said.size() < 65536)
            said += data;
    };
    const QStringList args = SSHTester::runCommandArgs(server, QStringLiteral("id -u && id -G"));
    const auto status = co_await runChild(SSHTester::executable, args, collect, 0, false);
    if (!self || !status || *status != 0)
        co_return 0; // cannot tell: rsync says what it cannot do
    const QList<QByteArray> lines = said.trimmed().split('\n');
    if (lines.size() < 2)
        co_return 0;
    const uint uid = lines.first().trimmed().toUInt();
    QSet<uint> groups;
    for (const QByteArray &group : lines.at(1).trimmed().split(' '))
        groups.insert(group.toUInt());
    int count = 0;
    for (const Item &item : std::as_const(items))
        count += OwnerCount::differing(item.localPath, uid, groups);
    co_return count;
}

QCoro::Task<bool> ServerRestore::makeOtherFolder(Server server, QString folder, RsyncProbe probe)
{
    QPointer<ServerRestore> self(this);
    QByteArray said;
    const OutputSink collect = [&said](const QByteArray &data, bool) {
        if (said.size() < 4096)
            said += data.left(4096);
    };
    const QStringList args = SSHTester::runCommandArgs(server, remoteMkdir(folder));
    const auto status = co_await runChild(SSHTester::executable, args, collect, 0, false);
    if (!self)
        co_return false;
    if (m_wasCancelled) {
        setExitCode(cancelledExitCode);
        co_return false;
    }
    if (status && *status == 0)
        co_return true;
    // The account may not make it; rsync running as root through sudo may.
    if (server.remoteSudo && RestoreInvocation::canMakeFolders(probe)) {
        m_makeFolders = true;
        co_return true;
    }
    append(QStringLiteral("!! Could not make the folder ") + OutputDecoder::visible(folder)
           + QStringLiteral(" on the server: ")
           + (status ? OutputDecoder::visible(QString::fromUtf8(said).trimmed()) : status.error().message));
    setExitCode(status ? (*status == 0 ? 2 : *status) : -1);
    co_return false;
}

QCoro::Task<int> ServerRestore::restoreItems(Request request, QString replacedName)
{
    QPointer<ServerRestore> self(this);
    const int stallSeconds = int(std::clamp<qint64>(request.settings.ioTimeoutSeconds, 0, 86400));
    const RestoreInvocation::Push push =
        RestoreInvocation::push(request.server, request.settings, request.probe, false, m_makeFolders);
    QStringList destinations;
    for (const Item &item : std::as_const(request.items)) {
        setCurrentItem(item.remotePath);
        append(QStringLiteral("=== ") + OutputDecoder::visible(item.remotePath) + QStringLiteral(" ==="));
        const RestoreInvocation::Placement placement = RestoreInvocation::place(item, request.otherFolder);
        // Two items that land on one path each keep what they replace apart.
        const QString &destination = placement.destination;
        const qsizetype earlier = destinations.count(destination);
        destinations << destination;
        const QString replaced = earlier == 0 ? replacedName : replacedName + u'-' + QString::number(earlier + 1);
        const QStringList args = RestoreInvocation::arguments(push, placement, replaced);
        append(QStringLiteral("$ ")
               + OutputDecoder::visible(Shell::displayCommandLine(request.probe.executable, args)));
        int replacedHere = 0;
        m_outputWatch = [&replacedHere](const QStringList &lines, bool fromStandardError) {
            if (fromStandardError)
                return;
            for (const QString &line : lines)
                replacedHere += isReplacement(line) ? 1 : 0;
        };
        const int status = co_await runTransfer(request.probe.executable, args, stallSeconds);
        if (!self)
            co_return status;
        m_outputWatch = nullptr;
        if (replacedHere > 0) {
            m_replacedFiles += replacedHere;
            const QString folder = RestoreInvocation::replacedFolder(placement, replaced);
            if (!m_replacedFolders.contains(folder))
                m_replacedFolders << folder;
        }
        append(QStringLiteral("→ exit ") + QString::number(status));
        append(QString());
        if (m_wasCancelled)
            co_return status == 0 ? cancelledExitCode : status;
        if (status != 0)
            co_return status;
        m_written << destination;
    }
    co_return 0;
}

void ServerRestore::finish(const QUuid &serverID, const QDateTime &startedAt, int exit)
{
    setExitCode(exit);
    if (m_wasCancelled) {
        append(QStringLiteral("Cancelled by user."));
        append(m_written.isEmpty() ? QStringLiteral("Nothing was restored completely before the cancel.")
                                   : QStringLiteral("Restored completely before the cancel: ")
                                         + OutputDecoder::visible(m_written.join(QStringLiteral(", "))));
    } else if (exit == 0) {
        append(QStringLiteral("=== Restore completed ==="));
    } else {
        append(QStringLiteral("Aborting: remaining items skipped."));
    }
    if (!m_replacedFolders.isEmpty())
        append(QStringLiteral("Files the restore replaced are kept on the server in ")
               + OutputDecoder::visible(m_replacedFolders.join(QStringLiteral(", "))));
    setRunning(false, std::nullopt);
    setCurrentItem(QString());
    setProgressPercent(std::nullopt);
    LogStore::saveRestore(
        serverID, LogStore::restoreHeader(startedAt, m_clock(), LogStore::statusWord(m_wasCancelled, exitCode())),
        logLines());
    Q_EMIT restoreFinished(serverID, exitCode());
}

QCoro::Task<int> ServerRestore::run(Request request)
{
    if (isRunning())
        co_return alreadyRunningExitCode;
    QPointer<ServerRestore> self(this);
    const Server server = request.server;
    const QString name = server.logName();
    // Never beside a backup of this server, which holds the same lock.
    auto lock = FileLock::tryLock(AppPaths::runLockFile(server.id));
    if (!lock) {
        refuse(lock.error().code == Error::Code::busy
                   ? QStringLiteral("A backup of “") + name
                         + QStringLiteral("” is running; restore after it has finished.")
                   : lockFailure(server, lock.error().message),
               alreadyRunningExitCode);
        co_return alreadyRunningExitCode;
    }
    begin(server, request.settings);
    const QDateTime startedAt = m_clock();
    m_replacedFolders.clear();
    m_replacedFiles = 0;
    m_written.clear();
    m_makeFolders = false;
    append(QStringLiteral("Restore from the snapshot of ") + request.snapshotName + QStringLiteral(" of ") + name);
    append(QStringLiteral("To: ") + server.username + u'@' + server.host + u':' + QString::number(server.port)
           + (request.otherFolder ? QStringLiteral(", into ") + OutputDecoder::visible(*request.otherFolder)
                                  : QStringLiteral(", where each item came from")));
    append(QString());
    if (const auto safe = TargetCheck::target(server.host, server.username); !safe) {
        append(QStringLiteral("!! ") + safe.error().message);
        finish(server.id, startedAt, ExitCode::refused);
        co_return ExitCode::refused;
    }
    if (request.otherFolder) {
        const bool made = co_await makeOtherFolder(server, *request.otherFolder, request.probe);
        if (!self)
            co_return -1;
        if (!made) {
            const int exit = exitCode().value_or(2);
            finish(server.id, startedAt, exit);
            co_return exit;
        }
    }
    // Owners come back only where the server's side runs as root: said when
    // some file has an owner or group the account cannot give it.
    if (server.preserveOwnership && !server.remoteSudo && server.username != QStringLiteral("root")) {
        const int unowned = co_await countUnownable(server, request.items);
        if (!self)
            co_return -1;
        if (unowned > 0)
            append(QStringLiteral("Owners and groups cannot be set for %1 file(s): the server's rsync does not run as "
                                  "root (turn on “Run with sudo on the server”, or log in as root). They will belong "
                                  "to %2.")
                       .arg(QString::number(unowned), server.username));
    }
    const QString replacedName = RestoreInvocation::replacedName(startedAt, QRandomGenerator::global()->generate());
    const int exit = co_await restoreItems(request, replacedName);
    if (!self)
        co_return exit;
    finish(server.id, startedAt, exit);
    co_return exit;
}
