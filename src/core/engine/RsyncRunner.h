// SPDX-License-Identifier: GPL-3.0-or-later
// The backup engine object: one run at a time, its published state and live log.
#pragma once

#include "core/engine/BackupPlan.h"
#include "core/engine/Fingerprints.h"
#include "core/engine/MassChange.h"
#include "core/engine/RsyncProbe.h"
#include "core/engine/RsyncStats.h"
#include "core/engine/TransferRunner.h"
#include "core/model/AppSettings.h"
#include "core/model/Server.h"
#include "core/system/EncryptedFolder.h"
#include "core/system/FileLock.h"

#include <QDBusConnection>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QUuid>

#include <qcoro/qcorotask.h>

#include <tl/expected.hpp>

#include <functional>
#include <optional>

class ConfigStore;
class RetryPolicy;

// The backup engine: runs one backup at a time and publishes its state and
// live log (RunnerState) for the views. Lives on the main thread.
class RsyncRunner : public TransferRunner
{
    Q_OBJECT

public:
    explicit RsyncRunner(QObject *parent = nullptr);

    // Ends the run at once: the running rsync or pre-backup ssh is asked to
    // terminate (and its process group killed after 10 s), a retry wait is
    // cut short, no later path starts, and the run ends as cancelled.
    void cancel() override;
    // Ends the run as cancel() does, but keeps what it copied: rsync keeps
    // a file it was receiving in .tidewell-partial beside it, the run's
    // dated folder is marked paused, and the next run of the server (on any
    // day) goes on in that folder without sending again what it holds.
    // Nothing happens when no run is in progress.
    void pause();
    // The backup of one server; a call while a run is in progress does
    // nothing. The server's run lock is held for the whole run: when another
    // process holds it, nothing changes but the log's one line and exit code 75.
    QCoro::Task<> run(Server server, ConfigStore *store);

    // The run waits for a free run slot (said in the log; currentItemChanged
    // is emitted when this changes).
    bool isWaitingForSlot() const { return m_waitingForSlot; }
    // The current or last run's --stats summed over its paths; absent when a
    // path had none.
    std::optional<RsyncStats> runStats() const { return m_snapshotStats; }
    // The change that holds the server's old days after the last run, if
    // any (see ChangeHold), and whether that run found it.
    std::optional<ChangeHold> heldChange() const { return m_heldChange; }
    bool foundHeldChange() const { return m_foundHeldChange; }
    // The rsync every run uses; probed on first use.
    RsyncProbe rsyncProbe();
    void setRsyncProbe(const RsyncProbe &probe) { m_probe = probe; }
    // Every time a run reads (its start, its folder's date, the log's finish).
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    // Test-only: length of the "second" used for retry delays.
    void setRetryDelayUnitForTesting(int milliseconds) { m_retryDelayUnitMs = milliseconds; }
    // Test-only: the bus where logind is asked to keep the computer awake.
    void setSystemBusForTesting(const QDBusConnection &bus) { m_systemBus = bus; }

Q_SIGNALS:
    // A run has ended: its log is written and its result recorded.
    void runFinished(const QUuid &serverID, std::optional<int> exitCode);
    // A run did not start because the server is being backed up elsewhere.
    void runRefused(const QUuid &serverID, const QString &message);

private:
    // A run slot (see AppSettings::maxConcurrentRuns), waited for while all
    // are taken; `cancelled` when the wait was cancelled. Without a lock (a
    // slot file that cannot be made), the run goes on as before slots.
    struct Slot
    {
        bool cancelled = false;
        std::optional<FileLock> lock;
    };
    QCoro::Task<Slot> takeSlot(qint64 limit);
    QCoro::Task<> performRun(Server server, AppSettings settings);
    // The server's folder made private, the run's folder made (and marked
    // incomplete), free space checked; false when the run must end.
    bool makeRunFolders(const BackupPlan &plan, const AppSettings &settings);
    // Where rsync writes: a folder, or on btrfs a snapshot of the day before.
    static tl::expected<void, Error> makeWriteFolder(const BackupPlan &plan);
    QCoro::Task<bool> copyPath(Server server, BackupPlan plan, BackupPlan::Step step, RetryPolicy policy);
    // copyPath()'s transfer with its retries; its last exit in m_lastTransferStatus.
    QCoro::Task<bool> transferPath(Server server, BackupPlan plan, BackupPlan::Step step, RetryPolicy policy);
    // A command on the server before the path's transfer, said in the log
    // after `label`; false when it failed (the run ends, `failure` says so).
    QCoro::Task<bool> runPreBackupCommand(Server server, QStringList sshArguments, QString command, QString label,
                                          QString failure);
    // A command after the path's transfer (ended with `status`), also after
    // a failure or a cancel; its failure is said, the copy stands.
    QCoro::Task<> runPostBackupCommand(QStringList sshArguments, QString command, int status);
    // The server's command before the run; false when it failed and the
    // run ended with its exit code (nothing copied).
    QCoro::Task<bool> runLocalBeforeCommand(Server server, QString snapshot);
    // The server's command after a successful or a failed (or cancelled) run.
    QCoro::Task<> runLocalAfterCommand(Server server);
    // One command on this computer, its output into the log: its exit
    // status, or nothing when it could not start or was stopped (said).
    QCoro::Task<std::optional<int>> runLocalCommand(QStringList command, QProcessEnvironment environment,
                                                    qint64 timeLimitSeconds);
    // After ssh first reached a server whose key was unknown: the key ssh
    // recorded, said in the log.
    QCoro::Task<> noteAddedHostKey(Server server);
    // When ssh's lines say it refused the server's host key: says so in the
    // log (and as the run's failure); false otherwise.
    bool refusedHostKey(const Server &server, const QStringList &lines);
    void finish(const QUuid &serverID, const QDateTime &startedAt, ConfigStore *store);
    // Puts the finished snapshot in place; false when the run must end.
    bool completeSnapshot(const BackupPlan &plan, const AppSettings &settings);
    // A complete btrfs day is made read-only.
    void protectDay(const BackupPlan &plan, const QString &folder);
    // The end of a run whose every path was copied: its summary, the guard
    // against mass change, retention.
    void completeRun(const BackupPlan &plan, const Server &server, const AppSettings &settings,
                     const MassChange::Count &change, const QDateTime &now);
    // Holds the server's old days when most of its files changed (or says
    // they are still held); true while they are.
    // The log's lines for the fingerprints the run wrote.
    void logFingerprints(const Fingerprints::Written &written, const QString &saveFailure);
    bool holdsHistory(const BackupPlan &plan, const AppSettings &settings, const MassChange::Count &change);

    // The wait before a retry; cancel() cuts it short.
    QTimer *m_retryWait = nullptr;
    // The run's --stats summed over its paths; absent when one had none.
    std::optional<RsyncStats> m_snapshotStats;
    std::optional<RsyncProbe> m_probe;
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTime(); };
    int m_retryDelayUnitMs = 1000;
    std::optional<QDBusConnection> m_systemBus;
    int m_lastTransferStatus = 0;
    // The dated folder this run writes in place (empty when it writes beside
    // a complete one, or without dated folders): what a pause marks.
    QString m_pausableFolder;
    // An encrypted destination's plaintext view, while the run works in it.
    PlainView m_destinationView;
    std::optional<ChangeHold> m_heldChange;
    bool m_foundHeldChange = false;
    // The last run looked at the server's held change (it completed with
    // date folders): what it saw is recorded.
    bool m_changeChecked = false;
    // The server's host key was not in known_hosts when the run started.
    bool m_hostKeyUnseen = false;
    bool m_waitingForSlot = false;
};
