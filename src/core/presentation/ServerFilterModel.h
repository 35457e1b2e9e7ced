// SPDX-License-Identifier: GPL-3.0-or-later
// The sidebar's view of the server list: found by text, filtered by health, sorted.
#pragma once

#include <QSortFilterProxyModel>

class ServerListModel;

// Filters the rows of a ServerListModel by a search text (name or host, in
// any case and with or without accents) and a health, and orders them; the
// list model itself is never rebuilt for it.
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
    // While held (the pointer is over the list), runs that end change the
    // rows' health but do not move them; let go, they take their places.
    void holdOrder(bool held);
    // The text as the search compares it: case and accents folded.
    static QString folded(const QString &text);
    bool isFiltering() const { return !m_text.isEmpty() || m_health != Health::all; }
    // The chosen health and order are kept for the next start in this file
    // (the search text is not); a missing or unreadable one means the defaults.
    static QString choiceFile();
    void loadChoice();

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
    void saveChoice() const;

    ServerListModel *m_servers;
    QString m_text;
    QString m_foldedText;
    Health m_health = Health::all;
    Order m_order = Order::configured;
};
