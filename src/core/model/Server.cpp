// SPDX-License-Identifier: GPL-3.0-or-later
// JSON form and hashing of one server.
#include "core/model/Server.h"

#include "core/model/DisplayName.h"
#include "core/model/JsonReader.h"
#include "core/model/Schedule.h"
#include "core/model/ServerId.h"

#include <QCoreApplication>
#include <QHashFunctions>
#include <QJsonArray>

QString Server::logName() const
{
    return DisplayName::logged(name);
}

QString Server::shownName() const
{
    return DisplayName::shown(name);
}

namespace {

// The commands on this computer, written when set: files of servers without
// them stay as they were.
void insertCommands(QJsonObject &object, const Server &server)
{
    for (const auto &[key, command] :
         {std::pair{QStringLiteral("localBeforeCommand"), &server.localBeforeCommand},
          std::pair{QStringLiteral("localAfterSuccessCommand"), &server.localAfterSuccessCommand},
          std::pair{QStringLiteral("localAfterFailureCommand"), &server.localAfterFailureCommand}}) {
        if (!command->isEmpty())
            object.insert(key, QJsonArray::fromStringList(*command));
    }
    if (server.hookTimeoutSeconds != Server().hookTimeoutSeconds)
        object.insert(QStringLiteral("hookTimeoutSeconds"), server.hookTimeoutSeconds);
}

} // namespace

QJsonObject Server::toJson() const
{
    QJsonArray pathArray;
    for (const BackupPath &path : paths)
        pathArray.append(path.toJson());

    QJsonObject object{
        {QStringLiteral("id"), ServerId::text(id)},
        {QStringLiteral("name"), name},
        {QStringLiteral("host"), host},
        {QStringLiteral("port"), port},
        {QStringLiteral("username"), username},
        {QStringLiteral("privateKeyPath"), privateKeyPath},
        {QStringLiteral("paths"), pathArray},
        {QStringLiteral("scheduleEnabled"), scheduleEnabled},
        {QStringLiteral("scheduleTime"), scheduleTime},
        {QStringLiteral("retentionCount"), retentionCount},
        {QStringLiteral("keepWeekly"), keepWeekly},
        {QStringLiteral("keepMonthly"), keepMonthly},
        {QStringLiteral("useSSHAgent"), useSSHAgent},
        {QStringLiteral("bandwidthLimitKBps"), bandwidthLimitKBps},
    };
    if (scheduleKind != QStringLiteral("daily"))
        object.insert(QStringLiteral("scheduleKind"), scheduleKind);
    if (scheduleEveryHours != 6)
        object.insert(QStringLiteral("scheduleEveryHours"), scheduleEveryHours);
    if (scheduleWeekday != 1)
        object.insert(QStringLiteral("scheduleWeekday"), scheduleWeekday);
    if (!scheduleCalendar.isEmpty())
        object.insert(QStringLiteral("scheduleCalendar"), scheduleCalendar);
    if (keepHourly != 0)
        object.insert(QStringLiteral("keepHourly"), keepHourly);
    if (lastRunAt)
        object.insert(QStringLiteral("lastRunAt"), *lastRunAt);
    if (lastExitCode)
        object.insert(QStringLiteral("lastExitCode"), *lastExitCode);
    if (!sshCiphers.isEmpty())
        object.insert(QStringLiteral("sshCiphers"), sshCiphers);
    if (!healthCheckURL.isEmpty())
        object.insert(QStringLiteral("healthCheckURL"), healthCheckURL);
    // Written when on: files of servers that do not use them stay as they were.
    const std::pair<const char *, bool> keeps[] = {{"preserveHardLinks", preserveHardLinks},
                                                   {"preserveACLs", preserveACLs},
                                                   {"preserveXattrs", preserveXattrs},
                                                   {"numericIds", numericIds},
                                                   {"sparseFiles", sparseFiles},
                                                   {"preserveOwnership", preserveOwnership},
                                                   {"remoteSudo", remoteSudo}};
    for (const auto &[key, on] : keeps) {
        if (on)
            object.insert(QLatin1String(key), true);
    }
    if (!remoteRsyncPath.isEmpty())
        object.insert(QStringLiteral("remoteRsyncPath"), remoteRsyncPath);
    if (snapshotMethod != QStringLiteral("auto"))
        object.insert(QStringLiteral("snapshotMethod"), snapshotMethod);
    if (!knownHostKeys.isEmpty())
        object.insert(QStringLiteral("knownHostKeys"), QJsonArray::fromStringList(knownHostKeys));
    insertCommands(object, *this);
    if (lastRunSerial > 0)
        object.insert(QStringLiteral("lastRunSerial"), lastRunSerial);
    if (lastSuccessAt)
        object.insert(QStringLiteral("lastSuccessAt"), *lastSuccessAt);
    if (scheduledSince)
        object.insert(QStringLiteral("scheduledSince"), *scheduledSince);
    if (heldChange)
        object.insert(QStringLiteral("heldChange"), heldChange->toJson());
    if (lastVerifiedAt) {
        object.insert(QStringLiteral("lastVerifiedAt"), *lastVerifiedAt);
        object.insert(QStringLiteral("damagedFiles"), damagedFiles);
    }
    if (lastRemoteCheckAt) {
        object.insert(QStringLiteral("lastRemoteCheckAt"), *lastRemoteCheckAt);
        object.insert(QStringLiteral("remoteDifferences"), remoteDifferences);
    }
    // What the file said, never the default that stands in for it.
    for (auto it = unreadable.begin(); it != unreadable.end(); ++it)
        object.insert(it.key(), it.value());
    return object;
}

