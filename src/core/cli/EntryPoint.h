// SPDX-License-Identifier: GPL-3.0-or-later
// The choice between a headless run and the window, made from the command line.
#pragma once

#include "core/cli/ServerCommand.h"

#include <QDate>
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
    bool nagios = false;      // with status: the monitoring-plugin line
    bool listServers = false; // --servers [--json]
    // Servers are named by their id, or by their name when no other server
    // has it (see ServerReference): as typed here, found when the
    // configuration is read.
    // The server of a headless run: "--run-backup ID" or "--run-backup=ID".
    std::optional<QString> runBackup;
    std::optional<QString> reportFailure;
    // --verify-remote SERVER [--date D]; no date: the newest complete day
    struct VerifyRemote
    {
        QString server;
        std::optional<QString> date; // a snapshot's name, or a day
    };
    std::optional<VerifyRemote> verifyRemote;
    // --verify SERVER [--date D | --all] [--sample N%]; neither: the newest complete day
    struct Verify
    {
        QString server;
        std::optional<QString> date; // a snapshot's name, or a day
        bool all = false;
        int samplePercent = 100;
    };
    std::optional<Verify> verify;
    // --accept-changes SERVER
    std::optional<QString> acceptChanges;
    // --remove-server SERVER
    std::optional<QString> removeServer;
    // --export FILE; --import FILE [--replace] [--dry-run]
    std::optional<QString> exportFile;
    struct Import
    {
        QString file;
        bool replace = false;
        bool dryRun = false;
    };
    std::optional<Import> import;
    // --add-server NAME --host HOST [--port N] [--user U] [--key PATH | --agent]
    //   [--path REMOTE[=NAME]]... [--exclude PATTERN]... [--daily HH:MM]
    //   [--keep N] [--keep-weekly N] [--keep-monthly N]
    std::optional<ServerCommand::NewServer> addServer;
    // --set SERVER KEY=VALUE...; --set-path SERVER PATH KEY=VALUE...
    struct SetServer
    {
        QString server;
        std::optional<QString> path;
        QStringList assignments;
    };
    std::optional<SetServer> setServer;
    // --check without --apply: the overdue check a timer starts
    bool overdueCheck = false;
    bool runOverdue = false;
    // --pause SERVER: the server's running backup, in whichever process
    std::optional<QString> pause;
    // --metrics FILE: the metrics written there once
    std::optional<QString> metrics;
    // --apply FILE [--check] [--prune]
    struct Apply
    {
        QString file;
        bool check = false;
        bool prune = false;
    };
    std::optional<Apply> apply;
    // --copy TARGET [--server SERVER]
    struct Copy
    {
        QString target;
        QString server; // empty: every server the target takes
    };
    std::optional<Copy> copy;
    // --list-backups SERVER [--from TARGET]
    // --encrypt-destination: the --passphrase-file given (empty: none).
    std::optional<QString> encryptDestination;
    QString encryptTarget; // --target: a second copy's folder instead

    std::optional<QString> listBackups;
    // --from TARGET: with --list-backups and --restore, a second copy instead of the destination
    std::optional<QString> from;
    // --restore SERVER --date D --item PATH… (--to FOLDER | --to-server [FOLDER]) [--dry-run] [--keep-special]
    struct Restore
    {
        QString server;
        QString date; // a snapshot's name ("yyyy-MM-dd_HHmm"), or a day: its newest snapshot
        QStringList items;
        std::optional<QString> toLocal;
        bool toServer = false;
        std::optional<QString> serverFolder; // another remote folder than the items' own
        bool dryRun = false;
        bool allowIncomplete = false;
        // Devices, FIFOs and setuid files come back as they were (root only).
        bool keepSpecial = false;
        QString from; // a second copy instead of the destination
    };
    std::optional<Restore> restore;
    // Why the command line cannot be followed (a "--run-backup" without a
    // server id): said on one line, and the program exits with 2.
    QString usageError;
    QStringList unknownOptions; // as typed, e.g. "--frobnicate"

    // Nothing but the window asked for (unknown options aside).
    bool wantsWindow() const;
};
Options parse(const QStringList &arguments);

QString helpText();
QString versionText();
// The one line printed for options Tidewell does not know; empty for none.
QString unknownOptionsWarning(const QStringList &unknownOptions);

} // namespace EntryPoint
