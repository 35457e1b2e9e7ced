// SPDX-License-Identifier: GPL-3.0-or-later
// Health, counters, names and run rules shown by the windows.
#include "core/presentation/ServerRules.h"

#include "core/schedule/ScheduleCalendar.h"
#include "core/schedule/Scheduler.h"

#include "core/model/ReferenceDate.h"
#include "core/model/Schedule.h"
#include "core/model/ServerCheck.h"
#include "core/presentation/Formatting.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QLocale>

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

qint64 overdueAfter(const Server &server)
{
    if (const auto seconds = Schedule::overdueAfterSeconds(server))
        return *seconds;
    // A custom calendar: its longest gap, and two hours for the run itself.
    if (const auto gap = ScheduleCalendar().longestGapSeconds(server.scheduleCalendar))
        return *gap + 2 * 3600;
    return overdueAfterSeconds;
}

qint64 periodSeconds(const Server &server)
{
    constexpr qint64 hour = 3600;
    switch (Schedule::kind(server)) {
    case Schedule::Kind::daily:
    case Schedule::Kind::weekdays:
        return 24 * hour;
    case Schedule::Kind::hours:
        return std::clamp<qint64>(server.scheduleEveryHours, 1, 24) * hour;
    case Schedule::Kind::weekly:
        return 7 * 24 * hour;
    case Schedule::Kind::custom:
        break;
    }
    return ScheduleCalendar().longestGapSeconds(server.scheduleCalendar).value_or(24 * hour);
}

bool isDueWhenDriveConnected(const Server &server, const QDateTime &now)
{
    if (!server.scheduleEnabled || enabledPathCount(server) == 0)
        return false;
    const auto success = lastSuccess(server);
    const qint64 fresh = std::max<qint64>(periodSeconds(server) - 3600, 3600);
    return !success || success->secsTo(now) > fresh;
}

bool isOverdue(const Server &server, const QDateTime &now)
{
    if (!server.scheduleEnabled || (server.lastExitCode && *server.lastExitCode != 0))
        return false;
    const qint64 allowed = overdueAfter(server);
    if (const auto success = lastSuccess(server))
        return success->secsTo(now) > allowed;
    return server.scheduledSince && ReferenceDate::toDateTime(*server.scheduledSince).secsTo(now) > allowed;
}

namespace {

// Whether the schedule starts a run on this day (the time aside).
bool runsOn(const Server &server, const QDate &day)
{
    switch (Schedule::kind(server)) {
    case Schedule::Kind::weekdays:
        return day.dayOfWeek() <= 5;
    case Schedule::Kind::weekly:
        return day.dayOfWeek() == server.scheduleWeekday;
    default:
        return true;
    }
}

// The clock times of a day the schedule starts runs at.
QList<QTime> timesOfDay(const Server &server, Scheduler::Time time)
{
    if (Schedule::kind(server) != Schedule::Kind::hours || !Schedule::isEveryHoursChoice(server.scheduleEveryHours))
        return {QTime(time.hour, time.minute)};
    QList<QTime> times;
    for (int hour = int(time.hour % server.scheduleEveryHours); hour < 24; hour += int(server.scheduleEveryHours))
        times << QTime(hour, time.minute);
    return times;
}

} // namespace

std::optional<QDateTime> nextRun(const Server &server, const QDateTime &now)
{
    if (!server.scheduleEnabled)
        return std::nullopt;
    if (Schedule::kind(server) == Schedule::Kind::custom) {
        const auto read = ScheduleCalendar().readBlocking(server.scheduleCalendar, 1);
        if (!read || read->next.isEmpty())
            return std::nullopt;
        return read->next.first().toLocalTime();
    }
    const auto time = Scheduler::parseTime(server.scheduleTime);
    if (!time)
        return std::nullopt;
    const QDateTime local = now.toLocalTime();
    const QList<QTime> times = timesOfDay(server, *time);
    for (int days = 0; days <= 7; ++days) {
        const QDate day = local.date().addDays(days);
        if (!runsOn(server, day))
            continue;
        for (const QTime &at : times) {
            const QDateTime next(day, at);
            if (next > local)
                return next;
        }
    }
    return std::nullopt;
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

QString scheduleText(const Server &server)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("ServerRules", text); };
    switch (Schedule::kind(server)) {
    case Schedule::Kind::hours:
        return tr("every %1 hours from %2").arg(server.scheduleEveryHours).arg(server.scheduleTime);
    case Schedule::Kind::weekdays:
        return tr("weekdays at %1").arg(server.scheduleTime);
    case Schedule::Kind::weekly:
        return tr("weekly on %1 at %2")
            .arg(QLocale().dayName(int(std::clamp<qint64>(server.scheduleWeekday, 1, 7))), server.scheduleTime);
    case Schedule::Kind::custom:
        return tr("custom: %1").arg(server.scheduleCalendar);
    case Schedule::Kind::daily:
        break;
    }
    return tr("daily at %1").arg(server.scheduleTime);
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
