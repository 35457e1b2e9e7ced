// SPDX-License-Identifier: GPL-3.0-or-later
// Keeping the server list model in step with its sources, row by row.
#include "core/presentation/ServerListModel.h"

#include <QCoreApplication>

#include "core/engine/RsyncRunner.h"
#include "core/engine/RunPool.h"
#include "core/model/ReferenceDate.h"
#include "core/model/ServerCheck.h"
#include "core/presentation/Formatting.h"
#include "core/presentation/ServerActivity.h"
#include "core/schedule/ScheduleStatus.h"
#include "core/storage/ConfigStore.h"

#include <QSet>

ServerListModel::ServerListModel(ConfigStore *store, RunPool *runs, ServerActivity *activity, ScheduleStatus *schedules,
                                 QObject *parent)
    : QAbstractListModel(parent)
    , m_store(store)
    , m_runs(runs)
    , m_activity(activity)
    , m_schedules(schedules)
{
    for (const Server &server : m_store->settings().servers)
        m_rows.append(makeRow(server));
    reindex();
    syncStates();
    connect(m_store, &ConfigStore::settingsChanged, this, [this] {
        syncServers();
        syncStates();
    });
    connect(m_runs, &RunPool::runningChanged, this, &ServerListModel::syncStates);
    connect(m_runs, &RunPool::progressChanged, this, &ServerListModel::syncWaiting);
    connect(m_activity, &ServerActivity::changed, this, &ServerListModel::syncStates);
    if (m_schedules) {
        // A refresh changes the state of every scheduled server at once:
        // the counters are counted again once for all of them.
        m_schedulesCounted.setSingleShot(true);
        m_schedulesCounted.setInterval(0);
        connect(&m_schedulesCounted, &QTimer::timeout, this, &ServerListModel::countersChanged);
        connect(m_schedules, &ScheduleStatus::changed, this, [this](const QUuid &id) {
            if (const int row = rowOf(id); row >= 0)
                rowChanged(row, {MetaRole, ScheduleProblemRole});
            if (!m_schedulesCounted.isActive())
                m_schedulesCounted.start();
        });
    }
}

int ServerListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QHash<int, QByteArray> ServerListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(IdRole, "serverID");
    names.insert(RunningRole, "running");
    names.insert(CanStartRole, "canStart");
    names.insert(MetaRole, "meta");
    names.insert(ResultRole, "result");
    names.insert(ScheduledRole, "scheduled");
    names.insert(ScheduleProblemRole, "scheduleProblem");
    names.insert(RunningHereRole, "runningHere");
    return names;
}

QString ServerListModel::scheduleProblem(int row) const
{
    if (!m_schedules)
        return {};
    const ScheduleStatus::State state = m_schedules->state(m_rows.at(row).server.id);
    return state.kind == ScheduleStatus::State::Kind::broken ? state.message : QString();
}

QVariant ServerListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &row = m_rows.at(index.row());
    const Server &server = row.server;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return server.shownName();
    case Qt::AccessibleDescriptionRole:
        // What the row shows beside the name, for a screen reader.
        return ServerRules::healthStatus(server, row.running, m_now()).label;
    case IdRole:
        return server.id;
    case RunningRole:
        return row.running;
    case CanStartRole:
        return row.canStart;
    case RunningHereRole:
        return row.runningHere;
    case MetaRole:
        if (row.waiting)
            return QCoreApplication::translate("ServerListModel", "waiting for a free slot…");
        if (row.running)
            return QCoreApplication::translate("ServerListModel", "running…");
        if (row.overdue)
            return ServerRules::overdueText(server, m_now());
        if (!server.lastRunAt)
            return server.host;
        return Formatting::relativeTime(ReferenceDate::toDateTime(*server.lastRunAt), m_now());
    case ResultRole:
        if (row.overdue)
            return 2;
        return server.lastExitCode ? (*server.lastExitCode == 0 ? 0 : 1) : -1;
    case ScheduledRole:
        return server.scheduleEnabled;
    case ScheduleProblemRole:
        return scheduleProblem(index.row());
    default:
        return {};
    }
}

ServerRules::Counters ServerListModel::counters() const
{
    ServerRules::Counters c;
    for (const Row &row : m_rows)
        c.add(row.server, row.overdue, !m_schedules || m_schedules->isWorking(row.server.id));
    return c;
}

void ServerListModel::refreshRelativeTimes()
{
    // A backup becomes overdue by time alone.
    const QDateTime now = m_now();
    bool countersMoved = false;
    for (int i = 0; i < m_rows.size(); ++i) {
        Row &row = m_rows[i];
        if (const bool overdue = ServerRules::isOverdue(row.server, now); overdue != row.overdue) {
            row.overdue = overdue;
            countersMoved = true;
            rowChanged(i, {MetaRole, ResultRole});
        } else if (row.server.lastRunAt && !row.running) {
            rowChanged(i, {MetaRole});
        }
    }
    if (countersMoved)
        Q_EMIT countersChanged();
}

