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
    QString health; // "ok", "failing", "overdue", "never run", "not scheduled"
    bool scheduled = false;
    QString scheduleTime;
    std::optional<QDateTime> lastRun;
    std::optional<qint64> lastExitCode;
    std::optional<QDateTime> lastSuccess;
    std::optional<QDateTime> nextRun;
};

QString health(const Server &server, const QDateTime &now);
QList<Entry> entries(const AppSettings &settings, const QDateTime &now);
// Every scheduled server is ok.
bool allScheduledOk(const QList<Entry> &entries);
QString text(const QList<Entry> &entries);
QByteArray json(const QList<Entry> &entries, const QDateTime &now);

// Prints the report of the configuration file; 0 when every scheduled server
// is ok, 1 otherwise or when the file cannot be read.
int exec(bool asJson);

} // namespace StatusReport
