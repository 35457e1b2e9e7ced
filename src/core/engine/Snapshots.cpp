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

const QByteArray pausedMarkerText = QByteArrayLiteral("paused\n");

bool isComplete(const QString &folder)
{
    return !QFile::exists(folder + u'/' + incompleteMarker);
}

} // namespace

QString dayName(const QDate &day)
{
    return QLocale::c().toString(day, QStringLiteral("yyyy-MM-dd"));
}

QString timedName(const QDateTime &time)
{
    return QLocale::c().toString(time.toLocalTime(), QStringLiteral("yyyy-MM-dd_HHmm"));
}

QDateTime timeOf(const QString &name)
{
    static const QRegularExpression form(QStringLiteral("\\A[0-9]{4}-[0-9]{2}-[0-9]{2}(_[0-9]{4})?\\z"));
    if (!form.match(name).hasMatch())
        return {};
    const QDate day = QDate::fromString(name.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!day.isValid())
        return {};
    if (name.size() == 10)
        return day.startOfDay();
    const QTime time = QTime::fromString(name.mid(11), QStringLiteral("HHmm"));
    return time.isValid() ? QDateTime(day, time) : QDateTime();
}

QDate dateOf(const QString &name)
{
    return timeOf(name).date();
}

bool isSnapshotName(const QString &name)
{
    return timeOf(name).isValid();
}

bool isOf(const QString &name, const QString &request)
{
    return name == request || (request.size() == 10 && name.startsWith(request + u'_') && isSnapshotName(name));
}

QString runName(const QString &serverFolder, const QDateTime &now, bool severalADay)
{
    const QString day = dayName(now.toLocalTime().date());
    if (severalADay)
        return timedName(now);
    const QStringList timed = QDir(serverFolder).entryList({day + QStringLiteral("_*")}, QDir::Dirs);
    const bool anyTimed = std::any_of(timed.begin(), timed.end(), [](const QString &n) { return isSnapshotName(n); });
    return anyTimed ? timedName(now) : day;
}

QList<Backup> list(const QString &serverFolder)
{
    QList<Backup> backups;
    const QDir folder(serverFolder);
    const QStringList names = folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (!isSnapshotName(name))
            continue;
        const QString path = folder.filePath(name);
        backups.append({name, path, isComplete(path)});
    }
    std::sort(backups.begin(), backups.end(), [](const Backup &a, const Backup &b) { return a.name > b.name; });
    return backups;
}

std::optional<Backup> linkBase(const QString &serverFolder, const QString &run)
{
    for (const Backup &backup : list(serverFolder)) {
        if (backup.complete && backup.name < run)
            return backup;
    }
    return std::nullopt;
}

Target target(const QString &serverFolder, const QString &name, bool link)
{
    Target target;
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
        target.base = linkBase(serverFolder, name);
    return target;
}

QStringList recover(const QString &serverFolder, const QString &run)
{
    QStringList done;
    const QDir folder(serverFolder);
    const QStringList hidden =
        folder.entryList({rerunPrefix + u'*', replacedPrefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : hidden) {
        const bool replaced = name.startsWith(replacedPrefix);
        const QString day = name.mid((replaced ? replacedPrefix : rerunPrefix).size());
        if (!isSnapshotName(day))
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
        // another snapshot's second run (or of this one's, with no complete snapshot
        // left to replace): nothing needs them.
        if (!replaced && day == run && QFileInfo(dated).isDir() && isComplete(dated))
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

void markPaused(const QString &runFolder)
{
    if (const auto written = FileUtil::writeAtomically(runFolder + u'/' + incompleteMarker, pausedMarkerText); !written)
        DiagnosticLog::write(QStringLiteral("Could not mark ") + runFolder + QStringLiteral(" as paused: ")
                             + written.error().message);
}

bool isPaused(const QString &folder)
{
    const auto text = FileUtil::readRegularFile(folder + u'/' + incompleteMarker, 64);
    return text && *text && **text == pausedMarkerText;
}

QStringList resumePaused(const QString &serverFolder, const QString &run)
{
    const QList<Backup> backups = list(serverFolder);
    if (backups.isEmpty())
        return {};
    const Backup &newest = backups.first();
    const QString renamed = serverFolder + u'/' + run;
    if (newest.complete || newest.name >= run || !isPaused(newest.path) || QFileInfo::exists(renamed))
        return {};
    if (const auto moved = FileUtil::rename(newest.path, renamed); !moved)
        return {QStringLiteral("! The paused run of ") + newest.name + QStringLiteral(" could not be taken up (")
                + moved.error().message + QStringLiteral("): its files are linked, not sent again.")};
    return {QStringLiteral("Going on with the run of ") + newest.name + QStringLiteral(" that was paused; it becomes ")
            + run + u'.'};
}

} // namespace Snapshots
