// Direct ssh calls and their reports.
#pragma once

#include "core/model/Server.h"

#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

// Direct ssh calls: the connection test and remote commands.
namespace SSHTester {

struct Report
{
    bool ok = false;
    QString message;
};

inline const QString executable = QStringLiteral("/usr/bin/ssh");
inline const QString testCommand = QStringLiteral("echo OK && uname -sr");

QStringList baseArgs(const Server &server, int timeoutSeconds);
// Separate streams: stdout on success, else stderr or "ssh exited with code N".
QCoro::Task<Report> test(Server server, int timeoutSeconds);
// Combined streams; ok exactly when the remote command ended with 0.
QCoro::Task<Report> runRemoteCommand(Server server, QString command, int timeoutSeconds);

// How the report is formed from what ssh wrote and its exit status.
Report separateReport(int status, const QString &out, const QString &err);
Report combinedReport(int status, const QString &out, const QString &err);

} // namespace SSHTester
