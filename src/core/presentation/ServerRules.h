// SPDX-License-Identifier: GPL-3.0-or-later
// What the windows show about a server and when it may run.
#pragma once

#include "core/model/AppSettings.h"
#include "core/model/Server.h"

#include <QDateTime>
#include <QJsonValue>
#include <QString>

#include <optional>

// What the windows show about a server and when it may be run; shared by the
// tray menu, the sidebar, the dashboard and the editor.
namespace ServerRules {

// One rule for every start control: an enabled path, and nothing a run would
// refuse (a blank host or user, an enabled path without a remote path, a
// shared folder; see ServerCheck).
bool isRunnable(const Server &server, const QList<Server> &allServers);
int enabledPathCount(const Server &server);

// A fresh server as "Add server" creates it.
// Named "New Server" in the user's language unless a name is given.
Server newServer(const QString &name = QString());
// A copy with new ids, " (copy)" (or "Copy"), never run, schedule off.
Server duplicate(const Server &server);
// The server that ran last (first in the list on equal times), if any.
std::optional<Server> lastBackedUp(const AppSettings &settings);

// A server scheduled daily without a good backup for longer than this is
// overdue; other schedules allow their own period (see overdueAfter).
constexpr qint64 overdueAfterSeconds = 26 * 3600;
// How long the server's schedule allows without a good backup: see
// Schedule::overdueAfterSeconds; a custom calendar's longest gap and two hours.
qint64 overdueAfter(const Server &server);
// When the last run that ended with 0 finished: lastSuccessAt, or for a file
// written before that was kept, the last run when it succeeded.
std::optional<QDateTime> lastSuccess(const Server &server);
// Scheduled, not failing, and no good backup for overdueAfter() (never
// one, and scheduled for that long). A failing server is failing, not overdue.
bool isOverdue(const Server &server, const QDateTime &now);
// The time between two of the schedule's runs: a day (daily, weekdays), N
// hours, a week, or a custom calendar's longest gap (a day when systemd
// cannot tell).
qint64 periodSeconds(const Server &server);
// Whether connecting the backup drive starts the server's backup:
// scheduled, something to copy, and no good backup for its period less an
// hour (at least an hour), so a drive plugged in again soon starts nothing.
bool isDueWhenDriveConnected(const Server &server, const QDateTime &now);
// The next time the schedule comes round (local time); for a custom
// calendar, as systemd-analyze works it out.
std::optional<QDateTime> nextRun(const Server &server, const QDateTime &now);
// The schedule in the user's language: "daily at 03:00", "every 6 hours
// from 03:00", "weekdays at 03:00", "weekly on Monday at 03:00",
// "custom: Sat *-*-* 04:00".
QString scheduleText(const Server &server);
// "Overdue · last good backup 3 days ago", "Overdue · no good backup yet".
QString overdueText(const Server &server, const QDateTime &now);
// Whole days without a good backup, at least 1; for the overdue notice.
int daysWithoutSuccess(const Server &server, const QDateTime &now);

// What the last checks found, for scripts and reports:
// {"lastVerifiedAt", "damagedFiles", "lastRemoteCheckAt", "remoteDifferences"}
// (times in ISO 8601 with the local offset; null where that check never
// ran), or null when neither ever ran.
QJsonValue checksJson(const Server &server);

struct Health
{
    // held: old days are kept until the user confirms a mass change.
    enum class Kind { running, neverRan, failed, damaged, held, overdue, healthy };
    Kind kind;
    QString label;
};
Health healthStatus(const Server &server, bool isRunning, const QDateTime &now = QDateTime::currentDateTime());

struct Counters
{
    int servers = 0;
    int healthy = 0;
    int failing = 0;
    int overdue = 0;
    int scheduled = 0;

    // Counts one server: an overdue one as overdue, not also as healthy; a
    // schedule only while it works.
    void add(const Server &server, bool overdue, bool scheduleWorks = true);
};
// Every server's counts, each schedule taken as working.
Counters counters(const AppSettings &settings, const QDateTime &now = QDateTime::currentDateTime());

// "db:2222", or "—" without a host.
QString hostText(const Server &server);
// "2 enabled / 3".
QString pathsText(const Server &server);

} // namespace ServerRules
