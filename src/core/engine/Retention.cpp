// SPDX-License-Identifier: GPL-3.0-or-later
// Pruning a server's old dated backup folders by day, week and month.
#include "core/engine/Retention.h"

#include "core/engine/Snapshots.h"
#include "core/model/SafePathComponent.h"
#include "core/system/AppPaths.h"
#include "core/system/EncryptedFolder.h"
#include "core/system/FileUtil.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace Retention {

namespace {

// Whole ISO weeks (Monday to Sunday) from `day`'s week to `today`'s.
qint64 weeksBetween(const QDateTime &time, const QDateTime &now)
{
    const QDate day = time.date();
    const QDate today = now.date();
    const QDate monday = day.addDays(1 - day.dayOfWeek());
    const QDate thisMonday = today.addDays(1 - today.dayOfWeek());
    return monday.daysTo(thisMonday) / 7;
}

qint64 monthsBetween(const QDateTime &time, const QDateTime &now)
{
    const QDate day = time.date();
    const QDate today = now.date();
    return (qint64(today.year()) * 12 + today.month()) - (qint64(day.year()) * 12 + day.month());
}

// Whole clock hours from `time`'s hour to `now`'s.
qint64 hoursBetween(const QDateTime &time, const QDateTime &now)
{
    const auto hourOf = [](const QDateTime &t) { return QDateTime(t.date(), QTime(t.time().hour(), 0)); };
    return hourOf(time).secsTo(hourOf(now)) / 3600;
}

// Per period (an hour, a week or a month counted back from now), the newest
// complete snapshot in it, for the last `periods` periods; `backups` newest first.
template<typename Distance>
QStringList newestPerPeriod(const QList<Snapshots::Backup> &backups, const QDateTime &now, qint64 periods,
                            Distance distance)
{
    QStringList kept;
    QSet<qint64> seen;
    for (const Snapshots::Backup &backup : backups) {
        const QDateTime time = Snapshots::timeOf(backup.name);
        if (!backup.complete || !time.isValid())
            continue;
        const qint64 ago = distance(time, now);
        if (ago < 0 || ago >= periods || seen.contains(ago))
            continue;
        seen.insert(ago);
        kept << backup.name;
    }
    return kept;
}

// The newest complete snapshot of each of the newest `days` days that have
// one: with one snapshot a day, the newest `days` snapshots.
QSet<QString> newestOfDays(const QList<Snapshots::Backup> &backups, qint64 days)
{
    QSet<QString> kept;
    QSet<QDate> seen;
    for (const Snapshots::Backup &backup : backups) {
        const QDate day = Snapshots::dateOf(backup.name);
        if (!backup.complete || seen.contains(day) || qint64(seen.size()) >= days)
            continue;
        seen.insert(day);
        kept.insert(backup.name);
    }
    return kept;
}

} // namespace

QString serverFolder(const QString &destinationPath, const Server &server)
{
    // An encrypted destination is read and written in its plaintext view.
    return QDir::cleanPath(PlainView::through(QDir::cleanPath(AppPaths::expandTilde(destinationPath))) + u'/'
                           + safePathComponent(server.name));
}

Decision decide(const QList<Snapshots::Backup> &all, const Server &server, const QDateTime &now)
{
    Decision decision;
    // The snapshot of a run starting now, of either form, is never deleted.
    const QStringList current{Snapshots::dayName(now.date()), Snapshots::timedName(now)};
    QList<Snapshots::Backup> backups;
    for (const Snapshots::Backup &backup : all) {
        if (Snapshots::timeOf(backup.name) > now && !current.contains(backup.name))
            decision.ignored << backup.name;
        else
            backups << backup;
    }

    QString newestComplete;
    for (const Snapshots::Backup &backup : std::as_const(backups)) {
        if (backup.complete) {
            newestComplete = backup.name;
            break;
        }
    }
    QSet<QString> kept = newestOfDays(backups, server.retentionCount);
    const std::pair<qint64, QStringList *> tiers[] = {{server.keepWeekly, &decision.keptWeekly},
                                                      {server.keepMonthly, &decision.keptMonthly}};
    for (const QString &name : newestPerPeriod(backups, now, server.keepHourly, hoursBetween))
        kept.insert(name);
    for (std::size_t tier = 0; tier < std::size(tiers); ++tier) {
        const auto distance = tier == 0 ? weeksBetween : monthsBetween;
        for (const QString &name : newestPerPeriod(backups, now, tiers[tier].first, distance)) {
            if (!kept.contains(name))
                *tiers[tier].second << name;
            kept.insert(name);
        }
    }

    for (const Snapshots::Backup &backup : std::as_const(backups)) {
        if (kept.contains(backup.name) || current.contains(backup.name) || backup.name == newestComplete)
            continue;
        // An incomplete folder newer than every complete one may still be
        // finished; older ones are no use any more.
        if (!backup.complete && (newestComplete.isEmpty() || backup.name > newestComplete))
            continue;
        decision.doomed << backup;
    }
    return decision;
}

