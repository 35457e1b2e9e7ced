// SPDX-License-Identifier: GPL-3.0-or-later
// The tray menu as data: entries, enabling and actions.
#pragma once

#include "core/model/AppSettings.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

#include <optional>

// The tray menu as data: what it shows, what is enabled and what each entry
// does. The tray adapter turns it into a QMenu; tests read it directly.
namespace MenuBarContent {

enum class Action { none, runBackup, showRun, cancel, openMainWindow, openSettings, quit };

struct Entry
{
    enum class Kind { info, action, separator, submenu };
    Kind kind = Kind::info;
    QString text;
    bool enabled = true;
    Action action = Action::none;
    // The server an action is for; on an info line, the server whose run's
    // progress it shows.
    QUuid serverID;
    QString shortcut; // portable text, e.g. "Ctrl+O"
    QList<Entry> children;

    // Not defaulted: QList's own == looks for this one, for the children.
    friend bool operator==(const Entry &a, const Entry &b);
};

// What the menu needs of one run of this process.
struct Run
{
    QUuid serverID;
    std::optional<double> progressPercent;
    QString currentItem;
    bool waiting = false; // for a free run slot
};

// What the menu needs of the runs.
struct RunInfo
{
    // This process's runs, oldest first.
    QList<Run> runs;
    // Servers another process is backing up now.
    QSet<QUuid> runningElsewhere;

    bool isRunningHere(const QUuid &serverID) const;
};

// What the menu shows of a server's daily schedule, when it is on.
struct ScheduleLine
{
    QString problem; // why it does not work; empty when it does
    QDateTime next;  // its next run, when known
};

QString titleFor(const Server &server, const QDateTime &now = QDateTime::currentDateTime());
bool canRun(const Server &server, const AppSettings &settings, const RunInfo &runner);
QString progressLine(const Run &run);
// Up to this many servers the menu lists them all; a larger fleet shows the
// ones running elsewhere, then at most maxAttention failing or overdue ones
// ("and N more…"), then "All servers…", which opens the window.
constexpr qsizetype maxListed = 12;
constexpr qsizetype maxAttention = 10;
QList<Entry> build(const AppSettings &settings, const RunInfo &runner, const QHash<QUuid, ScheduleLine> &schedules = {},
                   const QDateTime &now = QDateTime::currentDateTime());
// Menu texts show "&" as it is, not as a shortcut mark.
QString escapedForMenu(const QString &text);

} // namespace MenuBarContent
