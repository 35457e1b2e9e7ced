// SPDX-License-Identifier: GPL-3.0-or-later
// One backup without a window, as a daily schedule starts it.
#include "core/cli/HeadlessRunner.h"

#include "core/cli/VerifyCommand.h"
#include "core/engine/CopyRunner.h"
#include "core/engine/RsyncRunner.h"
#include "core/model/ExitCode.h"
#include "core/model/ServerId.h"
#include "core/model/ServerReference.h"
#include "core/report/CopyAfterRun.h"
#include "core/report/RunNotifier.h"
#include "core/report/RunReporter.h"
#include "core/restore/RemoteCheck.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/EncryptedFolder.h"
#include "core/system/FileUtil.h"
#include "core/system/NetworkGate.h"
#include "core/system/NotificationService.h"
#include "core/system/PowerGate.h"
#include "core/system/SignalWatcher.h"

#include <QCoreApplication>
#include <QDBusPendingCallWatcher>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <qcoro/qcorofuture.h>
#include <qcoro/qcorosignal.h>
#include <qcoro/qcorotimer.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <memory>

namespace HeadlessRunner {

namespace {

// How a headless run ended, and the notification that may still be on its way.
struct Ending
{
    int status = 0;
    std::optional<QDBusPendingCall> notification;
};

// What a check after the run found: as loud as a failed run.
NotificationService::Content problemContent(const Server &server, const QString &found)
{
    NotificationService::Content content;
    content.body =
        QStringLiteral("✗ ") + NotificationService::shortName(server.shownName()) + QStringLiteral(" — ") + found;
    content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2)));
    return content;
}

// The checks after a good scheduled run: against the server when it is
// due, and today's part of the copies. What they found is notified.
QCoro::Task<std::optional<QDBusPendingCall>> checkAfterRun(ConfigStore &store, Server server, RemoteCheck &remoteCheck,
                                                           std::shared_ptr<std::atomic_bool> stop)
{
    std::optional<QDBusPendingCall> posted;
    const QStringList silent = co_await VerifyCommand::remoteCheckWhenDue(store, server.id, remoteCheck);
    if (!silent.isEmpty())
        posted = NotificationService::post(problemContent(
            server, QCoreApplication::translate("HeadlessRunner",
                                                "%n file(s) differ from the server though size and time agree: %1",
                                                nullptr, int(silent.size()))
                        .arg(silent.mid(0, 3).join(QStringLiteral(", ")))));
    const QStringList damaged = co_await VerifyCommand::dailyCheck(store, server.id, stop);
    if (!damaged.isEmpty())
        posted = NotificationService::post(problemContent(
            server, QCoreApplication::translate("HeadlessRunner", "%n damaged file(s) in the backups: %1", nullptr,
                                                int(damaged.size()))
                        .arg(damaged.mid(0, 3).join(QStringLiteral(", ")))));
    co_return posted;
}

// What systemctl stop, a shutdown or Ctrl+C send ends the run like its
// Cancel button: children stopped, log written, result recorded.
void stopOnSignal(int number, bool started, RsyncRunner &runner, RemoteCheck &remoteCheck, CopyRunner &copier,
                  std::atomic_bool &stopCheck)
{
    stopCheck = true;
    remoteCheck.cancel();
    copier.cancel();
    if (!started) {
        // Still waiting for the network: nothing ran, nothing is recorded.
        DiagnosticLog::write(QStringLiteral("Received ") + SignalWatcher::name(number)
                             + QStringLiteral(" while waiting for the network; the backup did not start."));
        QCoreApplication::exit(RsyncRunner::cancelledExitCode);
        return;
    }
    if (!runner.isRunning())
        return;
    runner.append(QStringLiteral("Received ") + SignalWatcher::name(number)
                  + QStringLiteral(": cancelling the backup."));
    runner.cancel();
}

// SIGUSR1 (`tidewell --pause`, or kill -USR1): the run ends keeping what it
// copied, and the next one goes on from there.
void pauseOnSignal(bool started, RsyncRunner &runner)
{
    if (!started || !runner.isRunning()) {
        DiagnosticLog::write(QStringLiteral("Received SIGUSR1 before the backup started: nothing to pause."));
        return;
    }
    if (const auto id = runner.runningServerID())
        QFile::remove(AppPaths::pauseRequestFile(*id));
    runner.append(QStringLiteral("Received SIGUSR1: pausing the backup."));
    runner.pause();
}

