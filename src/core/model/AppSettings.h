// SPDX-License-Identifier: GPL-3.0-or-later
// The root of the configuration: global options and the servers.
#pragma once

#include "core/model/ChangeHold.h"
#include "core/model/CopyTarget.h"
#include "core/model/DecodeError.h"
#include "core/model/Server.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

#include <tl/expected.hpp>

// Where each server id sits in a list of servers, for lookups in constant
// time. The list may change in any way between lookups: a position is
// checked against the id it was found for, and the index rebuilt when it no
// longer matches. Like the list it indexes, one object is for one thread.
class ServerIndex
{
public:
    qsizetype find(const QList<Server> &servers, const QUuid &id) const;
    // How often the index was rebuilt, and looked in (for tests of the cost of lookups).
    qint64 rebuilds() const { return m_rebuilds; }
    qint64 lookups() const { return m_lookups; }

    // Equal whatever they hold: the index is a cache, not part of the value.
    friend bool operator==(const ServerIndex &, const ServerIndex &) { return true; }

private:
    mutable QHash<QUuid, qsizetype> m_positions;
    mutable qint64 m_rebuilds = 0;
    mutable qint64 m_lookups = 0;
};

// The whole configuration: global options and the servers in display order.
struct AppSettings
{
    QList<Server> servers;
    QString destinationPath = QStringLiteral("~/Backups");
    // The destination holds a gocryptfs folder: runs, checks and restores
    // work in its plaintext view, opened with the passphrase for as long as
    // they need it (see PlainView). Set when the folder is encrypted.
    bool destinationEncrypted = false;
    // A file that holds the passphrase of encrypted folders on its first
    // line, readable by this user alone; for hosts without a desktop keyring.
    QString passphraseFile;
    bool useDateSubfolder = true;
    // With date folders, unchanged files are hard links to the previous day's copy.
    bool linkToPreviousBackup = true;
    bool deleteExtraneous = false;
    bool compress = true;
    bool notificationsEnabled = true;
    qint64 minFreeSpaceGB = 0;
    qint64 retryAttempts = 2;
    // rsync stops a transfer that moves no data for this long; 0: no limit.
    qint64 ioTimeoutSeconds = 300;
    // A scheduled run waits this long for the network before it goes on anyway.
    qint64 networkWaitSeconds = 300;
    // A scheduled run on a metered connection (a phone hotspot) is skipped.
    bool skipMeteredConnections = true;
    // A scheduled run on battery below this charge waits up to powerWaitSeconds
    // for mains power, then is skipped; 0: the battery is not asked.
    qint64 minBatteryPercent = 30;
    qint64 powerWaitSeconds = 300;
    // Runs write only into a destination that holds the drive's marker file;
    // unset: when the destination lies where drives are mounted.
    std::optional<bool> requireDestinationMarker;
    // Backups of this user that run at once, across the window and scheduled
    // runs; the others wait for a free slot.
    qint64 maxConcurrentRuns = 4;
    // Scheduled runs start within this many minutes after their time, at
    // random, so a fleet scheduled alike is spread out; 0: on time.
    qint64 scheduleSpreadMinutes = 0;
    // Where run results are reported besides the desktop; empty: nowhere.
    // A health-check URL gets "/start", then itself (success) or "/<exit
    // code>"; a server's own URL replaces it for that server.
    QString healthCheckURL;
    // Gets a JSON document for every finished run.
    QString webhookURL;
    // Gets a mail (through the local sendmail) for failed runs, or for every
    // run with reportEmailEveryRun.
    QString reportEmail;
    bool reportEmailEveryRun = false;
    // An ntfy-style topic URL: every run's result is posted there as plain
    // text with Title, Priority (high for failures) and Tags headers.
    QString ntfyURL;
    // Rewritten after every run with each server's figures, in the text
    // format of node_exporter's textfile collector; empty: not written.
    QString metricsFile;
    // A run that finds more than this share of the previous day's files
    // changed or gone holds retention (see ChangeHold); 0: never.
    qint64 massChangePercent = ChangeHold::defaultPercent;
    // After each scheduled run, one of this many parts of the server's
    // copies is read against its fingerprints, so that every copy is read
    // once in this many days; 0: never. Within verifyMinutesPerRun.
    qint64 verifyParts = 30;
    qint64 verifyMinutesPerRun = 5;
    // After a scheduled run, every this many days the newest day is read
    // against the server (see RemoteCheck); 0: never.
    qint64 verifyRemoteEveryDays = 0;
    // Second places that receive every complete day (see CopyTarget).
    QList<CopyTarget> copyTargets;
    // A target this many days behind the destination is a warning.
    qint64 copyOverdueDays = 3;

    bool requiresDestinationMarker() const;
    // The same rule for another folder that receives backups (a copy
    // target): the setting when it is set, else whether it lies where
    // drives are mounted.
    bool requiresMarker(const QString &folder) const;
    // A copy target by id or by its name (unique).
    const CopyTarget *copyTarget(const QString &reference) const;

    QJsonObject toJson() const;
    // With `warnings`, a wrong-typed member that identifies nothing is left
    // at its default and named there (see JsonReader); without, it fails the whole.
    static tl::expected<AppSettings, DecodeError> fromJson(const QJsonObject &object, QStringList *warnings = nullptr);

    // Pretty-printed JSON with the keys of every object sorted.
    QByteArray encode() const;
    // Fails as a whole, with a readable reason, on malformed JSON or a wrong type.
    static tl::expected<AppSettings, DecodeError> decode(const QByteArray &json, QStringList *warnings = nullptr);

    // Gives a fresh id to every server that repeats an earlier server's id
    // (and to every path that repeats one in its server); returns how many
    // servers changed.
    int reassignDuplicateIds();

    // In constant time (see ServerIndex).
    Server *server(const QUuid &id);
    const Server *server(const QUuid &id) const;
    const ServerIndex &serverIndex() const { return m_index; }

    friend bool operator==(const AppSettings &, const AppSettings &) = default;

private:
    ServerIndex m_index;
};
