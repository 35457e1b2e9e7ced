// SPDX-License-Identifier: GPL-3.0-or-later
// The systemd user manager over D-Bus, asked asynchronously.
#pragma once

#include "core/model/Error.h"
#include <QDBusConnection>
#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <tl/expected.hpp>

// The calls Tidewell makes to the systemd user manager
// (org.freedesktop.systemd1 on the session bus). Each is asynchronous: the
// caller is suspended, never blocked, until the manager answers. A failure
// carries the manager's own error message.
class SystemdManager
{
public:
    explicit SystemdManager(const QDBusConnection &bus);

    // Whether a user manager answers on this bus at all.
    QCoro::Task<bool> isReachable() const;
    QCoro::Task<tl::expected<void, Error>> reload() const;
    QCoro::Task<tl::expected<void, Error>> enableUnitFile(QString unit) const;
    QCoro::Task<tl::expected<void, Error>> disableUnitFile(QString unit) const;
    QCoro::Task<tl::expected<void, Error>> restartUnit(QString unit) const;
    // Starts the unit unless it is running already (a job of its own: does not wait for it).
    QCoro::Task<tl::expected<void, Error>> startUnit(QString unit) const;
    QCoro::Task<tl::expected<void, Error>> stopUnit(QString unit) const;

    static const QString service;
    static const QString managerPath;
    static const QString managerInterface;

private:
    QCoro::Task<tl::expected<void, Error>> call(QString method, QVariantList arguments) const;

    QDBusConnection m_bus;
};
