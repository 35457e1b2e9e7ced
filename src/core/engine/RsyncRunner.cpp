// SPDX-License-Identifier: GPL-3.0-or-later
// The backup run of one server: plan, folders, pre-backup commands, rsync
// attempts with retries, retention, and the record of how it ended.
#include "core/engine/RsyncRunner.h"

#include "core/engine/DestinationMarker.h"
#include "core/engine/DumpCommands.h"
#include "core/engine/Fingerprints.h"
#include "core/engine/KeepOptions.h"
#include "core/engine/MassChange.h"
#include "core/engine/OutputDecoder.h"
#include "core/engine/Retention.h"
#include "core/engine/RetryPolicy.h"
#include "core/engine/RsyncStats.h"
#include "core/engine/Snapshots.h"
#include "core/model/ReferenceDate.h"
#include "core/model/Schedule.h"
#include "core/ssh/HostKeyChecker.h"
#include "core/ssh/SSHTester.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "core/system/Background.h"
#include "core/system/Btrfs.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/EncryptedFolder.h"
#include "core/system/FileUtil.h"
#include "core/system/SleepInhibitor.h"
#include "core/system/Subprocess.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <qcoro/qcorofuture.h>
#include <qcoro/qcorotimer.h>

#include <chrono>
#include <climits>

namespace {

// What a pre-backup command may write to each stream before the rest is dropped.
constexpr qsizetype maxCommandOutput = 256 * 1024;

// Probed once per process, on first use.
const RsyncProbe &processProbe()
{
    static const RsyncProbe probe = RsyncProbe::computeCached(RsyncProbe::defaultCacheFile());
    return probe;
}

// What the copy did, measured before the day is put in place: how much
// changed since the previous complete day, and the new files' fingerprints.
struct Measured
{
    MassChange::Count change;
    Fingerprints::Written written;
    QString saveFailure;
};

// Off this thread, as a large tree takes a while to walk and new files to read.
QFuture<Measured> measureCopy(const BackupPlan &plan)
{
    return Background::run([steps = plan.steps, serverFolder = plan.serverFolder, attributes = plan.attributesWork] {
        Measured measured;
        Fingerprints::Store store(serverFolder, attributes);
        for (const BackupPlan::Step &step : steps) {
            if (!step.previousFolder.isEmpty())
                measured.change += MassChange::measure(step.previousFolder, step.targetFolder);
            const Fingerprints::Written written =
                Fingerprints::fingerprintNew(step.previousFolder, step.targetFolder, store);
            measured.written.files += written.files;
            measured.written.bytes += written.bytes;
            measured.written.failed += written.failed;
            if (measured.written.firstFailure.isEmpty())
                measured.written.firstFailure = written.firstFailure;
        }
        if (const auto saved = store.save(); !saved)
            measured.saveFailure = saved.error().message;
        return measured;
    });
}

} // namespace

RsyncRunner::RsyncRunner(QObject *parent)
    : TransferRunner(parent)
    , m_retryWait(new QTimer(this))
{
    m_retryWait->setSingleShot(true);
}

RsyncProbe RsyncRunner::rsyncProbe()
{
    if (!m_probe)
        m_probe = processProbe();
    return *m_probe;
}

void RsyncRunner::cancel()
{
    TransferRunner::cancel();
    if (m_retryWait->isActive())
        m_retryWait->start(0);
}

void RsyncRunner::pause()
{
    if (!isRunning())
        return;
    m_wasPaused = true;
    cancel();
}

