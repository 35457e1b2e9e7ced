// SPDX-License-Identifier: GPL-3.0-or-later
// Export and import of the configuration from the command line.
#include "core/cli/ConfigCommand.h"

#include "core/cli/CommandOutput.h"
#include "core/cli/TaskLoop.h"
#include "core/engine/OutputDecoder.h"
#include "core/engine/Retention.h"
#include "core/model/ExitCode.h"
#include "core/model/ServerReference.h"
#include "core/schedule/ConfigImport.h"
#include "core/storage/ConfigStore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>

namespace ConfigCommand {

using CommandOutput::say;
using CommandOutput::usable;

namespace {

// "added web-07", "replaced db-02", "removed mail": servers matched by id,
// as the import keeps them.
QStringList changes(const QList<Server> &before, const QList<Server> &after)
{
    QSet<QUuid> old;
    for (const Server &server : before)
        old.insert(server.id);
    QSet<QUuid> coming;
    QStringList lines;
    for (const Server &server : after) {
        coming.insert(server.id);
        const QString name = OutputDecoder::visible(server.shownName());
        lines << (old.contains(server.id) ? QCoreApplication::translate("ConfigCommand", "replaced %1")
                                          : QCoreApplication::translate("ConfigCommand", "added %1"))
                     .arg(name);
    }
    for (const Server &server : before) {
        if (!coming.contains(server.id))
            lines << QCoreApplication::translate("ConfigCommand", "removed %1")
                         .arg(OutputDecoder::visible(server.shownName()));
    }
    return lines;
}

QCoro::Task<int> apply(ConfigTransfer::PendingImport pending)
{
    ConfigStore store;
    if (!usable(store))
        co_return ExitCode::refused;
    const QStringList lines = changes(store.settings().servers, pending.settings.servers);
    const Scheduler scheduler;
    const ConfigTransfer::Outcome outcome = co_await ConfigTransfer::applyImport(&store, scheduler, pending);
    for (const QString &line : lines)
        say(stdout, line);
    if (outcome) {
        say(stdout, *outcome);
        co_return ExitCode::success;
    }
    say(stderr, outcome.error().message);
    for (const QString &detail : outcome.error().details)
        say(stderr, QStringLiteral("  ") + detail);
    co_return ExitCode::failing;
}

QCoro::Task<int> remove(QString reference)
{
    ConfigStore store;
    if (!usable(store))
        co_return ExitCode::refused;
    const auto found = ServerReference::find(store.settings(), reference);
    if (!found) {
        say(stderr, found.error().message);
        co_return ExitCode::refused;
    }
    const Server &server = *found; // a copy of its own: it outlives the deletion
    const QString name = OutputDecoder::visible(server.shownName());
    store.deleteServer(server.id);
    say(stdout, QCoreApplication::translate("ConfigCommand", "removed %1; its backups stay in %2")
                    .arg(name, Retention::serverFolder(store.settings().destinationPath, server)));
    // Also when the file says it had none: a timer the window installed
    // may have outlived a hand-edited configuration.
    const Scheduler scheduler;
    const auto uninstalled = co_await scheduler.uninstall(server.id);
    if (!uninstalled) {
        say(stderr,
            QCoreApplication::translate("ConfigCommand", "tidewell: the schedule of %1 could not be removed: %2")
                .arg(name, uninstalled.error().message));
        co_return ExitCode::failing;
    }
    if (server.scheduleEnabled)
        say(stdout, QCoreApplication::translate("ConfigCommand", "schedule removed for %1").arg(name));
    co_return ExitCode::success;
}

} // namespace

int removeServer(const QString &reference)
{
    return TaskLoop::run(remove(reference));
}

int exportTo(const QString &path)
{
    const ConfigStore store;
    if (!usable(store))
        return ExitCode::refused;
    const ConfigTransfer::Outcome outcome =
        ConfigTransfer::exportTo(QFileInfo(path).absoluteFilePath(), store.settings());
    if (!outcome) {
        say(stderr, outcome.error().message);
        return ExitCode::refused;
    }
    say(stdout, *outcome);
    return ExitCode::success;
}

int importFrom(const QString &path, bool replace, bool dryRun)
{
    const auto read = ConfigTransfer::readImport(QFileInfo(path).absoluteFilePath());
    if (!read) {
        say(stderr, read.error().message);
        return ExitCode::refused;
    }
    if (replace && !dryRun)
        return TaskLoop::run(apply(*read));
    const ConfigStore store;
    if (!usable(store))
        return ExitCode::refused;
    say(stdout, read->confirmationText());
    for (const QString &line : changes(store.settings().servers, read->settings.servers))
        say(stdout, line);
    if (dryRun)
        return ExitCode::success;
    say(stderr,
        QCoreApplication::translate(
            "ConfigCommand", "tidewell: nothing imported: add --replace to replace the configuration with the file's"));
    return ExitCode::refused;
}

} // namespace ConfigCommand
