// SPDX-License-Identifier: GPL-3.0-or-later
// Reading schedule timers from the systemd user manager over D-Bus.
#include "core/schedule/ScheduleStatus.h"

#include "core/schedule/Scheduler.h"
#include "core/schedule/SystemdManager.h"
#include "core/storage/ConfigStore.h"
#include "core/system/DBusProperty.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QPointer>

#include <qcoro/qcorodbuspendingcall.h>

namespace {

const QString service = QStringLiteral("org.freedesktop.systemd1");

QDBusMessage managerCall(const QString &method)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/systemd1"),
                                                       QStringLiteral("org.freedesktop.systemd1.Manager"), method);
    // The bus's activation file for the manager only runs /bin/false; ask the
    // manager that is there instead of trying to start one.
    call.setAutoStartService(false);
    return call;
}

QDBusMessage propertyCall(const QString &path, const QString &interface, const QString &property)
{
    return DBusProperty::get(service, path, interface, property);
}

bool isNoManager(const QDBusMessage &reply)
{
    static const QStringList names{QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"),
                                   QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner"),
                                   QStringLiteral("org.freedesktop.DBus.Error.Disconnected"),
                                   QStringLiteral("org.freedesktop.DBus.Error.NoReply")};
    return reply.type() == QDBusMessage::ErrorMessage
           && (names.contains(reply.errorName())
               || reply.errorName().startsWith(QStringLiteral("org.freedesktop.DBus.Error.Spawn.")));
}

} // namespace

QString ScheduleStatus::noManagerMessage()
{
    return QCoreApplication::translate("ScheduleStatus",
                                       "No systemd user manager is running for this user; daily runs cannot start. "
                                       "Log in to a desktop session or enable lingering: loginctl enable-linger");
}

