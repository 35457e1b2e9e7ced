// SPDX-License-Identifier: GPL-3.0-or-later
// The sidebar's view of the server list: found by text, filtered by health, sorted.
#pragma once

#include <QSortFilterProxyModel>

class ServerListModel;

// Filters the rows of a ServerListModel by a search text (name or host) and
// a health, and orders them; the list model itself is never rebuilt for it.
class ServerFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    enum class Health { all, failing, overdue, running, notScheduled };
    enum class Order {
        configured,     // as the servers are configured
        name,           // by name, then as configured
        attentionFirst, // failing, then overdue, never run, healthy
    };

    explicit ServerFilterModel(ServerListModel *servers, QObject *parent = nullptr);

    void setText(const QString &text);
    QString text() const { return m_text; }
    void setHealth(Health health);
    Health health() const { return m_health; }
    void setOrder(Order order);
    Order order() const { return m_order; }
    bool isFiltering() const { return !m_text.isEmpty() || m_health != Health::all; }

    // How many servers of the whole list have this health (the text aside).
    int count(Health health) const;
    static bool matches(Health health, const QModelIndex &sourceIndex);

    ServerListModel *servers() const { return m_servers; }
    // The list model's row of a row here, and back (-1 when not shown).
    int sourceRow(int row) const;
    int rowOf(int sourceRow) const;

Q_SIGNALS:
    void filterChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    ServerListModel *m_servers;
    QString m_text;
    Health m_health = Health::all;
    Order m_order = Order::configured;
};
