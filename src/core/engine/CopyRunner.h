// SPDX-License-Identifier: GPL-3.0-or-later
// Copying a server's complete days from the destination to a second place.
#pragma once

#include "core/engine/CopyState.h"
#include "core/engine/RsyncProbe.h"
#include "core/engine/Snapshots.h"
#include "core/engine/TransferRunner.h"
#include "core/model/AppSettings.h"
#include "core/model/CopyTarget.h"
#include "core/system/EncryptedFolder.h"
#include "core/system/FileLock.h"

#include <QDateTime>
#include <QTimer>

#include <optional>

// A copy takes from this computer exactly the days the destination holds,
// never the server again: the days the target lacks go one at a time,
// oldest first, each linked to the previous day already there (--link-dest),
// so a day costs the target what changed. A day is written under the
// incomplete marker, which goes only when the whole day is there; a day the
// destination made again (a second run) is written beside the target's copy
// and swapped in only when it is complete. A target is then pruned by its own
// counts with the destination's rules. With no date folders the server's
// folder is mirrored as one tree.
//
// Copies of one target never run at once (a lock per target), a copy never
// reads a server's days while a backup of that server writes them (its run
// lock), and copies take a run slot like backups.
class CopyRunner : public TransferRunner
{
    Q_OBJECT

public:
    enum class Result {
        upToDate, // nothing was missing
        copied,   // days were copied
        skipped,  // the target was not there (a drive not connected, a host not reachable)
        failed,
        cancelled,
    };
    struct Outcome
    {
        Result result = Result::upToDate;
        QStringList days; // copied, oldest first
        QString reason;   // why skipped or failed: one line
        qsizetype retentionFailures = 0;
    };

    explicit CopyRunner(QObject *parent = nullptr);

    void setRsyncProbe(const RsyncProbe &probe) { m_probe = probe; }
    void cancel() override;

    // The run log's line that opens a copy: "=== Copy to offsite (host) ===".
    static QString header(const CopyTarget &target);
    // Copies the server's complete days made up to `now` that the target
    // lacks, then prunes the target. The log (logLines()) says each step.
    QCoro::Task<Outcome> copy(CopyTarget target, Server server, AppSettings settings, QDateTime now);

    // Reading an ssh target back, for a restore from it (a folder target is
    // read as the destination is). Errors are one line each.
    // The server's days there, newest first.
    QCoro::Task<tl::expected<QList<Snapshots::Backup>, QString>> listDays(CopyTarget target, Server server);
    // Items of one day (paths inside the day, as a snapshot holds them)
    // fetched into `into`/<server folder>/<day>, laid out as in the
    // destination. A link of the day on the way to an item (or what is no
    // folder there) is fetched in its place, never followed.
    QCoro::Task<tl::expected<void, QString>> fetch(CopyTarget target, Server server, QString day, QStringList items,
                                                   QString into);

private:
    struct Day
    {
        Snapshots::Backup source;
        bool replaces = false; // the target has this day complete: written beside, then swapped
    };
    QCoro::Task<Outcome> copyLocked(Server server, AppSettings settings, QDateTime now);
    QCoro::Task<bool> waitForTarget();
    // The plaintext view of an encrypted destination (and the refusal of
    // an encrypted host target); the reason when it cannot be had.
    QCoro::Task<std::optional<QString>> openViews(AppSettings settings);
    // The view of an encrypted folder target, once its drive is known there.
    QCoro::Task<std::optional<QString>> openTargetView(AppSettings settings);
    QCoro::Task<std::optional<QString>> prepareTarget(bool *unreachable);
    QCoro::Task<std::optional<QList<Snapshots::Backup>>> listTarget();
    QCoro::Task<int> copyDay(Day day, QString base, Server server);
    QCoro::Task<bool> finishDay(Day day);
    QCoro::Task<bool> startDay(Day day);
    QCoro::Task<qsizetype> prune(Server server, QDateTime now);
    QCoro::Task<bool> deleteOnTarget(QString day);
    QCoro::Task<int> mirror(Server server);
    QCoro::Task<std::optional<QString>> onTarget(QString script);
    // onTarget() that says whether it succeeded; m_lastOutput says why not.
    QCoro::Task<bool> step(QString script);
    // "cd" into the server's folder on an ssh target, for a script to go on from.
    QString inServerFolder() const;
    // One rsync of the copy, its "$ " line first.
    QCoro::Task<int> transfer(QStringList args);
    QCoro::Task<Outcome> copyDays(Server server, QDateTime now);
    QList<Day> missingDays(const QList<Snapshots::Backup> &onTarget, const Server &server, const QDateTime &now);
    bool prunes(const Server &server) const;
    QStringList dayArguments(const Server &server, const QString &base) const;
    QString targetLocation(const QString &relative) const;
    Outcome fail(Result result, const QString &reason);
    void aimAt(const CopyTarget &target, const Server &server);
    // Why the target could not be reached (host key, network), from what ssh said.
    QString unreachableReason(const QStringList &lines) const;
    // The same for a restore from the target.
    QString readingReason(const QStringList &lines) const;
    // The first of `prefixes` (paths inside the day) that is a link or no
    // folder on the target; empty: none.
    QCoro::Task<tl::expected<QString, QString>> firstLink(QString day, QStringList prefixes);
    QCoro::Task<tl::expected<void, QString>> fetchOne(Server server, QString day, QString item, QString into);

    CopyTarget m_target;
    QString m_sourceFolder; // the server's folder at the destination
    QString m_folderName;   // the server's folder name, under the target's path
    bool m_xattrs = true;   // the target keeps extended attributes
    CopyState::State m_state;
    CopyState::ServerCopy *m_copy = nullptr;
    std::optional<RsyncProbe> m_probe;
    // The plaintext views of an encrypted destination and target, while the copy needs them.
    PlainView m_sourceView;
    PlainView m_targetView;
    FileLock m_targetLock;
    FileLock m_slot;
    bool m_unlocked = false; // the target's lock could not be had at all
    int m_lastStatus = 0;    // of the last command on the target
    QString m_lastOutput;
    QTimer *m_wait;
};
