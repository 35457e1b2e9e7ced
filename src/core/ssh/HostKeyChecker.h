// SPDX-License-Identifier: GPL-3.0-or-later
// A server's host key against ~/.ssh/known_hosts.
#pragma once

#include "core/model/Server.h"

#include "core/model/Error.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <tl/expected.hpp>

#include <optional>

// Scans a server's host key, compares it with ~/.ssh/known_hosts and, on
// request, trusts it there. All fingerprint work is done by OpenSSH's tools.
namespace HostKeyChecker {

struct Fingerprint
{
    QString keyType; // "ED25519", "ECDSA", "RSA", …
    QString sha256;  // "SHA256:…" as ssh-keygen prints it
    friend bool operator==(const Fingerprint &, const Fingerprint &) = default;
};

// Why a host key could not be had or trusted: invalid (a host that could be
// read as an option), notStarted (ssh-keyscan or ssh-keygen), unreachable…
using ProbeError = Error;

// The server's fingerprint, or why it could not be had.
using ProbeResult = tl::expected<Fingerprint, ProbeError>;

struct Status
{
    enum class State { trusted, unknown, mismatch, unreachable };

    struct Classified
    {
        State state;
        Fingerprint live;
        Fingerprint known;
        QString reason; // unreachable
    };

    std::optional<Fingerprint> live;
    std::optional<Fingerprint> known;
    std::optional<QString> error;

    Classified state() const;
    friend bool operator==(const Status &, const Status &) = default;
};

inline const QString keyscanExecutable = QStringLiteral("/usr/bin/ssh-keyscan");
inline const QString keygenExecutable = QStringLiteral("/usr/bin/ssh-keygen");

// ssh's own file: ~/.ssh/known_hosts of the account's passwd entry (ssh
// reads that home, whatever $HOME says).
QString knownHostsFile();
// Test-only: another file, which every ssh is then given as its
// UserKnownHostsFile too (empty: ssh's own again).
void setKnownHostsFileForTesting(const QString &path);
// The ssh options that name that file; none unless a test set one.
QStringList knownHostsOptions();
// The same for one server: for a server with knownHostKeys, a known-hosts
// file of its own holding just those lines (written when it differs), so
// that ssh checks the server against them and never against, or into,
// ~/.ssh/known_hosts; otherwise knownHostsOptions().
QStringList knownHostsOptions(const Server &server);
// Where that file is.
QString fleetKnownHostsFile(const QUuid &serverID);
// The host as known_hosts records it: "[host]:port" unless the port is 22.
QString hostPattern(const QString &host, qint64 port);
QList<Fingerprint> parseFingerprints(const QString &text);
// ED25519, then ECDSA, RSA, DSA; else the first one.
std::optional<Fingerprint> preferred(const QList<Fingerprint> &fingerprints);

QCoro::Task<ProbeResult> liveFingerprint(QString host, qint64 port);
// What known_hosts holds for the server (two short local ssh-keygen runs,
// waited for without blocking).
QCoro::Task<std::optional<Fingerprint>> knownHostFingerprint(QString host, qint64 port);
// Appends the server's current keys to known_hosts, then scans again. With
// `seen`, only when the server still presents the key the user was shown: a
// key that changed in between is refused, never trusted unseen.
QCoro::Task<ProbeResult> trust(QString host, qint64 port, std::optional<Fingerprint> seen = std::nullopt);
// After a mismatch the user checked: removes every entry known_hosts has
// for the server (hashed or not, with ssh-keygen -R) and trusts the key it
// presents now, which must be `seen` (the new key the user was shown).
QCoro::Task<ProbeResult> replace(QString host, qint64 port, Fingerprint seen);
// The scan and the lookup together, as the editor shows them.
QCoro::Task<Status> check(QString host, qint64 port);

} // namespace HostKeyChecker