QCoro::Task<> RsyncRunner::run(Server server, ConfigStore *store)
{
    if (isRunning())
        co_return;
    // Without the lock nothing tells a second run of this server to wait:
    // a lock that cannot be taken for any reason means no run.
    auto lock = FileLock::tryLock(AppPaths::runLockFile(server.id));
    if (!lock) {
        const QString message =
            lock.error().code == Error::Code::busy
                ? QStringLiteral("A backup of “") + server.logName() + QStringLiteral("” is already running.")
                : lockFailure(server, lock.error().message);
        refuse(message, alreadyRunningExitCode);
        Q_EMIT runRefused(server.id, message);
        co_return;
    }
    // Who runs it, for `tidewell --pause`.
    lock->recordHolder();
    QPointer<RsyncRunner> self(this);
    QPointer<ConfigStore> storeGuard(store);

    begin(server, store ? store->settings() : AppSettings());
    const QDateTime startedAt = m_clock();
    Slot slot = co_await takeSlot(runSettings().maxConcurrentRuns);
    if (!self)
        co_return;
    m_waitingForSlot = false;
    if (slot.cancelled) {
        // Nothing ran: nothing is recorded or reported.
        const QString message = QStringLiteral("The backup of “") + server.logName()
                                + QStringLiteral("” was cancelled while it waited for a free slot.");
        append(message);
        setExitCode(cancelledExitCode);
        setCurrentItem(QString());
        setRunning(false, std::nullopt);
        Q_EMIT runRefused(server.id, message);
        co_return;
    }
    setCurrentItem(QString());
    // Held until this run is finished and recorded; let go with the frame.
    const QString why = QStringLiteral("Backing up ") + server.logName();
    const QDBusConnection bus = m_systemBus.value_or(QDBusConnection::systemBus());
    SleepInhibitor awake = co_await SleepInhibitor::take(bus, why);
    if (!self)
        co_return;

    m_pausableFolder.clear();
    co_await performRun(server, runSettings());
    if (!self)
        co_return;
    if (m_wasPaused && !m_pausableFolder.isEmpty() && exitCode() != ExitCode::success)
        Snapshots::markPaused(m_pausableFolder);
    co_await runLocalAfterCommand(server);
    if (!self)
        co_return;
    finish(server.id, startedAt, storeGuard);
    m_destinationView.release();
    awake.release();
}

QCoro::Task<RsyncRunner::Slot> RsyncRunner::takeSlot(qint64 limit)
{
    QPointer<RsyncRunner> self(this);
    const int slots = int(std::clamp<qint64>(limit, 1, 32));
    bool said = false;
    for (;;) {
        for (int i = 0; i < slots; ++i) {
            auto lock = FileLock::tryLock(AppPaths::runSlotFile(i));
            if (lock) {
                Slot taken;
                taken.lock = std::move(*lock);
                co_return taken;
            }
            if (lock.error().code != Error::Code::busy) {
                // Slots share the machine; they never stop a backup.
                DiagnosticLog::write(QStringLiteral("Run slots are not used: ") + lock.error().message);
                co_return Slot();
            }
        }
        if (!said) {
            append(QStringLiteral("Waiting for a free slot (") + QString::number(slots)
                   + QStringLiteral(" backups running)…"));
            m_waitingForSlot = true;
            setCurrentItem(QStringLiteral("Waiting"));
            said = true;
        }
        m_retryWait->start(std::chrono::milliseconds(200));
        co_await qCoro(m_retryWait).waitForTimeout();
        if (!self)
            co_return Slot();
        if (m_wasCancelled) {
            Slot cancelled;
            cancelled.cancelled = true;
            co_return cancelled;
        }
    }
}

tl::expected<void, Error> RsyncRunner::makeWriteFolder(const BackupPlan &plan)
{
    if (plan.sharing != BackupPlan::Sharing::btrfs || QFileInfo::exists(plan.writeFolder))
        return FileUtil::makeFolder(plan.writeFolder);
    // The day starts as the day before, at once and sharing all its data.
    if (plan.snapshotOf.isEmpty())
        return Btrfs::createSubvolume(plan.writeFolder);
    return Btrfs::snapshot(plan.snapshotOf, plan.writeFolder);
}

bool RsyncRunner::makeRunFolders(const BackupPlan &plan, const AppSettings &settings)
{
    // The copies are this user's alone: no other user of this computer
    // walks into them (and to what they hold of the server's).
    const auto tightened = FileUtil::makeFolderPrivate(plan.serverFolder);
    if (!tightened) {
        const BackupPlan::Refusal failure = BackupPlan::destinationFailure(tightened.error().message);
        endWith(failure.lines, failure.exitCode);
        return false;
    }
    if (const auto made = makeWriteFolder(plan); !made) {
        const BackupPlan::Refusal failure = BackupPlan::destinationFailure(made.error().message);
        endWith(failure.lines, failure.exitCode);
        return false;
    }
    setLastDestination(plan.runFolder);
    // Until the whole run succeeds, this day's folder is no base for
    // tomorrow's. A complete one is never marked: the run writes beside it.
    if (settings.useDateSubfolder && !plan.replacesComplete()) {
        Snapshots::markIncomplete(plan.runFolder);
        m_pausableFolder = plan.runFolder;
    }
    const BackupPlan::FreeSpace space =
        BackupPlan::checkFreeSpace(settings.minFreeSpaceGB, FileUtil::freeSpaceGB(plan.writeFolder));
    if (*tightened)
        append(QStringLiteral("Made ") + plan.serverFolder + QStringLiteral(" private (it was ")
               + QString::number(**tightened, 8).rightJustified(4, u'0')
               + QStringLiteral("): other users of this computer can no longer read its copies."));
    for (const QString &line : plan.headerLines + space.lines)
        append(line);
    if (space.refusal) {
        endWith(space.refusal->lines, space.refusal->exitCode);
        return false;
    }
    return true;
}

