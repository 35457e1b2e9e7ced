// SPDX-License-Identifier: GPL-3.0-or-later
// Daily snapshots that store and transfer only what changed: hard links to
// the previous day, markers on incomplete runs, through the built binary
// against the real sshd.
#include "core/engine/RsyncStats.h"
#include "core/engine/Snapshots.h"
#include "core/restore/SnapshotCompare.h"
#include "core/restore/VersionFinder.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDate>
#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>

using namespace TestHelpers;

class TestSnapshots : public SshdBackupTest
{
    Q_OBJECT

    static QString day(int daysAgo)
    {
        return QDate::currentDate().addDays(-daysAgo).toString(QStringLiteral("yyyy-MM-dd"));
    }
    QString serverFolder() const { return m_s->destination + QStringLiteral("/web_prod"); }

    // Makes today's snapshot look `daysAgo` old, as if the next run were days later.
    void age(int daysAgo) { QVERIFY(QDir().rename(m_s->runFolder(), serverFolder() + u'/' + day(daysAgo))); }

    static ino_t inode(const QString &path)
    {
        struct stat info;
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
    }

    // Each version has its own size: rsync's quick check compares size and a
    // modification time that a test rewrites within the same second.
    static QByteArray content(int i, int version)
    {
        return QByteArray(10240 + version, char('a' + (i + version) % 26));
    }

private Q_SLOTS:
    void unchangedFilesAreStoredOnce()
    {
        for (int i = 0; i < 200; ++i)
            writeFile(m_s->remote + QStringLiteral("/tree/f%1").arg(i), content(i, 0));
        const Server server =
            m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote + QStringLiteral("/tree"))});
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        age(1);
        // 1% of the files change.
        for (int i : {7, 99})
            writeFile(m_s->remote + QStringLiteral("/tree/f%1").arg(i), content(i, 1));
        QCOMPARE(m_s->runHeadless(server.id).status, 0);

        const QString before = serverFolder() + u'/' + day(1) + QStringLiteral("/Site/");
        const QString after = m_s->runFolder() + QStringLiteral("/Site/");
        QCOMPARE(inode(after + QStringLiteral("f0")), inode(before + QStringLiteral("f0")));
        QCOMPARE(inode(after + QStringLiteral("f199")), inode(before + QStringLiteral("f199")));
        QVERIFY(inode(after + QStringLiteral("f7")) != inode(before + QStringLiteral("f7")));
        QCOMPARE(readFile(after + QStringLiteral("f7")), content(7, 1));
        QCOMPARE(readFile(before + QStringLiteral("f7")), content(7, 0));
        QVERIFY(!QFile::exists(m_s->runFolder() + u'/' + Snapshots::incompleteMarker));

        const QStringList log = m_s->logOf(server);
        QVERIFY(log.filter(QStringLiteral("$ ")).first().contains(QStringLiteral("--link-dest=") + before.chopped(1)));
        const QStringList summary = log.filter(QStringLiteral("Snapshot: "));
        QCOMPARE(summary.size(), 1);
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^Snapshot: 200 files, (\\S+) received, 198 files shared with ") + day(1)
                               + u'$')
                .match(summary.first());
        QVERIFY2(match.hasMatch(), qPrintable(summary.first()));
        // About the changed bytes; far from the 2 MB of the whole tree.
        QVERIFY(*RsyncStats::parseNumber(match.captured(1)) < 2 * 2 * 10240 + 1048576);
    }

    void anIncompleteRunIsNeverTheBase()
    {
        writeFile(m_s->remote + QStringLiteral("/tree/f"), "f");
        const QList<BackupPath> paths{
            BackupScenario::path(QStringLiteral("Site"), m_s->remote + QStringLiteral("/tree")),
            BackupScenario::path(QStringLiteral("Gone"), m_s->remote + QStringLiteral("/gone"))};
        const Server server = m_s->writeConfig({paths.first()}, [](AppSettings &s) { s.retryAttempts = 0; });
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        age(2);
        m_s->writeConfig(paths, [&](AppSettings &s) {
            s.retryAttempts = 0;
            s.servers[0].id = server.id;
        });
        QCOMPARE(m_s->runHeadless(server.id).status, 23);
        QVERIFY(QFile::exists(m_s->runFolder() + u'/' + Snapshots::incompleteMarker));
        age(1);
        m_s->writeConfig({paths.first()}, [&](AppSettings &s) { s.servers[0].id = server.id; });
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        QVERIFY(
            m_s->logOf(server)
                .filter(QStringLiteral("$ "))
                .first()
                .contains(QStringLiteral("--link-dest=") + serverFolder() + u'/' + day(2) + QStringLiteral("/Site")));
        QCOMPARE(Snapshots::list(serverFolder()).size(), 3);
        QVERIFY(!Snapshots::list(serverFolder()).at(1).complete);
    }

    // A first copy cut off half-way (a slow link, a laptop closed) is not
    // started again from nothing: the next day's run takes what it got and
    // transfers the rest. The cut day still never counts as complete.
    void aCutFirstCopyResumes()
    {
        QFile random(QStringLiteral("/dev/urandom"));
        QVERIFY(random.open(QIODevice::ReadOnly));
        for (int i = 0; i < 20; ++i)
            writeFile(m_s->remote + QStringLiteral("/tree/f%1").arg(i), random.read(256 * 1024));
        const Server server =
            m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote + QStringLiteral("/tree"))});
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        const auto whole = RsyncStats::parse(m_s->logOf(server));
        QVERIFY(whole && whole->bytesReceived > 5.0 * 1024 * 1024);
        // What a run cut off after half the files leaves: those files, and the marker.
        for (int i = 10; i < 20; ++i)
            QVERIFY(QFile::remove(m_s->runFolder() + QStringLiteral("/Site/f%1").arg(i)));
        writeFile(m_s->runFolder() + u'/' + Snapshots::incompleteMarker, "");
        age(1);
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        const QStringList log = m_s->logOf(server);
        QVERIFY(log.contains(QStringLiteral("The run of ") + day(1)
                             + QStringLiteral(" did not finish: what it copied is taken from there, not sent again.")));
        const auto resumed = RsyncStats::parse(log);
        QVERIFY(resumed);
        QVERIFY2(resumed->bytesReceived > 0.35 * whole->bytesReceived
                     && resumed->bytesReceived < 0.65 * whole->bytesReceived,
                 qPrintable(QStringLiteral("%1 of %2").arg(resumed->bytesReceived).arg(whole->bytesReceived)));
        QCOMPARE(treeDifferences(m_s->remote + QStringLiteral("/tree"), m_s->runFolder() + QStringLiteral("/Site")),
                 QStringList());
        const QList<Snapshots::Backup> days = Snapshots::list(serverFolder());
        QCOMPARE(days.size(), 2);
        QVERIFY(days.at(0).complete);
        QVERIFY(!days.at(1).complete);
        QCOMPARE(inode(m_s->runFolder() + QStringLiteral("/Site/f0")),
                 inode(serverFolder() + u'/' + day(1) + QStringLiteral("/Site/f0")));
    }

    // Deleting an old snapshot frees only what no other snapshot shares.
    void pruningKeepsTheRestWhole()
    {
        for (int i = 0; i < 20; ++i)
            writeFile(m_s->remote + QStringLiteral("/tree/f%1").arg(i), content(i, 0));
        const Server server =
            m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote + QStringLiteral("/tree"))},
                             [](AppSettings &s) { s.servers[0].retentionCount = 2; });
        for (int daysAgo : {3, 2, 1}) {
            writeFile(m_s->remote + QStringLiteral("/tree/f0"), content(0, daysAgo));
            QCOMPARE(m_s->runHeadless(server.id).status, 0);
            age(daysAgo);
        }
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        QCOMPARE(QDir(serverFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{day(1), day(0)}));
        for (const QString &snapshot : {day(1), day(0)}) {
            for (int i = 1; i < 20; ++i)
                QCOMPARE(readFile(serverFolder() + u'/' + snapshot + QStringLiteral("/Site/f%1").arg(i)),
                         content(i, 0));
        }
        QCOMPARE(readFile(serverFolder() + u'/' + day(1) + QStringLiteral("/Site/f0")), content(0, 1));
    }

    // A server backed up every few hours keeps a snapshot per run, linked to
    // the one before, beside the day's folder it had while it ran daily;
    // retention keeps hours and days, and the readers take both forms.
    void severalSnapshotsADay()
    {
        for (int i = 0; i < 20; ++i)
            writeFile(m_s->remote + QStringLiteral("/tree/f%1").arg(i), content(i, 0));
        Server server = m_s->writeConfig(
            {BackupScenario::path(QStringLiteral("Site"), m_s->remote + QStringLiteral("/tree"))}, [](AppSettings &s) {
                s.servers[0].retentionCount = 2;
                s.servers[0].keepHourly = 7;
            });
        const QDate first(2026, 11, 30);
        QCOMPARE(m_s->runAt(QDateTime(first, QTime(12, 0)), server).exitCode, 0); // daily still
        server.scheduleKind = QStringLiteral("hours");
        server.scheduleEveryHours = 6;
        const QList<QDateTime> runs{QDateTime(first, QTime(18, 0)), QDateTime(first.addDays(1), QTime(0, 0)),
                                    QDateTime(first.addDays(1), QTime(6, 0)), QDateTime(first.addDays(1), QTime(8, 30)),
                                    QDateTime(first.addDays(1), QTime(12, 0))};
        QStringList logs;
        for (qsizetype i = 0; i < runs.size(); ++i) {
            writeFile(m_s->remote + QStringLiteral("/tree/f0"), content(0, int(i) + 1));
            const BackupScenario::Run run = m_s->runAt(runs.at(i), server);
            QVERIFY2(run.exitCode == 0, qPrintable(run.log.join(u'\n')));
            logs << run.log;
        }
        // Kept: the newest of the last seven hours (06:00, 08:30, 12:00) and
        // of the last two days (12:00 of the second, 18:00 of the first).
        const QStringList kept{QStringLiteral("2026-11-30_1800"), QStringLiteral("2026-12-01_0600"),
                               QStringLiteral("2026-12-01_0830"), QStringLiteral("2026-12-01_1200")};
        QCOMPARE(QDir(serverFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), kept);
        // The day's folder went at 06:00 (its day kept 18:00), midnight at 08:30.
        QVERIFY2(logs.contains(QStringLiteral("Retention: keeping 7 hourly, 2 daily, 0 weekly, 0 monthly; pruned "
                                              "1 older backup(s):")),
                 qPrintable(logs.join(u'\n')));
        QCOMPARE(logs.filter(QStringLiteral("  - ")),
                 (QStringList{QStringLiteral("  - 2026-11-30"), QStringLiteral("  - 2026-12-01_0000")}));
        // Each run is linked to the one before it, also within a day.
        const auto file = [this](const QString &snapshot, int i) -> QString {
            return serverFolder() + u'/' + snapshot + QStringLiteral("/Site/f%1").arg(i);
        };
        QCOMPARE(inode(file(kept.at(3), 5)), inode(file(kept.at(2), 5)));
        QCOMPARE(readFile(file(kept.at(2), 0)), content(0, 4));

        const QList<VersionFinder::Version> versions =
            VersionFinder::versionsOf(server, serverFolder(), m_s->remote + QStringLiteral("/tree/f0"));
        QCOMPARE(versions.size(), 4);
        QCOMPARE(versions.first().firstDate(), kept.at(3));
        QCOMPARE(versions.last().firstDate(), kept.at(0));
        const SnapshotCompare::Result compared =
            SnapshotCompare::compare(server, serverFolder() + u'/' + kept.at(1), serverFolder() + u'/' + kept.at(3));
        QCOMPARE(compared.changes.size(), 1);
        QCOMPARE(compared.changes.first().remotePath, m_s->remote + QStringLiteral("/tree/f0"));

        // The command line names a snapshot, or a day for its newest.
        const QString id = server.id.toString(QUuid::WithoutBraces);
        for (const auto &[date, version] :
             {std::pair{QStringLiteral("2026-12-01_0600"), 3}, std::pair{QStringLiteral("2026-12-01"), 5},
              std::pair{QStringLiteral("2026-11-30"), 1}}) {
            const QString target = m_s->home.path() + QStringLiteral("/restored-") + date;
            const Outcome restored = runTidewell(
                m_s->home, {QStringLiteral("--restore"), id, QStringLiteral("--date"), date, QStringLiteral("--item"),
                            m_s->remote + QStringLiteral("/tree/f0"), QStringLiteral("--to"), target});
            QVERIFY2(restored.status == 0, restored.err.constData());
            QCOMPARE(readFile(target + QStringLiteral("/f0")), content(0, version));
        }
        const Outcome wrong = runTidewell(m_s->home, {QStringLiteral("--restore"), id, QStringLiteral("--date"),
                                                      QStringLiteral("2026-12-01_2460"), QStringLiteral("--item"),
                                                      QStringLiteral("/x"), QStringLiteral("--to"), m_s->home.path()});
        QCOMPARE(wrong.status, 2);
    }
};

QTEST_GUILESS_MAIN(TestSnapshots)
#include "tst_Snapshots.moc"
