// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the server lets this account run its rsync through sudo without a password.
#pragma once

#include "core/model/Server.h"
#include "core/ssh/SSHTester.h"

#include <QString>

#include <qcoro/qcorotask.h>

// Asks the server, over the server's own ssh settings, whether
// `sudo -n <rsync> --version` works, and if not, what to add to sudoers.
namespace SudoCheck {

struct Result
{
    bool works = false;
    QString message;
    // What to add to the server's sudoers when sudo refused; empty otherwise.
    QString sudoersLine;
};

// The one sudoers line that lets `user` run this rsync as root without a password.
QString sudoersLine(const QString &user, const QString &rsyncPath);
// The remote command: prints "path:<rsync>" and then "ok", "nosudo" or "refused:<sudo's first line>".
QString remoteCommand(const Server &server);
// What the answer of remoteCommand() means.
Result interpret(const Server &server, const SSHTester::Report &report);
QCoro::Task<Result> check(Server server, int timeoutSeconds);

} // namespace SudoCheck
