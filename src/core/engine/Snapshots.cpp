// SPDX-License-Identifier: GPL-3.0-or-later
// Listing dated backup folders and marking the one a run is writing.
#include "core/engine/Snapshots.h"

#include "core/system/DiagnosticLog.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

namespace Snapshots {

QList<Backup> list(const QString &serverFolder)
{
    static const QRegularExpression dateName(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    QList<Backup> backups;
    const QDir folder(serverFolder);
    const QStringList names = folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (!dateName.match(name).hasMatch())
            continue;
        const QString path = folder.filePath(name);
        backups.append({name, path, !QFile::exists(path + u'/' + incompleteMarker)});
    }
    std::sort(backups.begin(), backups.end(), [](const Backup &a, const Backup &b) { return a.name > b.name; });
    return backups;
}

std::optional<Backup> linkBase(const QString &serverFolder, const QDate &today)
{
    const QString todayName = QLocale::c().toString(today, QStringLiteral("yyyy-MM-dd"));
    for (const Backup &backup : list(serverFolder)) {
        if (backup.complete && backup.name < todayName)
            return backup;
    }
    return std::nullopt;
}

void markIncomplete(const QString &runFolder)
{
    QFile marker(runFolder + u'/' + incompleteMarker);
    if (!marker.open(QIODevice::WriteOnly))
        DiagnosticLog::write(QStringLiteral("Could not mark ") + runFolder + QStringLiteral(" as incomplete: ") + marker.errorString());
}

void markComplete(const QString &runFolder)
{
    QFile::remove(runFolder + u'/' + incompleteMarker);
}

} // namespace Snapshots
