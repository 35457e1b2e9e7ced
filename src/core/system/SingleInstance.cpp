// SPDX-License-Identifier: GPL-3.0-or-later
// Claiming org.tidewell.Tidewell, or handing over to the process that has it.
#include "core/system/SingleInstance.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

#include <unistd.h>

const QString SingleInstance::serviceName = QStringLiteral("org.tidewell.Tidewell");
const QString SingleInstance::objectPath = QStringLiteral("/org/tidewell/Tidewell");

SingleInstance::SingleInstance(QObject *parent)
    : QObject(parent)
{ }

SingleInstance::~SingleInstance()
{
    if (m_connection.isEmpty())
        return;
    QDBusConnection bus(m_connection);
    bus.unregisterObject(objectPath);
    bus.unregisterService(serviceName);
}

SingleInstance::Claim SingleInstance::claim(QDBusConnection bus)
{
    if (!bus.isConnected()) {
        m_problem = QStringLiteral("no session bus");
        return Claim::alone;
    }
    // The object is there before the name, so a start that finds the name
    // can always reach it.
    if (!bus.registerObject(objectPath, this, QDBusConnection::ExportScriptableSlots)) {
        m_problem = QStringLiteral("the object path is taken");
        return Claim::alone;
    }
    // Twice: the owner may quit between our attempt and our call.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (bus.registerService(serviceName)) {
            m_connection = bus.name();
            return Claim::first;
        }
        // Whoever holds the name must be this user's and say it showed its
        // window; anything else (a program squatting on the name) is no
        // reason to start without one.
        if (const QDBusReply<uint> owner = bus.interface()->serviceUid(serviceName);
            owner.isValid() && owner.value() != ::getuid()) {
            m_problem = QStringLiteral("%1 is held by another user's program").arg(serviceName);
            break;
        }
        const QDBusMessage call =
            QDBusMessage::createMethodCall(serviceName, objectPath, serviceName, QStringLiteral("ShowMainWindow"));
        const QDBusMessage reply = bus.call(call, QDBus::Block, handOverTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage) {
            if (reply.arguments().size() == 1 && reply.arguments().constFirst().toBool()) {
                bus.unregisterObject(objectPath);
                return Claim::handedOver;
            }
            m_problem = QStringLiteral("the program holding %1 on the session bus answered, but is no Tidewell "
                                       "window")
                            .arg(serviceName);
            break;
        }
        m_problem = QStringLiteral("the Tidewell window that is open did not answer within %1 s (")
                        .arg(handOverTimeoutMs / 1000)
                    + reply.errorMessage() + u')';
        if (reply.errorName() != QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"))
            break;
    }
    bus.unregisterObject(objectPath);
    return Claim::alone;
}

bool SingleInstance::ShowMainWindow()
{
    // Connected directly: the window is shown when this returns.
    Q_EMIT showRequested();
    return true;
}
