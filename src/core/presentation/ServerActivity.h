// SPDX-License-Identifier: GPL-3.0-or-later
// Which servers are being backed up right now, in this process or another.
#pragma once

#include <QObject>
#include <QSet>
#include <QTimer>
#include <QUuid>

class ConfigStore;
class RunPool;

// A server runs here when one of this process's runners backs it up, and elsewhere
// when another process (a scheduled run, a second window) holds its run
// lock. Locks are polled about once a second while polling is on, that is
// while a window shows the servers.
class ServerActivity : public QObject
{
    Q_OBJECT

public:
    static constexpr int pollIntervalMs = 1000;

    ServerActivity(ConfigStore *store, RunPool *runs, QObject *parent = nullptr);

    bool isRunning(const QUuid &serverID) const;
    bool isRunningElsewhere(const QUuid &serverID) const { return m_elsewhere.contains(serverID); }
    const QSet<QUuid> &runningElsewhere() const { return m_elsewhere; }
    // Whether a start control of this server is enabled.
    bool canStart(const QUuid &serverID) const;

    void setPolling(bool on);
    void poll();

Q_SIGNALS:
    // A server started or stopped running elsewhere.
    void changed();

private:
    ConfigStore *m_store;
    RunPool *m_runs;
    QSet<QUuid> m_elsewhere;
    QTimer m_timer;
};
