// SPDX-License-Identifier: GPL-3.0-or-later
// Pruning of dated backup folders.
#include "core/engine/Retention.h"
#include "core/engine/Snapshots.h"
#include "fixtures/Files.h"
#include "fixtures/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <linux/fs.h>
#include <unistd.h>

using namespace TestHelpers;

class TestRetention : public QObject
{
    Q_OBJECT

    static Server serverNamed(const QString &name, qint64 keep)
    {
        Server server;
        server.name = name;
        server.retentionCount = keep;
        return server;
    }

    // The old cases' folders all lie in the past.
    static Retention::Outcome prune(const QString &destination, const Server &server,
                                    const QDate &today = QDate(2030, 1, 1))
    {
        return Retention::prune(Retention::serverFolder(destination, server), server, QDateTime(today, QTime(12, 0)));
    }

    static QStringList names(const QStringList &paths)
    {
        QStringList result;
        for (const QString &path : paths)
            result << QFileInfo(path).fileName();
        return result;
    }

private Q_SLOTS:
    void keepsTheNewestAndDeletesNewestFirst()
    {
        QTemporaryDir dest;
        const QString folder = dest.path() + QStringLiteral("/web_prod");
        for (int day = 1; day <= 5; ++day)
            writeFile(folder + QStringLiteral("/2024-01-0%1/data/file").arg(day), "x");
        const QStringList deleted = prune(dest.path(), serverNamed(QStringLiteral("web/prod"), 3)).deleted;
        QCOMPARE(names(deleted), (QStringList{QStringLiteral("2024-01-02"), QStringLiteral("2024-01-01")}));
        QCOMPARE(
            QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
            (QStringList{QStringLiteral("2024-01-03"), QStringLiteral("2024-01-04"), QStringLiteral("2024-01-05")}));
    }

    void neverTouchesOtherEntries()
    {
        QTemporaryDir dest;
        const QString folder = dest.path() + QStringLiteral("/s");
        for (int day = 1; day <= 3; ++day)
            QDir().mkpath(folder + QStringLiteral("/2024-02-0%1").arg(day));
        writeFile(folder + QStringLiteral("/2023-01-01"), "a file named like a date");
        QDir().mkpath(folder + QStringLiteral("/2023-01-01-old"));
        QDir().mkpath(folder + QStringLiteral("/.2023-01-02"));
        QDir().mkpath(folder + QStringLiteral("/notes"));
        QDir().mkpath(folder + QStringLiteral("/２０２３-01-01")); // not ASCII digits
        const QStringList deleted = prune(dest.path(), serverNamed(QStringLiteral("s"), 1)).deleted;
        QCOMPARE(names(deleted), (QStringList{QStringLiteral("2024-02-02"), QStringLiteral("2024-02-01")}));
        for (const char *kept :
             {"2023-01-01", "2023-01-01-old", ".2023-01-02", "notes", "２０２３-01-01", "2024-02-03"})
            QVERIFY2(QFileInfo::exists(folder + u'/' + QString::fromUtf8(kept)), kept);
    }

    void zeroOrNegativeKeepsEverythingAndMissingFolderIsFine()
    {
        QTemporaryDir dest;
        QDir().mkpath(dest.path() + QStringLiteral("/s/2024-01-01"));
        QVERIFY(prune(dest.path(), serverNamed(QStringLiteral("s"), 0)).deleted.isEmpty());
        QVERIFY(prune(dest.path(), serverNamed(QStringLiteral("s"), -2)).deleted.isEmpty());
        QVERIFY(prune(dest.path(), serverNamed(QStringLiteral("absent"), 1)).deleted.isEmpty());
        QVERIFY(QDir(dest.path() + QStringLiteral("/s/2024-01-01")).exists());
    }

    void aLinkToAFolderIsRemovedAsALink()
    {
        QTemporaryDir dest;
        const QString folder = dest.path() + QStringLiteral("/s");
        QDir().mkpath(folder + QStringLiteral("/2024-03-02"));
        const QString elsewhere = dest.path() + QStringLiteral("/precious");
        writeFile(elsewhere + QStringLiteral("/keep.txt"), "keep");
        QVERIFY(QFile::link(elsewhere, folder + QStringLiteral("/2024-03-01")));
        const QStringList deleted = prune(dest.path(), serverNamed(QStringLiteral("s"), 1)).deleted;
        QCOMPARE(names(deleted), QStringList{QStringLiteral("2024-03-01")});
        QVERIFY(!QFileInfo(folder + QStringLiteral("/2024-03-01")).isSymLink());
        QCOMPARE(readFile(elsewhere + QStringLiteral("/keep.txt")), QByteArray("keep"));
    }