ScheduleStatus::ScheduleStatus(ConfigStore *store, const Scheduler *scheduler, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_scheduler(scheduler)
{ }

ScheduleStatus::State ScheduleStatus::state(const QUuid &serverID) const
{
    const Server *server = m_store->settings().server(serverID);
    if (!server || !server->scheduleEnabled)
        return {};
    if (m_scheduler->backend() != Scheduler::Backend::systemd)
        return {State::Kind::working, {}, {}};
    return m_states.value(serverID, State{State::Kind::unknown, {}, {}});
}

void ScheduleStatus::refresh()
{
    forgetUnscheduled();
    for (const Server &server : m_store->settings().servers) {
        if (server.scheduleEnabled)
            refresh(server.id);
    }
}

void ScheduleStatus::refresh(const QUuid &serverID)
{
    const Server *server = m_store->settings().server(serverID);
    if (!server || !server->scheduleEnabled || m_scheduler->backend() != Scheduler::Backend::systemd) {
        if (m_states.remove(serverID))
            Q_EMIT changed(serverID);
        return;
    }
    QCoro::connect(read(serverID, timerUnit(serverID)), this, [] {});
}

QString ScheduleStatus::timerUnit(const QUuid &serverID)
{
    return Scheduler::label(serverID) + QStringLiteral(".timer");
}

QCoro::Task<ScheduleStatus::State> ScheduleStatus::readTimer(QDBusConnection bus, QString unit)
{
    State state{State::Kind::broken, {}, noManagerMessage(), State::Problem::noManager};
    if (!bus.isConnected())
        co_return state;
    QDBusMessage load = managerCall(QStringLiteral("LoadUnit"));
    load << unit;
    const QDBusMessage loaded = co_await bus.asyncCall(load, 5000);
    if (loaded.type() != QDBusMessage::ReplyMessage || loaded.arguments().isEmpty()) {
        if (!isNoManager(loaded)) {
            state.problem = State::Problem::noAnswer;
            state.message = QCoreApplication::translate(
                                "ScheduleStatus", "The systemd user manager did not answer about the daily timer: %1")
                                .arg(loaded.errorMessage());
        }
        co_return state;
    }
    const QString path = loaded.arguments().first().value<QDBusObjectPath>().path();
    const QString unitInterface = QStringLiteral("org.freedesktop.systemd1.Unit");
    const QDBusMessage loadCall = propertyCall(path, unitInterface, QStringLiteral("LoadState"));
    const QDBusMessage loadState = co_await bus.asyncCall(loadCall, 5000);
    const QDBusMessage activeCall = propertyCall(path, unitInterface, QStringLiteral("ActiveState"));
    const QDBusMessage activeState = co_await bus.asyncCall(activeCall, 5000);
    const QDBusMessage nextCall =
        propertyCall(path, QStringLiteral("org.freedesktop.systemd1.Timer"), QStringLiteral("NextElapseUSecRealtime"));
    const QDBusMessage next = co_await bus.asyncCall(nextCall, 5000);
    const QString active = DBusProperty::valueOf(activeState).toString();
    if (DBusProperty::valueOf(loadState).toString() != QStringLiteral("loaded")) {
        state.problem = State::Problem::notInstalled;
        state.message = QCoreApplication::translate("ScheduleStatus",
                                                    "The daily timer is not installed, so no run will start. Turn "
                                                    "the schedule off and on again to install it.");
    } else if (active == QStringLiteral("failed")) {
        state.problem = State::Problem::failed;
        state.message =
            QCoreApplication::translate("ScheduleStatus", "The daily timer has failed. Turn the schedule off and on "
                                                          "again, or see systemctl --user status %1")
                .arg(unit);
    } else if (active != QStringLiteral("active")) {
        state.problem = State::Problem::notRunning;
        state.message =
            QCoreApplication::translate("ScheduleStatus", "The daily timer is installed but not running. Turn the "
                                                          "schedule off and on again to start it.");
    } else {
        state = {State::Kind::working, {}, {}, State::Problem::none};
        const qulonglong usec = DBusProperty::valueOf(next).toULongLong();
        if (usec > 0)
            state.next = QDateTime::fromMSecsSinceEpoch(qint64(usec / 1000));
    }
    co_return state;
}

QCoro::Task<> ScheduleStatus::read(QUuid serverID, QString unit)
{
    QPointer<ScheduleStatus> self(this);
    const int serial = ++m_reads[serverID];
    QDBusConnection bus = m_scheduler->bus();
    if (bus.isConnected()) {
        subscribe(bus);
        // The timer's object path, for its change signals: the manager
        // answers LoadUnit again with the same one.
        QDBusMessage load = managerCall(QStringLiteral("LoadUnit"));
        load << unit;
        const QDBusMessage loaded = co_await bus.asyncCall(load, 5000);
        if (!self)
            co_return;
        if (loaded.type() == QDBusMessage::ReplyMessage && !loaded.arguments().isEmpty())
            m_unitPaths.insert(loaded.arguments().first().value<QDBusObjectPath>().path(), serverID);
    }
    const State state = co_await readTimer(bus, unit);
    if (!self)
        co_return;
    if (m_reads.value(serverID) == serial)
        set(serverID, state);
}

void ScheduleStatus::subscribe(QDBusConnection bus)
{
    if (m_subscribedTo == bus.name())
        return;
    m_subscribedTo = bus.name();
    // Any of the manager's objects: the timers' paths are learnt as they are read.
    bus.connect(SystemdManager::service, QString(), QStringLiteral("org.freedesktop.DBus.Properties"),
                QStringLiteral("PropertiesChanged"), this,
                SLOT(unitChanged(QString, QVariantMap, QStringList, QDBusMessage)));
    for (const QString &signal : {QStringLiteral("Reloading"), QStringLiteral("UnitFilesChanged")})
        bus.connect(SystemdManager::service, SystemdManager::managerPath, SystemdManager::managerInterface, signal,
                    this, SLOT(managerChanged()));
    // The manager sends change signals only while someone has subscribed.
    QDBusMessage subscribe = managerCall(QStringLiteral("Subscribe"));
    bus.asyncCall(subscribe);
}

void ScheduleStatus::unitChanged(const QString &, const QVariantMap &, const QStringList &, const QDBusMessage &message)
{
    if (const auto found = m_unitPaths.constFind(message.path()); found != m_unitPaths.cend())
        refresh(*found);
}

void ScheduleStatus::managerChanged()
{
    refresh();
}

void ScheduleStatus::set(const QUuid &serverID, const State &state)
{
    const State before = m_states.value(serverID);
    m_states.insert(serverID, state);
    if (before.kind != state.kind || before.next != state.next || before.message != state.message)
        Q_EMIT changed(serverID);
}

void ScheduleStatus::forgetUnscheduled()
{
    for (auto it = m_states.begin(); it != m_states.end();) {
        const Server *server = m_store->settings().server(it.key());
        if (!server || !server->scheduleEnabled) {
            const QUuid id = it.key();
            it = m_states.erase(it);
            Q_EMIT changed(id);
        } else {
            ++it;
        }
    }
}