QCoro::Task<> RsyncRunner::performRun(Server server, AppSettings settings)
{
    QPointer<RsyncRunner> self(this);
    const QDateTime now = m_clock();
    m_changeChecked = false;
    m_foundHeldChange = false;
    m_heldChange.reset();
    // Held until the run is recorded (see run()).
    m_destinationView.release();
    if (settings.destinationEncrypted) {
        QFuture<PlainView::Opened> opening = PlainView::openInBackground(PlainView::destination(settings));
        const PlainView::Opened opened = co_await opening;
        if (!self)
            co_return;
        if (!opened)
            co_return endWith({QStringLiteral("!! ") + opened.error().message + u'.'}, ExitCode::notStarted);
        m_destinationView = *opened;
    }
    const auto checked = BackupPlan::check(server, settings);
    if (!checked)
        co_return endWith(checked.error().lines, checked.error().exitCode);
    if (settings.useDateSubfolder) {
        // Under the run lock: what a killed run left half done is put right first.
        const QString run = Snapshots::runName(checked->serverFolder, now, Schedule::severalADay(server));
        for (const QString &line : Snapshots::recover(checked->serverFolder, run))
            DiagnosticLog::write(line);
        for (const QString &line : Snapshots::resumePaused(checked->serverFolder, run))
            append(line);
    }
    const std::optional<BackupPlan> plan = BackupPlan::prepare(server, settings, *checked, now, rsyncProbe());
    // Before anything is created: an unmounted drive leaves an empty folder
    // on the system's disk, which must not fill with a copy.
    const DestinationMarker::Check drive = DestinationMarker::beforeRun(settings);
    if (drive.refused)
        co_return endWith(drive.lines, ExitCode::refused);
    for (const QString &line : drive.lines)
        append(line);
    const bool prepared = co_await runLocalBeforeCommand(server, plan->runFolder);
    if (!self || !prepared)
        co_return;
    if (!makeRunFolders(*plan, settings))
        co_return;

    // A scheduled run accepts a new host key (nobody is there to ask) and
    // says which one; the window never lets ssh record one unseen.
    m_hostKeyUnseen = false;
    if (SSHTester::hostKeyPolicy() == SSHTester::HostKeyPolicy::acceptNew && server.knownHostKeys.isEmpty()) {
        const auto known = co_await HostKeyChecker::knownHostFingerprint(server.host, server.port);
        if (!self)
            co_return;
        m_hostKeyUnseen = !known.has_value();
    }
    m_snapshotStats = RsyncStats();
    for (const BackupPlan::Step &step : plan->steps) {
        const bool copied = co_await copyPath(server, *plan, step, RetryPolicy(settings.retryAttempts));
        if (!self || !copied)
            co_return;
    }
    // Before the day is put in place: a second run of a day measures
    // against the copy it replaces.
    QFuture<Measured> measuring = measureCopy(*plan);
    const Measured measured = co_await measuring;
    if (!self)
        co_return;
    logFingerprints(measured.written, measured.saveFailure);
    if (m_wasCancelled) {
        abortRun(cancelledExitCode);
        co_return;
    }
    if (!completeSnapshot(*plan, settings))
        co_return;
    completeRun(*plan, server, settings, measured.change, now);
}

void RsyncRunner::logFingerprints(const Fingerprints::Written &written, const QString &saveFailure)
{
    const QLocale english(QLocale::English);
    if (written.files > 0)
        append(QStringLiteral("Fingerprinted ") + english.toString(written.files)
               + (written.files == 1 ? QStringLiteral(" new file (") : QStringLiteral(" new files ("))
               + english.formattedDataSize(written.bytes, 1, QLocale::DataSizeTraditionalFormat)
               + QStringLiteral(")."));
    if (written.failed > 0)
        append(QStringLiteral("! ") + english.toString(written.failed)
               + QStringLiteral(" files could not be given a fingerprint (") + written.firstFailure
               + QStringLiteral("): a check reads them as new."));
    if (!saveFailure.isEmpty())
        append(QStringLiteral("! The fingerprints could not be saved (") + saveFailure
               + QStringLiteral("): a check gives the new files theirs."));
}