    // Only complete folders count as kept backups; broken copies never replace good ones.
    void incompleteFoldersNeverCountAsKept_data()
    {
        QTest::addColumn<QString>("folders"); // days of January; "!" marks an incomplete folder
        QTest::addColumn<qint64>("keep");
        QTest::addColumn<QString>("deleted"); // newest first
        QTest::newRow("all complete") << "01 02 03" << qint64(2) << "01";
        QTest::newRow("newest incomplete is kept, not counted") << "01 02 03!" << qint64(1) << "01";
        QTest::newRow("incomplete older than the newest complete goes") << "01 02! 03" << qint64(5) << "02";
        QTest::newRow("the newest complete stays whatever follows") << "01 02! 03! 04!" << qint64(1) << "";
        QTest::newRow("no complete folder: nothing goes") << "01! 02!" << qint64(1) << "";
        QTest::newRow("mixed") << "01! 02 03 04! 05 06!" << qint64(2) << "04 02 01";
    }

    void incompleteFoldersNeverCountAsKept()
    {
        QFETCH(QString, folders);
        QFETCH(qint64, keep);
        QFETCH(QString, deleted);
        QTemporaryDir dest;
        for (const QString &folder : folders.split(u' ')) {
            const QString path = dest.path() + QStringLiteral("/s/2024-01-") + folder.left(2);
            writeFile(path + QStringLiteral("/data"), "x");
            if (folder.endsWith(u'!'))
                writeFile(path + u'/' + Snapshots::incompleteMarker, "");
        }
        QStringList expected;
        for (const QString &day : deleted.split(u' ', Qt::SkipEmptyParts))
            expected << QStringLiteral("2024-01-") + day;
        QCOMPARE(names(prune(dest.path(), serverNamed(QStringLiteral("s"), keep)).deleted), expected);
    }

