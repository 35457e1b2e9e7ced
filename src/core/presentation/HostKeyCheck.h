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
    // After a mismatch: the stored key goes, the one shown is trusted.
    void replace(const QString &host, qint64 port);
    // A check whose result comes with `message` (why the key is asked for).
    void ask(const QString &host, qint64 port, const QString &message);
    // Whether the result is about this host and port (a result shown by
    // setStatus() is about any).
    bool isAbout(const QString &host, qint64 port) const;
    // Forgets the result (the host or port it was about changed).
    void clear();
    // Shows a result without scanning (screenshots, tests).
    void setStatus(const HostKeyChecker::Status &status);

Q_SIGNALS:
    void changed();
    // A check or a trust has ended.
    void finished();

private:
    void run(const QString &host, qint64 port);
    void trusted(const QString &host, qint64 port, const HostKeyChecker::ProbeResult &result, const QString &said);

    bool m_checking = false;
    std::optional<QString> m_target; // "host\nport" of the last check
    std::optional<HostKeyChecker::Status> m_status;
    QString m_message;
};