Outcome prune(const QString &folder, const Server &server, const QDateTime &now)
{
    if (server.retentionCount < 1)
        return {};
    return pruneAsDecided(folder, server, now);
}

Outcome pruneAsDecided(const QString &folder, const Server &server, const QDateTime &now)
{
    Outcome outcome;
    // What an earlier prune could not finish deleting is tried again, and
    // reported again while it takes space.
    const QDir serverDir(folder);
    for (const QString &name :
         serverDir.entryList({Snapshots::deletingPrefix + u'*'},
                             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (const auto removed = FileUtil::removeTree(serverDir.filePath(name)); !removed)
            outcome.failed << Failure{name.mid(Snapshots::deletingPrefix.size()), removed.error().message};
    }
    const Decision decision = decide(Snapshots::list(folder), server, now);
    outcome.ignored = decision.ignored;
    outcome.keptWeekly = decision.keptWeekly;
    outcome.keptMonthly = decision.keptMonthly;
    for (const Snapshots::Backup &backup : decision.doomed) {
        // Out of the list first: a folder that is half deleted must never
        // pass for a complete snapshot, nor be a base for the next run.
        const QString doomed = QFileInfo(backup.path).absolutePath() + u'/' + Snapshots::deletingPrefix + backup.name;
        if (const auto moved = FileUtil::rename(backup.path, doomed); !moved) {
            outcome.failed << Failure{backup.name, moved.error().message};
            continue;
        }
        if (const auto removed = FileUtil::removeTree(doomed); removed)
            outcome.deleted << backup.path;
        else
            outcome.failed << Failure{backup.name, removed.error().message};
    }
    return outcome;
}

QStringList report(const Outcome &outcome, const Server &server)
{
    QStringList lines;
    for (const QString &name : outcome.ignored)
        lines << QStringLiteral("Retention: ignoring ") + name + QStringLiteral(": dated after today");
    const bool byPeriod = server.keepHourly > 0 || server.keepWeekly > 0 || server.keepMonthly > 0;
    const QString hourly =
        server.keepHourly > 0 ? QString::number(server.keepHourly) + QStringLiteral(" hourly, ") : QString();
    const QString keeping = byPeriod ? QStringLiteral("Retention: keeping ") + hourly
                                           + QStringLiteral("%1 daily, %2 weekly, %3 monthly; ")
                                                 .arg(server.retentionCount)
                                                 .arg(server.keepWeekly)
                                                 .arg(server.keepMonthly)
                                     : QString();
    if (outcome.deleted.isEmpty() && !outcome.failed.isEmpty()) {
        if (byPeriod)
            lines << keeping + QStringLiteral("nothing pruned.");
    } else if (outcome.deleted.isEmpty()) {
        lines << (byPeriod ? QString(keeping + QStringLiteral("nothing to prune."))
                           : QString(QStringLiteral("Retention: nothing to prune (keeping last ")
                                     + QString::number(server.retentionCount) + QStringLiteral(").")));
    } else {
        lines << (byPeriod ? keeping : QStringLiteral("Retention: ")) + QStringLiteral("pruned ")
                     + QString::number(outcome.deleted.size()) + QStringLiteral(" older backup(s):");
        for (const QString &folder : outcome.deleted)
            lines << QStringLiteral("  - ") + QFileInfo(folder).fileName();
    }
    for (const Failure &failure : outcome.failed)
        lines << QStringLiteral("Retention: could not delete ") + failure.name + QStringLiteral(": ") + failure.error;
    if (!outcome.keptWeekly.isEmpty())
        lines << QStringLiteral("Retention: kept as weekly: ") + outcome.keptWeekly.join(QStringLiteral(", "));
    if (!outcome.keptMonthly.isEmpty())
        lines << QStringLiteral("Retention: kept as monthly: ") + outcome.keptMonthly.join(QStringLiteral(", "));
    return lines;
}

AfterRun afterRun(const QString &serverFolder, const Server &server, const AppSettings &settings, const QDateTime &now)
{
    // Only dated folders are pruned, and only when runs create them.
    if (server.retentionCount < 1 || !settings.useDateSubfolder)
        return {};
    const Outcome outcome = prune(serverFolder, server, now);
    return {report(outcome, server), qsizetype(outcome.failed.size())};
}

} // namespace Retention
