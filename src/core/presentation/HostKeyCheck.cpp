// SPDX-License-Identifier: GPL-3.0-or-later
// Running host key checks and trusts for the editor.
#include "core/presentation/HostKeyCheck.h"

#include <QCoreApplication>

#include <qcoro/qcorotask.h>

void HostKeyCheck::check(const QString &host, qint64 port)
{
    m_message.clear();
    run(host, port);
}

void HostKeyCheck::ask(const QString &host, qint64 port, const QString &message)
{
    m_message = message;
    run(host, port);
}

void HostKeyCheck::run(const QString &host, qint64 port)
{
    m_checking = true;
    m_target = host + u'\n' + QString::number(port);
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
    // Only the key the user was shown is trusted.
    std::optional<HostKeyChecker::Fingerprint> seen;
    if (m_status && m_status->live)
        seen = *m_status->live;
    QCoro::connect(HostKeyChecker::trust(host, port, seen), this,
                   [this, host, port](const HostKeyChecker::ProbeResult &result) {
                       trusted(host, port, result,
                               QCoreApplication::translate("HostKeyCheck", "Host key added to ~/.ssh/known_hosts."));
                   });
}

void HostKeyCheck::replace(const QString &host, qint64 port)
{
    if (!m_status || !m_status->live)
        return;
    m_message.clear();
    Q_EMIT changed();
    QCoro::connect(HostKeyChecker::replace(host, port, *m_status->live), this,
                   [this, host, port](const HostKeyChecker::ProbeResult &result) {
                       trusted(host, port, result,
                               QCoreApplication::translate("HostKeyCheck",
                                                           "The old host key was removed and the new one trusted."));
                   });
}

void HostKeyCheck::trusted(const QString &host, qint64 port, const HostKeyChecker::ProbeResult &result,
                           const QString &said)
{
    if (result) {
        // The check runs again; the message stays with its result.
        m_message = said;
        run(host, port);
        return;
    }
    m_message = QCoreApplication::translate("HostKeyCheck", "Failed to trust host: %1").arg(result.error().message);
    Q_EMIT changed();
    Q_EMIT finished();
}

bool HostKeyCheck::isAbout(const QString &host, qint64 port) const
{
    return !m_target || *m_target == host + u'\n' + QString::number(port);
}

void HostKeyCheck::clear()
{
    if (!m_status && m_message.isEmpty())
        return;
    m_status.reset();
    m_message.clear();
    Q_EMIT changed();
}

void HostKeyCheck::setStatus(const HostKeyChecker::Status &status)
{
    m_target.reset();
    m_status = status;
    Q_EMIT changed();
}
