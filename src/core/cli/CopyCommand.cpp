// SPDX-License-Identifier: GPL-3.0-or-later
// tidewell --copy, and the copies after a scheduled run.
#include "core/cli/CopyCommand.h"

#include "core/cli/CommandOutput.h"
#include "core/cli/TaskLoop.h"
#include "core/engine/CopyRunner.h"
#include "core/model/ExitCode.h"
#include "core/model/ServerReference.h"
#include "core/report/RunReporter.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/NotificationService.h"
#include "core/system/SignalWatcher.h"

#include <QCoreApplication>
#include <QPointer>

#include <csignal>

namespace CopyCommand {

namespace {

NotificationService::Content failedContent(const Server &server, const CopyTarget &target, const QString &reason)
{
    NotificationService::Content content;
    content.body = QStringLiteral("✗ ")
                   + QCoreApplication::translate("CopyCommand", "The copy of %1 to %2 failed: %3")
                         .arg(server.shownName(), target.shownName(), reason);
    content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2)));
    return content;
}

QString resultText(CopyRunner::Result result)
{
    switch (result) {
    case CopyRunner::Result::upToDate:
        return QStringLiteral("upToDate");
    case CopyRunner::Result::copied:
        return QStringLiteral("copied");
    case CopyRunner::Result::skipped:
        return QStringLiteral("skipped");
    case CopyRunner::Result::failed:
        return QStringLiteral("failed");
    case CopyRunner::Result::cancelled:
        break;
    }
    return QStringLiteral("cancelled");
}

QCoro::Task<int> copyTo(CopyTarget target, QList<Server> servers, AppSettings settings)
{
    CopyRunner runner;
    SignalWatcher signalWatcher({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&signalWatcher, &SignalWatcher::received, &runner, [&runner](int) { runner.cancel(); });
    int status = ExitCode::success;
    // Asked for by name: a copy that is switched off for the nightly runs copies too.
    target.enabled = true;
    const QDate today = QDate::currentDate();
    for (const Server &server : std::as_const(servers)) {
        const CopyRunner::Outcome outcome = co_await runner.copy(target, server, settings, today);
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

QCoro::Task<std::optional<QDBusPendingCall>> afterRun(AppSettings settings, Server server, CopyRunner &runner,
                                                      RunReporter &reporter)
{
    QPointer<CopyRunner> self(&runner);
    std::optional<QDBusPendingCall> posted;
    QList<RunReporter::Copy> done;
    for (const CopyTarget &target : std::as_const(settings.copyTargets)) {
        if (!target.enabled || !target.takes(server.id))
            continue;
        const QDate today = QDate::currentDate();
        const CopyRunner::Outcome outcome = co_await runner.copy(target, server, settings, today);
        if (!self)
            co_return posted;
        LogStore::append(server.id, runner.logLines());
        done << RunReporter::Copy{target, resultText(outcome.result), outcome.days, outcome.reason};
        if (outcome.result == CopyRunner::Result::cancelled)
            break;
        if (outcome.result == CopyRunner::Result::failed)
            posted = NotificationService::post(failedContent(server, target, outcome.reason));
    }
    reporter.reportCopies(server, settings, done);
    co_return posted;
}

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
