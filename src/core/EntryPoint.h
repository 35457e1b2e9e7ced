// SPDX-License-Identifier: GPL-3.0-or-later
// The choice between a headless run and the window, made from the command line.
#pragma once

#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

namespace EntryPoint {

// What the command line asks for. Options Tidewell does not know are not
// errors: the window starts and one line names them.
struct Options
{
    bool help = false;
    bool version = false;
    bool status = false;
    bool json = false;
    // The server of a headless run: "--run-backup ID" or "--run-backup=ID".
    std::optional<QUuid> runBackup;
    // Why the command line cannot be followed (a "--run-backup" without a
    // server id): said on one line, and the program exits with 2.
    QString usageError;
    QStringList unknownOptions; // as typed, e.g. "--frobnicate"
};
Options parse(const QStringList &arguments);

QString helpText();
QString versionText();
// The one line printed for options Tidewell does not know; empty for none.
QString unknownOptionsWarning(const QStringList &unknownOptions);

} // namespace EntryPoint
