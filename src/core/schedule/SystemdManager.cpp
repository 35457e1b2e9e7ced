// SPDX-License-Identifier: GPL-3.0-or-later
// Asynchronous calls to the systemd user manager's D-Bus interface.
#include "core/schedule/SystemdManager.h"

#include <QDBusMessage>
#include <QDBusPendingCall>

#include <qcoro/qcorodbuspendingcall.h>

const QString SystemdManager::service = QStringLiteral("org.freedesktop.systemd1");
const QString SystemdManager::managerPath = QStringLiteral("/org/freedesktop/systemd1");
const QString SystemdManager::managerInterface = QStringLiteral("org.freedesktop.systemd1.Manager");

namespace {

// A reload can take a while on a busy system; no call waits longer than this.
constexpr int callTimeoutMs = 60000;

} // namespace

SystemdManager::SystemdManager(const QDBusConnection &bus)
    : m_bus(bus)
{ }

QCoro::Task<bool> SystemdManager::isReachable() const
{
    if (!m_bus.isConnected())
        co_return false;
    QDBusMessage ask =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << service;
    const QDBusMessage reply = co_await m_bus.asyncCall(ask, 5000);
    co_return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
        && reply.arguments().first().toBool();
}

QCoro::Task<tl::expected<void, Error>> SystemdManager::call(QString method, QVariantList arguments) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, managerPath, managerInterface, method);
    // Ask the manager that is there: the bus's activation file for it only runs /bin/false.
    message.setAutoStartService(false);
    message.setArguments(arguments);
    const QDBusMessage reply = co_await m_bus.asyncCall(message, callTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        co_return tl::unexpected(
            Error::failed(reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage()));
    co_return tl::expected<void, Error>();
}

QCoro::Task<tl::expected<void, Error>> SystemdManager::reload() const
{
    const QVariantList none;
    co_return co_await call(QStringLiteral("Reload"), none);
}

QCoro::Task<tl::expected<void, Error>> SystemdManager::enableUnitFile(QString unit) const
{
    // Not for this boot only; replace links that are in the way.
    const QVariantList arguments{QStringList{unit}, false, true};
    co_return co_await call(QStringLiteral("EnableUnitFiles"), arguments);
}

QCoro::Task<tl::expected<void, Error>> SystemdManager::disableUnitFile(QString unit) const
{
    const QVariantList arguments{QStringList{unit}, false};
    co_return co_await call(QStringLiteral("DisableUnitFiles"), arguments);
}

QCoro::Task<tl::expected<void, Error>> SystemdManager::restartUnit(QString unit) const
{
    const QVariantList arguments{unit, QStringLiteral("replace")};
    co_return co_await call(QStringLiteral("RestartUnit"), arguments);
}

QCoro::Task<tl::expected<void, Error>> SystemdManager::startUnit(QString unit) const
{
    const QVariantList arguments{unit, QStringLiteral("replace")};
    co_return co_await call(QStringLiteral("StartUnit"), arguments);
}

QCoro::Task<tl::expected<void, Error>> SystemdManager::stopUnit(QString unit) const
{
    const QVariantList arguments{unit, QStringLiteral("replace")};
    co_return co_await call(QStringLiteral("StopUnit"), arguments);
}
