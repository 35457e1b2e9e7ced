// SPDX-License-Identifier: GPL-3.0-or-later
// The state of the editor's host key check, apart from the widgets that show it.
#pragma once

#include "core/ssh/HostKeyChecker.h"

#include <QObject>
#include <QString>

#include <optional>

// Checks a server's host key (scan and known_hosts lookup) and trusts it on
// request. A check replaces the status when it ends (the old one stays
// visible meanwhile) and clears the last trust message; after a successful
// trust the check runs again and keeps the message.
class HostKeyCheck : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    bool isChecking() const { return m_checking; }
    std::optional<HostKeyChecker::Status> status() const { return m_status; }
    QString message() const { return m_message; }

    void check(const QString &host, qint64 port);
    void trust(const QString &host, qint64 port);
    // Shows a result without scanning (screenshots, tests).
    void setStatus(const HostKeyChecker::Status &status);

Q_SIGNALS:
    void changed();
    // A check or a trust has ended.
    void finished();

private:
    void run(const QString &host, qint64 port);

    bool m_checking = false;
    std::optional<HostKeyChecker::Status> m_status;
    QString m_message;
};
