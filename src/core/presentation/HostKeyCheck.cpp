// SPDX-License-Identifier: GPL-3.0-or-later
// Running host key checks and trusts for the editor.
#include "core/presentation/HostKeyCheck.h"

#include <qcoro/qcorotask.h>

void HostKeyCheck::check(const QString &host, qint64 port)
{
    m_message.clear();
    run(host, port);
}

void HostKeyCheck::run(const QString &host, qint64 port)
{
    m_checking = true;
    Q_EMIT changed();
    QCoro::connect(HostKeyChecker::check(host, port), this, [this](const HostKeyChecker::Status &status) {
        m_checking = false;
        m_status = status;
        Q_EMIT changed();
        Q_EMIT finished();
    });
}

void HostKeyCheck::trust(const QString &host, qint64 port)
{
    m_message.clear();
    Q_EMIT changed();
    QCoro::connect(HostKeyChecker::trust(host, port), this,
                   [this, host, port](const HostKeyChecker::ProbeResult &result) {
                       if (result) {
                           // The check runs again; the message stays with its result.
                           m_message = QStringLiteral("Host key added to ~/.ssh/known_hosts.");
                           run(host, port);
                           return;
                       }
                       m_message = QStringLiteral("Failed to trust host: ") + result.error().description();
                       Q_EMIT changed();
                       Q_EMIT finished();
                   });
}

void HostKeyCheck::setStatus(const HostKeyChecker::Status &status)
{
    m_status = status;
    Q_EMIT changed();
}
