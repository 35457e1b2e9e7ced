// SPDX-License-Identifier: GPL-3.0-or-later
// The preconditions, folders and rsync command lines of a run, decided up front.
#include "core/engine/BackupPlan.h"

#include "core/engine/KeepOptions.h"
#include "core/engine/OutputDecoder.h"
#include "core/engine/Retention.h"
#include "core/engine/RsyncInvocation.h"
#include "core/engine/Snapshots.h"
#include "core/model/ExitCode.h"
#include "core/model/Schedule.h"
#include "core/model/ServerCheck.h"
#include "core/ssh/SSHTester.h"
#include "core/ssh/Shell.h"
#include "core/ssh/TargetCheck.h"
#include "core/system/AppPaths.h"
#include "core/system/Btrfs.h"
#include "core/system/EncryptedFolder.h"
#include "core/system/FileUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

#include <unistd.h>

namespace {

// Trims spaces and tabs but not line ends, as the key path check wants.
QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    auto blank = [](QChar c) { return c.isSpace() && c != u'\n' && c != u'\r'; };
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

std::optional<BackupPlan::Refusal> keyProblem(const QString &keyPath)
{
    if (trimBlanks(keyPath).isEmpty()) {
        return BackupPlan::Refusal{
            {QStringLiteral("!! Private key path is empty — open this server's settings and set the SSH key path, or "
                            "enable “Use ssh-agent”."),
             QStringLiteral(
                 "   (Exported configs strip the key path on purpose; it must be re-entered after import.)")},
            ExitCode::refused};
    }
    if (::access(QFile::encodeName(keyPath).constData(), R_OK) != 0) {
        return BackupPlan::Refusal{
            {QStringLiteral("!! Private key not readable at: ") + keyPath,
             QStringLiteral("   Copy the key to this machine or update the path in this server's settings.")},
            ExitCode::refused};
    }
    return std::nullopt;
}

} // namespace

namespace {

// A run writes into an encrypted destination only through its plaintext
// view, and never puts plain copies beside an encrypted folder's ciphertext.
std::optional<BackupPlan::Refusal> encryptionProblem(const QString &root, const AppSettings &settings)
{
    if (settings.destinationEncrypted && !PlainView::isHeld(root))
        return BackupPlan::Refusal{{QStringLiteral("!! The backup destination “") + settings.destinationPath
                                    + QStringLiteral("” is encrypted and its plaintext view is not open: "
                                                     "nothing was written.")},
                                   ExitCode::notStarted};
    if (!settings.destinationEncrypted && EncryptedFolder::isEncrypted(root))
        return BackupPlan::Refusal{{QStringLiteral("!! The backup destination “") + settings.destinationPath
                                    + QStringLiteral("” holds an encrypted folder (") + EncryptedFolder::configName
                                    + QStringLiteral(") but is not set as encrypted: nothing was written.")},
                                   ExitCode::refused};
    return std::nullopt;
}

} // namespace

BackupPlan::Refusal BackupPlan::destinationFailure(const QString &reason)
{
    return {{QStringLiteral("Failed to create destination: ") + reason}, ExitCode::notStarted};
}

BackupPlan::FreeSpace BackupPlan::checkFreeSpace(qint64 minimumGB, std::optional<double> freeGB)
{
    // Unknown free space (a file system that does not say) lets the run go.
    if (minimumGB <= 0 || !freeGB)
        return {};
    FreeSpace check;
    check.lines << QString::asprintf("Free space at destination: %.2f GB (min required: %lld GB)", *freeGB,
                                     static_cast<long long>(minimumGB));
    if (*freeGB < double(minimumGB))
        check.refusal = Refusal{{QStringLiteral("!! Not enough free space. Aborting.")}, ExitCode::noSpace};
    else
        check.lines << QString();
    return check;
}

tl::expected<BackupPlan::Checked, BackupPlan::Refusal> BackupPlan::check(const Server &server,
                                                                         const AppSettings &settings)
{
    if (std::none_of(server.paths.begin(), server.paths.end(), [](const BackupPath &path) { return path.enabled; }))
        return tl::unexpected(Refusal{{QStringLiteral("No enabled paths.")}, ExitCode::success});
    if (const auto found = ServerCheck::problems(server, settings.servers); !found.isEmpty()) {
        Refusal refusal;
        for (const ServerCheck::Problem &problem : found)
            refusal.lines << QStringLiteral("!! ") + problem.message;
        return tl::unexpected(refusal);
    }
    if (const auto safe = TargetCheck::target(server.host, server.username); !safe)
        return tl::unexpected(Refusal{{QStringLiteral("!! ") + safe.error().message}, ExitCode::refused});

    Checked checked;
    if (!server.useSSHAgent) {
        checked.keyPath = AppPaths::expandTilde(server.privateKeyPath);
        if (auto refusal = keyProblem(checked.keyPath))
            return tl::unexpected(*refusal);
    }
    const QString root = AppPaths::expandTilde(settings.destinationPath);
    if (root.trimmed().isEmpty())
        return tl::unexpected(
            destinationFailure(QStringLiteral("no backup destination folder is set; choose one in Settings")));
    if (!QDir::isAbsolutePath(root)) {
        return tl::unexpected(destinationFailure(
            QStringLiteral("the backup destination “") + settings.destinationPath
            + QStringLiteral("” is not an absolute path; choose a folder such as ~/Backups in Settings")));
    }
    if (auto refusal = encryptionProblem(root, settings))
        return tl::unexpected(*refusal);
    checked.serverFolder = Retention::serverFolder(settings.destinationPath, server);
    return checked;
}

