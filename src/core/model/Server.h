// SPDX-License-Identifier: GPL-3.0-or-later
// One configured remote server and the paths copied from it.
#pragma once

#include "core/model/BackupPath.h"
#include "core/model/ChangeHold.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// One configured remote server and the paths copied from it.
struct Server
{
    QUuid id = QUuid::createUuid();
    QString name;
    QString host;
    qint64 port = 22;
    QString username;
    QString privateKeyPath = QStringLiteral("~/.ssh/id_ed25519");
    QList<BackupPath> paths;
    // Seconds since 2001-01-01 UTC (see ReferenceDate).
    std::optional<double> lastRunAt;
    std::optional<qint64> lastExitCode;
    // Counts the run results recorded in the file: a copy of the settings
    // whose count is lower holds an older result, whatever its clock said.
    qint64 lastRunSerial = 0;
    // When a run last ended with 0 (written only then).
    std::optional<double> lastSuccessAt;
    bool scheduleEnabled = false;
    // When the schedule was switched on; kept by the store, cleared when off.
    std::optional<double> scheduledSince;
    QString scheduleTime = QStringLiteral("03:00");
    // How often (see Schedule): "daily" at scheduleTime; "hours": every
    // scheduleEveryHours hours from scheduleTime; "weekdays" at scheduleTime;
    // "weekly" on scheduleWeekday (1 = Monday) at scheduleTime; "custom": the
    // systemd calendar expression scheduleCalendar. Written only when not
    // the default, so a daily server's file stays as it was.
    QString scheduleKind = QStringLiteral("daily");
    qint64 scheduleEveryHours = 6;
    qint64 scheduleWeekday = 1;
    QString scheduleCalendar;
    // Complete dated snapshots kept (0: keep everything): the newest of each
    // of the last keepHourly hours (for servers backed up several times a
    // day; written only when set), the newest of each of the newest
    // retentionCount days that have one, and besides them the newest of each
    // of the last keepWeekly ISO weeks and keepMonthly months.
    qint64 keepHourly = 0;
    qint64 retentionCount = 0;
    qint64 keepWeekly = 0;
    qint64 keepMonthly = 0;
    bool useSSHAgent = false;
    // rsync's --bwlimit in KiB/s; 0: no limit.
    qint64 bandwidthLimitKBps = 0;
    // The server's host keys as a fleet vouches for them: lines in
    // known_hosts form ("host keytype key", or "@cert-authority pattern
    // keytype key" for the fleet's SSH certificate authority). When there
    // are any, ssh checks the server against these alone and never accepts
    // a key on first use.
    QStringList knownHostKeys;
    // ssh's Ciphers list for transfers; empty: fastest first for this machine.
    QString sshCiphers;
    // This server's health-check URL; empty: the one in Settings.
    QString healthCheckURL;
    // What the copies keep besides archive mode: hard links (-H), ACLs (-A),
    // extended attributes (-X), owners by number (--numeric-ids), holes of
    // sparse files (--sparse), and owners, groups and special files through
    // extended attributes of the copies when Tidewell is not root
    // (--fake-super). All off for servers made before these existed; a new
    // server keeps ownership (ServerRules::newServer).
    bool preserveHardLinks = false;
    bool preserveACLs = false;
    bool preserveXattrs = false;
    bool numericIds = false;
    bool sparseFiles = false;
    bool preserveOwnership = false;
    // The server's rsync; empty: `rsync` from its PATH. With remoteSudo it
    // runs as `sudo -n <rsync>`, never asking for a password.
    QString remoteRsyncPath;
    bool remoteSudo = false;
    // How a day shares what did not change with the day before:
    // "hardlinks" (a hard link per unchanged file), "btrfs" (a snapshot of
    // the day before as a btrfs subvolume, rsync writing only what changed
    // into it), or "auto": btrfs where the server's folder is on btrfs and
    // this user may make subvolumes there, hard links elsewhere. Written
    // only when not "auto".
    QString snapshotMethod = QStringLiteral("auto");
    static bool isSnapshotMethod(const QString &name);
    // Programs run on this computer around a run, each the program's
    // absolute path then its arguments (never a shell); empty: none. A
    // failing "before" command ends the run with its exit code, nothing copied.
    QStringList localBeforeCommand;
    QStringList localAfterSuccessCommand;
    QStringList localAfterFailureCommand;
    // How long one of them may run before it is stopped.
    qint64 hookTimeoutSeconds = 600;
    // Old days are not pruned while a change this large waits for the
    // user (see ChangeHold); recorded by runs as their results are.
    std::optional<ChangeHold> heldChange;
    // The last check of the copies that ran to its end (tidewell --verify,
    // the rolling check): when, and how many damaged files it found.
    std::optional<double> lastVerifiedAt;
    qint64 damagedFiles = 0;
    // The last check against the server after a scheduled run (Settings'
    // verifyRemoteEveryDays), and the files it found differing silently.
    std::optional<double> lastRemoteCheckAt;
    qint64 remoteDifferences = 0;
    // Members of the file that say where or as whom to connect (host, port,
    // username, privateKeyPath, useSSHAgent) and were wrong there (a text
    // for a number, a port outside 1 to 65535): never left at a default
    // that would point a run at another server, but kept here as the file
    // has them, written back so, and the server is not backed up while one
    // is left (ServerCheck). Setting the field clears it (markCorrected).
    QJsonObject unreadable;
    void markCorrected(const QString &key) { unreadable.remove(key); }

    // The name as logs, JSON and scripts have it: "(untitled)" when there is none.
    QString logName() const;
    // The same in the user's language, for the window and notifications.
    QString shownName() const;

    QJsonObject toJson() const;
    // With `warnings`: see BackupPath::fromJson.
    static tl::expected<Server, DecodeError> fromJson(const QJsonObject &object, const QString &context,
                                                      QStringList *warnings = nullptr);

    friend bool operator==(const Server &, const Server &) = default;
};

size_t qHash(const Server &server, size_t seed = 0);
