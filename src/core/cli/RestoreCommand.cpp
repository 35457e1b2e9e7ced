// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line side of restores.
#include "core/cli/RestoreCommand.h"

#include "core/cli/TaskLoop.h"
#include "core/engine/CopyRunner.h"
#include "core/engine/Retention.h"
#include "core/engine/RsyncInvocation.h"
#include "core/engine/RsyncProbe.h"
#include "core/engine/Snapshots.h"
#include "core/model/ExitCode.h"
#include "core/model/SafePathComponent.h"
#include "core/model/ServerId.h"
#include "core/model/ServerReference.h"
#include "core/restore/LocalRestore.h"
#include "core/restore/RemoteCheck.h"
#include "core/restore/ServerRestore.h"
#include "core/restore/SnapshotMap.h"
#include "core/ssh/SSHTester.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "core/system/Background.h"
#include "core/system/FileLock.h"
#include "core/system/FileUtil.h"
#include "core/system/NotificationService.h"
#include "core/system/SignalWatcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <qcoro/qcorofuture.h>
#include <qcoro/qcorotask.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

namespace RestoreCommand {

namespace {

void say(FILE *stream, const QString &line)
{
    std::fputs((line + u'\n').toLocal8Bit().constData(), stream);
}

// Where a restore reads: the destination, or a second copy in its place.
struct Source
{
    AppSettings settings;
    Server server;
    // An ssh target: its days are listed and fetched over ssh.
    std::optional<CopyTarget> overSsh;
};

// The server as configured, or why there is none (already said). With
// `from`, the second copy of that name stands for the destination.
std::optional<Source> configured(const QString &reference, const QString &from = QString())
{
    const auto settings = ConfigStore::readOnly(AppPaths::configFile());
    if (!settings) {
        say(stderr, QStringLiteral("tidewell: the configuration could not be read: ") + settings.error().message);
        return std::nullopt;
    }
    const auto server = ServerReference::find(*settings, reference);
    if (!server) {
        say(stderr, server.error().message);
        return std::nullopt;
    }
    if (from.isEmpty())
        return Source{*settings, *server, std::nullopt};
    const CopyTarget *target = settings->copyTarget(from);
    if (!target) {
        say(stderr, QStringLiteral("No second copy is called “") + from + QStringLiteral("”."));
        return std::nullopt;
    }
    if (!target->takes(server->id)) {
        say(stderr, QStringLiteral("“") + target->shownName() + QStringLiteral("” does not take “")
                        + server->shownName() + QStringLiteral("”."));
        return std::nullopt;
    }
    if (target->kind == CopyTarget::Kind::ssh && !settings->useDateSubfolder) {
        say(stderr, QStringLiteral("tidewell: “") + target->shownName()
                        + QStringLiteral("” holds one tree, not days; fetch it with rsync to restore from it"));
        return std::nullopt;
    }
    if (target->kind == CopyTarget::Kind::ssh)
        return Source{*settings, *server, *target};
    AppSettings fromCopy = *settings;
    fromCopy.destinationPath = target->path;
    return Source{fromCopy, *server, std::nullopt};
}

// Why a remote path cannot name an item: an empty, "." or ".." part would
// reach outside the place it names (or mean nothing).
tl::expected<void, Error> checkItem(const QString &item)
{
    const QString path = SnapshotMap::normalized(item);
    const QStringList names = path.split(u'/');
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString &name = names.at(i);
        if ((name.isEmpty() && i > 0) || name == u'.' || name == QStringLiteral(".."))
            return tl::unexpected(
                Error{Error::Code::invalid,
                      QStringLiteral("tidewell: --item “") + item
                          + QStringLiteral("” has an empty, “.” or “..” part: name the file as the server has it")});
    }
    if (path.isEmpty())
        return tl::unexpected(Error{Error::Code::invalid, QStringLiteral("tidewell: --item needs a remote path")});
    return {};
}

// One line per signal, as backups say it; the restore ends as cancelled.
struct Cancel
{
    std::atomic<bool> stop = false;
    int signal = 0;
};

QCoro::Task<int> restoreLocally(Server server, Snapshots::Backup backup, QList<LocalRestore::Item> items,
                                QString folder, LocalRestore::Options options, bool dryRun)
{
    if (const auto allowed = LocalRestore::check(options); !allowed) {
        say(stderr, QStringLiteral("tidewell: ") + allowed.error().message);
        co_return ExitCode::refused;
    }
    // Nothing is copied out of a snapshot that a backup of this server is changing.
    auto lock = FileLock::tryLock(AppPaths::runLockFile(server.id));
    if (!lock) {
        say(stderr, lock.error().code == Error::Code::busy
                        ? QStringLiteral("tidewell: a backup of this server is running; restore after it has finished")
                        : QStringLiteral("tidewell: ") + TransferRunner::lockFailure(server, lock.error().message));
        co_return TransferRunner::alreadyRunningExitCode;
    }
    auto planned = Background::run([items, folder, options] { return LocalRestore::plan(items, folder, options); });
    const LocalRestore::Plan plan = co_await planned;
    // Nobody to ask: what is there stays, and the restored copy is kept beside it.
    QHash<QString, LocalRestore::Choice> choices;
    for (const QString &conflict : plan.conflicts)
        choices.insert(conflict, LocalRestore::Choice::keepBoth);
    const QDate day = Snapshots::dateOf(backup.name);
    if (dryRun) {
        for (const QString &line : LocalRestore::describe(plan, choices, day))
            say(stdout, line);
        say(stdout, QStringLiteral("A dry run: nothing was written to ") + folder);
        co_return ExitCode::success;
    }
    auto cancel = std::make_shared<Cancel>();
    SignalWatcher watcher({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&watcher, &SignalWatcher::received, &watcher, [cancel](int number) {
        say(stderr,
            QStringLiteral("Received ") + SignalWatcher::name(number) + QStringLiteral(": cancelling the restore."));
        cancel->signal = number;
        cancel->stop = true;
    });
    auto copied = Background::run(
        [plan, choices, day, cancel] { return LocalRestore::copy(plan, choices, day, nullptr, &cancel->stop); });
    const LocalRestore::Outcome outcome = co_await copied;
    say(stdout,
        QStringLiteral("Restored %1 file(s) from the backup of %2 to %3").arg(outcome.copied).arg(backup.name, folder));
    for (const QString &name : outcome.keptBoth)
        say(stdout, QStringLiteral("Kept the file that was there; the restored one is ") + name);
    if (!outcome.skippedSpecial.isEmpty())
        say(stdout, QStringLiteral("Skipped %1 special file(s): ").arg(outcome.skippedSpecial.size())
                        + outcome.skippedSpecial.mid(0, 10).join(QStringLiteral(", "))
                        + (outcome.skippedSpecial.size() > 10 ? QStringLiteral(", …") : QString()));
    for (const QString &note : outcome.notes)
        say(stdout, note);
    for (const QString &failure : outcome.failures)
        say(stderr, QStringLiteral("tidewell: could not restore ") + failure);
    if (outcome.cancelled) {
        say(stdout, QStringLiteral("Cancelled."));
        co_return TransferRunner::cancelledExitCode;
    }
    co_return outcome.failures.isEmpty() ? 0 : 23;
}

QCoro::Task<int> restoreToServer(ServerRestore::Request request, bool dryRun)
{
    ServerRestore restore;
    if (dryRun) {
        const ServerRestore::Preview preview = co_await restore.preview(request);
        for (const QString &line : preview.lines)
            say(stdout, line);
        for (const QString &line : preview.errors)
            say(stderr, line);
        say(stdout, ServerRestore::summary(preview) + QStringLiteral(" (a dry run: nothing was written)"));
        co_return preview.exitCode;
    }
    // What systemctl stop, a shutdown or Ctrl+C send ends the restore as
    // its Cancel button would: children stopped, the log written.
    SignalWatcher watcher({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&watcher, &SignalWatcher::received, &restore, [&restore](int number) {
        if (!restore.isRunning())
            return;
        restore.append(QStringLiteral("Received ") + SignalWatcher::name(number)
                       + QStringLiteral(": cancelling the restore."));
        restore.cancel();
    });
    const int status = co_await restore.run(request);
    for (const QString &line : restore.logLines())
        say(line.startsWith(QStringLiteral("!")) ? stderr : stdout, line);
    if (request.settings.notificationsEnabled && !restore.wasRefused())
        NotificationService::post(NotificationService::restoreContent(NotificationService::forNotice(request.server),
                                                                      restore.exitCode(), restore.wasCancelled()));
    co_return restore.wasCancelled() ? TransferRunner::cancelledExitCode : status;
}

QCoro::Task<int> checkAgainstServer(Server server, AppSettings settings, std::optional<QString> day)
{
    // A check reaches only servers whose key is known already.
    SSHTester::setHostKeyPolicy(SSHTester::HostKeyPolicy::strict);
    RemoteCheck check;
    SignalWatcher watcher({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&watcher, &SignalWatcher::received, &check, [&check](int) { check.cancel(); });
    const RsyncProbe probe = RsyncProbe::compute();
    const RemoteCheck::Result result = co_await check.run(server, settings, day, probe);
    for (const QString &line : RemoteCheck::report(server, result))
        say(line.startsWith(QStringLiteral("!")) || !result.refusal.isEmpty() ? stderr : stdout, line);
    co_return result.exitCode();
}

void sayBackups(const Server &server, const QList<Snapshots::Backup> &backups, bool asJson, const QString &where)
{
    if (asJson) {
        QJsonArray list;
        for (const Snapshots::Backup &backup : backups)
            list.append(QJsonObject{{QStringLiteral("date"), backup.name},
                                    {QStringLiteral("complete"), backup.complete},
                                    {QStringLiteral("path"), backup.path},
                                    {QStringLiteral("files"), QJsonValue::Null}});
        const QJsonObject report{{QStringLiteral("id"), ServerId::text(server.id)},
                                 {QStringLiteral("name"), server.name},
                                 {QStringLiteral("backups"), list}};
        std::fputs(QJsonDocument(report).toJson(QJsonDocument::Indented).constData(), stdout);
        return;
    }
    if (backups.isEmpty())
        say(stdout, QStringLiteral("No backups of this server in ") + where);
    for (const Snapshots::Backup &backup : backups)
        say(stdout, backup.name + (backup.complete ? QStringLiteral("  complete") : QStringLiteral("  incomplete")));
}

// The server's folder on an ssh target, as its host names it.
QString folderOnTarget(const CopyTarget &target, const Server &server)
{
    return QDir::cleanPath(target.path + u'/' + safePathComponent(server.name));
}

QCoro::Task<int> listCopy(Server server, CopyTarget target, bool asJson)
{
    CopyRunner reader;
    const tl::expected<QList<Snapshots::Backup>, QString> days = co_await reader.listDays(target, server);
    if (!days) {
        say(stderr, QStringLiteral("tidewell: ") + days.error());
        co_return ExitCode::failing;
    }
    const QString folder = folderOnTarget(target, server);
    QList<Snapshots::Backup> named = *days;
    for (Snapshots::Backup &day : named)
        day.path = folder + u'/' + day.name;
    sayBackups(server, named, asJson, target.host + u':' + folder);
    co_return ExitCode::success;
}

// The day asked for, or why it cannot be restored from (already said).
std::optional<Snapshots::Backup> chosenDay(const QList<Snapshots::Backup> &backups,
                                           const EntryPoint::Options::Restore &request)
{
    const QString &name = request.date;
    // A day stands for its newest complete snapshot, or its newest.
    auto backup = std::find_if(backups.begin(), backups.end(),
                               [&](const Snapshots::Backup &b) { return b.complete && Snapshots::isOf(b.name, name); });
    if (backup == backups.end())
        backup = std::find_if(backups.begin(), backups.end(),
                              [&](const Snapshots::Backup &b) { return Snapshots::isOf(b.name, name); });
    if (backup == backups.end()) {
        say(stderr,
            QStringLiteral("tidewell: there is no backup of ") + name + QStringLiteral(" (see --list-backups)"));
        return std::nullopt;
    }
    if (!backup->complete && !request.allowIncomplete) {
        say(stderr,
            QStringLiteral("tidewell: the backup of ") + name
                + QStringLiteral(
                    " is incomplete (its run did not finish); add --allow-incomplete to restore from it anyway"));
        return std::nullopt;
    }
    return *backup;
}

// The items of one backup, to this computer or to the server.
QCoro::Task<int> restoreBackup(EntryPoint::Options::Restore request, AppSettings settings, Server server,
                               Snapshots::Backup backup)
{
    QList<LocalRestore::Item> localItems;
    QList<ServerRestore::Item> serverItems;
    for (const QString &item : std::as_const(request.items)) {
        const auto resolved = SnapshotMap::resolve(server, backup.path, item);
        const QFileInfo info(resolved ? resolved->localPath : QString());
        if (!resolved || (!info.exists() && !info.isSymLink())) {
            say(stderr,
                QStringLiteral("tidewell: “") + item + QStringLiteral("” is not in the backup of ") + backup.name);
            co_return ExitCode::refused;
        }
        // Never through a link of the backup: it would lead anywhere on this computer.
        if (resolved->throughLink)
            say(stdout, QStringLiteral("“") + item + QStringLiteral("” lies behind the link “") + resolved->remotePath
                            + QStringLiteral("” in the backup: the link is restored, not what it points to."));
        localItems << LocalRestore::Item{resolved->localPath, resolved->remotePath.section(u'/', -1)};
        serverItems << ServerRestore::Item{resolved->localPath, resolved->remotePath,
                                           info.isDir() && !info.isSymLink()};
    }
    const RsyncProbe probe = RsyncProbe::compute();
    if (request.toLocal) {
        LocalRestore::Options options;
        options.rsync = probe.executable;
        options.hardLinks = server.preserveHardLinks;
        options.acls = server.preserveACLs && probe.supportsACLs;
        options.xattrs = server.preserveXattrs && probe.supportsXattrs;
        options.sparse = server.sparseFiles;
        options.keepSpecial = request.keepSpecial;
        options.ioTimeoutSeconds = int(std::clamp<qint64>(settings.ioTimeoutSeconds, 0, 86400));
        const QString folder = QDir::cleanPath(QDir(AppPaths::expandTilde(*request.toLocal)).absolutePath());
        co_return co_await restoreLocally(server, backup, localItems, folder, options, request.dryRun);
    }
    ServerRestore::Request restoreRequest;
    restoreRequest.server = server;
    restoreRequest.settings = settings;
    restoreRequest.probe = probe;
    restoreRequest.items = serverItems;
    restoreRequest.otherFolder = request.serverFolder;
    restoreRequest.snapshotName = backup.name;
    co_return co_await restoreToServer(restoreRequest, request.dryRun);
}

// What restores from an ssh target left when they were killed ("restore-<pid>-…"
// of a process that is gone).
void removeAbandonedStages(const QString &stagingFolder)
{
    for (const QString &name : QDir(stagingFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        bool isNumber = false;
        const qint64 pid = name.section(u'-', 1, 1).toLongLong(&isNumber);
        if (isNumber && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            (void)FileUtil::removeTree(stagingFolder + u'/' + name);
    }
}

// From an ssh target: the items are fetched into a private folder of this
// computer laid out as the destination, restored from there as from the
// destination, and the folder is deleted.
QCoro::Task<int> restoreFromCopy(EntryPoint::Options::Restore request, AppSettings settings, Server server,
                                 CopyTarget target)
{
    CopyRunner reader;
    SignalWatcher watcher({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&watcher, &SignalWatcher::received, &reader, [&reader](int) { reader.cancel(); });
    const tl::expected<QList<Snapshots::Backup>, QString> days = co_await reader.listDays(target, server);
    if (!days) {
        say(stderr, QStringLiteral("tidewell: ") + days.error());
        co_return ExitCode::failing;
    }
    const std::optional<Snapshots::Backup> day = chosenDay(*days, request);
    if (!day)
        co_return ExitCode::refused;
    const QString stagingFolder = AppPaths::dataFolder() + QStringLiteral("/staging");
    (void)FileUtil::makePrivateFolder(stagingFolder);
    removeAbandonedStages(stagingFolder);
    QTemporaryDir stage(stagingFolder + QStringLiteral("/restore-")
                        + QString::number(QCoreApplication::applicationPid()) + QStringLiteral("-XXXXXX"));
    stage.setAutoRemove(false);
    if (!stage.isValid()) {
        say(stderr, QStringLiteral("tidewell: cannot make a folder in ") + stagingFolder);
        co_return ExitCode::failing;
    }
    const QString dayFolder = Retention::serverFolder(stage.path(), server) + u'/' + day->name;
    // Each path's folder, as a snapshot has them: the items are found in it.
    for (const BackupPath &path : std::as_const(server.paths))
        QDir().mkpath(RsyncInvocation::targetFolder(dayFolder, path));
    QStringList inDay;
    for (const QString &item : std::as_const(request.items)) {
        const auto resolved = SnapshotMap::resolve(server, dayFolder, item);
        if (!resolved) {
            say(stderr,
                QStringLiteral("tidewell: “") + item + QStringLiteral("” is not in the backup of ") + day->name);
            (void)FileUtil::removeTree(stage.path());
            co_return ExitCode::refused;
        }
        inDay << QDir(dayFolder).relativeFilePath(resolved->localPath);
    }
    const tl::expected<void, QString> fetched = co_await reader.fetch(target, server, day->name, inDay, stage.path());
    int status = ExitCode::failing;
    if (fetched) {
        settings.destinationPath = stage.path();
        const Snapshots::Backup staged{day->name, dayFolder, true};
        status = co_await restoreBackup(request, settings, server, staged);
    } else {
        for (const QString &line : reader.logLines())
            say(stderr, line);
        say(stderr, QStringLiteral("tidewell: cannot fetch from ") + target.shownName() + QStringLiteral(": ")
                        + fetched.error());
    }
    (void)FileUtil::removeTree(stage.path());
    co_return status;
}

} // namespace

int listBackups(const QString &reference, bool asJson, const QString &from)
{
    const auto found = configured(reference, from);
    if (!found)
        return ExitCode::refused;
    if (found->overSsh)
        return TaskLoop::run(listCopy(found->server, *found->overSsh, asJson));
    const QString folder = Retention::serverFolder(found->settings.destinationPath, found->server);
    sayBackups(found->server, Snapshots::list(folder), asJson, folder);
    return ExitCode::success;
}

int restore(const EntryPoint::Options::Restore &request)
{
    for (const QString &item : request.items) {
        if (const auto named = checkItem(item); !named) {
            say(stderr, named.error().message);
            return ExitCode::refused;
        }
    }
    const auto found = configured(request.server, request.from);
    if (!found)
        return ExitCode::refused;
    if (found->overSsh)
        return TaskLoop::run(restoreFromCopy(request, found->settings, found->server, *found->overSsh));
    const std::optional<Snapshots::Backup> backup =
        chosenDay(Snapshots::list(Retention::serverFolder(found->settings.destinationPath, found->server)), request);
    if (!backup)
        return ExitCode::refused;
    return TaskLoop::run(restoreBackup(request, found->settings, found->server, *backup));
}

int verifyRemote(const QString &reference, const std::optional<QString> &day)
{
    const auto found = configured(reference);
    if (!found)
        return ExitCode::refused;
    return TaskLoop::run(checkAgainstServer(found->server, found->settings, day));
}

} // namespace RestoreCommand