    // Which folders stay after a successful run on `today`, by day, week and month.
    void historiesKeepTheRightDays_data()
    {
        QTest::addColumn<QString>("folders");     // "!" marks an incomplete folder
        QTest::addColumn<QString>("today");       // noon, or "yyyy-MM-dd HH:mm"
        QTest::addColumn<QList<qint64>>("rules"); // daily, weekly, monthly[, hourly]
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("report");
        QTest::newRow("future folders are ignored and named")
            << "2026-12-05 2026-12-06 2026-12-07 2027-06-01"
            << "2026-12-07" << QList<qint64>{1, 0, 0} << "2026-12-07 2027-06-01"
            << "Retention: ignoring 2027-06-01: dated after today|Retention: pruned 2 older backup(s):|  - 2026-12-06| "
               " - 2026-12-05";
        QTest::newRow("a clock moved back deletes nothing newer")
            << "2026-12-08 2026-12-09"
            << "2026-12-07" << QList<qint64>{1, 0, 0} << "2026-12-08 2026-12-09"
            << "Retention: ignoring 2026-12-09: dated after today|Retention: ignoring 2026-12-08: dated after today|"
               "Retention: nothing to prune (keeping last 1).";
        QTest::newRow("today's incomplete folder stays beside the newest complete")
            << "2026-12-05 2026-12-06 2026-12-07!"
            << "2026-12-07" << QList<qint64>{1, 0, 0} << "2026-12-06 2026-12-07"
            << "Retention: pruned 1 older backup(s):|  - 2026-12-05";
        // 2026-11-30 is a Monday: weeks run Monday to Sunday.
        QTest::newRow("weekly keeps the newest of each week")
            << "2026-11-15 2026-11-20 2026-11-21 2026-11-27 2026-11-29 2026-11-30 2026-12-01 2026-12-02"
            << "2026-12-02" << QList<qint64>{2, 3, 0} << "2026-11-21 2026-11-29 2026-12-01 2026-12-02"
            << "Retention: keeping 2 daily, 3 weekly, 0 monthly; pruned 4 older backup(s):|  - 2026-11-30|  - "
               "2026-11-27|  - 2026-11-20|"
               "  - 2026-11-15|Retention: kept as weekly: 2026-11-29, 2026-11-21";
        QTest::newRow("monthly keeps the newest of each month; incomplete ones never count")
            << "2026-08-31 2026-09-15 2026-09-30! 2026-10-01 2026-10-31 2026-11-30 2026-12-06 2026-12-07"
            << "2026-12-07" << QList<qint64>{1, 0, 3} << "2026-10-31 2026-11-30 2026-12-07"
            << "Retention: keeping 1 daily, 0 weekly, 3 monthly; pruned 5 older backup(s):|  - 2026-12-06|  - "
               "2026-10-01|"
               "  - 2026-09-30|  - 2026-09-15|  - 2026-08-31|Retention: kept as monthly: 2026-11-30, 2026-10-31";
        QTest::newRow("all three, nothing to prune")
            << "2026-11-30 2026-12-06 2026-12-07"
            << "2026-12-07" << QList<qint64>{14, 4, 6} << "2026-11-30 2026-12-06 2026-12-07"
            << "Retention: keeping 14 daily, 4 weekly, 6 monthly; nothing to prune.";
        QTest::newRow("hourly keeps the newest of each hour, daily the newest of each day")
            << "2026-12-06_2200 2026-12-06_2300 2026-12-07_0900 2026-12-07_1000 2026-12-07_1030 2026-12-07_1100 "
               "2026-12-07_1130"
            << "2026-12-07 11:30" << QList<qint64>{1, 0, 0, 3} << "2026-12-07_0900 2026-12-07_1030 2026-12-07_1130"
            << "Retention: keeping 3 hourly, 1 daily, 0 weekly, 0 monthly; pruned 4 older backup(s):|  - "
               "2026-12-07_1100|  - 2026-12-07_1000|  - 2026-12-06_2300|  - 2026-12-06_2200";
        QTest::newRow("a day's folder beside timed ones of its day: the newest of the day counts")
            << "2026-12-05 2026-12-06 2026-12-06_1800 2026-12-07_0600"
            << "2026-12-07 12:00" << QList<qint64>{2, 0, 0} << "2026-12-06_1800 2026-12-07_0600"
            << "Retention: pruned 2 older backup(s):|  - 2026-12-06|  - 2026-12-05";
        QTest::newRow("a later hour of today is ignored")
            << "2026-12-07_1100 2026-12-07_1300"
            << "2026-12-07 12:00" << QList<qint64>{1, 0, 0} << "2026-12-07_1100 2026-12-07_1300"
            << "Retention: ignoring 2026-12-07_1300: dated after today|Retention: nothing to prune (keeping last 1).";
        QTest::newRow("hourly and weekly")
            << "2026-11-29_2300 2026-12-01_0100 2026-12-01_0200 2026-12-01_0300"
            << "2026-12-01 03:10" << QList<qint64>{1, 2, 0, 2} << "2026-11-29_2300 2026-12-01_0200 2026-12-01_0300"
            << "Retention: keeping 2 hourly, 1 daily, 2 weekly, 0 monthly; pruned 1 older backup(s):|  - "
               "2026-12-01_0100|Retention: kept as weekly: 2026-11-29_2300";
    }

    void historiesKeepTheRightDays()
    {
        QFETCH(QString, folders);
        QFETCH(QString, today);
        QFETCH(QList<qint64>, rules);
        QFETCH(QString, kept);
        QFETCH(QString, report);
        QTemporaryDir dest;
        for (const QString &folder : folders.split(u' ')) {
            const QString path =
                dest.path() + QStringLiteral("/s/") + (folder.endsWith(u'!') ? folder.chopped(1) : folder);
            writeFile(path + QStringLiteral("/data"), "x");
            if (folder.endsWith(u'!'))
                writeFile(path + u'/' + Snapshots::incompleteMarker, "");
        }
        Server server = serverNamed(QStringLiteral("s"), rules.at(0));
        server.keepWeekly = rules.at(1);
        server.keepMonthly = rules.at(2);
        server.keepHourly = rules.value(3);
        const QDateTime now = today.size() == 10 ? QDateTime(QDate::fromString(today, Qt::ISODate), QTime(12, 0))
                                                 : QDateTime::fromString(today, QStringLiteral("yyyy-MM-dd HH:mm"));
        const Retention::Outcome outcome = Retention::prune(Retention::serverFolder(dest.path(), server), server, now);
        QCOMPARE(QDir(dest.path() + QStringLiteral("/s")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).join(u' '),
                 kept);
        QCOMPARE(Retention::report(outcome, server).join(u'|'), report);
    }

