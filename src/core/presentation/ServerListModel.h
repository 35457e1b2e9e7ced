// SPDX-License-Identifier: GPL-3.0-or-later
// The configured servers as a list model for the sidebar, the dashboard and the tray.
#pragma once

#include "core/model/Server.h"
#include "core/presentation/ServerRules.h"

#include <QAbstractListModel>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QTimer>

class ConfigStore;
class RsyncRunner;
class RunPool;
class ScheduleStatus;
class ServerActivity;

// One row per server, in configuration order, with what the windows show of
// it. Kept in step with the store, this process's runs, runs of other processes and
// the schedules; every change signals only the rows it touches (dataChanged
// for one edited server, rowsInserted for an added one), so views update in
// place instead of rebuilding.
class ServerListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        RunningRole,         // bool: backed up now, here or by another process
        CanStartRole,        // bool: its start controls are enabled
        MetaRole,            // QString: the sidebar's second line
        ResultRole,          // int: -1 never ran, 0 last run succeeded, 1 failed, 2 overdue
        ScheduledRole,       // bool: the daily schedule is switched on
        ScheduleProblemRole, // QString: why the schedule does not work; empty when it does
        RunningHereRole,     // bool: backed up now by this process (its run can be shown)
    };

    ServerListModel(ConfigStore *store, RunPool *runs, ServerActivity *activity, ScheduleStatus *schedules,
                    QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    const Server &server(int row) const { return m_rows.at(row).server; }
    // -1 when there is no such server.
    int rowOf(const QUuid &id) const { return m_index.value(id, -1); }
    bool isRunning(int row) const { return m_rows.at(row).running; }
    bool canStart(int row) const { return m_rows.at(row).canStart; }
    bool isRunningHere(int row) const { return m_rows.at(row).runningHere; }
    bool isWaiting(int row) const { return m_rows.at(row).waiting; }
    QString scheduleProblem(int row) const;
    // The dashboard's counters; "Scheduled" counts working schedules only.
    ServerRules::Counters counters() const;

    // Relative times ("5 minutes ago") move on: signals the rows that show one.
    void refreshRelativeTimes();
    void setNow(std::function<QDateTime()> now)
    {
        m_now = std::move(now);
        refreshRelativeTimes();
    }
    QDateTime now() const { return m_now(); }

Q_SIGNALS:
    void countersChanged();

private:
    struct Row
    {
        Server server;
        QString folderKey;
        bool runnableAlone = false; // has enabled paths and nothing that stops a run
        bool overdue = false;       // as of the last look at the clock
        bool running = false;
        bool canStart = false;
        bool runningHere = false;
        bool waiting = false; // for a free run slot
    };

    // A row for this server, with what is worked out from it alone.
    Row makeRow(const Server &server) const;

    void syncServers();
    void syncStates();
    // Whether the run of this runner's server waits for a free slot.
    void syncWaiting(const RsyncRunner *runner);
    void rowChanged(int row, const QList<int> &roles = {});
    void reindex();
    bool runnable(const Row &row, const QHash<QString, int> &folders) const;

    ConfigStore *m_store;
    RunPool *m_runs;
    ServerActivity *m_activity;
    ScheduleStatus *m_schedules;
    QList<Row> m_rows;
    QHash<QUuid, int> m_index;
    QTimer m_schedulesCounted;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };
};
