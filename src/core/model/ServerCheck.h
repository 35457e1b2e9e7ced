// SPDX-License-Identifier: GPL-3.0-or-later
// Why a server cannot be backed up as configured, field by field.
#pragma once

#include "core/model/Error.h"
#include "core/model/Phrase.h"
#include "core/model/Server.h"

#include <QList>
#include <QString>
#include <QUuid>

// Problems that make a run of a server unsafe or pointless: a blank host or
// user name, an enabled path without a remote path, two enabled paths that
// would share a target folder, or another server that would share the
// server's folder. Folder names are compared without regard to case, as
// exFAT and NTFS backup drives do. (Remote paths may hold any character:
// everything that reaches the server's shell is quoted, see Shell::quote.)
namespace ServerCheck {

struct Problem
{
    enum class Field { name, host, port, username, key, path, ciphers, remoteRsync, localCommand };
    Field field;
    QUuid pathID;    // for path problems
    QString message; // English, as logs write it
    QString shown;   // in the user's language, for the window
    // A member of the configuration file that was wrong (Server::unreadable).
    bool inFile = false;
};

QList<Problem> problems(const Server &server, const QList<Server> &allServers);
// The problems `after` has among `allAfter` that it had not as `before`
// among `allBefore` (none: a new server), in the user's language: what a
// change made from the command line or a fleet file must not bring.
QStringList introducedProblems(const Server *before, const QList<Server> &allBefore, const Server &after,
                               const QList<Server> &allAfter);
// Why ssh, rsync or ssh-keyscan would misread a host or user name (as an
// option, as two arguments, as a local path or as another user): code
// invalid, the message in English. A host holds letters, digits and ".-_:[]%"
// (names, IPv4 and IPv6 addresses); a user name no "/", ":", "\\", "," nor
// white space.
tl::expected<void, Error> checkHost(const QString &host);
tl::expected<void, Error> checkUser(const QString &username);
// The server's folder name as the comparison above sees it (case folded).
QString folderKey(const QString &name);

} // namespace ServerCheck
