// SPDX-License-Identifier: GPL-3.0-or-later
// The backup run of one server: plan, folders, pre-backup commands, rsync
// attempts with retries, retention, and the record of how it ended.
#include "core/engine/RsyncRunner.h"

#include "core/engine/OutputDecoder.h"
#include "core/engine/ProcessStream.h"
#include "core/engine/Retention.h"
#include "core/engine/RetryPolicy.h"
#include "core/engine/RsyncStats.h"
#include "core/engine/Snapshots.h"
#include "core/model/ReferenceDate.h"
#include "core/ssh/SSHTester.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/FileUtil.h"
#include "core/system/Subprocess.h"

#include <QDir>

#include <qcoro/qcorotimer.h>

#include <chrono>

namespace {

// What a pre-backup command may write to each stream before the rest is dropped.
constexpr qsizetype maxCommandOutput = 256 * 1024;

// Probed once per process, on first use.
const RsyncProbe &processProbe()
{
    static const RsyncProbe probe = RsyncProbe::compute();
    return probe;
}

} // namespace

RsyncRunner::RsyncRunner(QObject *parent)
    : RunnerState(parent)
{
}

RsyncRunner::~RsyncRunner()
{
    // A run suspended in rsync must not outlive its runner unseen.
    if (m_currentProcess)
        m_currentProcess->terminate();
}

RsyncProbe RsyncRunner::rsyncProbe()
{
    if (!m_probe)
        m_probe = processProbe();
    return *m_probe;
}

void RsyncRunner::cancel()
{
    m_wasCancelled = true;
    if (m_currentProcess)
        m_currentProcess->terminate();
}

QCoro::Task<tl::expected<int, QString>> RsyncRunner::runChild(QString executable, QStringList args, OutputSink sink)
{
    // Our own pipes, read in batches: rsync writes each progress update on
    // its own, and reading them one by one costs more than the copy.
    auto stream = std::make_unique<ProcessStream>(readPauseMs);
    connect(stream.get(), &ProcessStream::outputRead, this, sink);
    m_currentProcess = stream.get();
    const int status = co_await stream->run(executable, args);
    if (!stream->started())
        co_return tl::unexpected(stream->startError());
    co_return status;
}

QCoro::Task<int> RsyncRunner::runProcess(QString executable, QStringList args)
{
    QPointer<RsyncRunner> self(this);
    OutputDecoder out;
    OutputDecoder err;
    const auto status = co_await runChild(executable, args, [this, &out, &err](const QByteArray &data, bool fromStandardError) {
        appendOutput((fromStandardError ? err : out).feed(data), fromStandardError);
    });
    if (!self)
        co_return status.value_or(-1);
    if (!status) {
        append(QStringLiteral("Failed to start rsync: ") + status.error());
        co_return -1;
    }
    appendOutput(out.finish(), false);
    appendOutput(err.finish(), true);
    co_return *status;
}

QCoro::Task<> RsyncRunner::run(Server server, ConfigStore *store)
{
    if (isRunning())
        co_return;
    auto lock = FileLock::tryLock(AppPaths::runLockFile(server.id));
    if (!lock && lock.error().busy) {
        const QString message = QStringLiteral("A backup of “") + (server.name.isEmpty() ? QStringLiteral("(untitled)") : server.name)
                                + QStringLiteral("” is already running.");
        refuse(message, alreadyRunningExitCode);
        Q_EMIT runRefused(server.id, message);
        co_return;
    }
    if (!lock)
        DiagnosticLog::write(QStringLiteral("Running without the run lock: ") + lock.error().message);
    QPointer<RsyncRunner> self(this);
    QPointer<ConfigStore> storeGuard(store);

    begin(server, store ? store->settings() : AppSettings());
    const QDateTime startedAt = m_clock();

    co_await performRun(server, runSettings());
    if (!self)
        co_return;
    finish(server.id, startedAt, storeGuard);
}

QCoro::Task<> RsyncRunner::performRun(Server server, AppSettings settings)
{
    QPointer<RsyncRunner> self(this);
    const auto plan = BackupPlan::prepare(server, settings, m_clock().date(), rsyncProbe());
    if (!plan)
        co_return endWith(plan.error().lines, plan.error().exitCode);
    if (const auto made = FileUtil::makeFolder(plan->runFolder); !made) {
        const BackupPlan::Refusal failure = BackupPlan::destinationFailure(made.error());
        co_return endWith(failure.lines, failure.exitCode);
    }
    setLastDestination(plan->runFolder);
    // Until the whole run succeeds, this day's folder is no base for tomorrow's.
    if (settings.useDateSubfolder)
        Snapshots::markIncomplete(plan->runFolder);
    const BackupPlan::FreeSpace space = BackupPlan::checkFreeSpace(settings.minFreeSpaceGB, FileUtil::freeSpaceGB(plan->runFolder));
    for (const QString &line : plan->headerLines + space.lines)
        append(line);
    if (space.refusal)
        co_return endWith(space.refusal->lines, space.refusal->exitCode);

    m_snapshotStats = RsyncStats();
    for (const BackupPlan::Step &step : plan->steps) {
        const bool copied = co_await copyPath(server, step, RetryPolicy(settings.retryAttempts), plan->rsync);
        if (!self || !copied)
            co_return;
    }
    setExitCode(0);
    append(QStringLiteral("=== All backups completed ==="));
    if (settings.useDateSubfolder) {
        Snapshots::markComplete(plan->runFolder);
        if (m_snapshotStats)
            append(m_snapshotStats->summary(plan->linkBase));
    }
    for (const QString &line : Retention::afterRun(server, settings))
        append(line);
}

