// SPDX-License-Identifier: GPL-3.0-or-later
// Starting the due scheduled backups when the backup drive is mounted.
#include "core/cli/DriveCommand.h"

#include "core/cli/CommandOutput.h"
#include "core/cli/TaskLoop.h"
#include "core/engine/OutputDecoder.h"
#include "core/presentation/ServerRules.h"
#include "core/schedule/Scheduler.h"
#include "core/storage/ConfigStore.h"

namespace DriveCommand {

namespace {

QCoro::Task<int> startDue(Scheduler scheduler)
{
    ConfigStore store;
    if (!CommandOutput::usable(store))
        co_return ExitCode::refused;
    const QDateTime now = QDateTime::currentDateTime();
    const QList<Server> servers = store.settings().servers;
    int started = 0;
    int status = ExitCode::success;
    for (const Server &server : servers) {
        if (!ServerRules::isDueWhenDriveConnected(server, now))
            continue;
        const QString name = OutputDecoder::visible(server.logName());
        const auto start = co_await scheduler.startScheduledRun(server.id);
        if (!start) {
            CommandOutput::say(stderr, QStringLiteral("Could not start the backup of “") + name + QStringLiteral("”: ")
                                           + start.error().message);
            status = ExitCode::failing;
            continue;
        }
        CommandOutput::say(stdout, QStringLiteral("Started the backup of “") + name + QStringLiteral("”."));
        ++started;
    }
    if (started == 0 && status == ExitCode::success)
        CommandOutput::say(stdout, QStringLiteral("No backup is due."));
    co_return status;
}

} // namespace

int runOverdue()
{
    return TaskLoop::run(startDue(Scheduler()));
}

} // namespace DriveCommand
