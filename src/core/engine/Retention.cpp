// SPDX-License-Identifier: GPL-3.0-or-later
// Pruning a server's old dated backup folders.
#include "core/engine/Retention.h"

#include "core/engine/Snapshots.h"
#include "core/model/SafePathComponent.h"
#include "core/system/AppPaths.h"
#include "core/system/DiagnosticLog.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>

namespace Retention {

QString serverFolder(const QString &destinationPath, const Server &server)
{
    return AppPaths::expandTilde(destinationPath) + u'/' + safePathComponent(server.name);
}

static bool removeEntry(const QString &path, QString *error)
{
    namespace fs = std::filesystem;
    std::error_code code;
    const fs::path target(path.toStdString());
    // remove_all deletes a symbolic link itself, not what it points to.
    fs::remove_all(target, code);
    if (code) {
        *error = QString::fromStdString(code.message());
        return false;
    }
    return true;
}

QStringList prune(const QString &destinationPath, const Server &server)
{
    const qint64 keep = server.retentionCount;
    if (keep < 1)
        return {};
    const QList<Snapshots::Backup> backups = Snapshots::list(serverFolder(destinationPath, server));
    // Only complete folders count as kept backups; an incomplete one older
    // than the newest complete folder is no use any more.
    const auto newestComplete = std::find_if(backups.begin(), backups.end(), [](const Snapshots::Backup &b) { return b.complete; });
    qint64 completeSeen = 0;
    QStringList deleted;
    for (const Snapshots::Backup &backup : backups) {
        const bool remove = backup.complete ? ++completeSeen > keep
                                            : newestComplete != backups.end() && backup.name < newestComplete->name;
        if (!remove)
            continue;
        QString error;
        if (removeEntry(backup.path, &error))
            deleted.append(backup.path);
        else
            DiagnosticLog::write(QStringLiteral("Retention: failed to delete ") + backup.path + QStringLiteral(": ") + error);
    }
    return deleted;
}

QStringList report(const QStringList &pruned, qint64 keep)
{
    if (pruned.isEmpty())
        return {QStringLiteral("Retention: nothing to prune (keeping last ") + QString::number(keep) + QStringLiteral(").")};
    QStringList lines{QStringLiteral("Retention: pruned ") + QString::number(pruned.size()) + QStringLiteral(" older backup(s):")};
    for (const QString &folder : pruned)
        lines << QStringLiteral("  - ") + QFileInfo(folder).fileName();
    return lines;
}

QStringList afterRun(const Server &server, const AppSettings &settings)
{
    // Only dated folders are pruned, and only when runs create them.
    if (server.retentionCount < 1 || !settings.useDateSubfolder)
        return {};
    return report(prune(settings.destinationPath, server), server.retentionCount);
}

} // namespace Retention
