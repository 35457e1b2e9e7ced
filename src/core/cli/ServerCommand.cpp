// SPDX-License-Identifier: GPL-3.0-or-later
// Adding and changing servers from the command line.
#include "core/cli/ServerCommand.h"

#include "core/cli/CommandOutput.h"
#include "core/cli/ScheduleFollow.h"
#include "core/engine/OutputDecoder.h"
#include "core/model/ExitCode.h"
#include "core/model/ServerCheck.h"
#include "core/model/ServerFields.h"
#include "core/model/ServerId.h"
#include "core/model/ServerReference.h"
#include "core/presentation/ServerRules.h"
#include "core/storage/ConfigStore.h"

#include <QCoreApplication>

namespace ServerCommand {

using CommandOutput::say;

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ServerCommand", text);
}

// What a change says: "added web-07", or "changed db-02: port 22 → 2222"
// for each member that differs.
QStringList changeLines(const Server *before, const Server &after)
{
    if (!before)
        return {tr("added %1").arg(OutputDecoder::visible(after.shownName()))};
    const QString name = OutputDecoder::visible(before->shownName());
    QStringList lines;
    for (const QString &difference : ServerFields::differences(before->toJson(), after.toJson()))
        lines << tr("changed %1: %2").arg(name, OutputDecoder::visible(difference));
    if (lines.isEmpty())
        lines << tr("%1: nothing to change").arg(name);
    return lines;
}

// Puts `changed` (new, or a changed copy of a server there) into the
// configuration when the check lets it, says so on `out`, then makes the
// schedule follow. The exit status.
int commit(ConfigStore &store, const Server &changed, FILE *out)
{
    const AppSettings before = store.settings();
    AppSettings after = before;
    const Server *old = before.server(changed.id);
    if (Server *there = after.server(changed.id))
        *there = changed;
    else
        after.servers.append(changed);
    if (const QStringList problems = ServerCheck::introducedProblems(old, before.servers, changed, after.servers);
        !problems.isEmpty()) {
        say(stderr, tr("tidewell: nothing changed: %1").arg(OutputDecoder::visible(problems.constFirst())));
        return ExitCode::refused;
    }
    const QStringList lines = changeLines(old, changed);
    if (!old || lines.constFirst() != tr("%1: nothing to change").arg(OutputDecoder::visible(old->shownName()))) {
        store.setSettings(after);
        if (const auto saved = store.save(); !saved) {
            say(stderr, tr("tidewell: the configuration could not be saved: %1").arg(saved.error().message));
            return ExitCode::refused;
        }
    }
    for (const QString &line : lines)
        say(out, line);
    Scheduler scheduler;
    scheduler.setSpreadMinutes(int(std::clamp<qint64>(after.scheduleSpreadMinutes, 0, 720)));
    const QList<Server> was = old ? QList<Server>{*old} : QList<Server>{};
    return ScheduleFollow::run(scheduler, ScheduleFollow::steps(was, {changed}, scheduler), out);
}

// Sets each member; the first refused one is said, and the exit status given.
template<typename T>
std::optional<int> assignAll(T &target, const QStringList &assignments)
{
    for (const QString &assignment : assignments) {
        const auto assigned = ServerFields::set(target, assignment);
        if (!assigned) {
            say(stderr, QStringLiteral("tidewell: ") + OutputDecoder::visible(assigned.error().message));
            return ExitCode::refused;
        }
    }
    return std::nullopt;
}

// The server a command names, or why not (said).
std::optional<Server> named(const ConfigStore &store, const QString &reference)
{
    if (!CommandOutput::usable(store))
        return std::nullopt;
    const auto found = ServerReference::find(store.settings(), reference);
    if (!found) {
        say(stderr, found.error().message);
        return std::nullopt;
    }
    return *found;
}

// "/var/www=site": the path, named "site"; "/var/www": named "www".
BackupPath pathFrom(const QString &argument, const QStringList &excludes)
{
    BackupPath path;
    const qsizetype equals = argument.lastIndexOf(u'=');
    path.remotePath = equals > 0 ? argument.left(equals) : argument;
    path.name =
        equals > 0 ? argument.mid(equals + 1) : path.remotePath.section(u'/', -1, -1, QString::SectionSkipEmpty);
    if (path.name.isEmpty())
        path.name = path.remotePath;
    path.excludes = excludes;
    return path;
}

} // namespace

int add(const NewServer &request)
{
    ConfigStore store;
    if (!CommandOutput::usable(store))
        return ExitCode::refused;
    Server server = ServerRules::newServer(request.name);
    server.name = request.name;
    if (const auto refused = assignAll(server, request.assignments))
        return *refused;
    for (const QString &path : request.paths)
        server.paths.append(pathFrom(path, request.excludes));
    const int status = commit(store, server, stderr);
    if (status != ExitCode::refused)
        say(stdout, ServerId::text(server.id));
    return status;
}

int set(const QString &reference, const QStringList &assignments)
{
    ConfigStore store;
    std::optional<Server> server = named(store, reference);
    if (!server)
        return ExitCode::refused;
    if (const auto refused = assignAll(*server, assignments))
        return *refused;
    return commit(store, *server, stdout);
}

int setSettings(const QStringList &assignments)
{
    ConfigStore store;
    if (!CommandOutput::usable(store))
        return ExitCode::refused;
    AppSettings settings = store.settings();
    if (const auto refused = assignAll(settings, assignments))
        return *refused;
    const QStringList differences = ServerFields::differences(store.settings(), settings);
    if (differences.isEmpty()) {
        say(stdout, tr("settings: nothing to change"));
        return ExitCode::success;
    }
    store.setSettings(settings);
    if (const auto saved = store.save(); !saved) {
        say(stderr, tr("tidewell: the configuration could not be saved: %1").arg(saved.error().message));
        return ExitCode::refused;
    }
    for (const QString &difference : differences)
        say(stdout, tr("changed settings: %1").arg(OutputDecoder::visible(difference)));
    return ExitCode::success;
}

int setPath(const QString &reference, const QString &pathReference, const QStringList &assignments)
{
    ConfigStore store;
    std::optional<Server> server = named(store, reference);
    if (!server)
        return ExitCode::refused;
    BackupPath *path = nullptr;
    int sameName = 0;
    for (BackupPath &candidate : server->paths) {
        if (ServerId::text(candidate.id).compare(pathReference, Qt::CaseInsensitive) == 0) {
            path = &candidate;
            sameName = 1;
            break;
        }
        if (candidate.name == pathReference) {
            path = path ? path : &candidate;
            ++sameName;
        }
    }
    if (sameName > 1) {
        say(stderr, tr("tidewell: %1 has %2 paths named “%3”: name it by its id")
                        .arg(OutputDecoder::visible(server->shownName()))
                        .arg(sameName)
                        .arg(pathReference));
        return ExitCode::refused;
    }
    if (!path) {
        // A new path, when it says what to copy.
        server->paths.append(BackupPath{});
        path = &server->paths.last();
        path->name = pathReference;
        if (!std::any_of(assignments.cbegin(), assignments.cend(),
                         [](const QString &a) { return a.startsWith(QStringLiteral("remotePath=")); })) {
            say(stderr, tr("tidewell: %1 has no path “%2”; to add one, give its remotePath=")
                            .arg(OutputDecoder::visible(server->shownName()), pathReference));
            return ExitCode::refused;
        }
    }
    if (const auto refused = assignAll(*path, assignments))
        return *refused;
    return commit(store, *server, stdout);
}

} // namespace ServerCommand
