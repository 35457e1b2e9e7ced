// SPDX-License-Identifier: GPL-3.0-or-later
// Listing dated backup folders, choosing where a run writes, and swapping a
// second run of a day in only when it succeeded.
#include "core/engine/Snapshots.h"

#include "core/system/DiagnosticLog.h"
#include "core/system/FileUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

namespace Snapshots {

namespace {

bool isDayName(const QString &name)
{
    static const QRegularExpression dateName(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    return dateName.match(name).hasMatch();
}

bool isComplete(const QString &folder)
{
    return !QFile::exists(folder + u'/' + incompleteMarker);
}

} // namespace

QString dayName(const QDate &day)
{
    return QLocale::c().toString(day, QStringLiteral("yyyy-MM-dd"));
}

QList<Backup> list(const QString &serverFolder)
{
    QList<Backup> backups;
    const QDir folder(serverFolder);
    const QStringList names = folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (!isDayName(name))
            continue;
        const QString path = folder.filePath(name);
        backups.append({name, path, isComplete(path)});
    }
    std::sort(backups.begin(), backups.end(), [](const Backup &a, const Backup &b) { return a.name > b.name; });
    return backups;
}

std::optional<Backup> linkBase(const QString &serverFolder, const QDate &today)
{
    const QString todayName = dayName(today);
    for (const Backup &backup : list(serverFolder)) {
        if (backup.complete && backup.name < todayName)
            return backup;
    }
    return std::nullopt;
}

Target target(const QString &serverFolder, const QDate &today, bool link)
{
    Target target;
    const QString name = dayName(today);
    target.folder = serverFolder + u'/' + name;
    target.writeFolder = target.folder;
    const QFileInfo existing(target.folder);
    if (existing.isDir() && isComplete(target.folder)) {
        // That day's snapshot stays as it is until this run has succeeded;
        // whatever it holds unchanged is linked (or copied) from it.
        target.writeFolder = serverFolder + u'/' + rerunPrefix + name;
        target.base = Backup{name, target.folder, true};
        return target;
    }
    for (const Backup &backup : list(serverFolder)) {
        if (backup.name >= name)
            continue;
        if (backup.complete)
            break;
        target.partial = backup; // the newest earlier day, when it is incomplete
        break;
    }
    if (link)
        target.base = linkBase(serverFolder, today);
    return target;
}

QStringList recover(const QString &serverFolder, const QDate &today)
{
    QStringList done;
    const QDir folder(serverFolder);
    const QString todayName = dayName(today);
    const QStringList hidden =
        folder.entryList({rerunPrefix + u'*', replacedPrefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : hidden) {
        const bool replaced = name.startsWith(replacedPrefix);
        const QString day = name.mid((replaced ? replacedPrefix : rerunPrefix).size());
        if (!isDayName(day))
            continue;
        const QString path = folder.filePath(name);
        const QString dated = folder.filePath(day);
        if (replaced && !QFileInfo::exists(dated)) {
            // Killed between the two renames of a swap: the earlier snapshot goes back.
            if (const auto renamed = FileUtil::rename(path, dated); renamed)
                done << QStringLiteral("Restored the snapshot ") + dated
                            + QStringLiteral(" that an interrupted run had moved aside.");
            else
                done << QStringLiteral("Could not restore ") + path + QStringLiteral(" to ") + dated
                            + QStringLiteral(": ") + renamed.error().message;
            continue;
        }
        // A replaced copy whose successor is in place, or the work folder of
        // another day's second run (or of today's, with no complete snapshot
        // left to replace): nothing needs them.
        if (!replaced && day == todayName && QFileInfo(dated).isDir() && isComplete(dated))
            continue; // the next second run of today goes on from there
        if (const auto removed = FileUtil::removeTree(path); removed)
            done << QStringLiteral("Removed ") + path + QStringLiteral(", left by an interrupted run.");
        else
            done << QStringLiteral("Could not remove ") + path + QStringLiteral(": ") + removed.error().message;
    }
    return done;
}

tl::expected<void, Error> replace(const Target &target)
{
    if (!target.replacesComplete())
        return {};
    const QFileInfo folder(target.folder);
    const QString aside = folder.absolutePath() + u'/' + replacedPrefix + folder.fileName();
    if (const auto cleared = FileUtil::removeTree(aside); !cleared)
        return tl::unexpected(cleared.error());
    const auto exchanged = FileUtil::exchange(target.writeFolder, target.folder);
    if (!exchanged)
        return tl::unexpected(exchanged.error());
    QString earlier = aside;
    if (*exchanged) {
        // The earlier copy now has the work folder's name, which a later
        // second run would go on from: out of the way first.
        if (!FileUtil::rename(target.writeFolder, aside))
            earlier = target.writeFolder;
    } else {
        // Two renames; a run killed between them is put right by recover().
        if (const auto moved = FileUtil::rename(target.folder, aside); !moved)
            return tl::unexpected(moved.error());
        if (const auto moved = FileUtil::rename(target.writeFolder, target.folder); !moved) {
            FileUtil::rename(aside, target.folder);
            return tl::unexpected(moved.error());
        }
    }
    if (const auto removed = FileUtil::removeTree(earlier); !removed)
        DiagnosticLog::write(QStringLiteral("Could not delete the replaced snapshot ") + earlier + QStringLiteral(": ")
                             + removed.error().message);
    return {};
}

void markIncomplete(const QString &runFolder)
{
    QFile marker(runFolder + u'/' + incompleteMarker);
    if (!marker.open(QIODevice::WriteOnly))
        DiagnosticLog::write(QStringLiteral("Could not mark ") + runFolder + QStringLiteral(" as incomplete: ")
                             + marker.errorString());
}

void markComplete(const QString &runFolder)
{
    QFile::remove(runFolder + u'/' + incompleteMarker);
}

} // namespace Snapshots
