// SPDX-License-Identifier: GPL-3.0-or-later
// tidewell --status: every server's health for monitoring, as text or JSON.
#pragma once

#include "core/engine/CopyState.h"

#include "core/model/AppSettings.h"
#include "core/model/ChangeHold.h"
#include "core/schedule/ScheduleStatus.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

#include <qcoro/qcorotask.h>

// One line per server (or one JSON document) about its health, last run,
// last success and next run, for cron mail, systemd OnFailure= or a
// monitoring agent. Reads the configuration and asks the systemd user
// manager about the scheduled servers' timers; writes nothing.
namespace StatusReport {

// The schedules as the user manager has them, per scheduled server; a
// server without an entry counts as having a working one.
using Schedules = QHash<QUuid, ScheduleStatus::State>;

struct Entry
{
    QUuid id;
    QString name;
    // "ok", "pending" (scheduled more recently than its period allows
    // without a backup, see ServerRules::overdueAfter; not run yet),
    // "failing", "not installed" (scheduled, but its timer is missing or
    // stopped), "schedule cannot run" (its timer failed, or no user manager
    // answers), "mass change" (old backups kept until the user confirms a
    // change of most files, see ChangeHold), "damaged" (a check of the
    // copies found damaged files), "overdue", "never run", "not scheduled"
    QString health;
    std::optional<ChangeHold> heldChange;
    // The last check of the copies that ran to its end.
    std::optional<QDateTime> lastVerified;
    qint64 damagedFiles = 0;
    // What the checks found, as ServerRules::checksJson says it.
    QJsonValue checks;
    QString scheduleProblem; // what the window says of the schedule, when it is not working
    bool scheduled = false;
    QString scheduleTime;
    QString scheduleKind; // Server::scheduleKind
    QString schedule;     // Schedule::described: "daily 03:00", "every 6 hours from 03:00", …
    std::optional<QDateTime> lastRun;
    std::optional<qint64> lastExitCode;
    std::optional<QDateTime> lastSuccess;
    std::optional<QDateTime> nextRun;
    // Its second copies: how far each is behind.
    QList<CopyState::Lag> copies;
    qint64 copyOverdueDays = 3;
};

QString health(const Server &server, const QDateTime &now, const std::optional<ScheduleStatus::State> &schedule = {});
QList<Entry> entries(const AppSettings &settings, const QDateTime &now, const Schedules &schedules = {});
// No server is failing, and every scheduled one is ok (or pending: its
// first run is still to come).
bool allScheduledOk(const QList<Entry> &entries);
// Reads the timers of the scheduled servers from the user manager on `bus`.
QCoro::Task<Schedules> readSchedules(QList<Server> servers, QDBusConnection bus);
QString text(const QList<Entry> &entries);
// `destinationEncrypted`: the copies lie in an encrypted folder ("encrypted").
QByteArray json(const QList<Entry> &entries, const QDateTime &now, bool destinationEncrypted = false);

// The monitoring-plugin line: "TIDEWELL OK - …", WARNING (overdue, never
// run, or a schedule that cannot run), CRITICAL (failing), UNKNOWN (no
// servers), with perfdata; and its exit code (0, 1, 2, 3).
struct Nagios
{
    // The monitoring plugins' exit codes.
    static constexpr int ok = 0;
    static constexpr int warning = 1;
    static constexpr int critical = 2;
    static constexpr int unknown = 3;

    QString line;
    int exitCode = ok;
};
Nagios nagios(const QList<Entry> &entries);

// tidewell --servers: one line per server, its fields apart by a tab and
// each on one line whatever it holds: id, name, user@host:port, "daily
// HH:MM" or "off", health (the English words of --status --json). For
// scripts; the same in every language.
QString serverLines(const AppSettings &settings, const QList<Entry> &entries);
// --servers --json: [{"id", "name", "host", "port", "username", "scheduled",
// "scheduleTime", "health", "paths"}] (paths: the enabled ones' names).
QByteArray serverJson(const AppSettings &settings, const QList<Entry> &entries);

enum class Format { text, json, nagios, servers, serversJson };
// Prints the report of the configuration file; 0 when no server is failing
// and every scheduled server is ok, 1 otherwise or when the file cannot be
// read, 3 when there is no server (or the file stays locked). As a
// monitoring plugin: 0 to 2 as above, 3 (UNKNOWN) when the file cannot be
// read or holds no server. The server list: 0, or 2 when the file cannot be
// read. Needs a QCoreApplication (it asks the bus).
int exec(Format format);
// Writes the metrics of every server to `path` now (see MetricsFile): exit
// 0, or 2 when the configuration cannot be read or the file not written.
int writeMetrics(const QString &path);

} // namespace StatusReport