tl::expected<BackupPlan, BackupPlan::Refusal> BackupPlan::prepare(const Server &server, const AppSettings &settings,
                                                                  const QDateTime &now, const RsyncProbe &probe)
{
    return check(server, settings).map([&](const Checked &checked) {
        return prepare(server, settings, checked, now, probe);
    });
}

namespace {

// Where the run writes and what it takes unchanged files from.
struct Folders
{
    std::optional<Snapshots::Backup> base;
    std::optional<Snapshots::Backup> partial;
    bool linked = false;
    // Lines for the log's header about how the day is made.
    QStringList sharingNotes;
};

// Whether the day is a btrfs subvolume, and what it is made from.
void chooseSharing(BackupPlan &plan, const Server &server, Folders &folders)
{
    const bool asked = server.snapshotMethod == QStringLiteral("btrfs");
    if (server.snapshotMethod == QStringLiteral("hardlinks") || !folders.linked)
        return;
    if (!Btrfs::isBtrfs(plan.serverFolder)) {
        if (asked)
            folders.sharingNotes << QStringLiteral("! Snapshots are set to btrfs subvolumes, but ") + plan.serverFolder
                                        + QStringLiteral(" is not on btrfs: this day is made with hard links.");
        return;
    }
    if (QFileInfo(plan.writeFolder).isDir()) {
        // A day under way goes on as it began.
        if (Btrfs::isSubvolume(plan.writeFolder))
            plan.sharing = BackupPlan::Sharing::btrfs;
        return;
    }
    if (folders.base && Btrfs::isSubvolume(folders.base->path)) {
        plan.sharing = BackupPlan::Sharing::btrfs;
        plan.snapshotOf = folders.base->path;
        return;
    }
    if (const QString folder = FileUtil::nearestExistingFolder(plan.serverFolder); !Btrfs::canMakeSubvolumes(folder)) {
        if (asked)
            folders.sharingNotes << QStringLiteral(
                                        "! Snapshots are set to btrfs subvolumes, but this user may not make "
                                        "subvolumes in ")
                                        + folder + QStringLiteral(": this day is made with hard links.");
        return;
    }
    plan.sharing = BackupPlan::Sharing::btrfs;
    plan.linkBase.clear(); // its files are copied, not shared
    if (folders.base)
        folders.sharingNotes << QStringLiteral("The first day in a btrfs subvolume: its files are copied once on this "
                                               "disk from ")
                                    + folders.base->name
                                    + QStringLiteral(", which stays as it is; later days share what did not change.");
}

Folders chooseFolders(BackupPlan &plan, const Server &server, const AppSettings &settings, const QDateTime &now,
                      const RsyncProbe &probe)
{
    Folders folders;
    plan.runFolder = plan.serverFolder;
    plan.writeFolder = plan.serverFolder;
    if (!settings.useDateSubfolder)
        return folders;
    folders.linked = settings.linkToPreviousBackup && probe.supportsLinkDest();
    const QString run = Snapshots::runName(plan.serverFolder, now, Schedule::severalADay(server));
    const Snapshots::Target target = Snapshots::target(plan.serverFolder, run, folders.linked);
    plan.runFolder = target.folder;
    plan.writeFolder = target.writeFolder;
    folders.base = target.base;
    // What an interrupted first copy got is kept: linked, or copied on
    // this disk when snapshots are not to share files.
    if (probe.supportsLinkDest() && !target.replacesComplete())
        folders.partial = target.partial;
    // A second run of the day takes unchanged files from the first:
    // copied on this disk when snapshots are not to share files.
    if (target.replacesComplete() && !probe.supportsLinkDest())
        folders.base.reset();
    if (folders.base && folders.linked)
        plan.linkBase = folders.base->name;
    const std::optional<Snapshots::Backup> previous =
        target.base ? target.base : Snapshots::linkBase(plan.serverFolder, run);
    if (previous) {
        plan.previousFolder = previous->path;
        plan.previousDay = previous->name;
    }
    chooseSharing(plan, server, folders);
    return folders;
}

QStringList openingLines(const BackupPlan &plan, const Server &server, const QStringList &keepNotes,
                         const Folders &folders, bool dated)
{
    QStringList lines{
        QStringLiteral("Destination: ") + plan.runFolder,
        QStringLiteral("SSH: ") + server.username + u'@' + server.host + u':' + QString::number(server.port),
        server.useSSHAgent ? QStringLiteral("Auth: ssh-agent") : QStringLiteral("Key: ") + plan.keyPath, QString()};
    for (qsizetype i = 0; i < keepNotes.size(); ++i)
        lines.insert(3 + i, keepNotes.at(i));
    if (dated) {
        const QStringList sharing =
            QStringList{plan.sharing == BackupPlan::Sharing::btrfs ? QStringLiteral("Snapshots: btrfs subvolumes")
                                                                   : QStringLiteral("Snapshots: hard links")}
            + folders.sharingNotes;
        for (qsizetype i = 0; i < sharing.size(); ++i)
            lines.insert(3 + i, sharing.at(i));
    }
    const std::optional<Snapshots::Backup> &partial = folders.partial;
    if (partial) {
        lines.insert(3, QStringLiteral("The run of ") + partial->name
                            + QStringLiteral(" did not finish: what it copied is taken from there, not sent again."));
    }
    if (plan.replacesComplete()) {
        lines.insert(
            3,
            QStringLiteral("Today's complete snapshot stays as it is until this run succeeds; the new copy is made in ")
                + plan.writeFolder + QStringLiteral(" and then takes its place."));
    }
    return lines;
}

} // namespace

