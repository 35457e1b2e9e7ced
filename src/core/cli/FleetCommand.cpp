// SPDX-License-Identifier: GPL-3.0-or-later
// Applying a fleet file: what differs is changed, what matches is left alone.
#include "core/cli/FleetCommand.h"

#include "core/cli/CommandOutput.h"
#include "core/cli/ScheduleFollow.h"
#include "core/cli/TaskLoop.h"
#include "core/engine/OutputDecoder.h"
#include "core/engine/Retention.h"
#include "core/model/ExitCode.h"
#include "core/model/ReferenceDate.h"
#include "core/model/ServerCheck.h"
#include "core/model/ServerFields.h"
#include "core/model/ServerId.h"
#include "core/presentation/ServerRules.h"
#include "core/storage/ConfigStore.h"
#include "core/system/FileUtil.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

namespace FleetCommand {

using CommandOutput::say;

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("FleetCommand", text);
}

// Fleet files are read, at most this large.
constexpr qint64 largestFile = 64 * 1024 * 1024;

const char *const dateKeys[] = {"lastRunAt", "lastSuccessAt", "scheduledSince", "lastVerifiedAt", "lastRemoteCheckAt"};
// What runs record: a file names them for a new server only.
const char *const recordKeys[] = {"lastRunAt",     "lastExitCode",      "lastRunSerial",
                                  "lastSuccessAt", "heldChange",        "lastVerifiedAt",
                                  "damagedFiles",  "lastRemoteCheckAt", "remoteDifferences"};

// Dates written as ISO 8601 become the seconds the configuration stores.
tl::expected<void, QString> readDates(QJsonObject &server, const QString &where)
{
    for (const char *key : dateKeys) {
        const QJsonValue value = server.value(QLatin1String(key));
        if (!value.isString())
            continue;
        const QDateTime date = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
        if (!date.isValid() || date.timeSpec() == Qt::LocalTime)
            return tl::unexpected(tr("“%1.%2” is not a date as 2026-12-01T03:00:00Z (with its offset from UTC): “%3”")
                                      .arg(where, QLatin1String(key), value.toString()));
        server.insert(QLatin1String(key), ReferenceDate::fromDateTime(date));
    }
    return {};
}

tl::expected<QJsonObject, QString> readFleet(const QString &path)
{
    const auto bytes = FileUtil::readRegularFile(path, largestFile);
    if (!bytes)
        return tl::unexpected(bytes.error().message);
    if (!*bytes)
        return tl::unexpected(tr("%1 is not there").arg(path));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(**bytes, &parseError);
    if (!document.isObject())
        return tl::unexpected(
            document.isNull()
                ? tr("%1 is not JSON: %2 at byte %3").arg(path, parseError.errorString()).arg(parseError.offset)
                : tr("%1 does not hold a JSON object").arg(path));
    QJsonObject fleet = document.object();
    if (fleet.contains(QStringLiteral("servers")) && !fleet.value(QStringLiteral("servers")).isArray())
        return tl::unexpected(tr("“servers” in %1 is not a list").arg(path));
    QJsonArray servers = fleet.value(QStringLiteral("servers")).toArray();
    for (qsizetype i = 0; i < servers.size(); ++i) {
        if (!servers.at(i).isObject())
            return tl::unexpected(tr("“servers[%1]” in %2 is not an object").arg(i).arg(path));
        QJsonObject server = servers.at(i).toObject();
        // A server without a name would be a new one at every apply.
        if (server.value(QStringLiteral("name")).toString().trimmed().isEmpty())
            return tl::unexpected(tr("“servers[%1]” in %2 has no name").arg(i).arg(path));
        if (const auto dated = readDates(server, QStringLiteral("servers[%1]").arg(i)); !dated)
            return tl::unexpected(dated.error());
        servers[i] = server;
    }
    if (fleet.contains(QStringLiteral("servers")))
        fleet.insert(QStringLiteral("servers"), servers);
    return fleet;
}

// The one of `candidates` with this id, else the only one with this name:
// its index, -1 for none, or why it cannot be told.
tl::expected<qsizetype, QString> matchIn(const QJsonArray &candidates, const QJsonObject &wanted)
{
    const QJsonValue id = wanted.value(QStringLiteral("id"));
    const QJsonValue name = wanted.value(QStringLiteral("name"));
    qsizetype byName = -1;
    int named = 0;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        const QJsonObject candidate = candidates.at(i).toObject();
        if (id.isString() && QUuid(id.toString()) == QUuid(candidate.value(QStringLiteral("id")).toString()))
            return i;
        if (name.isString() && candidate.value(QStringLiteral("name")) == name) {
            byName = byName < 0 ? i : byName;
            ++named;
        }
    }
    if (named > 1)
        return tl::unexpected(
            tr("%1 things are named “%2”: give the one meant by its id").arg(named).arg(name.toString()));
    return byName;
}

