// SPDX-License-Identifier: GPL-3.0-or-later
// Whole headless backups through the built binary against a real sshd.
#include "core/engine/RsyncRunner.h"
#include "core/model/AppSettings.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTest>

using namespace TestHelpers;

// Whole backups through the built binary, as a schedule starts it: real
// rsync, a real sshd and a private session bus with a recording notifier.
class TestHeadlessBackup : public SshdBackupTest
{
    Q_OBJECT

public:
    TestHeadlessBackup()
        : SshdBackupTest(true)
    { }

private:
    static BackupPath path(const QString &name, const QString &remote, bool isDirectory = true)
    {
        return BackupScenario::path(name, remote, isDirectory);
    }

private Q_SLOTS:
    void twoPathsAreCopiedExactly()
    {
        const QString folder = m_s->remote + QStringLiteral("/www/my site");
        writeFile(folder + QStringLiteral("/index (1).html"), "<html>");
        writeFile(folder + QStringLiteral("/a/b/c/ünï & 'q'.txt"), "deep");
        writeFile(folder + QStringLiteral("/$weird;name|x"), "weird");
        writeFile(m_s->remote + QStringLiteral("/db.sqlite"), "sqlite-bytes");
        const Server server =
            m_s->writeConfig({path(QStringLiteral("Site"), folder),
                              path(QStringLiteral("DB"), m_s->remote + QStringLiteral("/db.sqlite"), false)});
        const int notificationsBefore = m_bus->notifications().size();

        const Outcome outcome = m_s->runHeadless(server.id);
        QVERIFY2(outcome.status == 0, qPrintable(m_s->logOf(server).join(u'\n') + QString::fromUtf8(outcome.err)));
        QVERIFY(outcome.out.isEmpty());
        QCOMPARE(treeDifferences(folder, m_s->runFolder() + QStringLiteral("/Site")), QStringList());
        QCOMPARE(readFile(m_s->runFolder() + QStringLiteral("/DB/db.sqlite")), QByteArray("sqlite-bytes"));

        const QStringList log = m_s->logOf(server);
        QCOMPARE(log.at(3), QStringLiteral("# Status:    SUCCESS"));
        QCOMPARE(log.filter(QStringLiteral("$ /usr/bin/rsync -a --stats -e ")).size(), 2);
        QVERIFY(log.contains(QStringLiteral("=== All backups completed ===")));
        const auto onDisk = AppSettings::decode(readFile(m_s->home.configFile()));
        QCOMPARE(onDisk->servers.first().lastExitCode, std::optional<qint64>(0));
        QVERIFY(onDisk->servers.first().lastRunAt.has_value());

        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), notificationsBefore + 1, 5000);
        const QJsonObject call = m_bus->notifications().last();
        // A second line names the host key when this run was the first contact.
        QCOMPARE(call.value(QStringLiteral("body")).toString().section(u'\n', 0, 0),
                 QStringLiteral("✓ web: prod — backup completed"));
        QCOMPARE(call.value(QStringLiteral("hints")).toObject().value(QStringLiteral("urgency")).toString(),
                 QStringLiteral("byte:1"));

        // A second run: a second notification, the log file replaced.
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), notificationsBefore + 2, 5000);
        QCOMPARE(m_s->logOf(server).filter(QStringLiteral("# Tidewell log")).size(), 1);
    }

    void failingPreBackupCommandSkipsRsync()
    {
        BackupPath p = path(QStringLiteral("Site"), m_s->remote);
        p.preBackupCommand = QStringLiteral("  exit 3\n");
        const Server server = m_s->writeConfig({p});
        const int notificationsBefore = m_bus->notifications().size();
        QCOMPARE(m_s->runHeadless(server.id).status, 2);
        const QStringList log = m_s->logOf(server);
        const qsizetype at = log.indexOf(QStringLiteral("↳ pre-backup: exit 3"));
        QVERIFY(at > 0);
        QCOMPARE(log.mid(at, 3),
                 (QStringList{QStringLiteral("↳ pre-backup: exit 3"), QStringLiteral("  exit 3"),
                              QStringLiteral("!! pre-backup command failed — skipping rsync for this path")}));
        QVERIFY(log.filter(QStringLiteral("$ ")).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), notificationsBefore + 1, 5000);
        QCOMPARE(m_bus->notifications().last().value(QStringLiteral("body")).toString(),
                 QStringLiteral("✗ web: prod — backup failed (exit 2)"));
        QCOMPARE(m_bus->notifications()
                     .last()
                     .value(QStringLiteral("hints"))
                     .toObject()
                     .value(QStringLiteral("urgency"))
                     .toString(),
                 QStringLiteral("byte:2"));
    }

    void preBackupCommandRunsBeforeRsync()
    {
        BackupPath p = path(QStringLiteral("Dump"), m_s->remote + QStringLiteral("/dump"));
        p.preBackupCommand =
            QStringLiteral("mkdir -p '%1/dump' && echo dumped > '%1/dump/db.sql' && echo made it").arg(m_s->remote);
        const Server server = m_s->writeConfig({p});
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        QCOMPARE(readFile(m_s->runFolder() + QStringLiteral("/Dump/db.sql")), QByteArray("dumped\n"));
        QVERIFY(m_s->logOf(server).contains(QStringLiteral("  made it")));
    }

    void missingRemotePathIsRetriedThenAborts()
    {
        writeFile(m_s->remote + QStringLiteral("/later/file"), "x");
        const Server server =
            m_s->writeConfig({path(QStringLiteral("Gone"), m_s->remote + QStringLiteral("/not-there")),
                              path(QStringLiteral("Later"), m_s->remote + QStringLiteral("/later"))},
                             [](AppSettings &s) { s.retryAttempts = 1; });
        QCOMPARE(m_s->runHeadless(server.id).status, 23);
        const QStringList log = m_s->logOf(server);
        QVERIFY(log.contains(QStringLiteral("↻ retry 1/1 in 2s…")));
        QCOMPARE(log.filter(QStringLiteral("→ exit 23")).size(), 2);
        QVERIFY(log.contains(QStringLiteral("Aborting: remaining paths skipped.")));
        QVERIFY(log.filter(QStringLiteral("Later")).isEmpty());
        QCOMPARE(AppSettings::decode(readFile(m_s->home.configFile()))->servers.first().lastExitCode,
                 std::optional<qint64>(23));
    }

    void notEnoughFreeSpace()
    {
        const Server server = m_s->writeConfig({path(QStringLiteral("Site"), m_s->remote)},
                                               [](AppSettings &s) { s.minFreeSpaceGB = 1LL << 40; });
        QCOMPARE(m_s->runHeadless(server.id).status, 28);
        QVERIFY(m_s->logOf(server).contains(QStringLiteral("!! Not enough free space. Aborting.")));
    }

    void retentionKeepsTheNewest()
    {
        writeFile(m_s->remote + QStringLiteral("/f"), "f");
        const QString serverFolder = m_s->destination + QStringLiteral("/web_prod");
        for (const char *day : {"2020-01-01", "2020-01-02", "2020-01-03"})
            QDir().mkpath(serverFolder + u'/' + QLatin1String(day));
        writeFile(serverFolder + QStringLiteral("/2019-12-31"), "a file");
        QDir().mkpath(serverFolder + QStringLiteral("/.2019-12-30"));
        QDir().mkpath(serverFolder + QStringLiteral("/manual"));
        const Server server = m_s->writeConfig({path(QStringLiteral("Site"), m_s->remote)},
                                               [](AppSettings &s) { s.servers[0].retentionCount = 2; });
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        QStringList left = QDir(serverFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        left.sort();
        QCOMPARE(left,
                 (QStringList{QStringLiteral(".2019-12-30"), QStringLiteral("2019-12-31"), QStringLiteral("2020-01-03"),
                              QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")), QStringLiteral("manual")}));
        const QStringList log = m_s->logOf(server);
        QVERIFY(log.contains(QStringLiteral("Retention: pruned 2 older backup(s):")));
    }

    void cancelLeavesNoProcessBehind()
    {
        // A large sparse file keeps rsync busy for a few seconds.
        QFile big(m_s->remote + QStringLiteral("/big"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(qint64(3) << 30));
        big.close();
        const Server server = m_s->writeConfig({path(QStringLiteral("Big"), m_s->remote)});
        ConfigStore store;
        RsyncRunner runner;
        bool done = false;
        QCoro::connect(runner.run(server, &store), this, [&] { done = true; });
        QTRY_VERIFY_WITH_TIMEOUT(!runner.logLines().filter(QStringLiteral("$ ")).isEmpty(), 10000);
        QTest::qWait(1000);
        QVERIFY(!done);
        runner.cancel();
        QTRY_VERIFY_WITH_TIMEOUT(done, 20000);
        QCOMPARE(runner.logLines().last(), QStringLiteral("Cancelled by user."));
        QCOMPARE(m_s->logOf(server).at(3), QStringLiteral("# Status:    CANCELLED"));
        // rsync names the destination, ssh names the client key. (The
        // server's own rsync ends when it next writes to the closed
        // connection: on a busy machine that took just over 10 s once.)
        QTRY_COMPARE_WITH_TIMEOUT(processesMentioning(m_s->home.path()), QStringList(), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(processesMentioning(m_sshd->clientKey()), QStringList(), 30000);
    }
};

QTEST_GUILESS_MAIN(TestHeadlessBackup)
#include "tst_HeadlessBackup.moc"