namespace {

// A schedule this version cannot keep is refused, never read as another.
void readSchedule(JsonReader &reader, Server &server)
{
    reader.read("scheduleKind", server.scheduleKind);
    if (!Schedule::kindFromName(server.scheduleKind)) {
        server.scheduleKind = QStringLiteral("daily");
        reader.refuse("scheduleKind", "one of “daily”, “hours”, “weekdays”, “weekly” and “custom”");
    }
    reader.read("scheduleEveryHours", server.scheduleEveryHours);
    if (!Schedule::isEveryHoursChoice(server.scheduleEveryHours)) {
        server.scheduleEveryHours = 6;
        reader.refuse("scheduleEveryHours", "1, 2, 3, 4, 6, 8 or 12");
    }
    reader.read("scheduleWeekday", server.scheduleWeekday);
    if (server.scheduleWeekday < 1 || server.scheduleWeekday > 7) {
        server.scheduleWeekday = 1;
        reader.refuse("scheduleWeekday", "a whole number from 1 (Monday) to 7 (Sunday)");
    }
    reader.read("scheduleCalendar", server.scheduleCalendar);
    if (!server.scheduleCalendar.isEmpty() && !Schedule::isCalendarText(server.scheduleCalendar)) {
        server.scheduleCalendar.clear();
        reader.refuse("scheduleCalendar", "a systemd calendar expression on one line");
    }
}

} // namespace

