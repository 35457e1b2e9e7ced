// SPDX-License-Identifier: GPL-3.0-or-later
// tidewell --copy.
#include "core/cli/CopyCommand.h"

#include "core/cli/CommandOutput.h"
#include "core/cli/TaskLoop.h"
#include "core/engine/CopyRunner.h"
#include "core/model/ExitCode.h"
#include "core/model/ServerReference.h"
#include "core/storage/ConfigStore.h"
#include "core/system/SignalWatcher.h"

#include <QCoreApplication>

#include <csignal>

namespace CopyCommand {

namespace {

QCoro::Task<int> copyTo(CopyTarget target, QList<Server> servers, AppSettings settings)
{
    CopyRunner runner;
    SignalWatcher signalWatcher({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&signalWatcher, &SignalWatcher::received, &runner, [&runner](int) { runner.cancel(); });
    int status = ExitCode::success;
    // Asked for by name: a copy that is switched off for the nightly runs copies too.
    target.enabled = true;
    const QDateTime now = QDateTime::currentDateTime();
    for (const Server &server : std::as_const(servers)) {
        const CopyRunner::Outcome outcome = co_await runner.copy(target, server, settings, now);
        CommandOutput::say(stdout, server.shownName() + QStringLiteral(":"));
        for (const QString &line : runner.logLines())
            CommandOutput::say(stdout, line);
        if (outcome.result == CopyRunner::Result::cancelled)
            co_return ExitCode::cancelled;
        if (outcome.result == CopyRunner::Result::failed || outcome.result == CopyRunner::Result::skipped)
            status = ExitCode::failing;
    }
    co_return status;
}

} // namespace

int exec(const QString &targetReference, const QString &serverReference)
{
    ConfigStore store;
    if (!CommandOutput::usable(store))
        return ExitCode::refused;
    const AppSettings &settings = store.settings();
    const CopyTarget *target = settings.copyTarget(targetReference);
    if (!target) {
        CommandOutput::say(
            stderr, QCoreApplication::translate("CopyCommand", "No second copy is called “%1”.").arg(targetReference));
        return ExitCode::refused;
    }
    QList<Server> servers;
    if (!serverReference.isEmpty()) {
        const auto found = ServerReference::find(settings, serverReference);
        if (!found) {
            CommandOutput::say(stderr, found.error().message);
            return ExitCode::refused;
        }
        if (!target->takes(found->id)) {
            CommandOutput::say(stderr, QCoreApplication::translate("CopyCommand", "“%1” does not take “%2”.")
                                           .arg(target->shownName(), found->shownName()));
            return ExitCode::refused;
        }
        servers << *found;
    } else {
        for (const Server &server : settings.servers) {
            if (target->takes(server.id))
                servers << server;
        }
    }
    return TaskLoop::run(copyTo(*target, servers, settings));
}

} // namespace CopyCommand
