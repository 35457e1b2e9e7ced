// Pruning a server's old dated backup folders.
#include "core/engine/Retention.h"

#include "core/model/SafePathComponent.h"
#include "core/system/AppPaths.h"
#include "core/system/DiagnosticLog.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

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
    static const QRegularExpression dateName(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));

    const QDir folder(serverFolder(destinationPath, server));
    if (!folder.exists())
        return {};
    QStringList candidates;
    const QFileInfoList entries = folder.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (entry.fileName().startsWith(u'.'))
            continue;
        if (entry.isDir() && dateName.match(entry.fileName()).hasMatch())
            candidates.append(entry.fileName());
    }
    std::sort(candidates.begin(), candidates.end(), std::greater<>());

    QStringList deleted;
    for (qsizetype i = keep; i < candidates.size(); ++i) {
        const QString path = folder.filePath(candidates.at(i));
        QString error;
        if (removeEntry(path, &error))
            deleted.append(path);
        else
            DiagnosticLog::write(QStringLiteral("Retention: failed to delete ") + path + QStringLiteral(": ") + error);
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

} // namespace Retention
