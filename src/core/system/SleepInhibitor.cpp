// SPDX-License-Identifier: GPL-3.0-or-later
// org.freedesktop.login1.Manager.Inhibit("sleep", "Tidewell", why, "block").
#include "core/system/SleepInhibitor.h"

#include <QDBusMessage>
#include <QDBusPendingCall>

#include <qcoro/qcorodbuspendingcall.h>

#include <fcntl.h>

namespace {

constexpr int timeoutMs = 3000;

} // namespace

QCoro::Task<SleepInhibitor> SleepInhibitor::take(QDBusConnection systemBus, QString why)
{
    SleepInhibitor inhibitor;
    if (!systemBus.isConnected())
        co_return inhibitor;
    QDBusMessage inhibit = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    inhibit << QStringLiteral("sleep") << QStringLiteral("Tidewell") << why << QStringLiteral("block");
    const QDBusPendingCall call = systemBus.asyncCall(inhibit, timeoutMs);
    const QDBusMessage reply = co_await call;
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
        inhibitor.m_descriptor = reply.arguments().constFirst().value<QDBusUnixFileDescriptor>();
    // rsync, ssh and a lingering connection master must not hold it past the run.
    if (inhibitor.m_descriptor.isValid())
        (void)::fcntl(inhibitor.m_descriptor.fileDescriptor(), F_SETFD, FD_CLOEXEC);
    co_return inhibitor;
}