BackupPlan BackupPlan::prepare(const Server &server, const AppSettings &settings, const Checked &checked,
                               const QDateTime &now, const RsyncProbe &probe)
{
    BackupPlan plan;
    plan.rsync = probe.executable;
    plan.serverFolder = checked.serverFolder;
    plan.keyPath = checked.keyPath;
    const Folders folders = chooseFolders(plan, server, settings, now, probe);
    // Owners and extended attributes need a file system that stores user
    // extended attributes: said once here rather than for every file.
    KeepOptions::Local local = KeepOptions::Local::current();
    plan.attributesWork = KeepOptions::checkXattrs(plan.writeFolder).has_value();
    if (server.preserveXattrs || server.preserveOwnership || local.isRoot)
        local.xattrsWork = plan.attributesWork;
    plan.headerLines =
        openingLines(plan, server, KeepOptions::notes(server, probe, local), folders, settings.useDateSubfolder);
    if (settings.destinationEncrypted)
        plan.headerLines.insert(1, QStringLiteral("Encrypted: ") + AppPaths::expandTilde(settings.destinationPath)
                                       + QStringLiteral(" (gocryptfs), written through its plaintext view"));
    plan.transfer = RsyncInvocation::common(server, settings, probe, local);
    plan.transfer.inPlace = plan.sharing == BackupPlan::Sharing::btrfs;
    plan.sshArguments = SSHTester::runArguments(server);
    for (const BackupPath &path : server.paths) {
        if (!path.enabled)
            continue;
        Step step;
        step.path = path;
        step.targetFolder = RsyncInvocation::targetFolder(plan.writeFolder, path);
        if (!plan.previousFolder.isEmpty()
            && QFileInfo(RsyncInvocation::targetFolder(plan.previousFolder, path)).isDir())
            step.previousFolder = RsyncInvocation::targetFolder(plan.previousFolder, path);
        // rsync takes a relative --link-dest from the target folder: always absolute.
        RsyncInvocation::Base earlier;
        // A btrfs day holds the day before already, or is a first one that
        // copies from a hard-linked day (no link reaches across subvolumes).
        earlier.link = folders.linked && plan.sharing == BackupPlan::Sharing::hardLinks;
        const bool fromBase = plan.sharing == BackupPlan::Sharing::hardLinks || plan.snapshotOf.isEmpty();
        if (folders.base && fromBase && QFileInfo(RsyncInvocation::targetFolder(folders.base->path, path)).isDir())
            earlier.folder = RsyncInvocation::targetFolder(folders.base->path, path);
        if (folders.partial && QFileInfo(RsyncInvocation::targetFolder(folders.partial->path, path)).isDir())
            earlier.partialFolder = RsyncInvocation::targetFolder(folders.partial->path, path);
        step.arguments = RsyncInvocation::arguments(plan.transfer, path, step.targetFolder, earlier);
        step.commandLine =
            QStringLiteral("$ ") + OutputDecoder::visible(Shell::displayCommandLine(probe.executable, step.arguments));
        plan.steps.append(step);
    }
    return plan;
}
