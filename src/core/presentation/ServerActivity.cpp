// SPDX-License-Identifier: GPL-3.0-or-later
// Polling the servers' run locks to see runs of other processes.
#include "core/presentation/ServerActivity.h"

#include "core/engine/RunPool.h"
#include "core/presentation/ServerRules.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"
#include "core/system/FileLock.h"

ServerActivity::ServerActivity(ConfigStore *store, RunPool *runs, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_runs(runs)
{
    m_timer.setInterval(pollIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &ServerActivity::poll);
}

bool ServerActivity::isRunning(const QUuid &serverID) const
{
    return m_runs->isRunning(serverID) || m_elsewhere.contains(serverID);
}

bool ServerActivity::canStart(const QUuid &serverID) const
{
    const Server *server = m_store->settings().server(serverID);
    return server && !m_runs->isRunning(serverID) && !m_elsewhere.contains(serverID)
           && ServerRules::isRunnable(*server, m_store->settings().servers);
}

void ServerActivity::setPolling(bool on)
{
    if (on == m_timer.isActive())
        return;
    if (on) {
        poll();
        m_timer.start();
    } else {
        m_timer.stop();
    }
}

void ServerActivity::poll()
{
    QSet<QUuid> elsewhere;
    for (const Server &server : m_store->settings().servers) {
        // Our own runs hold their locks too; those are not "elsewhere".
        if (m_runs->isRunning(server.id))
            continue;
        if (FileLock::isHeld(AppPaths::runLockFile(server.id)))
            elsewhere.insert(server.id);
    }
    if (elsewhere == m_elsewhere)
        return;
    m_elsewhere = elsewhere;
    Q_EMIT changed();
}
