// SPDX-License-Identifier: GPL-3.0-or-later
// The preconditions, folders and rsync command lines of a run, decided up front.
#include "core/engine/BackupPlan.h"

#include "core/engine/KeepOptions.h"
#include "core/engine/OutputDecoder.h"
#include "core/engine/RsyncInvocation.h"
#include "core/engine/Snapshots.h"
#include "core/model/SafePathComponent.h"
#include "core/model/ServerCheck.h"
#include "core/ssh/Shell.h"
#include "core/ssh/TargetCheck.h"
#include "core/system/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

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
            2};
    }
    if (::access(QFile::encodeName(keyPath).constData(), R_OK) != 0) {
        return BackupPlan::Refusal{
            {QStringLiteral("!! Private key not readable at: ") + keyPath,
             QStringLiteral("   Copy the key to this machine or update the path in this server's settings.")},
            2};
    }
    return std::nullopt;
}

} // namespace

BackupPlan::Refusal BackupPlan::destinationFailure(const QString &reason)
{
    return {{QStringLiteral("Failed to create destination: ") + reason}, -1};
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
        check.refusal = Refusal{{QStringLiteral("!! Not enough free space. Aborting.")}, 28};
    else
        check.lines << QString();
    return check;
}

tl::expected<BackupPlan, BackupPlan::Refusal> BackupPlan::prepare(const Server &server, const AppSettings &settings,
                                                                  const QDate &today, const RsyncProbe &probe)
{
    QList<BackupPath> enabled;
    for (const BackupPath &path : server.paths) {
        if (path.enabled)
            enabled.append(path);
    }
    if (enabled.isEmpty())
        return tl::unexpected(Refusal{{QStringLiteral("No enabled paths.")}, 0});

    if (const auto found = ServerCheck::problems(server, settings.servers); !found.isEmpty()) {
        Refusal refusal;
        for (const ServerCheck::Problem &problem : found)
            refusal.lines << QStringLiteral("!! ") + problem.message;
        return tl::unexpected(refusal);
    }
    if (const auto safe = TargetCheck::target(server.host, server.username); !safe)
        return tl::unexpected(Refusal{{QStringLiteral("!! ") + safe.error()}, 2});

    const QString keyPath = AppPaths::expandTilde(server.privateKeyPath);
    if (!server.useSSHAgent) {
        if (auto refusal = keyProblem(keyPath))
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

    BackupPlan plan;
    plan.rsync = probe.executable;
    const QString serverFolder = QDir::cleanPath(root + u'/' + safePathComponent(server.name));
    plan.serverFolder = serverFolder;
    plan.runFolder = serverFolder;
    plan.writeFolder = serverFolder;
    std::optional<Snapshots::Backup> base;
    std::optional<Snapshots::Backup> partial;
    bool linked = false;
    if (settings.useDateSubfolder) {
        linked = settings.linkToPreviousBackup && probe.supportsLinkDest();
        const Snapshots::Target target = Snapshots::target(serverFolder, today, linked);
        plan.runFolder = target.folder;
        plan.writeFolder = target.writeFolder;
        base = target.base;
        // What an interrupted first copy got is kept: linked, or copied on
        // this disk when snapshots are not to share files.
        if (probe.supportsLinkDest() && !target.replacesComplete())
            partial = target.partial;
        // A second run of the day takes unchanged files from the first:
        // copied on this disk when snapshots are not to share files.
        if (target.replacesComplete() && !probe.supportsLinkDest())
            base.reset();
    }
    if (base && linked)
        plan.linkBase = base->name;
    plan.headerLines = {
        QStringLiteral("Destination: ") + plan.runFolder,
        QStringLiteral("SSH: ") + server.username + u'@' + server.host + u':' + QString::number(server.port),
        server.useSSHAgent ? QStringLiteral("Auth: ssh-agent") : QStringLiteral("Key: ") + keyPath, QString()};
    // Owners and extended attributes need a file system that stores user
    // extended attributes: said once here rather than for every file.
    KeepOptions::Local local = KeepOptions::Local::current();
    if (server.preserveXattrs || server.preserveOwnership || local.isRoot)
        local.xattrsWork = !KeepOptions::xattrProblem(plan.writeFolder).has_value();
    const QStringList keepNotes = KeepOptions::notes(server, probe, local);
    for (qsizetype i = 0; i < keepNotes.size(); ++i)
        plan.headerLines.insert(3 + i, keepNotes.at(i));
    if (partial) {
        plan.headerLines.insert(3, QStringLiteral("The run of ") + partial->name
                                       + QStringLiteral(" did not finish: what it copied is taken from there, not sent "
                                                        "again."));
    }
    if (plan.replacesComplete()) {
        plan.headerLines.insert(
            3,
            QStringLiteral("Today's complete snapshot stays as it is until this run succeeds; the new copy is made in ")
                + plan.writeFolder + QStringLiteral(" and then takes its place."));
    }
    for (const BackupPath &path : std::as_const(enabled)) {
        Step step;
        step.path = path;
        step.targetFolder = RsyncInvocation::targetFolder(plan.writeFolder, path);
        // rsync takes a relative --link-dest from the target folder: always absolute.
        RsyncInvocation::Base earlier;
        earlier.link = linked;
        if (base && QFileInfo(RsyncInvocation::targetFolder(base->path, path)).isDir())
            earlier.folder = RsyncInvocation::targetFolder(base->path, path);
        if (partial && QFileInfo(RsyncInvocation::targetFolder(partial->path, path)).isDir())
            earlier.partialFolder = RsyncInvocation::targetFolder(partial->path, path);
        step.arguments = RsyncInvocation::arguments(server, path, settings, step.targetFolder, probe, earlier, local);
        step.commandLine =
            QStringLiteral("$ ") + OutputDecoder::visible(Shell::displayCommandLine(probe.executable, step.arguments));
        plan.steps.append(step);
    }
    return plan;
}
