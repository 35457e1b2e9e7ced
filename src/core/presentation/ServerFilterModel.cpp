// SPDX-License-Identifier: GPL-3.0-or-later
// Finding, filtering and ordering the sidebar's servers.
#include "core/presentation/ServerFilterModel.h"

#include "core/presentation/ServerListModel.h"
#include "core/system/AppPaths.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/FileUtil.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QStringList healthNames{QStringLiteral("all"), QStringLiteral("failing"), QStringLiteral("overdue"),
                              QStringLiteral("running"), QStringLiteral("notScheduled")};
const QStringList orderNames{QStringLiteral("configured"), QStringLiteral("name"), QStringLiteral("attentionFirst")};

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

QString ServerFilterModel::folded(const QString &text)
{
    // "Zürich", "ZURICH" and "zur" meet: decomposed, marks dropped, case folded.
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString result;
    result.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            result += c;
    }
    return result.toCaseFolded();
}

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
    m_foldedText = folded(trimmed);
    invalidateRowsFilter();
    Q_EMIT filterChanged();
}

void ServerFilterModel::setHealth(Health health)
{
    if (health == m_health)
        return;
    m_health = health;
    invalidateRowsFilter();
    saveChoice();
    Q_EMIT filterChanged();
}

void ServerFilterModel::holdOrder(bool held)
{
    if (held == !dynamicSortFilter())
        return;
    setDynamicSortFilter(!held);
    if (!held)
        invalidate(); // what changed meanwhile takes its place
}

void ServerFilterModel::setOrder(Order order)
{
    if (order == m_order)
        return;
    m_order = order;
    invalidate();
    saveChoice();
    Q_EMIT filterChanged();
}

QString ServerFilterModel::choiceFile()
{
    return AppPaths::dataFolder() + QStringLiteral("/server-list.json");
}

void ServerFilterModel::loadChoice()
{
    const auto bytes = FileUtil::readRegularFile(choiceFile(), 4096);
    if (!bytes || !*bytes)
        return;
    const QJsonObject object = QJsonDocument::fromJson(**bytes).object();
    const qsizetype health = healthNames.indexOf(object.value(QStringLiteral("show")).toString());
    const qsizetype order = orderNames.indexOf(object.value(QStringLiteral("order")).toString());
    // Set without writing back what was just read.
    m_health = health >= 0 ? Health(health) : Health::all;
    m_order = order >= 0 ? Order(order) : Order::configured;
    invalidate();
    Q_EMIT filterChanged();
}

void ServerFilterModel::saveChoice() const
{
    const QJsonObject object{{QStringLiteral("show"), healthNames.value(int(m_health))},
                             {QStringLiteral("order"), orderNames.value(int(m_order))}};
    FileUtil::makePrivateFolder(AppPaths::dataFolder());
    if (const auto written =
            FileUtil::writeAtomically(choiceFile(), QJsonDocument(object).toJson(QJsonDocument::Compact));
        !written)
        DiagnosticLog::write(QStringLiteral("Could not keep the server list's order: ") + written.error().message);
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
    return folded(server.name).contains(m_foldedText) || folded(server.host).contains(m_foldedText);
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
