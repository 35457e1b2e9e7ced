// SPDX-License-Identifier: GPL-3.0-or-later
// tidewell --status: every server's health for monitoring, as text or JSON.
#pragma once

#include "core/model/AppSettings.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// One line per server (or one JSON document) about its health, last run,
// last success and next run, for cron mail, systemd OnFailure= or a
// monitoring agent. Reads the configuration and nothing else: no window, no
// bus, no writes.
namespace StatusReport {

struct Entry
{
    QUuid id;
    QString name;
    // "ok", "pending" (scheduled less than 26 hours ago, not run yet),
    // "failing", "overdue", "never run", "not scheduled"
    QString health;
    bool scheduled = false;
    QString scheduleTime;
    std::optional<QDateTime> lastRun;
    std::optional<qint64> lastExitCode;
    std::optional<QDateTime> lastSuccess;
    std::optional<QDateTime> nextRun;
};

QString health(const Server &server, const QDateTime &now);
QList<Entry> entries(const AppSettings &settings, const QDateTime &now);
// Every scheduled server is ok (or pending: its first run is still to come).
bool allScheduledOk(const QList<Entry> &entries);
QString text(const QList<Entry> &entries);
QByteArray json(const QList<Entry> &entries, const QDateTime &now);

// The monitoring-plugin line: "TIDEWELL OK - …", WARNING (overdue or never
// run), CRITICAL (failing), with perfdata; and its exit code (0, 1, 2).
struct Nagios
{
    QString line;
    int exitCode = 0;
};
Nagios nagios(const QList<Entry> &entries);

enum class Format { text, json, nagios };
// Prints the report of the configuration file; 0 when every scheduled server
// is ok, 1 otherwise or when the file cannot be read (3 when it stays
// locked). As a monitoring plugin: 0 to 2 as above, 3 (UNKNOWN) when the
// file cannot be read.
int exec(Format format);

} // namespace StatusReport