// The file's paths, each over the path it matches (keeping that one's id).
tl::expected<QJsonArray, QString> mergedPaths(const QJsonArray &current, const QJsonArray &wanted)
{
    QJsonArray paths;
    QSet<qsizetype> taken;
    for (const auto &value : wanted) {
        if (!value.isObject())
            return tl::unexpected(tr("a path is not an object"));
        const auto match = matchIn(current, value.toObject());
        if (!match)
            return tl::unexpected(match.error());
        QJsonObject path = *match >= 0 ? current.at(*match).toObject() : BackupPath{}.toJson();
        if (*match >= 0 && taken.contains(*match))
            return tl::unexpected(tr("two of its paths are the same path “%1”")
                                      .arg(current.at(*match).toObject().value(QStringLiteral("name")).toString()));
        if (*match >= 0)
            taken.insert(*match);
        const QJsonObject given = value.toObject();
        for (auto it = given.begin(); it != given.end(); ++it) {
            if (it.key() != QStringLiteral("id") || *match < 0)
                path.insert(it.key(), it.value());
        }
        paths.append(path);
    }
    return paths;
}

// The file's server over the configured one (or a new one).
tl::expected<QJsonObject, QString> mergedServer(const std::optional<QJsonObject> &current, const QJsonObject &given)
{
    QJsonObject server = current ? *current : ServerRules::newServer(QString()).toJson();
    for (auto it = given.begin(); it != given.end(); ++it) {
        const QString key = it.key();
        const bool record = std::any_of(std::begin(recordKeys), std::end(recordKeys),
                                        [&key](const char *r) { return key == QLatin1String(r); });
        if (current && (record || key == QStringLiteral("id")))
            continue;
        if (current && key == QStringLiteral("scheduledSince") && current->contains(key))
            continue;
        if (current && key == QStringLiteral("privateKeyPath") && it.value().toString().isEmpty())
            continue;
        if (key == QStringLiteral("paths")) {
            if (!it.value().isArray())
                return tl::unexpected(tr("“paths” is not a list"));
            const auto paths = mergedPaths(server.value(key).toArray(), it.value().toArray());
            if (!paths)
                return tl::unexpected(paths.error());
            server.insert(key, *paths);
            continue;
        }
        server.insert(key, it.value());
    }
    return server;
}

QJsonObject objectOf(const AppSettings &settings)
{
    return QJsonDocument::fromJson(settings.encode()).object();
}

// The file's servers over the configured ones, and the rest kept unless pruned.
tl::expected<QJsonArray, QString> mergedServers(const QJsonArray &configured, const QJsonArray &wanted, bool prune)
{
    QJsonArray servers;
    QSet<qsizetype> taken;
    for (qsizetype i = 0; i < wanted.size(); ++i) {
        const QString where = QStringLiteral("servers[%1]").arg(i);
        const QJsonObject given = wanted.at(i).toObject();
        const auto match = matchIn(configured, given);
        if (!match)
            return tl::unexpected(where + QStringLiteral(": ") + match.error());
        if (*match >= 0 && taken.contains(*match))
            return tl::unexpected(
                tr("“%1” is the server “%2” again").arg(where, given.value(QStringLiteral("name")).toString()));
        std::optional<QJsonObject> current;
        if (*match >= 0) {
            taken.insert(*match);
            current = configured.at(*match).toObject();
        }
        const auto server = mergedServer(current, given);
        if (!server)
            return tl::unexpected(where + QStringLiteral(": ") + server.error());
        servers.append(*server);
    }
    for (qsizetype i = 0; i < configured.size(); ++i) {
        if (!prune && !taken.contains(i))
            servers.append(configured.at(i));
    }
    return servers;
}

