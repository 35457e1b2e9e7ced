// SPDX-License-Identifier: GPL-3.0-or-later
// Installing and removing the schedules a change of servers asks for.
#include "core/cli/ScheduleFollow.h"

#include "core/cli/CommandOutput.h"
#include "core/cli/TaskLoop.h"
#include "core/engine/OutputDecoder.h"
#include "core/model/Schedule.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

namespace ScheduleFollow {

using CommandOutput::say;

QList<Step> steps(const QList<Server> &before, const QList<Server> &after, const Scheduler &scheduler)
{
    QHash<QUuid, const Server *> old;
    for (const Server &server : before)
        old.insert(server.id, &server);
    QSet<QUuid> staying;
    QList<Step> found;
    for (const Server &server : after) {
        staying.insert(server.id);
        const Server *was = old.value(server.id);
        if (server.scheduleEnabled) {
            const bool same = was && Schedule::sameTimes(*was, server);
            if (!same || !scheduler.isInstalledAsConfigured(server))
                found.append({server, true});
        } else if (was && was->scheduleEnabled) {
            found.append({server, false});
        }
    }
    for (const Server &server : before) {
        if (server.scheduleEnabled && !staying.contains(server.id))
            found.append({server, false});
    }
    return found;
}

QString describe(const Step &step)
{
    const QString name = OutputDecoder::visible(step.server.shownName());
    return step.install ? QCoreApplication::translate("ScheduleFollow", "schedule installed for %1").arg(name)
                        : QCoreApplication::translate("ScheduleFollow", "schedule removed for %1").arg(name);
}

QCoro::Task<bool> carryOut(Scheduler scheduler, QList<Step> steps, FILE *out)
{
    bool allDone = true;
    for (const Step &step : std::as_const(steps)) {
        tl::expected<void, SchedulerError> done;
        if (step.install)
            done = co_await scheduler.install(step.server);
        else
            done = co_await scheduler.uninstall(step.server.id);
        if (done) {
            say(out, describe(step));
            continue;
        }
        allDone = false;
        const QString name = OutputDecoder::visible(step.server.shownName());
        say(stderr, (step.install ? QCoreApplication::translate(
                         "ScheduleFollow", "tidewell: the schedule of %1 could not be installed: %2")
                                  : QCoreApplication::translate(
                                      "ScheduleFollow", "tidewell: the schedule of %1 could not be removed: %2"))
                        .arg(name, done.error().message));
    }
    co_return allDone;
}

namespace {

QCoro::Task<int> follow(Scheduler scheduler, QList<Step> steps, FILE *out)
{
    const bool done = co_await carryOut(scheduler, steps, out);
    co_return done ? ExitCode::success : ExitCode::failing;
}

} // namespace

int run(const Scheduler &scheduler, const QList<Step> &steps, FILE *out)
{
    if (steps.isEmpty())
        return ExitCode::success;
    return TaskLoop::run(follow(scheduler, steps, out));
}

} // namespace ScheduleFollow