void RsyncRunner::completeRun(const BackupPlan &plan, const Server &server, const AppSettings &settings,
                              const MassChange::Count &change, const QDateTime &now)
{
    setExitCode(ExitCode::success);
    append(QStringLiteral("=== All backups completed ==="));
    if (!settings.useDateSubfolder)
        return;
    if (m_snapshotStats)
        append(m_snapshotStats->summary(plan.linkBase));
    if (holdsHistory(plan, settings, change))
        return;
    const Retention::AfterRun retention = Retention::afterRun(plan.serverFolder, server, settings, now);
    for (const QString &line : retention.lines)
        append(line);
    if (retention.failures > 0)
        // English here; the notification translates it.
        m_warning = QStringLiteral(QT_TRANSLATE_NOOP("RsyncRunner", "old backups could not be deleted"));
}

bool RsyncRunner::holdsHistory(const BackupPlan &plan, const AppSettings &settings, const MassChange::Count &change)
{
    m_changeChecked = true;
    bool found = false;
    if (!plan.previousDay.isEmpty() && ChangeHold::exceeds(change.changed, change.before, settings.massChangePercent)) {
        ChangeHold hold;
        hold.day = QFileInfo(plan.runFolder).fileName();
        hold.since = plan.previousDay;
        hold.changed = change.changed;
        hold.of = change.before;
        append(hold.logLine());
        m_warning = QStringLiteral(QT_TRANSLATE_NOOP(
            "RsyncRunner",
            "most files changed since the last backup: old backups are kept until you confirm this change"));
        m_foundHeldChange = true;
        m_heldChange = hold;
        found = true;
        if (const auto kept = MassChange::hold(plan.serverFolder, hold); !kept)
            append(QStringLiteral("!! The change could not be recorded beside the backups (") + kept.error().message
                   + QStringLiteral("): old backups are kept for this run only."));
    }
    if (!found)
        m_heldChange = MassChange::held(plan.serverFolder);
    if (!m_heldChange)
        return false;
    if (!found)
        append(QStringLiteral("Retention: old backups are kept until the change of ") + m_heldChange->day
               + QStringLiteral(" is confirmed (") + m_heldChange->englishText() + QStringLiteral(")."));
    return true;
}

bool RsyncRunner::completeSnapshot(const BackupPlan &plan, const AppSettings &settings)
{
    if (!settings.useDateSubfolder)
        return true;
    if (!plan.replacesComplete()) {
        Snapshots::markComplete(plan.runFolder);
        protectDay(plan, plan.runFolder);
        return true;
    }
    protectDay(plan, plan.writeFolder);
    Snapshots::Target target;
    target.folder = plan.runFolder;
    target.writeFolder = plan.writeFolder;
    if (const auto replaced = Snapshots::replace(target); !replaced) {
        endWith({QStringLiteral("!! Could not put the new copy in place of ") + plan.runFolder + QStringLiteral(": ")
                     + replaced.error().message,
                 QStringLiteral("   The earlier snapshot of today is kept as it was.")},
                -1);
        return false;
    }
    return true;
}

void RsyncRunner::protectDay(const BackupPlan &plan, const QString &folder)
{
    if (plan.sharing != BackupPlan::Sharing::btrfs)
        return;
    // Nothing on this computer changes a complete day by accident.
    if (const auto made = Btrfs::setReadOnly(folder, true); !made)
        append(QStringLiteral("! ") + made.error().message
               + QStringLiteral(": the day is complete, but it can still be written to."));
}