tl::expected<Server, DecodeError> Server::fromJson(const QJsonObject &object, const QString &context,
                                                   QStringList *warnings)
{
    Server server;
    JsonReader reader(object, context, warnings);
    reader.keepWrong({"host", "port", "username", "privateKeyPath", "useSSHAgent"}, &server.unreadable);
    reader.read("id", server.id);
    reader.read("name", server.name);
    reader.read("host", server.host);
    reader.read("port", server.port);
    if (server.port < 1 || server.port > 65535) {
        server.port = 22;
        reader.refuse("port", "a whole number from 1 to 65535");
    }
    reader.read("username", server.username);
    reader.read("privateKeyPath", server.privateKeyPath);
    if (const auto array = reader.array("paths")) {
        for (qsizetype i = 0; i < array->size() && reader.ok(); ++i) {
            const QString where = context + QStringLiteral(".paths[%1]").arg(i);
            if (!array->at(i).isObject()) {
                reader.fail(Error{Error::Code::invalid, QStringLiteral("“%1” must be an object.").arg(where)});
                break;
            }
            const auto path = BackupPath::fromJson(array->at(i).toObject(), where, warnings);
            if (!path) {
                reader.fail(path.error());
                break;
            }
            server.paths.append(*path);
        }
    }
    reader.readDate("lastRunAt", server.lastRunAt);
    reader.read("lastExitCode", server.lastExitCode);
    reader.read("lastRunSerial", server.lastRunSerial);
    reader.readDate("lastSuccessAt", server.lastSuccessAt);
    reader.readDate("scheduledSince", server.scheduledSince);
    reader.readDate("lastVerifiedAt", server.lastVerifiedAt);
    reader.read("damagedFiles", server.damagedFiles);
    reader.readDate("lastRemoteCheckAt", server.lastRemoteCheckAt);
    reader.read("remoteDifferences", server.remoteDifferences);
    reader.read("scheduleEnabled", server.scheduleEnabled);
    reader.read("scheduleTime", server.scheduleTime);
    readSchedule(reader, server);
    reader.read("retentionCount", server.retentionCount);
    reader.read("keepHourly", server.keepHourly);
    reader.read("keepWeekly", server.keepWeekly);
    reader.read("keepMonthly", server.keepMonthly);
    reader.read("useSSHAgent", server.useSSHAgent);
    reader.read("bandwidthLimitKBps", server.bandwidthLimitKBps);
    reader.read("sshCiphers", server.sshCiphers);
    reader.read("healthCheckURL", server.healthCheckURL);
    reader.read("preserveHardLinks", server.preserveHardLinks);
    reader.read("preserveACLs", server.preserveACLs);
    reader.read("preserveXattrs", server.preserveXattrs);
    reader.read("numericIds", server.numericIds);
    reader.read("sparseFiles", server.sparseFiles);
    reader.read("preserveOwnership", server.preserveOwnership);
    reader.read("remoteRsyncPath", server.remoteRsyncPath);
    reader.read("remoteSudo", server.remoteSudo);
    reader.read("snapshotMethod", server.snapshotMethod);
    if (!isSnapshotMethod(server.snapshotMethod)) {
        server.snapshotMethod = QStringLiteral("auto");
        reader.refuse("snapshotMethod", "one of “auto”, “hardlinks” and “btrfs”");
    }
    reader.read("knownHostKeys", server.knownHostKeys);
    reader.read("localBeforeCommand", server.localBeforeCommand);
    reader.read("localAfterSuccessCommand", server.localAfterSuccessCommand);
    reader.read("localAfterFailureCommand", server.localAfterFailureCommand);
    reader.read("hookTimeoutSeconds", server.hookTimeoutSeconds);
    if (server.hookTimeoutSeconds < 1)
        server.hookTimeoutSeconds = Server().hookTimeoutSeconds;
    if (const auto held = reader.object("heldChange")) {
        const auto hold = ChangeHold::fromJson(*held, context + QStringLiteral(".heldChange"));
        if (hold)
            server.heldChange = *hold;
        else
            reader.fail(hold.error());
    }
    return reader.result(server);
}

bool Server::isSnapshotMethod(const QString &name)
{
    return name == QStringLiteral("auto") || name == QStringLiteral("hardlinks") || name == QStringLiteral("btrfs");
}

size_t qHash(const Server &server, size_t seed)
{
    seed = qHashMulti(seed, server.id, server.name, server.host, server.port, server.username, server.privateKeyPath,
                      server.scheduleEnabled, server.scheduleTime, server.retentionCount, server.keepWeekly,
                      server.keepMonthly, server.useSSHAgent, server.bandwidthLimitKBps, server.sshCiphers,
                      server.healthCheckURL);
    seed = qHashMulti(seed, server.scheduleKind, server.scheduleEveryHours, server.scheduleWeekday,
                      server.scheduleCalendar, server.keepHourly);
    seed = qHashMulti(seed, server.preserveHardLinks, server.preserveACLs, server.preserveXattrs, server.numericIds,
                      server.sparseFiles, server.preserveOwnership, server.remoteRsyncPath, server.remoteSudo,
                      server.unreadable.keys(), server.heldChange.has_value(), server.knownHostKeys);
    seed = qHashMulti(seed, server.localBeforeCommand, server.localAfterSuccessCommand, server.localAfterFailureCommand,
                      server.hookTimeoutSeconds, server.snapshotMethod);
    if (server.heldChange)
        seed = qHashMulti(seed, server.heldChange->day, server.heldChange->changed);
    for (const BackupPath &path : server.paths)
        seed = qHashMulti(seed, path);
    seed = qHashMulti(seed, server.lastRunAt.has_value());
    if (server.lastRunAt)
        seed = qHashMulti(seed, *server.lastRunAt);
    seed = qHashMulti(seed, server.lastExitCode.has_value());
    if (server.lastExitCode)
        seed = qHashMulti(seed, *server.lastExitCode);
    seed = qHashMulti(seed, server.damagedFiles, server.remoteDifferences);
    for (const std::optional<double> &date :
         {server.lastSuccessAt, server.scheduledSince, server.lastVerifiedAt, server.lastRemoteCheckAt}) {
        seed = qHashMulti(seed, date.has_value());
        if (date)
            seed = qHashMulti(seed, *date);
    }
    return seed;
}