// The second copies, after the backup's result is recorded and reported.
QCoro::Task<std::optional<QDBusPendingCall>> copyAfterRun(ConfigStore &store, Server scheduled, CopyRunner &copier,
                                                          RunReporter &reporter)
{
    // Both are copied into the copies' coroutine at once.
    const AppSettings &settings = store.settings();
    const Server *stored = settings.server(scheduled.id);
    const Server copied = stored ? *stored : scheduled;
    const std::optional<QDBusPendingCall> posted = co_await CopyAfterRun::copy(settings, copied, copier, reporter);
    if (reporter.pending() > 0)
        co_await qCoro(&reporter, &RunReporter::idle);
    co_return posted;
}

// The network and the battery, before a scheduled run: false when it is
// skipped (said in the diagnostic log). A skip is no run: nothing is
// recorded, the next run catches up, and a skip that lasts shows as overdue.
QCoro::Task<bool> mayStart(AppSettings settings)
{
    NetworkGate::Options gate;
    gate.waitSeconds = int(std::clamp<qint64>(settings.networkWaitSeconds, 0, 24 * 3600));
    gate.skipMetered = settings.skipMeteredConnections;
    gate.say = [](const QString &line) { DiagnosticLog::write(line); };
    const NetworkGate::Verdict network = co_await NetworkGate::beforeScheduledRun(gate);
    if (network == NetworkGate::Verdict::skipMetered) {
        DiagnosticLog::write(QStringLiteral("Skipped: the network connection is metered."));
        co_return false;
    }
    PowerGate::Options power;
    power.minPercent = std::clamp<qint64>(settings.minBatteryPercent, 0, 100);
    power.waitSeconds = int(std::clamp<qint64>(settings.powerWaitSeconds, 0, 24 * 3600));
    power.say = gate.say;
    const QDBusConnection systemBus = QDBusConnection::systemBus();
    const PowerGate::Verdict charge = co_await PowerGate::beforeScheduledRun(systemBus, power);
    if (!charge.go)
        DiagnosticLog::write(PowerGate::skippedLine(charge.percent));
    co_return charge.go;
}

QCoro::Task<Ending> run(QString reference)
{
    ConfigStore store;
    if (const QString problem = store.loadProblem(); !problem.isEmpty()) {
        // Nobody reads the scheduler's journal: the desktop hears of it.
        NotificationService::Content content;
        content.body = QStringLiteral("✗ A scheduled backup did not run: ") + QFileInfo(store.url()).fileName()
                       + QStringLiteral(" could not be read (") + problem + u')';
        content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2)));
        co_return Ending{ExitCode::refused, NotificationService::post(content)};
    }
    const auto found = ServerReference::find(store.settings(), reference);
    if (!found) {
        if (const auto id = ServerId::parse(reference))
            DiagnosticLog::write(QStringLiteral("Server ") + ServerId::text(*id)
                                 + QStringLiteral(" not found in config."));
        else
            DiagnosticLog::write(found.error().message);
        co_return Ending{ExitCode::refused, {}};
    }
    const Server *server = store.settings().server(found->id);
    RsyncRunner runner;
    RunNotifier notifier(&runner);
    RunReporter reporter(&runner);
    QObject::connect(&runner, &RsyncRunner::runRefused, &runner,
                     [](const QUuid &, const QString &message) { DiagnosticLog::write(message); });
    SignalWatcher signalWatcher({SIGTERM, SIGINT, SIGHUP, SIGUSR1});
    bool started = false;
    // After the run, the daily check stops where it is.
    auto stopCheck = std::make_shared<std::atomic_bool>(false);
    RemoteCheck remoteCheck;
    CopyRunner copier;
    QObject::connect(&signalWatcher, &SignalWatcher::received, &runner,
                     [&runner, &started, stopCheck, &remoteCheck, &copier](int number) {
                         if (number == SIGUSR1)
                             pauseOnSignal(started, runner);
                         else
                             stopOnSignal(number, started, runner, remoteCheck, copier, *stopCheck);
                     });
    const Server scheduled = *server;
    const AppSettings gates = store.settings();
    const bool go = co_await mayStart(gates);
    if (!go)
        co_return Ending{ExitCode::success, {}};
    started = true;
    // One plaintext view of an encrypted destination for the run, its second
    // copies and its check (the run says itself when it cannot be opened).
    PlainView destination;
    if (gates.destinationEncrypted) {
        QFuture<PlainView::Opened> opening = PlainView::openInBackground(PlainView::destination(gates));
        const PlainView::Opened opened = co_await opening;
        if (opened)
            destination = *opened;
    }
    // Until its reports are sent, the run is one that did not report (see reportFailure()).
    const QString marker = unreportedMarker(scheduled.id);
    FileUtil::makePrivateFolder(QFileInfo(marker).absolutePath());
    (void)FileUtil::writeAtomically(marker, QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8());
    co_await runner.run(scheduled, &store);
    // Reports are bounded in time (see RunReporter); the exit waits for them.
    if (reporter.pending() > 0)
        co_await qCoro(&reporter, &RunReporter::idle);
    QFile::remove(marker);
    if (runner.wasPaused()) {
        // Not a failure: the next run goes on where this one stopped.
        DiagnosticLog::write(QStringLiteral("Paused: the next run of “") + scheduled.logName()
                             + QStringLiteral("” goes on from where this one stopped."));
        co_return Ending{ExitCode::success, notifier.lastPost()};
    }
    const int status = runner.exitCode().value_or(0);
    if (status != ExitCode::success)
        co_return Ending{status, notifier.lastPost()};
    std::optional<QDBusPendingCall> posted = notifier.lastPost();
    const std::optional<QDBusPendingCall> copyFailed = co_await copyAfterRun(store, scheduled, copier, reporter);
    if (copyFailed)
        posted = copyFailed;
    const std::optional<QDBusPendingCall> reported = co_await checkAfterRun(store, scheduled, remoteCheck, stopCheck);
    co_return Ending{status, reported ? reported : posted};
}

