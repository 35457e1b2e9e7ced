// SPDX-License-Identifier: GPL-3.0-or-later
// Tells the user, once a day per server, that a scheduled backup is overdue.
#pragma once

#include "core/model/Server.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QTimer>
#include <QUuid>

#include <functional>

class ConfigStore;

// Looks at every server when started and then every hour; for each server
// that is overdue (see ServerRules::isOverdue) posts one desktop notification
// a day. When more than `summaryAbove` servers are overdue or failing at
// once, one notification says how many instead ("⚠ 7 servers need
// attention"), with an action that shows them. The days already told are
// kept in the data folder, so a restart the same day says nothing again.
class OverdueWatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int intervalMs = 60 * 60 * 1000;
    static constexpr int summaryAbove = 3;

    explicit OverdueWatch(ConfigStore *store, QObject *parent = nullptr);

    void start();
    // Posts what is due now; returns the servers it told about.
    QList<QUuid> check();

    // "⚠ web-01 — no successful backup for 3 days".
    static QString noticeText(const Server &server, const QDateTime &now);
    // "⚠ 7 servers need attention", and the first few names.
    static QString summaryText(const QStringList &names);
    static QString noticesFile();

    void setNowForTesting(std::function<QDateTime()> now) { m_now = std::move(now); }

Q_SIGNALS:
    // The summary's "Show" was chosen: these servers need a look.
    void attentionRequested(const QList<QUuid> &serverIDs);

private Q_SLOTS:
    void actionInvoked(uint id, const QString &action);

private:
    void loadNotices();
    void saveNotices() const;

    ConfigStore *m_store;
    QTimer m_timer;
    QHash<QUuid, QDate> m_told;            // the last day each server was told about
    QHash<uint, QList<QUuid>> m_summaries; // posted summaries and their servers
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };
};
