// SPDX-License-Identifier: GPL-3.0-or-later
// The way back, against the real sshd and rsync: three days of backups of a
// tree with odd names, a file path and a folder path; then versions,
// comparisons, restores to this computer and to the server, and the command
// line.
#include "core/engine/Snapshots.h"
#include "core/restore/LocalRestore.h"
#include "core/restore/ServerRestore.h"
#include "core/restore/SnapshotCompare.h"
#include "core/restore/SnapshotMap.h"
#include "core/restore/SnapshotSearch.h"
#include "core/restore/VersionFinder.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "core/system/FileLock.h"
#include "fixtures/Await.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

using namespace TestHelpers;

class TestRestore : public SshdBackupTest
{
    Q_OBJECT

    Server m_server;
    const QDate m_day1{2026, 12, 4};
    const QDate m_day2{2026, 12, 5};
    const QDate m_day3{2026, 12, 6};

    QString site() const { return m_s->remote + QStringLiteral("/my site"); }
    QString single() const { return m_s->remote + QStringLiteral("/etc/single file.conf"); }
    QString snapshot(const QDate &day) const { return m_s->serverFolder() + u'/' + day.toString(Qt::ISODate); }

    // Each version a different size: rsync's quick check looks at size and time.
    static void write(const QString &path, const QByteArray &bytes, int day)
    {
        writeFile(path, bytes);
        QFile file(path);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime(QDate(2026, 11, 20 + day), QTime(8, 30)), QFileDevice::FileModificationTime);
    }

    // Day 1: the tree; day 2: one file changed, one deleted; day 3: changed again.
    void backUpThreeDays()
    {
        write(site() + QStringLiteral("/file one.txt"), "version one", 1);
        write(site() + QStringLiteral("/Ünïcode dir/naïve.txt"), "naïve", 1);
        write(site() + QStringLiteral("/sub/keep.txt"), "kept all along", 1);
        write(site() + QStringLiteral("/sub/gone.txt"), "deleted on day two", 1);
        write(single(), "setting=1\n", 1);
        m_server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), site()),
                                     BackupScenario::path(QStringLiteral("Conf"), single(), false)});
        QCOMPARE(m_s->runOn(m_day1, m_server).exitCode, std::optional<int>(0));
        write(site() + QStringLiteral("/file one.txt"), "version two!", 2);
        QFile::remove(site() + QStringLiteral("/sub/gone.txt"));
        QCOMPARE(m_s->runOn(m_day2, m_server).exitCode, std::optional<int>(0));
        write(site() + QStringLiteral("/file one.txt"), "version three!!", 3);
        QCOMPARE(m_s->runOn(m_day3, m_server).exitCode, std::optional<int>(0));
    }