QCoro::Task<int> reportUnreported(QString reference)
{
    const auto settings = ConfigStore::readOnly(AppPaths::configFile());
    const auto found =
        settings ? ServerReference::find(*settings, reference) : tl::expected<Server, Error>(tl::unexpected(Error()));
    if (!found)
        co_return ExitCode::success;
    const QUuid serverID = found->id;
    const QString marker = unreportedMarker(serverID);
    if (!QFileInfo::exists(marker))
        co_return ExitCode::success; // the run reported itself
    const Server *server = settings->server(serverID);
    RunReporter reporter(nullptr);
    RunReporter::Run run;
    run.server = *server;
    if (const auto started = FileUtil::readRegularFile(marker); started && *started)
        run.started = QDateTime::fromString(QString::fromUtf8(**started), Qt::ISODate);
    run.finished = QDateTime::currentDateTime();
    const auto log = FileUtil::readRegularFile(LogStore::logFile(serverID));
    if (log && *log)
        run.log = QString::fromUtf8(**log).split(u'\n');
    run.log << QStringLiteral("The scheduled run ended without reporting (it was killed or crashed).");
    DiagnosticLog::write(run.log.last());
    reporter.report(run, *settings);
    if (reporter.pending() > 0)
        co_await qCoro(&reporter, &RunReporter::idle);
    QFile::remove(marker);
    co_return ExitCode::success;
}

} // namespace

QString unreportedMarker(const QUuid &serverID)
{
    return AppPaths::dataFolder() + QStringLiteral("/reports/") + ServerId::text(serverID) + QStringLiteral(".running");
}

int reportFailure(const QString &server)
{
    QCoro::connect(reportUnreported(server), QCoreApplication::instance(), [](int status) {
        QTimer::singleShot(0, QCoreApplication::instance(), [status] { QCoreApplication::exit(status); });
    });
    return QCoreApplication::exec();
}

int exec(const QString &server)
{
    QCoro::connect(run(server), QCoreApplication::instance(), [](const Ending &ending) {
        const int status = ending.status;
        if (!ending.notification || ending.notification->isFinished()) {
            // Queued: a run that ends before the event loop starts (an
            // unknown server) must not exit before there is a loop to end.
            QTimer::singleShot(0, QCoreApplication::instance(), [status] { QCoreApplication::exit(status); });
            return;
        }
        // The notification is handed over once the desktop has answered;
        // a desktop that does not answer holds the exit back no longer than this.
        auto *watcher = new QDBusPendingCallWatcher(*ending.notification, QCoreApplication::instance());
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, QCoreApplication::instance(),
                         [status] { QCoreApplication::exit(status); });
        QTimer::singleShot(exitPauseMs, QCoreApplication::instance(), [status] { QCoreApplication::exit(status); });
    });
    return QCoreApplication::exec();
}

} // namespace HeadlessRunner