    // Both forms of a snapshot's name, in the order they were made.
    void snapshotNames()
    {
        for (const char *good : {"2026-12-07", "2026-12-07_0000", "2026-12-07_2359", "2024-02-29_1200"})
            QVERIFY2(Snapshots::isSnapshotName(QString::fromLatin1(good)), good);
        for (const char *bad :
             {"2026-12-07_2400", "2026-12-07_1260", "2026-13-01", "2025-02-29", "2026-12-07_", "2026-12-07_12:00",
              "2026-12-07 1200", " 2026-12-07", "2026-12-07_1200x", "x", "2026-12-07\n", "2026-12-07_1200\n"})
            QVERIFY2(!Snapshots::isSnapshotName(QString::fromLatin1(bad)), bad);
        QVERIFY(Snapshots::isOf(QStringLiteral("2026-12-07_0300"), QStringLiteral("2026-12-07")));
        QVERIFY(Snapshots::isOf(QStringLiteral("2026-12-07"), QStringLiteral("2026-12-07")));
        QVERIFY(!Snapshots::isOf(QStringLiteral("2026-12-07"), QStringLiteral("2026-12-07_0300")));
        QVERIFY(!Snapshots::isOf(QStringLiteral("2026-12-07_0300"), QStringLiteral("2026-12-07_0301")));
        QCOMPARE(Snapshots::timeOf(QStringLiteral("2026-12-07_0930")), QDateTime(QDate(2026, 12, 7), QTime(9, 30)));

        QTemporaryDir dest;
        const QString folder = dest.path() + QStringLiteral("/s");
        for (const char *name : {"2026-12-06_2300", "2026-12-07", "2026-12-07_0300", "2026-12-07_1500"})
            writeFile(folder + u'/' + QLatin1String(name) + QStringLiteral("/f"), "x");
        QCOMPARE(Snapshots::list(folder).first().name, QStringLiteral("2026-12-07_1500"));
        QCOMPARE(Snapshots::list(folder).last().name, QStringLiteral("2026-12-06_2300"));
        QCOMPARE(Snapshots::linkBase(folder, QStringLiteral("2026-12-07_0300"))->name, QStringLiteral("2026-12-07"));
        const QDateTime evening(QDate(2026, 12, 7), QTime(20, 5));
        QCOMPARE(Snapshots::runName(folder, evening, true), QStringLiteral("2026-12-07_2005"));
        // Daily again: today's timed snapshots keep the timed form, so that a
        // later run never sorts before an earlier one.
        QCOMPARE(Snapshots::runName(folder, evening, false), QStringLiteral("2026-12-07_2005"));
        QCOMPARE(Snapshots::runName(folder, evening.addDays(1), false), QStringLiteral("2026-12-08"));
    }

    // A second run of a day writes beside that day's complete snapshot and
    // takes its place only when it succeeds.
    void aSecondRunOfADayWritesBeside()
    {
        QTemporaryDir dest;
        const QString folder = dest.path() + QStringLiteral("/s");
        writeFile(folder + QStringLiteral("/2026-12-06/f"), "yesterday");
        writeFile(folder + QStringLiteral("/2026-12-07/f"), "first run");
        const QDate today(2026, 12, 7);

        Snapshots::Target target = Snapshots::target(folder, Snapshots::dayName(today), true);
        QCOMPARE(target.folder, folder + QStringLiteral("/2026-12-07"));
        QCOMPARE(target.writeFolder, folder + QStringLiteral("/.tidewell-rerun-2026-12-07"));
        QCOMPARE(target.base->name, QStringLiteral("2026-12-07"));
        writeFile(target.writeFolder + QStringLiteral("/f"), "second run");
        QVERIFY(Snapshots::replace(target).has_value());
        QCOMPARE(readFile(folder + QStringLiteral("/2026-12-07/f")), QByteArray("second run"));
        QCOMPARE(QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{QStringLiteral("2026-12-06"), QStringLiteral("2026-12-07")}));

