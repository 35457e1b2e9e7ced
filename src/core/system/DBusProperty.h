// SPDX-License-Identifier: GPL-3.0-or-later
// Reading one property of a D-Bus object.
#pragma once

#include <QDBusMessage>
#include <QString>
#include <QVariant>

namespace DBusProperty {

// org.freedesktop.DBus.Properties.Get(interface, name) on `path` of `service`.
QDBusMessage get(const QString &service, const QString &path, const QString &interface, const QString &name);
// The value of a Get reply; an invalid variant for an error or no answer.
QVariant valueOf(const QDBusMessage &reply);

} // namespace DBusProperty
