// SPDX-License-Identifier: GPL-3.0-or-later
// Finding, filtering and ordering the sidebar's servers.
#include "core/presentation/ServerFilterModel.h"

#include "core/presentation/ServerListModel.h"

namespace {

// failing, overdue, never run, healthy
int attentionRank(const QModelIndex &index)
{
    switch (index.data(ServerListModel::ResultRole).toInt()) {
    case 1:
        return 0;
    case 2:
        return 1;
    case -1:
        return 2;
    default:
        return 3;
    }
}

} // namespace

ServerFilterModel::ServerFilterModel(ServerListModel *servers, QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_servers(servers)
{
    setSourceModel(servers);
    // Health and running state change as runs go: rows come and go with them.
    setDynamicSortFilter(true);
    sort(0);
}

void ServerFilterModel::setText(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed == m_text)
        return;
    m_text = trimmed;
    invalidateRowsFilter();
    Q_EMIT filterChanged();
}

void ServerFilterModel::setHealth(Health health)
{
    if (health == m_health)
        return;
    m_health = health;
    invalidateRowsFilter();
    Q_EMIT filterChanged();
}

void ServerFilterModel::setOrder(Order order)
{
    if (order == m_order)
        return;
    m_order = order;
    invalidate();
    Q_EMIT filterChanged();
}

bool ServerFilterModel::matches(Health health, const QModelIndex &index)
{
    switch (health) {
    case Health::all:
        return true;
    case Health::failing:
        return index.data(ServerListModel::ResultRole).toInt() == 1;
    case Health::overdue:
        return index.data(ServerListModel::ResultRole).toInt() == 2;
    case Health::running:
        return index.data(ServerListModel::RunningRole).toBool();
    case Health::notScheduled:
        return !index.data(ServerListModel::ScheduledRole).toBool();
    }
    return true;
}

int ServerFilterModel::count(Health health) const
{
    int n = 0;
    for (int row = 0; row < m_servers->rowCount(); ++row)
        n += matches(health, m_servers->index(row)) ? 1 : 0;
    return n;
}

bool ServerFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    const QModelIndex index = m_servers->index(sourceRow);
    if (!matches(m_health, index))
        return false;
    if (m_text.isEmpty())
        return true;
    const Server &server = m_servers->server(sourceRow);
    return server.name.contains(m_text, Qt::CaseInsensitive) || server.host.contains(m_text, Qt::CaseInsensitive);
}

bool ServerFilterModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    switch (m_order) {
    case Order::configured:
        break;
    case Order::name: {
        const int byName =
            QString::localeAwareCompare(m_servers->server(left.row()).name, m_servers->server(right.row()).name);
        if (byName != 0)
            return byName < 0;
        break;
    }
    case Order::attentionFirst: {
        const int l = attentionRank(left);
        const int r = attentionRank(right);
        if (l != r)
            return l < r;
        break;
    }
    }
    return left.row() < right.row();
}

int ServerFilterModel::sourceRow(int row) const
{
    return mapToSource(index(row, 0)).row();
}

int ServerFilterModel::rowOf(int sourceRow) const
{
    if (sourceRow < 0)
        return -1;
    return mapFromSource(m_servers->index(sourceRow)).row();
}
