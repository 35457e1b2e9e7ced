// SPDX-License-Identifier: GPL-3.0-or-later
// Making an SSH key and putting it on a server, for users without a terminal.
#pragma once

#include "core/model/Error.h"
#include "core/model/Server.h"

#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <tl/expected.hpp>

// A key made with ssh-keygen, installed with ssh-copy-id (the password given
// through AskpassServer), and the questions the editor asks about a key: is
// it there, does it need a passphrase, does ssh-agent hold any key.
namespace KeySetup {

inline const QString keygenExecutable = QStringLiteral("/usr/bin/ssh-keygen");
inline const QString copyIdExecutable = QStringLiteral("/usr/bin/ssh-copy-id");
inline const QString addExecutable = QStringLiteral("/usr/bin/ssh-add");

enum class KeyState {
    missing,    // no file at the path
    ready,      // a private key that opens without a passphrase
    passphrase, // a private key that needs its passphrase (ssh-agent's job)
    unreadable, // anything else: `detail` says what ssh-keygen said
};
struct Inspection
{
    KeyState state = KeyState::missing;
    QString detail;
};
// The key at `keyPath` ("~/" is the home folder).
QCoro::Task<Inspection> inspect(QString keyPath);

enum class AgentState { hasKeys, empty, absent };
// What `ssh-add -l` says about this session's agent.
QCoro::Task<AgentState> agentState();

// "tidewell@<this computer's name>".
QString keyComment();
// An ed25519 key without a passphrase at `keyPath`, and its .pub; the
// folder is made (0700) when missing. A file already there is never
// overwritten: that is an error.
QCoro::Task<tl::expected<void, Error>> createKey(QString keyPath);

// What ssh-copy-id is given: the public key, the port, options that never
// trust an unseen host key and ask for the password once, and "--" before
// the account.
QStringList copyIdArguments(const Server &server, const QString &publicKey);
// Adds the server's key (its .pub beside it, made from the private key when
// missing) to the account's authorized_keys. `askpassProgram` is what ssh
// starts for the password (Tidewell itself); ends within a minute.
QCoro::Task<tl::expected<void, Error>> installKey(Server server, QString password, QString askpassProgram);

} // namespace KeySetup
