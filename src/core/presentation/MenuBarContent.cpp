// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the tray menu as data from the settings and the runs.
#include "core/presentation/MenuBarContent.h"

#include "core/model/Schedule.h"
#include "core/presentation/Formatting.h"
#include "core/presentation/ServerRules.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>

namespace MenuBarContent {

bool operator==(const Entry &a, const Entry &b)
{
    return a.kind == b.kind && a.text == b.text && a.enabled == b.enabled && a.action == b.action
           && a.serverID == b.serverID && a.shortcut == b.shortcut
           && std::equal(a.children.begin(), a.children.end(), b.children.begin(), b.children.end());
}

namespace {

// "Scheduled: daily at 03:00 (next …)"; other schedules as ServerRules::scheduleText says them.
QString scheduledLine(const Server &server, const ScheduleLine &line)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("MenuBarContent", text); };
    if (Schedule::kind(server) == Schedule::Kind::daily)
        return line.next.isValid() ? tr("Scheduled: daily at %1 (next %2)")
                                         .arg(server.scheduleTime, Formatting::shortDateTime(line.next))
                                   : tr("Scheduled: daily at %1").arg(server.scheduleTime);
    const QString schedule = ServerRules::scheduleText(server);
    return line.next.isValid() ? tr("Scheduled: %1 (next %2)").arg(schedule, Formatting::shortDateTime(line.next))
                               : tr("Scheduled: %1").arg(schedule);
}

Entry info(const QString &text, bool enabled = true)
{
    Entry entry;
    entry.kind = Entry::Kind::info;
    entry.text = text;
    entry.enabled = enabled;
    return entry;
}

Entry separator()
{
    Entry entry;
    entry.kind = Entry::Kind::separator;
    return entry;
}

Entry action(const QString &text, Action what, const QString &shortcut = {})
{
    Entry entry;
    entry.kind = Entry::Kind::action;
    entry.text = text;
    entry.action = what;
    entry.shortcut = shortcut;
    return entry;
}

Entry serverMenu(const Server &server, const AppSettings &settings, const RunInfo &runner,
                 const QHash<QUuid, ScheduleLine> &schedules, const QDateTime &now)
{
    Entry submenu;
    submenu.kind = Entry::Kind::submenu;
    submenu.text = titleFor(server, now);
    submenu.serverID = server.id;
    Entry run = action(QCoreApplication::translate("MenuBarContent", "Run backup now"), Action::runBackup);
    run.serverID = server.id;
    run.enabled = canRun(server, settings, runner);
    submenu.children << run;
    if (server.lastRunAt)
        submenu.children << info(QCoreApplication::translate("MenuBarContent", "Last: %1")
                                     .arg(Formatting::shortDateTime(*server.lastRunAt)));
    if (ServerRules::isOverdue(server, now))
        submenu.children << info(QStringLiteral("⚠ ") + ServerRules::overdueText(server, now));
    if (server.scheduleEnabled) {
        const ScheduleLine line = schedules.value(server.id);
        submenu.children << info(scheduledLine(server, line));
        if (!line.problem.isEmpty())
            submenu.children << info(QStringLiteral("⚠ ") + line.problem);
    }
    return submenu;
}

// Each run of this process (a click shows its sheet) with its progress,
// then how to cancel it; nothing when none runs.
QList<Entry> runningEntries(const AppSettings &settings, const RunInfo &runner)
{
    QList<Entry> entries;
    QList<Entry> cancels;
    for (const Run &run : runner.runs) {
        const Server *server = settings.server(run.serverID);
        if (!server)
            continue;
        Entry line = action(QCoreApplication::translate("MenuBarContent", "Running: %1").arg(server->shownName()),
                            Action::showRun);
        line.serverID = run.serverID;
        entries << line;
        if (const QString progress = progressLine(run); !progress.isEmpty()) {
            Entry progressEntry = info(progress);
            progressEntry.serverID = run.serverID;
            entries << progressEntry;
        }
        Entry cancel =
            action(QCoreApplication::translate("MenuBarContent", "Cancel the backup of %1").arg(server->shownName()),
                   Action::cancel);
        cancel.serverID = run.serverID;
        cancels << cancel;
    }
    if (entries.isEmpty())
        return entries;
    // One run: as it always was.
    if (cancels.size() == 1)
        cancels.first().text = QCoreApplication::translate("MenuBarContent", "Cancel current backup");
    entries << separator() << cancels << separator();
    return entries;
}