private Q_SLOTS:
    // The three days are backed up once; the tests read them, and each
    // restores into places of its own.
    void init()
    {
        if (m_s)
            return;
        SshdBackupTest::init();
        backUpThreeDays();
    }
    void cleanup() { }

    // The snapshot's folders are shown as the remote paths they came from.
    void snapshotsMapBackToRemotePaths()
    {
        const QList<SnapshotMap::Root> roots = SnapshotMap::roots(m_server, snapshot(m_day3));
        QCOMPARE(roots.size(), 2);
        QCOMPARE(roots.at(0).remotePath, site());
        QCOMPARE(roots.at(0).localPath, snapshot(m_day3) + QStringLiteral("/Site"));
        QCOMPARE(roots.at(1).remotePath, single());
        QCOMPARE(roots.at(1).localPath, snapshot(m_day3) + QStringLiteral("/Conf/single file.conf"));
        QVERIFY(!roots.at(1).isDirectory);
        const QString naive = site() + QStringLiteral("/Ünïcode dir/naïve.txt");
        const auto local = SnapshotMap::localPathOf(m_server, snapshot(m_day3), naive);
        QCOMPARE(readFile(*local), QByteArray("naïve"));
        QCOMPARE(SnapshotMap::remotePathOf(m_server, snapshot(m_day3), *local), std::optional<QString>(naive));
    }

    void searchFindsNamesAsTheyCome()
    {
        SnapshotSearch search;
        QSignalSpy hits(&search, &SnapshotSearch::hitsFound);
        QSignalSpy finished(&search, &SnapshotSearch::finished);
        search.start(m_server, snapshot(m_day1), QStringLiteral("NAÏVE"));
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().at(0).toInt(), 1);
        const auto found = hits.first().at(0).value<QList<SnapshotSearch::Hit>>();
        QCOMPARE(found.first().remotePath, site() + QStringLiteral("/Ünïcode dir/naïve.txt"));
    }

    // Three days, three versions of a changed file; one of a file that stayed.
    void versionsAreGrouped()
    {
        const auto changed =
            VersionFinder::versionsOf(m_server, m_s->serverFolder(), site() + QStringLiteral("/file one.txt"));
        QCOMPARE(changed.size(), 3);
        QCOMPARE(changed.at(0).snapshots, QStringList{m_day3.toString(Qt::ISODate)});
        QCOMPARE(readFile(changed.at(2).localPath), QByteArray("version one"));
        const auto kept =
            VersionFinder::versionsOf(m_server, m_s->serverFolder(), site() + QStringLiteral("/sub/keep.txt"));
        QCOMPARE(kept.size(), 1);
        QCOMPARE(kept.first().firstDate(), m_day1.toString(Qt::ISODate));
        QCOMPARE(kept.first().lastDate(), m_day3.toString(Qt::ISODate));
        const auto gone =
            VersionFinder::versionsOf(m_server, m_s->serverFolder(), site() + QStringLiteral("/sub/gone.txt"));
        QCOMPARE(gone.size(), 1);
        QCOMPARE(gone.first().snapshots, QStringList{m_day1.toString(Qt::ISODate)});
    }

    void compareListsExactlyWhatChanged()
    {
        const SnapshotCompare::Result result = SnapshotCompare::compare(m_server, snapshot(m_day1), snapshot(m_day3));
        QCOMPARE(result.changes.size(), 2);
        QCOMPARE(result.changes.at(0).remotePath, site() + QStringLiteral("/file one.txt"));
        QCOMPARE(result.changes.at(0).kind, SnapshotCompare::Change::Kind::changed);
        QCOMPARE(result.changes.at(1).remotePath, site() + QStringLiteral("/sub/gone.txt"));
        QCOMPARE(result.changes.at(1).kind, SnapshotCompare::Change::Kind::removed);
        QCOMPARE(result.counts.first().root, site());
        QCOMPARE(result.counts.first().changed, 1);
        QCOMPARE(result.counts.first().removed, 1);
        QCOMPARE(result.counts.at(1).changed, 0); // the file path did not change
        QCOMPARE(SnapshotCompare::compare(m_server, snapshot(m_day2), snapshot(m_day3)).changes.size(), 1);
    }

    // A deleted file and a folder come back byte for byte, with their times;
    // a file already there is never overwritten without a choice.
    void restoreToThisComputer()
    {
        const QString target = m_s->home.path() + QStringLiteral("/Restored");
        const QList<LocalRestore::Item> items{
            {snapshot(m_day1) + QStringLiteral("/Site/sub"), QStringLiteral("sub")},
            {snapshot(m_day1) + QStringLiteral("/Site/file one.txt"), QStringLiteral("file one.txt")}};
        LocalRestore::Plan plan = LocalRestore::plan(items, target);
        QVERIFY(plan.conflicts.isEmpty());
        LocalRestore::Outcome outcome = LocalRestore::copy(plan, {}, m_day1);
        QCOMPARE(outcome.copied, 3);
        QVERIFY(outcome.failures.isEmpty());
        QCOMPARE(treeDifferences(snapshot(m_day1) + QStringLiteral("/Site/sub"), target + QStringLiteral("/sub")),
                 QStringList());
        QCOMPARE(QFileInfo(target + QStringLiteral("/sub/gone.txt")).lastModified(),
                 QFileInfo(snapshot(m_day1) + QStringLiteral("/Site/sub/gone.txt")).lastModified());

        // Again, over what is there now: keep both, skip, replace.
        writeFile(target + QStringLiteral("/file one.txt"), "edited here");
        writeFile(target + QStringLiteral("/sub/keep.txt"), "edited too");
        plan = LocalRestore::plan(items, target);
        QCOMPARE(plan.conflicts.size(), 3); // keep.txt, gone.txt and file one.txt; the folder merges
        QHash<QString, LocalRestore::Choice> choices{
            {target + QStringLiteral("/file one.txt"), LocalRestore::Choice::keepBoth},
            {target + QStringLiteral("/sub/keep.txt"), LocalRestore::Choice::skip},
            {target + QStringLiteral("/sub/gone.txt"), LocalRestore::Choice::replace}};
        outcome = LocalRestore::copy(plan, choices, m_day1);
        QCOMPARE(readFile(target + QStringLiteral("/file one.txt")), QByteArray("edited here"));
        QCOMPARE(readFile(target + QStringLiteral("/file one (restored 2026-12-04).txt")), QByteArray("version one"));
        QCOMPARE(outcome.keptBoth, QStringList{QStringLiteral("file one (restored 2026-12-04).txt")});
        QCOMPARE(readFile(target + QStringLiteral("/sub/keep.txt")), QByteArray("edited too"));
        QCOMPARE(readFile(target + QStringLiteral("/sub/gone.txt")), QByteArray("deleted on day two"));
        QCOMPARE(outcome.skipped, 1);
        QCOMPARE(LocalRestore::keepBothName(QStringLiteral("/x/archive.tar.gz"), m_day1),
                 QStringLiteral("/x/archive (restored 2026-12-04).tar.gz"));
        QCOMPARE(LocalRestore::keepBothName(QStringLiteral("/x/.bashrc"), m_day1),
                 QStringLiteral("/x/.bashrc (restored 2026-12-04)"));
    }

    // Back to the server: a dry run writes nothing; the run puts the chosen
    // version back and keeps the file it replaced on the server.
    void restoreToTheServer()
    {
        write(site() + QStringLiteral("/file one.txt"), "edited on the server today", 4);
        const QList<ServerRestore::Item> items{
            {snapshot(m_day1) + QStringLiteral("/Site/file one.txt"), site() + QStringLiteral("/file one.txt"), false},
            {snapshot(m_day1) + QStringLiteral("/Site/sub"), site() + QStringLiteral("/sub"), true}};
        ServerRestore restore;
        restore.setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 15, 30)); });
        ServerRestore::Request request;
        request.server = m_server;
        request.probe = RsyncProbe::compute();
        request.items = items;
        request.snapshotName = m_day1.toString(Qt::ISODate);
        const auto preview = await(restore.preview(request));
        QVERIFY(preview);
        QCOMPARE(preview->exitCode, 0);
        QCOMPARE(preview->created, 1);  // sub/gone.txt
        QCOMPARE(preview->replaced, 1); // file one.txt
        QCOMPARE(ServerRestore::summary(*preview), QStringLiteral("1 file(s) would be created, 1 would be replaced"));
        QVERIFY(!QFile::exists(site() + QStringLiteral("/sub/gone.txt")));
        QCOMPARE(readFile(site() + QStringLiteral("/file one.txt")), QByteArray("edited on the server today"));

        QCOMPARE(done(restore.run(request)), 0);
        QCOMPARE(readFile(site() + QStringLiteral("/file one.txt")), QByteArray("version one"));
        QCOMPARE(QFileInfo(site() + QStringLiteral("/file one.txt")).lastModified(),
                 QFileInfo(snapshot(m_day1) + QStringLiteral("/Site/file one.txt")).lastModified());
        QCOMPARE(readFile(site() + QStringLiteral("/sub/gone.txt")), QByteArray("deleted on day two"));
        // Only the folder that got a replaced file is named.
        QCOMPARE(restore.replacedFolders().size(), 1);
        const QString keptIn = restore.replacedFolders().first();
        QVERIFY2(keptIn.startsWith(site() + QStringLiteral("/.tidewell-replaced-20261207-091530-000-")),
                 qPrintable(keptIn));
        QCOMPARE(readFile(keptIn + QStringLiteral("/file one.txt")), QByteArray("edited on the server today"));
        QCOMPARE(restore.replacedFiles(), 1);
        const QString log = QString::fromUtf8(readFile(LogStore::restoreLogFile(m_server.id)));
        QVERIFY(log.startsWith(QStringLiteral("# Tidewell restore log\n")));
        QVERIFY(log.contains(QStringLiteral("# Status:    SUCCESS\n")));
        QVERIFY(log.contains(QStringLiteral("\n$ ")));
        QVERIFY(log.contains(QStringLiteral("=== Restore completed ===")));

        // Into another folder, and never beside a backup of the server.
        const QString elsewhere = m_s->remote + QStringLiteral("/put it here");
        ServerRestore::Request into = request;
        into.items = {items.at(1)};
        into.otherFolder = elsewhere;
        QCOMPARE(done(restore.run(into)), 0);
        QCOMPARE(readFile(elsewhere + QStringLiteral("/sub/keep.txt")), QByteArray("kept all along"));
        QVERIFY(restore.replacedFolders().isEmpty());
        QVERIFY(!QString::fromUtf8(readFile(LogStore::restoreLogFile(m_server.id)))
                     .contains(QStringLiteral("Files the restore replaced")));
        auto held = FileLock::tryLock(AppPaths::runLockFile(m_server.id));
        QVERIFY(held);
        QCOMPARE(done(restore.run(request)), 75);
    }

    // The command line, through the binary.
    void commandLine()
    {
        QFile::remove(site() + QStringLiteral("/sub/gone.txt"));
        const QString id = m_server.id.toString(QUuid::WithoutBraces);
        const Outcome listed = runTidewell(m_s->home, {QStringLiteral("--list-backups"), id, QStringLiteral("--json")});
        QCOMPARE(listed.status, 0);
        const QJsonArray backups =
            QJsonDocument::fromJson(listed.out).object().value(QStringLiteral("backups")).toArray();
        QCOMPARE(backups.size(), 3);
        QCOMPARE(backups.at(0).toObject().value(QStringLiteral("date")).toString(), m_day3.toString(Qt::ISODate));
        QVERIFY(backups.at(0).toObject().value(QStringLiteral("complete")).toBool());

        const QString target = m_s->home.path() + QStringLiteral("/cli");
        const Outcome local =
            runTidewell(m_s->home, {QStringLiteral("--restore"), id, QStringLiteral("--date"),
                                    m_day1.toString(Qt::ISODate), QStringLiteral("--item"),
                                    site() + QStringLiteral("/sub/gone.txt"), QStringLiteral("--to"), target});
        QCOMPARE(local.status, 0);
        QCOMPARE(readFile(target + QStringLiteral("/gone.txt")), QByteArray("deleted on day two"));

        const QStringList toServer{QStringLiteral("--restore"),  id,
                                   QStringLiteral("--date"),     m_day1.toString(Qt::ISODate),
                                   QStringLiteral("--item"),     site() + QStringLiteral("/sub/gone.txt"),
                                   QStringLiteral("--to-server")};
        const Outcome dry = runTidewell(m_s->home, toServer + QStringList{QStringLiteral("--dry-run")});
        QCOMPARE(dry.status, 0);
        QVERIFY2(dry.out.contains("1 file(s) would be created, 0 would be replaced"), dry.out.constData());
        QVERIFY(!QFile::exists(site() + QStringLiteral("/sub/gone.txt")));
        QCOMPARE(runTidewell(m_s->home, toServer).status, 0);
        QCOMPARE(readFile(site() + QStringLiteral("/sub/gone.txt")), QByteArray("deleted on day two"));

        // Usage errors say why in one line and end with 2; a backup running ends with 75.
        for (const QStringList &wrong :
             {QStringList{QStringLiteral("--restore"), id, QStringLiteral("--item"), QStringLiteral("/x"),
                          QStringLiteral("--to"), target},
              QStringList{QStringLiteral("--restore"), id, QStringLiteral("--date"), QStringLiteral("2026-12-04"),
                          QStringLiteral("--item"), QStringLiteral("/nowhere"), QStringLiteral("--to"), target},
              QStringList{QStringLiteral("--restore"), id, QStringLiteral("--date"), QStringLiteral("2026-12-04"),
                          QStringLiteral("--item"), QStringLiteral("/x")},
              QStringList{QStringLiteral("--list-backups"), QStringLiteral("web")}}) {
            const Outcome outcome = runTidewell(m_s->home, wrong);
            QCOMPARE(outcome.status, 2);
            QCOMPARE(outcome.err.count('\n'), 1);
        }
        auto held = FileLock::tryLock(AppPaths::runLockFile(m_server.id));
        QVERIFY(held);
        QCOMPARE(runTidewell(m_s->home, toServer).status, 75);
        held = tl::unexpected(Error{});

        // A server by its name, when no other server has it.
        const Outcome byName =
            runTidewell(m_s->home, {QStringLiteral("--list-backups"), m_server.name, QStringLiteral("--json")});
        QCOMPARE(byName.status, 0);
        QCOMPARE(byName.out, listed.out);
        const Outcome near = runTidewell(m_s->home, {QStringLiteral("--list-backups"), QStringLiteral("web")});
        QCOMPARE(near.status, 2);
        QCOMPARE(near.err, QByteArray("tidewell: no server is named “web”; similar: web: prod (")
                               + id.toUpper().toUtf8() + ")\n");
        const QByteArray config = readFile(m_s->home.configFile());
        m_s->writeConfig(m_server.paths, [this](AppSettings &settings) {
            settings.servers.first() = m_server;
            Server twin = m_server;
            twin.id = QUuid::createUuid();
            settings.servers << twin;
        });
        const Outcome twice = runTidewell(m_s->home, {QStringLiteral("--list-backups"), m_server.name});
        QCOMPARE(twice.status, 2);
        QCOMPARE(twice.err.count('\n'), 1);
        QVERIFY2(twice.err.startsWith("tidewell: “web: prod” names 2 servers: "), twice.err.constData());
        writeFile(m_s->home.configFile(), config);
    }
};

QTEST_GUILESS_MAIN(TestRestore)
#include "tst_Restore.moc"
