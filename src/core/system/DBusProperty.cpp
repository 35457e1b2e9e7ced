// SPDX-License-Identifier: GPL-3.0-or-later
// org.freedesktop.DBus.Properties.Get, asked and read.
#include "core/system/DBusProperty.h"

#include <QDBusVariant>

namespace DBusProperty {

QDBusMessage get(const QString &service, const QString &path, const QString &interface, const QString &name)
{
    QDBusMessage ask = QDBusMessage::createMethodCall(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    ask << interface << name;
    return ask;
}

QVariant valueOf(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

} // namespace DBusProperty
