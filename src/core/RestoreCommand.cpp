// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line side of restores.
#include "core/RestoreCommand.h"

#include "core/engine/Retention.h"
#include "core/engine/RsyncProbe.h"
#include "core/engine/Snapshots.h"
#include "core/model/ServerId.h"
#include "core/restore/LocalRestore.h"
#include "core/restore/ServerRestore.h"
#include "core/restore/SnapshotMap.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"
#include "core/system/FileLock.h"
#include "core/system/NotificationService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <qcoro/qcorotask.h>

#include <cstdio>

namespace RestoreCommand {

namespace {

void say(FILE *stream, const QString &line)
{
    std::fputs((line + u'\n').toLocal8Bit().constData(), stream);
}

// The server as configured, or why there is none (already said).
std::optional<std::pair<AppSettings, Server>> configured(const QUuid &serverID)
{
    const auto settings = ConfigStore::readOnly(AppPaths::configFile());
    if (!settings) {
        say(stderr, QStringLiteral("tidewell: the configuration could not be read: ") + settings.error().message);
        return std::nullopt;
    }
    const Server *server = settings->server(serverID);
    if (!server) {
        say(stderr, QStringLiteral("tidewell: no server ") + ServerId::text(serverID)
                        + QStringLiteral(" in the configuration"));
        return std::nullopt;
    }
    return std::pair{*settings, *server};
}

int restoreLocally(const Server &server, const Snapshots::Backup &backup, const QList<LocalRestore::Item> &items,
                   const QString &folder)
{
    // Nothing is copied out of a snapshot that a backup of this server is changing.
    auto lock = FileLock::tryLock(AppPaths::runLockFile(server.id));
    if (!lock) {
        say(stderr, lock.error().busy
                        ? QStringLiteral("tidewell: a backup of this server is running; restore after it has finished")
                        : QStringLiteral("tidewell: ") + TransferRunner::lockFailure(server, lock.error().message));
        return 75;
    }
    QDir().mkpath(folder);
    const LocalRestore::Plan plan = LocalRestore::plan(items, folder);
    // Nobody to ask: what is there stays, and the restored copy is kept beside it.
    QHash<QString, LocalRestore::Choice> choices;
    for (const QString &conflict : plan.conflicts)
        choices.insert(conflict, LocalRestore::Choice::keepBoth);
    const LocalRestore::Outcome outcome =
        LocalRestore::copy(plan, choices, QDate::fromString(backup.name, Qt::ISODate));
    say(stdout,
        QStringLiteral("Restored %1 file(s) from the backup of %2 to %3").arg(outcome.copied).arg(backup.name, folder));
    for (const QString &name : outcome.keptBoth)
        say(stdout, QStringLiteral("Kept the file that was there; the restored one is ") + name);
    for (const QString &failure : outcome.failures)
        say(stderr, QStringLiteral("tidewell: could not restore ") + failure);
    return outcome.failures.isEmpty() ? 0 : 23;
}

QCoro::Task<int> restoreToServer(Server server, AppSettings settings, Snapshots::Backup backup,
                                 QList<ServerRestore::Item> items, std::optional<QString> folder, bool dryRun)
{
    ServerRestore restore;
    const RsyncProbe probe = RsyncProbe::compute();
    if (dryRun) {
        const ServerRestore::Preview preview = co_await restore.preview(server, items, folder, settings, probe);
        for (const QString &line : preview.lines)
            say(stdout, line);
        for (const QString &line : preview.errors)
            say(stderr, line);
        say(stdout, ServerRestore::summary(preview) + QStringLiteral(" (a dry run: nothing was written)"));
        co_return preview.exitCode;
    }
    const int status = co_await restore.run(server, items, folder, settings, probe, backup.name);
    for (const QString &line : restore.logLines())
        say(line.startsWith(QStringLiteral("!")) ? stderr : stdout, line);
    if (settings.notificationsEnabled && !restore.wasRefused())
        NotificationService::post(
            NotificationService::restoreContent(server, restore.exitCode(), restore.wasCancelled()));
    co_return status;
}

} // namespace

int listBackups(const QUuid &serverID, bool asJson)
{
    const auto found = configured(serverID);
    if (!found)
        return 2;
    const auto &[settings, server] = *found;
    const QList<Snapshots::Backup> backups = Snapshots::list(Retention::serverFolder(settings.destinationPath, server));
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
        return 0;
    }
    if (backups.isEmpty())
        say(stdout, QStringLiteral("No backups of this server in ")
                        + Retention::serverFolder(settings.destinationPath, server));
    for (const Snapshots::Backup &backup : backups)
        say(stdout, backup.name + (backup.complete ? QStringLiteral("  complete") : QStringLiteral("  incomplete")));
    return 0;
}

int restore(const EntryPoint::Options::Restore &request)
{
    const auto found = configured(request.server);
    if (!found)
        return 2;
    const auto &[settings, server] = *found;
    const QString name = request.date.toString(Qt::ISODate);
    const QList<Snapshots::Backup> backups = Snapshots::list(Retention::serverFolder(settings.destinationPath, server));
    const auto backup =
        std::find_if(backups.begin(), backups.end(), [&](const Snapshots::Backup &b) { return b.name == name; });
    if (backup == backups.end()) {
        say(stderr,
            QStringLiteral("tidewell: there is no backup of ") + name + QStringLiteral(" (see --list-backups)"));
        return 2;
    }
    if (!backup->complete && !request.allowIncomplete) {
        say(stderr,
            QStringLiteral("tidewell: the backup of ") + name
                + QStringLiteral(
                    " is incomplete (its run did not finish); add --allow-incomplete to restore from it anyway"));
        return 2;
    }
    QList<LocalRestore::Item> localItems;
    QList<ServerRestore::Item> serverItems;
    for (const QString &item : request.items) {
        const auto local = SnapshotMap::localPathOf(server, backup->path, item);
        const QFileInfo info(local.value_or(QString()));
        if (!local || (!info.exists() && !info.isSymLink())) {
            say(stderr, QStringLiteral("tidewell: “") + item + QStringLiteral("” is not in the backup of ") + name);
            return 2;
        }
        const QString remote = SnapshotMap::normalized(item);
        localItems << LocalRestore::Item{*local, remote.section(u'/', -1)};
        serverItems << ServerRestore::Item{*local, remote, info.isDir() && !info.isSymLink()};
    }
    if (request.toLocal)
        return restoreLocally(server, *backup, localItems,
                              QDir(AppPaths::expandTilde(*request.toLocal)).absolutePath());
    int status = 0;
    bool finished = false;
    QCoro::connect(restoreToServer(server, settings, *backup, serverItems, request.serverFolder, request.dryRun),
                   QCoreApplication::instance(), [&status, &finished](int result) {
                       status = result;
                       finished = true;
                       QCoreApplication::exit(0);
                   });
    if (!finished)
        QCoreApplication::exec();
    return status;
}

} // namespace RestoreCommand
