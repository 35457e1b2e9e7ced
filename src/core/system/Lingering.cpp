// SPDX-License-Identifier: GPL-3.0-or-later
// Asking logind whether the user manager outlives the sessions.
#include "core/system/Lingering.h"

#include "core/system/DBusProperty.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

#include <qcoro/qcorodbuspendingcall.h>

#include <pwd.h>
#include <unistd.h>

namespace Lingering {

namespace {

const QString service = QStringLiteral("org.freedesktop.login1");
constexpr int timeoutMs = 5000;

QDBusMessage propertyOf(const QString &path, const QString &name)
{
    return DBusProperty::get(service, path, QStringLiteral("org.freedesktop.login1.User"), name);
}

// Display is "(so)": a graphical session's id and path, "/" for none.
bool hasGraphicalSession(const QVariant &display)
{
    if (!display.canConvert<QDBusArgument>())
        return false;
    const QDBusArgument argument = display.value<QDBusArgument>();
    QString id;
    QDBusObjectPath path;
    argument.beginStructure();
    argument >> id >> path;
    argument.endStructure();
    return !path.path().isEmpty() && path.path() != QStringLiteral("/");
}

} // namespace

QCoro::Task<bool> timersNeedALogin(QDBusConnection systemBus)
{
    if (!systemBus.isConnected())
        co_return false;
    QDBusMessage getUser =
        QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/login1"),
                                       QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("GetUser"));
    getUser << uint(::getuid());
    const QDBusPendingCall userCall = systemBus.asyncCall(getUser, timeoutMs);
    const QDBusMessage user = co_await userCall;
    if (user.type() != QDBusMessage::ReplyMessage || user.arguments().isEmpty())
        co_return false;
    const QString path = user.arguments().constFirst().value<QDBusObjectPath>().path();
    const QDBusPendingCall lingerCall = systemBus.asyncCall(propertyOf(path, QStringLiteral("Linger")), timeoutMs);
    const QDBusMessage linger = co_await lingerCall;
    const QVariant lingers = DBusProperty::valueOf(linger);
    if (!lingers.isValid() || lingers.toBool())
        co_return false;
    const QDBusPendingCall displayCall = systemBus.asyncCall(propertyOf(path, QStringLiteral("Display")), timeoutMs);
    const QDBusMessage display = co_await displayCall;
    co_return !hasGraphicalSession(DBusProperty::valueOf(display));
}

QString advice()
{
    const passwd *entry = ::getpwuid(::getuid());
    const QString user = entry ? QString::fromLocal8Bit(entry->pw_name) : QStringLiteral("$USER");
    return QCoreApplication::translate("Lingering",
                                       "Timers run only while you are logged in: run `loginctl enable-linger %1`")
        .arg(user);
}

} // namespace Lingering
