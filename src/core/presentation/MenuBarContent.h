// The tray menu as data: entries, enabling and actions.
#pragma once

#include "core/model/AppSettings.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

#include <optional>

// The tray menu as data: what it shows, what is enabled and what each entry
// does. The tray adapter turns it into a QMenu; tests read it directly.
namespace MenuBarContent {

enum class Action { none, runBackup, cancel, openMainWindow, openSettings, quit };

struct Entry
{
    enum class Kind { info, action, separator, submenu };
    Kind kind = Kind::info;
    QString text;
    bool enabled = true;
    Action action = Action::none;
    QUuid serverID;
    QString shortcut; // portable text, e.g. "Ctrl+O"
    QList<Entry> children;
};

// What the menu needs of the runner.
struct RunnerState
{
    bool isRunning = false;
    std::optional<QUuid> runningServerID;
    std::optional<double> progressPercent;
    QString currentItem;
    // Servers another process is backing up now.
    QSet<QUuid> runningElsewhere;
};

QString titleFor(const Server &server);
bool canRun(const Server &server, const AppSettings &settings, const RunnerState &runner);
QString progressLine(const RunnerState &runner);
QList<Entry> build(const AppSettings &settings, const RunnerState &runner);

} // namespace MenuBarContent