QCoro::Task<bool> RsyncRunner::runPreBackupCommand(Server server, BackupPath path)
{
    const QString command = path.preBackupCommand.trimmed();
    if (command.isEmpty())
        co_return true;
    QPointer<RsyncRunner> self(this);
    append(QStringLiteral("↳ pre-backup: ") + command);
    // Collected whole for the report, up to a bound: a command that floods
    // its output must not take the memory.
    QByteArray out;
    QByteArray err;
    const auto status = co_await runChild(SSHTester::executable, SSHTester::runCommandArgs(server, command),
                                          [&out, &err](const QByteArray &data, bool fromStandardError) {
                                              QByteArray &sink = fromStandardError ? err : out;
                                              sink.append(data.left(std::max<qsizetype>(0, maxCommandOutput - sink.size())));
                                          });
    if (!self)
        co_return false;
    if (m_wasCancelled) {
        abortRun(cancelledExitCode);
        co_return false;
    }
    const SSHTester::Report report = status ? SSHTester::combinedReport(*status, Subprocess::strictUtf8(Subprocess::utf8Prefix(out)),
                                                                        Subprocess::strictUtf8(Subprocess::utf8Prefix(err)))
                                            : SSHTester::Report{false, status.error()};
    for (const QString &line : OutputDecoder::logLines(report.message))
        append(QStringLiteral("  ") + line);
    if (!report.ok)
        endWith({QStringLiteral("!! pre-backup command failed — skipping rsync for this path")}, 2);
    co_return report.ok;
}

// Copies one path with its retries; false when the run must end (exitCode set).
QCoro::Task<bool> RsyncRunner::copyPath(Server server, BackupPlan::Step step, RetryPolicy policy, QString rsync)
{
    QPointer<RsyncRunner> self(this);
    setCurrentItem(step.path.name);
    setProgressPercent(std::nullopt);
    append(QStringLiteral("=== ") + step.path.name + QStringLiteral(" (") + step.path.remotePath + QStringLiteral(") ==="));
    const bool prepared = co_await runPreBackupCommand(server, step.path);
    if (!self || !prepared)
        co_return false;

    QDir().mkpath(step.targetFolder); // rsync reports a folder it cannot write into
    append(step.commandLine);
    for (qint64 attempt = 1;; ++attempt) {
        const int status = co_await runProcess(rsync, step.arguments);
        if (!self)
            co_return false;
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
        if (!RetryPolicy::isTransient(status)) {
            abortRun(status);
            co_return false;
        }
        append(QStringLiteral("(exit ") + QString::number(status) + QStringLiteral(" is transient — will retry)"));
        if (attempt >= policy.maxAttempts()) {
            abortRun(status);
            co_return false;
        }
        const qint64 delay = RetryPolicy::delaySeconds(attempt);
        append(QStringLiteral("↻ retry ") + QString::number(attempt) + u'/' + QString::number(policy.maxAttempts() - 1)
               + QStringLiteral(" in ") + QString::number(delay) + QStringLiteral("s…"));
        co_await QCoro::sleepFor(std::chrono::milliseconds(delay * m_retryDelayUnitMs));
        if (!self)
            co_return false;
        if (m_wasCancelled) {
            abortRun(status);
            co_return false;
        }
    }
}

void RsyncRunner::finish(const QUuid &serverID, const QDateTime &startedAt, ConfigStore *store)
{
    setRunning(false, std::nullopt);
    setCurrentItem(QString());
    setProgressPercent(std::nullopt);
    const QString status = LogStore::statusWord(m_wasCancelled, exitCode());
    LogStore::save(serverID, LogStore::header(startedAt, m_clock(), status), logLines());
    const std::optional<qint64> code = exitCode() ? std::optional<qint64>(*exitCode()) : std::nullopt;
    if (store)
        store->recordRunResult(serverID, ReferenceDate::fromDateTime(startedAt), code);
    Q_EMIT runFinished(serverID, exitCode());
}