        // An unfinished day is finished in place, linked to the day before.
        writeFile(folder + QStringLiteral("/2026-12-08/") + Snapshots::incompleteMarker, "");
        target = Snapshots::target(folder, Snapshots::dayName(today.addDays(1)), true);
        QCOMPARE(target.writeFolder, target.folder);
        QCOMPARE(target.base->name, QStringLiteral("2026-12-07"));
        QVERIFY(!Snapshots::target(folder, Snapshots::dayName(today.addDays(1)), false).base);
    }

    // A run killed between the two renames of a swap loses no snapshot.
    void whatAKilledSwapLeftIsPutRight()
    {
        QTemporaryDir dest;
        const QString folder = dest.path() + QStringLiteral("/s");
        writeFile(folder + QStringLiteral("/.tidewell-replaced-2026-12-07/f"), "the good one");
        writeFile(folder + QStringLiteral("/.tidewell-rerun-2026-12-07/f"), "half done");
        writeFile(folder + QStringLiteral("/.tidewell-rerun-2026-12-01/f"), "another day's leftover");
        const QStringList done = Snapshots::recover(folder, QStringLiteral("2026-12-07"));
        QCOMPARE(done.size(), 2);
        QCOMPARE(readFile(folder + QStringLiteral("/2026-12-07/f")), QByteArray("the good one"));
        // Today's work goes on from where it stopped; another day's is gone.
        QVERIFY(QFile::exists(folder + QStringLiteral("/.tidewell-rerun-2026-12-07/f")));
        QVERIFY(!QFile::exists(folder + QStringLiteral("/.tidewell-rerun-2026-12-01")));
        QCOMPARE(Snapshots::list(folder).size(), 1);
    }

    // A backup keeps the server's modes: read-only folders and files, and
    // immutable ones, must not make old snapshots undeletable.
    void readOnlyAndImmutableEntriesAreDeleted()
    {
        QTemporaryDir dest;
        const QString folder = dest.path() + QStringLiteral("/s");
        for (const char *day : {"2024-01-01", "2024-01-02"}) {
            const QString cache = folder + u'/' + QLatin1String(day) + QStringLiteral("/go/pkg/mod");
            writeFile(cache + QStringLiteral("/module/file.go"), "package x");
            QFile::setPermissions(cache + QStringLiteral("/module/file.go"), QFile::ReadOwner);
            QFile::setPermissions(cache + QStringLiteral("/module"), QFile::ReadOwner | QFile::ExeOwner);
            QFile::setPermissions(cache, QFile::ReadOwner | QFile::ExeOwner);
        }
        const auto pruneOne = [&dest](const QDate &today) {
            const Server server = serverNamed(QStringLiteral("s"), 1);
            const Retention::Outcome outcome =
                Retention::prune(Retention::serverFolder(dest.path(), server), server, QDateTime(today, QTime(12, 0)));
            return outcome.failed.isEmpty() && outcome.deleted.size() == 1;
        };
        QVERIFY(asUnprivilegedUser(dest.path(), [&] { return pruneOne(QDate(2024, 1, 3)); }));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("2024-01-02")});

        // Only root may clear the immutable flag (chattr +i), and does.
        const QString frozen = folder + QStringLiteral("/2024-01-02/frozen");
        writeFile(frozen, "x");
        writeFile(folder + QStringLiteral("/2024-01-03/f"), "x");
        if (::geteuid() != 0 || !setImmutable(frozen, true))
            QSKIP("needs root and a file system with the immutable flag");
        QVERIFY(pruneOne(QDate(2024, 1, 4)));
        QVERIFY(!QFile::exists(frozen));

        // An append-only folder (chattr +a) lets nothing go until the flag is off.
        const QString appendOnly = folder + QStringLiteral("/2024-01-03/logs");
        writeFile(appendOnly + QStringLiteral("/app.log"), "x");
        writeFile(folder + QStringLiteral("/2024-01-04/f"), "x");
        QVERIFY(setFlag(appendOnly, FS_APPEND_FL, true));
        QVERIFY(pruneOne(QDate(2024, 1, 5)));
        QVERIFY(!QFileInfo::exists(appendOnly));
    }

    // What cannot be deleted is said in the run log, and a folder half
    // deleted is never listed as a snapshot; the next prune tries again.
    void whatCannotBeDeletedIsReportedAndNeverPassesForASnapshot()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to make an entry its own user cannot delete");
        QTemporaryDir dest;
        const QString folder = dest.path() + QStringLiteral("/s");
        QDir().mkpath(folder + QStringLiteral("/2024-01-02"));
        writeFile(folder + QStringLiteral("/2024-01-01/mine"), "x");
        const QString report = dest.path() + QStringLiteral("/report");
        writeFile(report, "");
        // Handed over by asUnprivilegedUser, then a folder of another owner inside.
        const auto work = [&] {
            const Server server = serverNamed(QStringLiteral("s"), 1);
            const Retention::Outcome outcome = Retention::prune(Retention::serverFolder(dest.path(), server), server,
                                                                QDateTime(QDate(2024, 1, 3), QTime(12, 0)));
            return writeFile(report, Retention::report(outcome, server).join(u'\n').toUtf8());
        };
        for (const QString &path :
             QStringList{dest.path(), folder, folder + QStringLiteral("/2024-01-01"),
                         folder + QStringLiteral("/2024-01-01/mine"), folder + QStringLiteral("/2024-01-02"), report})
            QVERIFY(::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);
        writeFile(folder + QStringLiteral("/2024-01-01/root-owned/secret"), "y");
        QVERIFY(asUnprivilegedUser(QString(), work));
        QCOMPARE(QString::fromUtf8(readFile(report)),
                 QStringLiteral("Retention: could not delete 2024-01-01: Permission denied (1 entry)"));
        QCOMPARE(Snapshots::list(folder).size(), 1);
        QVERIFY(QFile::exists(folder + QStringLiteral("/.tidewell-deleting-2024-01-01/root-owned/secret")));

        // Root may: the leftover goes, and nothing more is said of it.
        const Retention::Outcome again =
            Retention::prune(Retention::serverFolder(dest.path(), serverNamed(QStringLiteral("s"), 1)),
                             serverNamed(QStringLiteral("s"), 1), QDateTime(QDate(2024, 1, 3), QTime(12, 0)));
        QVERIFY(again.failed.isEmpty());
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("2024-01-02")});
    }

    void snapshotsAndTheLinkBase()
    {
        QTemporaryDir dest;
        const QString folder = dest.path() + QStringLiteral("/s");
        for (const char *day : {"2024-01-01", "2024-01-02", "2024-01-03", "2024-01-04"})
            QDir().mkpath(folder + u'/' + QLatin1String(day));
        writeFile(folder + QStringLiteral("/2024-01-03/") + Snapshots::incompleteMarker, "");
        QDir().mkpath(folder + QStringLiteral("/.2024-01-05"));
        QDir().mkpath(folder + QStringLiteral("/notes"));
        const QList<Snapshots::Backup> backups = Snapshots::list(folder);
        QCOMPARE(backups.size(), 4);
        QCOMPARE(backups.first().name, QStringLiteral("2024-01-04"));
        QVERIFY(!backups.at(1).complete);
        // Today's folder never links to itself; an incomplete one is skipped.
        QCOMPARE(Snapshots::linkBase(folder, QStringLiteral("2024-01-04"))->name, QStringLiteral("2024-01-02"));
        QCOMPARE(Snapshots::linkBase(folder, QStringLiteral("2024-01-05"))->name, QStringLiteral("2024-01-04"));
        QVERIFY(!Snapshots::linkBase(folder, QStringLiteral("2024-01-01")));
    }

    void tildeIsExpanded()
    {
        TempHome home;
        QDir().mkpath(home.home() + QStringLiteral("/Backups/s/2024-01-01"));
        QDir().mkpath(home.home() + QStringLiteral("/Backups/s/2024-01-02"));
        QCOMPARE(prune(QStringLiteral("~/Backups"), serverNamed(QStringLiteral("s"), 1)).deleted.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestRetention)
#include "tst_Retention.moc"