QCoro::Task<bool> RsyncRunner::runPreBackupCommand(Server server, QStringList sshArguments, QString command,
                                                   QString label, QString failure)
{
    command = command.trimmed();
    if (command.isEmpty())
        co_return true;
    QPointer<RsyncRunner> self(this);
    append(label + command);
    // Collected whole for the report, up to a bound: a command that floods
    // its output must not take the memory.
    QByteArray out;
    QByteArray err;
    bool cut = false;
    const OutputSink collect = [&out, &err, &cut](const QByteArray &data, bool fromStandardError) {
        QByteArray &sink = fromStandardError ? err : out;
        const qsizetype room = std::max<qsizetype>(0, maxCommandOutput - sink.size());
        cut = cut || data.size() > room;
        sink.append(data.left(room));
    };
    const QStringList arguments = sshArguments << command;
    const auto status = co_await runChild(SSHTester::executable, arguments, collect, 0, false);
    if (self && m_hostKeyUnseen)
        co_await noteAddedHostKey(server);
    if (!self)
        co_return false;
    if (m_wasCancelled) {
        abortRun(cancelledExitCode);
        co_return false;
    }
    const SSHTester::Report report =
        status ? SSHTester::combinedReport(*status, Subprocess::strictUtf8(Subprocess::utf8Prefix(out)),
                                           Subprocess::strictUtf8(Subprocess::utf8Prefix(err)))
               : SSHTester::Report(tl::unexpected(status.error()));
    for (const QString &line : OutputDecoder::logLines(SSHTester::messageOf(report)))
        append(QStringLiteral("  ") + line);
    if (cut)
        append(QStringLiteral("  … (output cut at ") + QString::number(maxCommandOutput / 1024)
               + QStringLiteral(" KiB)"));
    if (!report && refusedHostKey(server, OutputDecoder::logLines(QString::fromUtf8(Subprocess::utf8Prefix(err)))))
        setExitCode(ExitCode::sshFailed);
    else if (!report)
        endWith({failure}, ExitCode::refused);
    co_return report.has_value();
}

// Copies one path with its retries; false when the run must end (exitCode set).
QCoro::Task<bool> RsyncRunner::copyPath(Server server, BackupPlan plan, BackupPlan::Step step, RetryPolicy policy)
{
    QPointer<RsyncRunner> self(this);
    setCurrentItem(step.path.name);
    setProgressPercent(std::nullopt);
    // Names and paths may hold line breaks: one line each all the same.
    append(QStringLiteral("=== ") + OutputDecoder::visible(step.path.name) + QStringLiteral(" (")
           + OutputDecoder::visible(step.path.remotePath) + QStringLiteral(") ==="));
    const QString &before = step.path.preBackupCommand;
    const QString preLabel = QStringLiteral("↳ pre-backup: ");
    const QString preFailure = QStringLiteral("!! pre-backup command failed — skipping rsync for this path");
    const bool prepared = co_await runPreBackupCommand(server, plan.sshArguments, before, preLabel, preFailure);
    if (!self || !prepared)
        co_return false;
    const QString dump = DumpCommands::dump(step.path);
    const QString removal = DumpCommands::removal(step.path);
    const QString dumpLabel = QStringLiteral("↳ database dump: ");
    const QString dumpFailure = QStringLiteral("!! the database dump failed — nothing of this path is copied");
    const bool dumped = co_await runPreBackupCommand(server, plan.sshArguments, dump, dumpLabel, dumpFailure);
    if (!self)
        co_return false;
    bool copied = false;
    if (!dumped)
        m_lastTransferStatus = ExitCode::refused; // nothing was sent
    if (dumped) {
        copied = co_await transferPath(server, plan, step, policy);
        if (!self)
            co_return false;
    }
    // The dump is removed whatever became of it; what undoes the user's own
    // preparation runs only after a transfer.
    co_await runPostBackupCommand(plan.sshArguments, removal, m_lastTransferStatus);
    if (!self || !dumped)
        co_return false;
    const QString &after = step.path.postBackupCommand;
    co_await runPostBackupCommand(plan.sshArguments, after, m_lastTransferStatus);
    if (!self)
        co_return false;
    co_return copied;
}

