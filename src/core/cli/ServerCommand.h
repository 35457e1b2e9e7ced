// SPDX-License-Identifier: GPL-3.0-or-later
// tidewell --add-server, --set and --set-path: servers changed from the command line.
#pragma once

#include <QString>
#include <QStringList>

namespace ServerCommand {

// A server to add: its name, members as KEY=VALUE (see ServerFields), and
// its paths as "REMOTE" or "REMOTE=NAME" (named after the remote path's
// last part when no name is given), each with `excludes`.
struct NewServer
{
    QString name;
    QStringList assignments;
    QStringList paths;
    QStringList excludes;
};

// Each command checks the server as the editor does and refuses a change
// that would give it a problem it did not have (exit 2, nothing written);
// otherwise it saves the configuration, says each change on one line and
// installs or removes the daily schedule to match (exit 1 when that failed).

// Prints the new server's id on standard output, and what was done on
// standard error.
int add(const NewServer &request);
int set(const QString &server, const QStringList &assignments);
// Settings of all servers ("metricsFile=/var/lib/node_exporter/tidewell.prom").
int setSettings(const QStringList &assignments);
// The path is named by its name, or its id.
int setPath(const QString &server, const QString &path, const QStringList &assignments);

} // namespace ServerCommand
