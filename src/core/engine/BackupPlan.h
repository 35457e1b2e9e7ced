// SPDX-License-Identifier: GPL-3.0-or-later
// The decisions a run makes before it touches anything.
#pragma once

#include "core/engine/RsyncInvocation.h"
#include "core/engine/RsyncProbe.h"
#include "core/model/AppSettings.h"
#include "core/model/BackupPath.h"
#include "core/model/Server.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

#include <tl/expected.hpp>

// What a run of one server will do, decided before anything is touched: the
// run folder, the lines that open the log, and each enabled path with its
// target folder and rsync arguments. When the run must not start, the lines
// that say why and its exit code instead. Reads the file system (the key's
// readability, the earlier snapshots) but never changes it, apart from a
// hidden btrfs subvolume made and removed at once to learn whether this
// user may make them there.
struct BackupPlan
{
    struct Step
    {
        BackupPath path;
        QString targetFolder;
        // The path's folder in `previousFolder`; empty when it has none.
        QString previousFolder;
        QStringList arguments;
        QString commandLine; // the "$ " line
    };

    // Also the run without enabled paths, which ends at once with 0.
    struct Refusal
    {
        QStringList lines;
        int exitCode = 2;
    };

    // What a run may start from, checked before anything is touched (and
    // before what a killed run left half done is put right).
    struct Checked
    {
        // The server's folder at the destination, only this user's (0700).
        QString serverFolder;
        // The private key ("~" expanded); empty with the ssh agent.
        QString keyPath;
    };

    QString rsync;
    QString serverFolder;
    QString keyPath;
    // The folder the run makes: the server's folder, or its dated folder.
    QString runFolder;
    // Where rsync writes: the run folder, or beside it when that is a
    // complete snapshot of today (see Snapshots::target).
    QString writeFolder;
    // The earlier snapshot unchanged files are hard-linked to (its date), if any.
    QString linkBase;
    // The complete copy the run's changes are measured against (see
    // ChangeHold): the link base, or without links the newest complete day
    // before this run's; with its name. Empty without one.
    QString previousFolder;
    QString previousDay;
    bool replacesComplete() const { return writeFolder != runFolder; }
    // How the day shares what did not change with the day before (see
    // Server::snapshotMethod): hard links, or a btrfs subvolume.
    enum class Sharing { hardLinks, btrfs };
    Sharing sharing = Sharing::hardLinks;
    // With btrfs, when `writeFolder` is still to be made: the complete day
    // it is made a snapshot of; empty: it is made a new empty subvolume.
    QString snapshotOf;
    // The destination's file system keeps user extended attributes: the
    // copies' fingerprints go there, otherwise into the server's manifest.
    bool attributesWork = true;
    // What every path's rsync shares: the transfer and Keep options, the
    // remote shell with the key.
    RsyncInvocation::Common transfer;
    // ssh's arguments up to the command, for the pre-backup commands.
    QStringList sshArguments;
    QStringList headerLines;
    QList<Step> steps;

    // The enabled paths, the server's settings, the key and the destination.
    static tl::expected<Checked, Refusal> check(const Server &server, const AppSettings &settings);
    static BackupPlan prepare(const Server &server, const AppSettings &settings, const Checked &checked,
                              const QDateTime &now, const RsyncProbe &probe);
    // check() and prepare() in one.
    static tl::expected<BackupPlan, Refusal> prepare(const Server &server, const AppSettings &settings,
                                                     const QDateTime &now, const RsyncProbe &probe);
    // The refusal of a run whose folder cannot be created.
    static Refusal destinationFailure(const QString &reason);

    // The free space at the run folder against Settings' minimum (0: not
    // checked): the log's lines, and the refusal when there is too little.
    struct FreeSpace
    {
        QStringList lines;
        std::optional<Refusal> refusal;
    };
    static FreeSpace checkFreeSpace(qint64 minimumGB, std::optional<double> freeGB);
};
