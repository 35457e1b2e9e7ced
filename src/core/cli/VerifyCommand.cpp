// SPDX-License-Identifier: GPL-3.0-or-later
// Checking a server's copies from the command line.
#include "core/cli/VerifyCommand.h"

#include "core/cli/TaskLoop.h"
#include "core/engine/KeepOptions.h"
#include "core/engine/Retention.h"
#include "core/engine/RsyncProbe.h"
#include "core/engine/Snapshots.h"
#include "core/model/ExitCode.h"
#include "core/model/ReferenceDate.h"
#include "core/model/ServerReference.h"
#include "core/restore/BackupCheck.h"
#include "core/restore/RemoteCheck.h"
#include "core/storage/ConfigStore.h"
#include "core/system/Background.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/SignalWatcher.h"

#include <QElapsedTimer>
#include <QLocale>

#include <qcoro/qcorofuture.h>
#include <qcoro/qcorotask.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace VerifyCommand {

namespace {

void say(FILE *stream, const QString &line)
{
    std::fputs((line + u'\n').toLocal8Bit().constData(), stream);
}

QString number(qint64 value)
{
    return QLocale(QLocale::English).toString(value);
}

// The days to read, or why there are none (already said).
std::optional<QStringList> chooseDays(const EntryPoint::Options::Verify &request, const AppSettings &settings,
                                      const QString &serverFolder)
{
    if (!settings.useDateSubfolder)
        return QStringList();
    if (request.all || !request.date) {
        const QStringList days = BackupCheck::allDays(serverFolder, true);
        if (!days.isEmpty())
            return request.all ? days : QStringList{days.last()};
        say(stderr, QStringLiteral("tidewell: there is no complete backup of this server in ") + serverFolder);
        return std::nullopt;
    }
    const QString &name = *request.date;
    // A day: each of its snapshots.
    QStringList days;
    QString incomplete;
    for (const Snapshots::Backup &backup : Snapshots::list(serverFolder)) {
        if (!Snapshots::isOf(backup.name, name))
            continue;
        if (backup.complete)
            days.prepend(backup.name);
        else if (incomplete.isEmpty())
            incomplete = backup.name;
    }
    if (!days.isEmpty())
        return days;
    if (!incomplete.isEmpty()) {
        // Perhaps a run is writing it: its files are not what they will be.
        say(stderr, QStringLiteral("tidewell: the backup of ") + incomplete
                        + QStringLiteral(" is incomplete (its run did not finish, or is running): it is not checked"));
        return std::nullopt;
    }
    say(stderr, QStringLiteral("tidewell: there is no backup of ") + name + QStringLiteral(" (see --list-backups)"));
    return std::nullopt;
}

QString describeDays(const QStringList &days)
{
    if (days.isEmpty())
        return QStringLiteral("the backup folder");
    if (days.size() == 1)
        return QStringLiteral("the backup of ") + days.first();
    return number(days.size()) + QStringLiteral(" backups, ") + days.last() + QStringLiteral(" … ") + days.first();
}

// What the check found, said; the exit status.
int report(const BackupCheck::Result &result, int samplePercent)
{
    if (result.resumedAt > 0)
        say(stdout, QStringLiteral("Continued the check that was stopped at ") + number(result.resumedAt)
                        + QStringLiteral(" of ") + number(result.total) + QStringLiteral(" files."));
    if (!result.finished) {
        say(stdout, QStringLiteral("The check was stopped at ") + number(result.done) + QStringLiteral(" of ")
                        + number(result.total) + QStringLiteral(" files: run the same command to continue."));
        return ExitCode::cancelled;
    }
    if (result.fresh > 0)
        say(stdout, number(result.fresh)
                        + QStringLiteral(" files had no fingerprint yet (copied before fingerprints were kept, or "
                                         "by a run that was stopped): they have one now."));
    if (result.unreadable > 0)
        say(stdout, QStringLiteral("!! ") + number(result.unreadable) + QStringLiteral(" files could not be read (")
                        + result.firstUnreadable + QStringLiteral(")."));
    if (!result.damaged.isEmpty()) {
        QStringList shown;
        for (const BackupCheck::Damaged &damaged : result.damaged)
            shown << damaged.shown();
        say(stdout,
            QStringLiteral("!! ") + number(result.damaged.size())
                + (result.damaged.size() == 1 ? QStringLiteral(" damaged file: ") : QStringLiteral(" damaged files: "))
                + shown.join(QStringLiteral(", ")));
        return ExitCode::failing;
    }
    if (result.unreadable > 0)
        return ExitCode::failing;
    say(stdout, QStringLiteral("All ") + number(result.total)
                    + (samplePercent < 100 ? QStringLiteral(" files of the ") + QString::number(samplePercent)
                                                 + QStringLiteral(" % sample are intact.")
                                           : QStringLiteral(" files are intact.")));
    return ExitCode::success;
}

using Outcome = std::shared_ptr<std::optional<BackupCheck::Result>>;

QCoro::Task<int> check(QString serverFolder, BackupCheck::Options options, bool attributes, Outcome outcome)
{
    auto stop = std::make_shared<std::atomic_bool>(false);
    // Ctrl+C, systemctl stop or a shutdown: the check keeps its place.
    SignalWatcher watcher({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&watcher, &SignalWatcher::received, &watcher, [stop](int signalNumber) {
        say(stderr, QStringLiteral("Received ") + SignalWatcher::name(signalNumber)
                        + QStringLiteral(": stopping the check where it is."));
        *stop = true;
    });
    options.stop = [stop] { return stop->load(); };
    if (::isatty(STDERR_FILENO))
        options.progress = [](qint64 done, qint64 total) {
            std::fputs(
                QStringLiteral("\rChecked %1 of %2 files").arg(number(done), number(total)).toLocal8Bit().constData(),
                stderr);
        };
    auto checked = Background::run(
        [serverFolder, options, attributes] { return BackupCheck::run(serverFolder, attributes, options); });
    const auto result = co_await checked;
    if (options.progress)
        std::fputs("\n", stderr);
    if (!result) {
        say(stderr, QStringLiteral("tidewell: the backups could not be read: ") + result.error().message);
        co_return ExitCode::failing;
    }
    *outcome = *result;
    co_return report(*result, options.parts > 1 ? options.count : 100);
}

QString partReport(const BackupCheck::Options &options, const BackupCheck::Result &result)
{
    const QString part = QStringLiteral("part ") + QString::number(options.first + 1) + QStringLiteral(" of ")
                         + QString::number(options.parts) + QStringLiteral(" of the copies");
    if (!result.finished)
        return QStringLiteral("Daily check: stopped at the time limit in ") + part + QStringLiteral(", ")
               + number(result.done) + QStringLiteral(" of ") + number(result.total) + QStringLiteral(" files read.");
    QString line = QStringLiteral("Daily check of ") + part + QStringLiteral(": ") + number(result.total)
                   + QStringLiteral(" files");
    if (result.fresh > 0)
        line += QStringLiteral(", ") + number(result.fresh) + QStringLiteral(" given their first fingerprint");
    if (result.unreadable > 0)
        line += QStringLiteral(", ") + number(result.unreadable) + QStringLiteral(" unreadable (")
                + result.firstUnreadable + u')';
    return line + QStringLiteral(", ") + number(result.damaged.size()) + QStringLiteral(" damaged.");
}

} // namespace

QCoro::Task<QStringList> remoteCheckWhenDue(ConfigStore &store, QUuid serverID, RemoteCheck &check)
{
    const AppSettings settings = store.settings();
    const Server *found = settings.server(serverID);
    const QDate today = QDate::currentDate();
    if (!found || settings.verifyRemoteEveryDays <= 0
        || (found->lastRemoteCheckAt
            && ReferenceDate::toDateTime(*found->lastRemoteCheckAt).date().daysTo(today)
                   < settings.verifyRemoteEveryDays))
        co_return QStringList();
    const Server server = *found;
    const RsyncProbe probe = RsyncProbe::compute();
    const RemoteCheck::Result result = co_await check.run(server, settings, std::nullopt, probe);
    for (const QString &line : RemoteCheck::report(server, result))
        DiagnosticLog::write(QStringLiteral("Check against the server: ") + line);
    const int status = result.exitCode();
    if (result.cancelled || (status != ExitCode::success && status != ExitCode::failing))
        co_return QStringList();
    store.recordRemoteCheck(serverID, ReferenceDate::now(), result.silentCount());
    QStringList silent;
    for (const RemoteCheck::PathResult &path : result.paths) {
        for (const QString &name : path.silent)
            silent << path.name + u'/' + name;
    }
    co_return silent;
}

QCoro::Task<QStringList> dailyCheck(ConfigStore &store, QUuid serverID, std::shared_ptr<std::atomic_bool> stop)
{
    const AppSettings &settings = store.settings();
    const Server *server = settings.server(serverID);
    if (!server || settings.verifyParts <= 0 || settings.verifyMinutesPerRun <= 0)
        co_return QStringList();
    const QString serverFolder = Retention::serverFolder(settings.destinationPath, *server);
    BackupCheck::Options options;
    options.days = BackupCheck::allDays(serverFolder, settings.useDateSubfolder);
    options.parts = int(settings.verifyParts);
    options.first = int(QDate::currentDate().toJulianDay() % options.parts);
    const qint64 budgetMs = settings.verifyMinutesPerRun * 60 * 1000;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    options.stop = [stop, clock, budgetMs] { return stop->load() || clock->elapsed() > budgetMs; };
    const bool attributes = KeepOptions::checkXattrs(serverFolder).has_value();
    auto checked = Background::run(
        [serverFolder, options, attributes] { return BackupCheck::run(serverFolder, attributes, options); });
    const auto result = co_await checked;
    if (!result) {
        DiagnosticLog::write(QStringLiteral("Daily check: the backups could not be read: ") + result.error().message);
        co_return QStringList();
    }
    DiagnosticLog::write(partReport(options, *result));
    QStringList damaged;
    for (const BackupCheck::Damaged &file : result->damaged)
        damaged << file.shown();
    if (!damaged.isEmpty())
        DiagnosticLog::write(QStringLiteral("!! Damaged: ") + damaged.join(QStringLiteral(", ")));
    if (result->finished)
        if (const Server *now = store.settings().server(serverID))
            store.recordVerification(serverID, ReferenceDate::now(),
                                     BackupCheck::damageToRecord(*now, result->damaged.size(), options.parts == 1));
    co_return damaged;
}

int verify(const EntryPoint::Options::Verify &request)
{
    ConfigStore store;
    if (const QString problem = store.loadProblem(); !problem.isEmpty()) {
        say(stderr, QStringLiteral("tidewell: the configuration could not be read: ") + problem);
        return ExitCode::refused;
    }
    const auto server = ServerReference::find(store.settings(), request.server);
    if (!server) {
        say(stderr, server.error().message);
        return ExitCode::refused;
    }
    const QString serverFolder = Retention::serverFolder(store.settings().destinationPath, *server);
    const auto days = chooseDays(request, store.settings(), serverFolder);
    if (!days)
        return ExitCode::refused;
    BackupCheck::Options options;
    options.days = *days;
    if (request.samplePercent < 100) {
        options.parts = 100;
        options.count = request.samplePercent;
    }
    const bool attributes = KeepOptions::checkXattrs(serverFolder).has_value();
    say(stdout, QStringLiteral("Checking ") + describeDays(*days) + QStringLiteral(" of ") + server->logName()
                    + (attributes ? QStringLiteral(".") : QStringLiteral(" (fingerprints in the manifest).")));
    const Outcome outcome = std::make_shared<std::optional<BackupCheck::Result>>();
    const int status = TaskLoop::run(check(serverFolder, options, attributes, outcome));
    if (*outcome && (*outcome)->finished) {
        const bool whole = (request.all || !store.settings().useDateSubfolder) && request.samplePercent == 100;
        store.recordVerification(server->id, ReferenceDate::now(),
                                 BackupCheck::damageToRecord(*server, (*outcome)->damaged.size(), whole));
    }
    return status;
}

} // namespace VerifyCommand