QCoro::Task<bool> RsyncRunner::transferPath(Server server, BackupPlan plan, BackupPlan::Step step, RetryPolicy policy)
{
    QPointer<RsyncRunner> self(this);
    m_lastTransferStatus = cancelledExitCode; // a cancel that came first
    QDir().mkpath(step.targetFolder);         // rsync reports a folder it cannot write into
    append(step.commandLine);
    for (qint64 attempt = 1;; ++attempt) {
        const int status = co_await runTransfer(plan.rsync, step.arguments,
                                                int(std::min<qint64>(runSettings().ioTimeoutSeconds, INT_MAX)));
        if (self && m_hostKeyUnseen)
            co_await noteAddedHostKey(server);
        if (!self)
            co_return false;
        m_lastTransferStatus = status;
        append(QStringLiteral("→ exit ") + QString::number(status));
        if (m_wasCancelled) {
            abortRun(status == 0 ? cancelledExitCode : status);
            co_return false;
        }
        if (status == 0) {
            RsyncStats::addSummary(m_snapshotStats, logLines()); // what this path cost
            append(QString());
            co_return true;
        }
        // A refusal of the host key, the Keep settings or sudo is said
        // plainly, and not tried again: it would fail the same way.
        const QStringList recent = logLines().mid(std::max<qsizetype>(0, logLines().size() - 40));
        // ssh's own failure, whichever status rsync made of it (255, or 12
        // when it saw the connection close first).
        if (refusedHostKey(server, recent)) {
            abortRun(ExitCode::sshFailed);
            co_return false;
        }
        const QStringList explained = KeepOptions::explainFailure(recent);
        for (const QString &line : explained)
            append(QStringLiteral("!! ") + line);
        if (!explained.isEmpty() || !RetryPolicy::isTransient(status)) {
            abortRun(status);
            co_return false;
        }
        if (attempt >= policy.maxAttempts()) {
            append(QStringLiteral("(exit ") + QString::number(status)
                   + QStringLiteral(" is transient, but no attempt is left)"));
            abortRun(status);
            co_return false;
        }
        append(QStringLiteral("(exit ") + QString::number(status) + QStringLiteral(" is transient — will retry)"));
        const qint64 delay = RetryPolicy::delaySeconds(attempt);
        append(QStringLiteral("↻ retry ") + QString::number(attempt) + u'/' + QString::number(policy.maxAttempts() - 1)
               + QStringLiteral(" in ") + QString::number(delay) + QStringLiteral("s…"));
        m_retryWait->start(std::chrono::milliseconds(delay * m_retryDelayUnitMs));
        co_await qCoro(m_retryWait).waitForTimeout();
        if (!self)
            co_return false;
        if (m_wasCancelled) {
            abortRun(status);
            co_return false;
        }
    }
}

bool RsyncRunner::refusedHostKey(const Server &server, const QStringList &lines)
{
    const SSHTester::HostKeyRefusal refusal = SSHTester::hostKeyRefusal(lines);
    if (refusal == SSHTester::HostKeyRefusal::none)
        return false;
    const QString where = HostKeyChecker::hostPattern(server.host, server.port);
    if (refusal == SSHTester::HostKeyRefusal::changed) {
        append(QStringLiteral("!! The server's host key has changed (") + where
               + QStringLiteral("): open the server in Tidewell to check it."));
        m_failure = QStringLiteral(QT_TRANSLATE_NOOP(
            "RsyncRunner", "the server's host key has changed: open the server in Tidewell to check it"));
    } else {
        append(QStringLiteral("!! The server's host key is not trusted yet (") + where
               + QStringLiteral("): open the server in Tidewell to check it."));
        m_failure = QStringLiteral(
            QT_TRANSLATE_NOOP("RsyncRunner", "the server's host key is not trusted yet: open the server in Tidewell"));
    }
    return true;
}

QCoro::Task<> RsyncRunner::noteAddedHostKey(Server server)
{
    QPointer<RsyncRunner> self(this);
    const auto known = co_await HostKeyChecker::knownHostFingerprint(server.host, server.port);
    if (!self || !known)
        co_return;
    m_hostKeyUnseen = false;
    m_hostKeyAdded = known->keyType + u' ' + known->sha256;
    append(QStringLiteral("Host key of ") + server.host + QStringLiteral(" added on first use: ") + m_hostKeyAdded);
}

void RsyncRunner::finish(const QUuid &serverID, const QDateTime &startedAt, ConfigStore *store)
{
    setRunning(false, std::nullopt);
    setCurrentItem(QString());
    setProgressPercent(std::nullopt);
    const QString status = m_wasPaused ? QStringLiteral("PAUSED") : LogStore::statusWord(m_wasCancelled, exitCode());
    LogStore::save(serverID, LogStore::header(startedAt, m_clock(), status), logLines());
    // A cancelled run is no result: the server is not failing because a
    // shutdown or the user stopped it (its log still says CANCELLED).
    const std::optional<qint64> code =
        exitCode() && !m_wasCancelled ? std::optional<qint64>(*exitCode()) : std::nullopt;
    if (store)
        store->recordRunResult(serverID, ReferenceDate::fromDateTime(startedAt), code);
    // What the server's folder says now, when this run looked.
    if (store && m_changeChecked && store->settings().server(serverID)
        && store->settings().server(serverID)->heldChange != m_heldChange)
        store->recordHeldChange(serverID, m_heldChange);
    Q_EMIT runFinished(serverID, exitCode());
}
