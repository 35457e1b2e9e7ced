// SPDX-License-Identifier: GPL-3.0-or-later
// Checking that the server's rsync runs through sudo without a password.
#include "core/ssh/SudoCheck.h"

#include "core/model/ServerCheck.h"
#include "core/ssh/Shell.h"

#include <QCoreApplication>

namespace SudoCheck {

QString sudoersLine(const QString &user, const QString &rsyncPath)
{
    return user + QStringLiteral(" ALL=(root) NOPASSWD: ") + rsyncPath;
}

QString remoteCommand(const Server &server)
{
    // "-n": sudo fails at once instead of asking.
    const QString rsync =
        server.remoteRsyncPath.isEmpty() ? QStringLiteral("rsync") : Shell::quote(server.remoteRsyncPath);
    return QStringLiteral("p=$(command -v ") + rsync + QStringLiteral(") || p=") + rsync
           + QStringLiteral("; printf 'path:%s\\n' \"$p\"; "
                            "if ! command -v sudo >/dev/null 2>&1; then echo nosudo; "
                            "elif out=$(sudo -n \"$p\" --version 2>&1 </dev/null); then echo ok; "
                            "else printf 'refused:%s\\n' \"$(printf '%s\\n' \"$out\" | head -n 1)\"; fi");
}

Result interpret(const Server &server, const SSHTester::Report &report)
{
    Result result;
    if (!report) {
        result.message = QCoreApplication::translate("SudoCheck", "Could not ask the server about sudo: %1")
                             .arg(report.error().message);
        return result;
    }
    QString path = QStringLiteral("/usr/bin/rsync");
    QString answer;
    for (const QString &line : report->split(u'\n')) {
        if (line.startsWith(QStringLiteral("path:")) && line.size() > 5)
            path = line.mid(5).trimmed();
        else if (line == QStringLiteral("ok") || line == QStringLiteral("nosudo")
                 || line.startsWith(QStringLiteral("refused:")))
            answer = line;
    }
    if (answer == QStringLiteral("ok")) {
        result.works = true;
        result.message =
            QCoreApplication::translate("SudoCheck", "sudo runs %1 on the server without a password.").arg(path);
    } else if (answer == QStringLiteral("nosudo")) {
        result.message = QCoreApplication::translate(
            "SudoCheck", "The server has no sudo: install it, or turn off “Run with sudo on the server”.");
    } else {
        const QString said = answer.mid(QStringLiteral("refused:").size()).trimmed();
        result.message =
            said.isEmpty()
                ? QCoreApplication::translate("SudoCheck",
                                              "sudo on the server would not run rsync without a password. Add this "
                                              "line on the server with “visudo -f /etc/sudoers.d/tidewell”:")
                : QCoreApplication::translate("SudoCheck",
                                              "sudo on the server would not run rsync without a password (%1). Add "
                                              "this line on the server with “visudo -f /etc/sudoers.d/tidewell”:")
                      .arg(said);
        result.sudoersLine = sudoersLine(server.username, path);
    }
    return result;
}

QCoro::Task<Result> check(Server server, int timeoutSeconds)
{
    for (const ServerCheck::Problem &problem : ServerCheck::problems(server, {})) {
        if (problem.field == ServerCheck::Problem::Field::remoteRsync)
            co_return Result{false, problem.shown, QString()};
    }
    const QString command = remoteCommand(server);
    const SSHTester::Report report = co_await SSHTester::runRemoteCommand(server, command, timeoutSeconds);
    co_return interpret(server, report);
}

} // namespace SudoCheck
