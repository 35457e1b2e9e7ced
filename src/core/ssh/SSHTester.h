// SPDX-License-Identifier: GPL-3.0-or-later
// Direct ssh calls and their reports.
#pragma once

#include "core/model/Error.h"

#include "core/model/Server.h"

#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <tl/expected.hpp>

// Direct ssh calls: the connection test and remote commands.
namespace SSHTester {

// Why an ssh call did not succeed; `message` is what the user is shown.
// Why a call did not succeed: invalid (a host or user that could be read as
// an option: nothing started), notStarted (ssh could not be started) or failed
// (ssh, or the remote command, ended with a non-zero status).
using Failure = Error;
// What a call that succeeded wrote, or why it did not succeed.
using Report = tl::expected<QString, Failure>;
// The line the user is shown either way.
QString messageOf(const Report &report);

inline const QString executable = QStringLiteral("/usr/bin/ssh");
inline const QString testCommand = QStringLiteral("echo OK && uname -sr");

// Whether ssh may record a host key nobody has seen. The window shows a new
// key and asks first (strict: ssh refuses unknown keys); a scheduled run
// cannot ask, so it accepts a key on first use and says so in its log.
enum class HostKeyPolicy { acceptNew, strict };
void setHostKeyPolicy(HostKeyPolicy policy);
HostKeyPolicy hostKeyPolicy();
// "StrictHostKeyChecking=accept-new" or "StrictHostKeyChecking=yes".
QString hostKeyOption();
// The same for one server: strict for a server whose host keys the
// configuration holds (see Server::knownHostKeys).
QString hostKeyOption(const Server &server);

QStringList baseArgs(const Server &server, int timeoutSeconds);
// What every ssh of a backup run adds: a 30 s connect time-out and a liveness
// check that gives up on a server silent for a minute.
QStringList runOptions();
// The whole argument list of a remote command; "--" ends ssh's options, so
// nothing after the destination is ever read as one.
QStringList commandArgs(const Server &server, int timeoutSeconds, const QString &command);
// The same for a command that a backup run starts: runArguments() (everything
// up to the command), then the command.
QStringList runArguments(const Server &server);
QStringList runCommandArgs(const Server &server, const QString &command);
// Separate streams: stdout on success, else stderr or "ssh exited with code N".
QCoro::Task<Report> test(Server server, int timeoutSeconds);
// Combined streams; a success exactly when the remote command ended with 0.
QCoro::Task<Report> runRemoteCommand(Server server, QString command, int timeoutSeconds);

// How the report is formed from what ssh wrote and its exit status.
Report separateReport(int status, const QString &out, const QString &err);
Report combinedReport(int status, const QString &out, const QString &err);

// Why ssh refused the server's host key, from what ssh wrote (a run's log
// lines): the key changed since it was trusted, or it was never trusted.
enum class HostKeyRefusal { none, changed, unknown };
HostKeyRefusal hostKeyRefusal(const QStringList &lines);

} // namespace SSHTester