// What every menu ends with.
void addFooter(QList<Entry> &entries)
{
    entries << action(QCoreApplication::translate("MenuBarContent", "Open Tidewell…"), Action::openMainWindow,
                      QStringLiteral("Ctrl+O"))
            << action(QCoreApplication::translate("MenuBarContent", "Settings…"), Action::openSettings) << separator()
            << action(QCoreApplication::translate("MenuBarContent", "Quit Tidewell"), Action::quit,
                      QStringLiteral("Ctrl+Q"));
}

} // namespace

QString titleFor(const Server &server, const QDateTime &now)
{
    const QString name = server.shownName();
    if (ServerRules::isOverdue(server, now))
        return QStringLiteral("⚠  ") + name;
    if (!server.lastExitCode)
        return name;
    return (*server.lastExitCode == 0 ? QStringLiteral("✓  ") : QStringLiteral("✗  ")) + name;
}

bool RunInfo::isRunningHere(const QUuid &serverID) const
{
    return std::any_of(runs.begin(), runs.end(), [&serverID](const Run &run) { return run.serverID == serverID; });
}

bool canRun(const Server &server, const AppSettings &settings, const RunInfo &runner)
{
    return !runner.isRunningHere(server.id) && !runner.runningElsewhere.contains(server.id)
           && ServerRules::isRunnable(server, settings.servers);
}

QString progressLine(const Run &runner)
{
    if (runner.waiting)
        return QCoreApplication::translate("MenuBarContent", "Waiting for a free slot…");
    if (runner.progressPercent)
        return QCoreApplication::translate("MenuBarContent", "Progress: %1%  —  %2")
            .arg(QLocale().toString(*runner.progressPercent, 'f', 0), runner.currentItem);
    if (!runner.currentItem.isEmpty())
        return QCoreApplication::translate("MenuBarContent", "Path: %1").arg(runner.currentItem);
    return QString();
}

QString escapedForMenu(const QString &text)
{
    return QString(text).replace(u'&', QStringLiteral("&&"));
}

QList<Entry> build(const AppSettings &settings, const RunInfo &runner, const QHash<QUuid, ScheduleLine> &schedules,
                   const QDateTime &now)
{
    // While backups run, the menu is about them.
    QList<Entry> entries = runningEntries(settings, runner);
    if (!entries.isEmpty()) {
        addFooter(entries);
        return entries;
    }
    if (settings.servers.isEmpty()) {
        entries << info(QCoreApplication::translate("MenuBarContent", "No servers configured"), false) << separator();
    } else {
        if (settings.servers.size() <= maxListed) {
            for (const Server &server : settings.servers)
                entries << serverMenu(server, settings, runner, schedules, now);
        } else {
            // A fleet: what needs a look, never more than a screen of it.
            QList<const Server *> busy;
            QList<const Server *> attention;
            for (const Server &server : settings.servers) {
                if (runner.runningElsewhere.contains(server.id))
                    busy << &server;
                else if ((server.lastExitCode && *server.lastExitCode != 0) || ServerRules::isOverdue(server, now))
                    attention << &server;
            }
            for (const Server *server : std::as_const(busy))
                entries << serverMenu(*server, settings, runner, schedules, now);
            for (qsizetype i = 0; i < std::min<qsizetype>(attention.size(), maxAttention); ++i)
                entries << serverMenu(*attention.at(i), settings, runner, schedules, now);
            if (attention.size() > maxAttention)
                entries << info(QCoreApplication::translate("MenuBarContent", "and %n more…", nullptr,
                                                            int(attention.size() - maxAttention)),
                                false);
            entries << action(QCoreApplication::translate("MenuBarContent", "All servers…"), Action::openMainWindow);
        }
        entries << separator();
    }
    addFooter(entries);
    return entries;
}

} // namespace MenuBarContent
