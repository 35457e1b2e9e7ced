// SPDX-License-Identifier: GPL-3.0-or-later
// A runner per server, and what they do together.
#include "core/engine/RunPool.h"

#include "core/engine/RsyncRunner.h"

RunPool::RunPool(QObject *parent)
    : QObject(parent)
{ }

RsyncRunner *RunPool::start(const Server &server, ConfigStore *store)
{
    RsyncRunner *runner = m_runners.value(server.id);
    if (!runner)
        runner = makeRunner(server.id);
    if (!runner->isRunning())
        QCoro::connect(runner->run(server, store), runner, [] {});
    return runner;
}

RsyncRunner *RunPool::makeRunner(const QUuid &serverID)
{
    auto *runner = new RsyncRunner(this);
    if (m_probe)
        runner->setRsyncProbe(*m_probe);
    m_runners.insert(serverID, runner);
    connect(runner, &RsyncRunner::isRunningChanged, this, [this, runner] { runningOf(runner); });
    connect(runner, &RsyncRunner::progressPercentChanged, this, [this, runner] { Q_EMIT progressChanged(runner); });
    connect(runner, &RsyncRunner::currentItemChanged, this, [this, runner] { Q_EMIT progressChanged(runner); });
    connect(runner, &RsyncRunner::runFinished, this, &RunPool::runFinished);
    connect(runner, &RsyncRunner::runRefused, this, &RunPool::runRefused);
    Q_EMIT runnerAdded(runner);
    return runner;
}

void RunPool::runningOf(RsyncRunner *runner)
{
    const bool listed = m_running.contains(runner);
    if (runner->isRunning() == listed)
        return;
    if (listed)
        m_running.removeOne(runner);
    else
        m_running << runner;
    Q_EMIT runningChanged();
}

RsyncRunner *RunPool::runnerFor(const QUuid &serverID) const
{
    return m_runners.value(serverID);
}

bool RunPool::isRunning(const QUuid &serverID) const
{
    const RsyncRunner *runner = m_runners.value(serverID);
    return runner && runner->isRunning();
}

void RunPool::cancelAll()
{
    // A cancel can end a run at once, which changes the list.
    const QList<RsyncRunner *> running = m_running;
    for (RsyncRunner *runner : running)
        runner->cancel();
}

RsyncProbe RunPool::rsyncProbe()
{
    if (!m_probe)
        m_probe = RsyncProbe::computeCached(RsyncProbe::defaultCacheFile());
    return *m_probe;
}

void RunPool::setRsyncProbe(const RsyncProbe &probe)
{
    m_probe = probe;
    for (RsyncRunner *runner : std::as_const(m_runners))
        runner->setRsyncProbe(probe);
}