void ServerListModel::rowChanged(int row, const QList<int> &roles)
{
    const QModelIndex at = index(row);
    Q_EMIT dataChanged(at, at, roles);
}

void ServerListModel::reindex()
{
    m_index.clear();
    for (int i = 0; i < m_rows.size(); ++i)
        m_index.insert(m_rows.at(i).server.id, i);
}

void ServerListModel::syncServers()
{
    const QList<Server> &next = m_store->settings().servers;
    QSet<QUuid> nextIDs;
    for (const Server &server : next)
        nextIDs.insert(server.id);
    // Ids repeated within a list cannot be followed row by row, and many
    // rows added or removed at once (an import) are cheaper as a new list
    // than one signal and one re-index each.
    int added = 0;
    for (const Server &server : next)
        added += m_index.contains(server.id) ? 0 : 1;
    const int removed = int(m_rows.size()) - (int(next.size()) - added);
    constexpr int rowByRowLimit = 32;
    if (nextIDs.size() != next.size() || m_index.size() != m_rows.size() || added + removed > rowByRowLimit) {
        beginResetModel();
        m_rows.clear();
        for (const Server &server : next)
            m_rows.append(makeRow(server));
        reindex();
        endResetModel();
        Q_EMIT countersChanged();
        return;
    }
    bool changed = false;
    for (int i = int(m_rows.size()) - 1; i >= 0; --i) {
        if (nextIDs.contains(m_rows.at(i).server.id))
            continue;
        beginRemoveRows({}, i, i);
        m_rows.removeAt(i);
        endRemoveRows();
        changed = true;
    }
    reindex();
    for (int p = 0; p < next.size(); ++p) {
        const Server &server = next.at(p);
        const int at = rowOf(server.id);
        if (at < 0) {
            beginInsertRows({}, p, p);
            m_rows.insert(p, makeRow(server));
            endInsertRows();
            reindex();
            changed = true;
            continue;
        }
        if (at != p) {
            beginMoveRows({}, at, at, {}, p);
            m_rows.move(at, p);
            endMoveRows();
            reindex();
            changed = true;
        }
        Row &row = m_rows[p];
        if (row.server != server) {
            const Row updated = makeRow(server);
            row.server = updated.server;
            row.folderKey = updated.folderKey;
            row.runnableAlone = updated.runnableAlone;
            row.overdue = updated.overdue;
            rowChanged(p);
            changed = true;
        }
    }
    if (changed)
        Q_EMIT countersChanged();
}

ServerListModel::Row ServerListModel::makeRow(const Server &server) const
{
    Row row;
    row.server = server;
    row.folderKey = ServerCheck::folderKey(server.name);
    row.runnableAlone = ServerRules::enabledPathCount(server) > 0 && ServerCheck::problems(server, {}).isEmpty();
    row.overdue = ServerRules::isOverdue(server, m_now());
    return row;
}

bool ServerListModel::runnable(const Row &row, const QHash<QString, int> &folders) const
{
    return row.runnableAlone && folders.value(row.folderKey) == 1;
}

void ServerListModel::syncStates()
{
    QHash<QString, int> folders;
    for (const Row &row : std::as_const(m_rows))
        ++folders[row.folderKey];
    for (int i = 0; i < m_rows.size(); ++i) {
        Row &row = m_rows[i];
        const QUuid &id = row.server.id;
        const bool running = m_activity->isRunning(id);
        const bool canStart = !running && runnable(row, folders);
        const RsyncRunner *here = m_runs->isRunning(id) ? m_runs->runnerFor(id) : nullptr;
        const bool waiting = here && here->isWaitingForSlot();
        if (running == row.running && canStart == row.canStart && bool(here) == row.runningHere
            && waiting == row.waiting)
            continue;
        row.running = running;
        row.canStart = canStart;
        row.runningHere = here;
        row.waiting = waiting;
        rowChanged(i, {RunningRole, CanStartRole, RunningHereRole, MetaRole});
    }
}

void ServerListModel::syncWaiting(const RsyncRunner *runner)
{
    const int at = runner->runningServerID() ? rowOf(*runner->runningServerID()) : -1;
    if (at < 0)
        return;
    Row &row = m_rows[at];
    const bool waiting = row.runningHere && runner->isWaitingForSlot();
    if (waiting == row.waiting)
        return;
    row.waiting = waiting;
    rowChanged(at, {MetaRole});
}