// The configuration as the file wants it.
tl::expected<AppSettings, QString> desired(const AppSettings &current, const QJsonObject &fleet, bool prune)
{
    QJsonObject merged = objectOf(current);
    for (auto it = fleet.begin(); it != fleet.end(); ++it) {
        if (it.key() != QStringLiteral("servers"))
            merged.insert(it.key(), it.value());
    }
    // A file without servers leaves them as they are.
    if (fleet.contains(QStringLiteral("servers"))) {
        const auto servers = mergedServers(merged.value(QStringLiteral("servers")).toArray(),
                                           fleet.value(QStringLiteral("servers")).toArray(), prune);
        if (!servers)
            return tl::unexpected(servers.error());
        merged.insert(QStringLiteral("servers"), *servers);
    }
    auto decoded = AppSettings::decode(QJsonDocument(merged).toJson(QJsonDocument::Compact));
    if (!decoded)
        return tl::unexpected(decoded.error().message);
    if (decoded->reassignDuplicateIds() > 0)
        return tl::unexpected(tr("two servers in the file have the same id"));
    // An empty key path, as exports write it, keeps the key of a second copy too.
    for (CopyTarget &target : decoded->copyTargets) {
        for (const CopyTarget &here : current.copyTargets) {
            if (here.id == target.id && target.privateKeyPath.isEmpty())
                target.privateKeyPath = here.privateKeyPath;
        }
    }
    return *decoded;
}

QString serverName(const Server &server)
{
    return OutputDecoder::visible(server.shownName());
}

// One line per change, settings first.
QStringList changeLines(const AppSettings &current, const AppSettings &wanted, const QJsonObject &fleet)
{
    QStringList lines;
    const QJsonObject before = objectOf(current);
    const QJsonObject after = objectOf(wanted);
    for (auto it = fleet.begin(); it != fleet.end(); ++it) {
        const QString key = it.key();
        if (key != QStringLiteral("servers") && before.value(key) != after.value(key))
            lines << tr("changed settings: %1")
                         .arg(OutputDecoder::visible(
                             ServerFields::difference(key, before.value(key), after.value(key))));
    }
    for (const Server &server : wanted.servers) {
        const Server *old = current.server(server.id);
        if (!old) {
            lines << tr("added %1").arg(serverName(server));
            continue;
        }
        for (const QString &difference : ServerFields::differences(old->toJson(), server.toJson()))
            lines << tr("changed %1: %2").arg(serverName(*old), OutputDecoder::visible(difference));
    }
    for (const Server &server : current.servers) {
        if (!wanted.server(server.id))
            lines << tr("removed %1; its backups stay in %2")
                         .arg(serverName(server), Retention::serverFolder(current.destinationPath, server));
    }
    return lines;
}

// The first problem a changed or added server would have.
std::optional<QString> firstProblem(const AppSettings &current, const AppSettings &wanted)
{
    for (const Server &server : wanted.servers) {
        const Server *old = current.server(server.id);
        if (old && *old == server)
            continue;
        const QStringList problems = ServerCheck::introducedProblems(old, current.servers, server, wanted.servers);
        if (!problems.isEmpty())
            return serverName(server) + QStringLiteral(": ") + problems.constFirst();
    }
    return std::nullopt;
}

int refuse(const QString &why)
{
    say(stderr, tr("tidewell: nothing applied: %1").arg(OutputDecoder::visible(why)));
    return ExitCode::refused;
}

} // namespace

int apply(const QString &file, bool check, bool prune)
{
    ConfigStore store;
    if (!CommandOutput::usable(store))
        return ExitCode::refused;
    const auto fleet = readFleet(QFileInfo(file).absoluteFilePath());
    if (!fleet)
        return refuse(fleet.error());
    const AppSettings current = store.settings();
    const auto wanted = desired(current, *fleet, prune);
    if (!wanted)
        return refuse(wanted.error());
    if (const auto problem = firstProblem(current, *wanted))
        return refuse(*problem);
    const QStringList lines = changeLines(current, *wanted, *fleet);
    Scheduler scheduler;
    scheduler.setSpreadMinutes(int(std::clamp<qint64>(wanted->scheduleSpreadMinutes, 0, 720)));
    const QList<ScheduleFollow::Step> steps = ScheduleFollow::steps(current.servers, wanted->servers, scheduler);
    if (check) {
        for (const QString &line : lines)
            say(stdout, line);
        for (const ScheduleFollow::Step &step : steps)
            say(stdout, ScheduleFollow::describe(step));
        return lines.isEmpty() && steps.isEmpty() ? ExitCode::success : ExitCode::failing;
    }
    if (!lines.isEmpty()) {
        store.setSettings(*wanted);
        if (const auto saved = store.save(); !saved)
            return refuse(tr("the configuration could not be saved: %1").arg(saved.error().message));
    }
    for (const QString &line : lines)
        say(stdout, line);
    return ScheduleFollow::run(scheduler, steps, stdout);
}

} // namespace FleetCommand
