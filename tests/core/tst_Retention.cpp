// SPDX-License-Identifier: GPL-3.0-or-later
// Pruning of dated backup folders.
#include "core/engine/Retention.h"
#include "core/engine/Snapshots.h"
#include "fixtures/Files.h"
#include "fixtures/TempHome.h"

#include <QDir>
#include <QFile>
#include <QTest>

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
        const QStringList deleted = Retention::prune(dest.path(), serverNamed(QStringLiteral("web/prod"), 3));
        QCOMPARE(names(deleted), (QStringList{QStringLiteral("2024-01-02"), QStringLiteral("2024-01-01")}));
        QCOMPARE(QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
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
        const QStringList deleted = Retention::prune(dest.path(), serverNamed(QStringLiteral("s"), 1));
        QCOMPARE(names(deleted), (QStringList{QStringLiteral("2024-02-02"), QStringLiteral("2024-02-01")}));
        for (const char *kept : {"2023-01-01", "2023-01-01-old", ".2023-01-02", "notes", "２０２３-01-01", "2024-02-03"})
            QVERIFY2(QFileInfo::exists(folder + u'/' + QString::fromUtf8(kept)), kept);
    }

    void zeroOrNegativeKeepsEverythingAndMissingFolderIsFine()
    {
        QTemporaryDir dest;
        QDir().mkpath(dest.path() + QStringLiteral("/s/2024-01-01"));
        QVERIFY(Retention::prune(dest.path(), serverNamed(QStringLiteral("s"), 0)).isEmpty());
        QVERIFY(Retention::prune(dest.path(), serverNamed(QStringLiteral("s"), -2)).isEmpty());
        QVERIFY(Retention::prune(dest.path(), serverNamed(QStringLiteral("absent"), 1)).isEmpty());
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
        const QStringList deleted = Retention::prune(dest.path(), serverNamed(QStringLiteral("s"), 1));
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
        QCOMPARE(names(Retention::prune(dest.path(), serverNamed(QStringLiteral("s"), keep))), expected);
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
        QCOMPARE(Snapshots::linkBase(folder, QDate(2024, 1, 4))->name, QStringLiteral("2024-01-02"));
        QCOMPARE(Snapshots::linkBase(folder, QDate(2024, 1, 5))->name, QStringLiteral("2024-01-04"));
        QVERIFY(!Snapshots::linkBase(folder, QDate(2024, 1, 1)));
    }

    void tildeIsExpanded()
    {
        TempHome home;
        QDir().mkpath(home.home() + QStringLiteral("/Backups/s/2024-01-01"));
        QDir().mkpath(home.home() + QStringLiteral("/Backups/s/2024-01-02"));
        QCOMPARE(Retention::prune(QStringLiteral("~/Backups"), serverNamed(QStringLiteral("s"), 1)).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestRetention)
#include "tst_Retention.moc"
