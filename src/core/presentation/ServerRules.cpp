// SPDX-License-Identifier: GPL-3.0-or-later
// Health, counters, names and run rules shown by the windows.
#include "core/presentation/ServerRules.h"

#include "core/schedule/Scheduler.h"

#include "core/model/ReferenceDate.h"
#include "core/model/ServerCheck.h"
#include "core/presentation/Formatting.h"

#include <QCoreApplication>
#include <QJsonObject>

#include <algorithm>
#include <climits>

namespace ServerRules {

bool isRunnable(const Server &server, const QList<Server> &allServers)
{
    return enabledPathCount(server) > 0 && ServerCheck::problems(server, allServers).isEmpty();
}

int enabledPathCount(const Server &server)
{
    return int(std::count_if(server.paths.begin(), server.paths.end(), [](const BackupPath &p) { return p.enabled; }));
}

Server newServer(const QString &name)
{
    Server server;
    server.name = name.isEmpty() ? QCoreApplication::translate("ServerRules", "New Server") : name;
    server.preserveOwnership = true;
    return server;
}

Server duplicate(const Server &server)
{
    Server copy = server;
    copy.id = QUuid::createUuid();
    copy.name = server.name.isEmpty() ? QCoreApplication::translate("ServerRules", "Copy")
                                      : QCoreApplication::translate("ServerRules", "%1 (copy)").arg(server.name);
    for (BackupPath &path : copy.paths)
        path.id = QUuid::createUuid();
    copy.lastRunAt.reset();
    copy.lastExitCode.reset();
    copy.lastSuccessAt.reset();
    copy.heldChange.reset();
    copy.lastVerifiedAt.reset();
    copy.damagedFiles = 0;
    copy.lastRemoteCheckAt.reset();
    copy.remoteDifferences = 0;
    copy.scheduleEnabled = false;
    copy.scheduledSince.reset();
    return copy;
}

std::optional<Server> lastBackedUp(const AppSettings &settings)
{
    std::optional<Server> latest;
    for (const Server &server : settings.servers) {
        if (server.lastRunAt && (!latest || *server.lastRunAt > *latest->lastRunAt))
            latest = server;
    }
    return latest;
}

std::optional<QDateTime> lastSuccess(const Server &server)
{
    if (server.lastSuccessAt)
        return ReferenceDate::toDateTime(*server.lastSuccessAt);
    if (server.lastExitCode == 0 && server.lastRunAt)
        return ReferenceDate::toDateTime(*server.lastRunAt);
    return std::nullopt;
}

bool isOverdue(const Server &server, const QDateTime &now)
{
    if (!server.scheduleEnabled || (server.lastExitCode && *server.lastExitCode != 0))
        return false;
    if (const auto success = lastSuccess(server))
        return success->secsTo(now) > overdueAfterSeconds;
    return server.scheduledSince && ReferenceDate::toDateTime(*server.scheduledSince).secsTo(now) > overdueAfterSeconds;
}

std::optional<QDateTime> nextDailyRun(const Server &server, const QDateTime &now)
{
    if (!server.scheduleEnabled)
        return std::nullopt;
    const auto time = Scheduler::parseTime(server.scheduleTime);
    if (!time)
        return std::nullopt;
    const QDateTime local = now.toLocalTime();
    QDateTime next(local.date(), QTime(time->hour, time->minute));
    if (next <= local)
        next = QDateTime(local.date().addDays(1), QTime(time->hour, time->minute));
    return next;
}

int daysWithoutSuccess(const Server &server, const QDateTime &now)
{
    std::optional<QDateTime> from = lastSuccess(server);
    if (!from && server.scheduledSince)
        from = ReferenceDate::toDateTime(*server.scheduledSince);
    return from ? int(std::max<qint64>(1, from->secsTo(now) / 86400)) : 1;
}

QJsonValue checksJson(const Server &server)
{
    if (!server.lastVerifiedAt && !server.lastRemoteCheckAt)
        return QJsonValue::Null;
    const auto when = [](const std::optional<double> &seconds) -> QJsonValue {
        if (!seconds)
            return QJsonValue::Null;
        const QDateTime local = ReferenceDate::toDateTime(*seconds).toLocalTime();
        return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
    };
    return QJsonObject{
        {QStringLiteral("lastVerifiedAt"), when(server.lastVerifiedAt)},
        {QStringLiteral("damagedFiles"), server.lastVerifiedAt ? QJsonValue(server.damagedFiles) : QJsonValue::Null},
        {QStringLiteral("lastRemoteCheckAt"), when(server.lastRemoteCheckAt)},
        {QStringLiteral("remoteDifferences"),
         server.lastRemoteCheckAt ? QJsonValue(server.remoteDifferences) : QJsonValue::Null},
    };
}

QString overdueText(const Server &server, const QDateTime &now)
{
    const auto success = lastSuccess(server);
    if (!success)
        return QCoreApplication::translate("ServerRules", "Overdue · no good backup yet");
    return QCoreApplication::translate("ServerRules", "Overdue · last good backup %1")
        .arg(Formatting::relativeTime(*success, now));
}

Health healthStatus(const Server &server, bool isRunning, const QDateTime &now)
{
    if (isRunning)
        return {Health::Kind::running, QCoreApplication::translate("ServerRules", "Running now")};
    if (server.lastExitCode && *server.lastExitCode != 0)
        return {Health::Kind::failed,
                QCoreApplication::translate("ServerRules", "Last run failed (exit %1)").arg(*server.lastExitCode)};
    // A check of the copies found damage: restoring those files would
    // give back something else than was copied.
    const int damaged = int(std::clamp(server.damagedFiles, qint64(0), qint64(INT_MAX)));
    if (server.lastVerifiedAt && damaged > 0)
        return {Health::Kind::damaged,
                QCoreApplication::translate("ServerRules", "%n damaged file(s) in the backups", nullptr, damaged)};
    if (server.heldChange)
        return {Health::Kind::held,
                QCoreApplication::translate("ServerRules", "%1 % of the files changed · old backups kept")
                    .arg(server.heldChange->percent())};
    if (isOverdue(server, now))
        return {Health::Kind::overdue, overdueText(server, now)};
    if (!server.lastExitCode && server.lastRunAt) {
        // Cancelled: not a failure. Healthy while an earlier backup is good.
        if (const auto success = lastSuccess(server))
            return {Health::Kind::healthy,
                    QCoreApplication::translate("ServerRules", "Last run cancelled · last good backup %1")
                        .arg(Formatting::relativeTime(*success, now))};
        return {Health::Kind::neverRan, QCoreApplication::translate("ServerRules", "Last run cancelled")};
    }
    if (!server.lastExitCode)
        return {Health::Kind::neverRan, QCoreApplication::translate("ServerRules", "Never ran")};
    if (server.lastRunAt)
        return {Health::Kind::healthy,
                QCoreApplication::translate("ServerRules", "Healthy · %1")
                    .arg(Formatting::relativeTime(ReferenceDate::toDateTime(*server.lastRunAt), now))};
    return {Health::Kind::healthy, QCoreApplication::translate("ServerRules", "Healthy")};
}

void Counters::add(const Server &server, bool isOverdue, bool scheduleWorks)
{
    ++servers;
    const bool failed = server.lastExitCode && *server.lastExitCode != 0;
    if (isOverdue)
        ++overdue;
    else if (!failed && !server.heldChange && server.damagedFiles == 0
             && (server.lastExitCode == 0 || lastSuccess(server)))
        ++healthy; // a cancelled run after a good one is still healthy
    if (failed)
        ++failing;
    if (server.scheduleEnabled && scheduleWorks)
        ++scheduled;
}

Counters counters(const AppSettings &settings, const QDateTime &now)
{
    Counters c;
    for (const Server &server : settings.servers)
        c.add(server, isOverdue(server, now));
    return c;
}

QString hostText(const Server &server)
{
    return server.host.isEmpty() ? QStringLiteral("—") : server.host + u':' + QString::number(server.port);
}

QString pathsText(const Server &server)
{
    return QCoreApplication::translate("ServerRules", "%1 enabled / %2")
        .arg(enabledPathCount(server))
        .arg(server.paths.size());
}

} // namespace ServerRules
