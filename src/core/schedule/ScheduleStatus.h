// SPDX-License-Identifier: GPL-3.0-or-later
// What each daily schedule really is: read from the systemd user manager.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <QUuid>

#include <qcoro/qcorotask.h>

class ConfigStore;
class Scheduler;

// The state of every scheduled server's timer, as the systemd user manager
// reports it over D-Bus (org.freedesktop.systemd1 on the scheduler's bus,
// the session bus): its load and active state and its next elapse. A
// schedule that is switched on but whose timer is missing, failed or
// unreachable is not working, and says what to do. Nothing is polled: once a
// timer has been read, the manager's change signals (a unit's
// PropertiesChanged, a reload, changed unit files) read it again. On launchd
// builds nothing is read: a schedule counts as working.
class ScheduleStatus : public QObject
{
    Q_OBJECT

public:
    struct State
    {
        enum class Kind { notScheduled, unknown, working, broken };
        // Why a broken schedule is: its timer is missing or stopped, or it
        // failed, or no user manager answers at all.
        enum class Problem { none, notInstalled, notRunning, failed, noManager, noAnswer };
        Kind kind = Kind::notScheduled;
        QDateTime next;  // the timer's next run, when working
        QString message; // what is wrong and what to do, when broken
        Problem problem = Problem::none;
    };

    static QString noManagerMessage();

    ScheduleStatus(ConfigStore *store, const Scheduler *scheduler, QObject *parent = nullptr);

    State state(const QUuid &serverID) const;
    bool isWorking(const QUuid &serverID) const { return state(serverID).kind == State::Kind::working; }

    // One timer as the user manager on `bus` has it, read once (no
    // subscription), for a process that only looks (tidewell --status).
    static QCoro::Task<State> readTimer(QDBusConnection bus, QString unit);
    // The timer unit of a server's schedule.
    static QString timerUnit(const QUuid &serverID);

    // Reads every scheduled server's timer again (asynchronously).
    void refresh();
    void refresh(const QUuid &serverID);

Q_SIGNALS:
    // The state of this server's schedule changed.
    void changed(const QUuid &serverID);

private Q_SLOTS:
    void unitChanged(const QString &interface, const QVariantMap &changed, const QStringList &invalidated,
                     const QDBusMessage &message);
    void managerChanged();

private:
    QCoro::Task<> read(QUuid serverID, QString unit);
    // Asks the manager for its change signals, once per bus connection.
    void subscribe(QDBusConnection bus);
    void set(const QUuid &serverID, const State &state);
    void forgetUnscheduled();

    ConfigStore *m_store;
    const Scheduler *m_scheduler;
    QHash<QUuid, State> m_states;
    QHash<QUuid, int> m_reads;         // newest read per server; older answers are dropped
    QHash<QString, QUuid> m_unitPaths; // the timer's object path, per server read
    QString m_subscribedTo;            // the bus connection whose signals arrive
};
