// SPDX-License-Identifier: GPL-3.0-or-later
// Backups of several servers at once in one process.
#pragma once

#include "core/engine/RsyncProbe.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QUuid>

#include <optional>

class ConfigStore;
class RsyncRunner;
struct Server;

// The window's backups side by side: each server runs in a runner of its
// own, made on its first run and kept with its last run's log for the rest
// of the session. How many copy at once is the run slots' business (see
// AppSettings::maxConcurrentRuns): a run past them waits in their queue, as
// scheduled runs do, and says so.
class RunPool : public QObject
{
    Q_OBJECT

public:
    explicit RunPool(QObject *parent = nullptr);

    // Starts the server's backup; a server that runs here already goes on
    // with its run. Its runner either way.
    RsyncRunner *start(const Server &server, ConfigStore *store);
    // The runner of the server's current or last run here, if any.
    RsyncRunner *runnerFor(const QUuid &serverID) const;
    // The runs in progress (waiting for a slot included), oldest first.
    const QList<RsyncRunner *> &running() const { return m_running; }
    bool isRunning() const { return !m_running.isEmpty(); }
    bool isRunning(const QUuid &serverID) const;
    // Cancels every run in progress.
    void cancelAll();

    // The rsync every run uses; probed on first use.
    RsyncProbe rsyncProbe();
    void setRsyncProbe(const RsyncProbe &probe);

Q_SIGNALS:
    // A runner was made, before its first run starts.
    void runnerAdded(RsyncRunner *runner);
    // A run started or ended.
    void runningChanged();
    // A run's progress or current item moved.
    void progressChanged(RsyncRunner *runner);
    void runFinished(const QUuid &serverID, std::optional<int> exitCode);
    void runRefused(const QUuid &serverID, const QString &message);

private:
    RsyncRunner *makeRunner(const QUuid &serverID);
    void runningOf(RsyncRunner *runner);

    QHash<QUuid, RsyncRunner *> m_runners;
    QList<RsyncRunner *> m_running;
    std::optional<RsyncProbe> m_probe;
};
