#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/engine/RetryPolicy.h"
#include "core/engine/RsyncRunner.h"
#include "fixtures/TestHelpers.h"

#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace TestHelpers;

// The run's flow with a fake rsync: what it logs, when it retries, how it ends.
class TestBackupRunLogic : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempHome> m_home;
    std::unique_ptr<ConfigStore> m_store;
    QString m_calls;

    // A stand-in rsync that records each call and ends with `status`.
    RsyncProbe fakeRsync(int status, const QByteArray &extra = {})
    {
        RsyncProbe probe;
        probe.isModern = true;
        probe.version = QVersionNumber(3, 2, 7);
        probe.executable = recordingScript(m_home->path() + QStringLiteral("/rsync-%1").arg(status), m_calls,
                                           extra + "exit " + QByteArray::number(status) + "\n");
        return probe;
    }

    int callCount() const { return readFile(m_calls).count('\n'); }

    Server addServer(std::function<void(Server &)> adjust = {})
    {
        Server server;
        server.name = QStringLiteral("web");
        server.host = QStringLiteral("127.0.0.1");
        server.username = QStringLiteral("u");
        server.useSSHAgent = true;
        BackupPath path;
        path.name = QStringLiteral("Site");
        path.remotePath = QStringLiteral("/srv/site");
        server.paths = {path};
        if (adjust)
            adjust(server);
        m_store->update([&](AppSettings &s) { s.servers.append(server); });
        return server;
    }

    void setSettings(std::function<void(AppSettings &)> change) { m_store->update(change); }

    QStringList runBackup(RsyncRunner &runner, const Server &server)
    {
        runner.setRetryDelayUnitForTesting(10);
        LoopStats stats;
        const bool finished = awaitVoid(runner.run(server, m_store.get()), 30000, &stats);
        if (!finished)
            qWarning("run did not finish");
        return runner.logLines();
    }

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<TempHome>();
        m_store = std::make_unique<ConfigStore>();
        m_calls = m_home->path() + QStringLiteral("/calls");
        setSettings([this](AppSettings &s) {
            s.destinationPath = m_home->path() + QStringLiteral("/dest");
            s.notificationsEnabled = false;
        });
    }

    void cleanup()
    {
        m_store.reset();
        m_home.reset();
    }

    void successLogsEveryStepAndRecordsTheResult()
    {
        const Server server = addServer([](Server &s) { s.retentionCount = 3; });
        RsyncRunner runner;
        runner.setRsyncProbe(fakeRsync(0, "echo '  100%  1.00MB/s'\n"));
        runner.setClock([] { return QDateTime(QDate(2025, 1, 31), QTime(23, 59)); });
        const QString runFolder = m_home->path() + QStringLiteral("/dest/web/2025-01-31");
        const QStringList log = runBackup(runner, server);
        QCOMPARE(log.mid(0, 5), (QStringList{QStringLiteral("Destination: ") + runFolder, QStringLiteral("SSH: u@127.0.0.1:22"),
                                             QStringLiteral("Auth: ssh-agent"), QString(), QStringLiteral("=== Site (/srv/site) ===")}));
        QVERIFY(log.at(5).startsWith(QStringLiteral("$ ") + runner.rsyncProbe().executable + QStringLiteral(" -a --stats -e \"ssh -p 22 ")));
        QVERIFY(log.at(5).endsWith(QStringLiteral(" u@127.0.0.1:/srv/site/ ") + runFolder + QStringLiteral("/Site")));
        QCOMPARE(log.mid(6), (QStringList{QStringLiteral("  100%  1.00MB/s"), QStringLiteral("→ exit 0"), QString(),
                                          QStringLiteral("=== All backups completed ==="),
                                          QStringLiteral("Retention: nothing to prune (keeping last 3).")}));
        QCOMPARE(runner.exitCode(), std::optional<int>(0));
        QVERIFY(!runner.isRunning());
        QVERIFY(!runner.runningServerID());
        QVERIFY(!runner.progressPercent());
        QCOMPARE(runner.currentItem(), QString());
        QCOMPARE(runner.lastDestination(), std::optional<QString>(runFolder));
        QVERIFY(QDir(runFolder + QStringLiteral("/Site")).exists());

        const Server *stored = m_store->settings().server(server.id);
        QCOMPARE(stored->lastExitCode, std::optional<qint64>(0));
        QVERIFY(stored->lastRunAt.has_value());
        const auto onDisk = AppSettings::decode(readFile(m_store->url()));
        QCOMPARE(onDisk->server(server.id)->lastExitCode, std::optional<qint64>(0));
        const QString logFile = QString::fromUtf8(readFile(LogStore::logFile(server.id)));
        QVERIFY(logFile.contains(QStringLiteral("# Status:    SUCCESS\nDestination: ")));
    }

    void transientFailuresAreRetriedWithGrowingDelays()
    {
        const Server server = addServer();
        RsyncRunner runner;
        runner.setRsyncProbe(fakeRsync(23));
        const QStringList log = runBackup(runner, server);
        const QStringList tail = log.mid(log.indexOf(QStringLiteral("→ exit 23")));
        QCOMPARE(tail, (QStringList{QStringLiteral("→ exit 23"), QStringLiteral("(exit 23 is transient — will retry)"),
                                    QStringLiteral("↻ retry 1/2 in 2s…"), QStringLiteral("→ exit 23"),
                                    QStringLiteral("(exit 23 is transient — will retry)"), QStringLiteral("↻ retry 2/2 in 4s…"),
                                    QStringLiteral("→ exit 23"), QStringLiteral("(exit 23 is transient — will retry)"), QString(),
                                    QStringLiteral("Aborting: remaining paths skipped.")}));
        QCOMPARE(callCount(), 3);
        QCOMPARE(runner.exitCode(), std::optional<int>(23));
        QVERIFY(readFile(LogStore::logFile(server.id)).contains("# Status:    FAILED (exit 23)\n"));
    }

    void attemptCounts_data()
    {
        QTest::addColumn<qint64>("retryAttempts");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("calls");
        QTest::newRow("no retries") << qint64(0) << 23 << 1;
        QTest::newRow("negative retries") << qint64(-4) << 24 << 1;
        QTest::newRow("not transient") << qint64(5) << 1 << 1;
        QTest::newRow("ssh failure retried") << qint64(1) << 255 << 2;
    }

    void attemptCounts()
    {
        QFETCH(qint64, retryAttempts);
        QFETCH(int, status);
        QFETCH(int, calls);
        setSettings([&](AppSettings &s) { s.retryAttempts = retryAttempts; });
        const Server server = addServer();
        RsyncRunner runner;
        runner.setRsyncProbe(fakeRsync(status));
        const QStringList log = runBackup(runner, server);
        QCOMPARE(callCount(), calls);
        QCOMPARE(runner.exitCode(), std::optional<int>(status));
        QCOMPARE(log.filter(QStringLiteral("↻ retry")).size(), calls - 1);
        QCOMPARE(log.filter(QStringLiteral("is transient")).isEmpty(), !RetryPolicy::transientExitCodes.contains(status));
        QCOMPARE(log.last(), QStringLiteral("Aborting: remaining paths skipped."));
    }

    void laterPathsAreNotAttemptedAfterAFailure()
    {
        const Server server = addServer([](Server &s) {
            BackupPath second;
            second.name = QStringLiteral("Second");
            second.remotePath = QStringLiteral("/srv/second");
            s.paths.append(second);
        });
        setSettings([](AppSettings &s) { s.retryAttempts = 0; });
        RsyncRunner runner;
        runner.setRsyncProbe(fakeRsync(5));
        const QStringList log = runBackup(runner, server);
        QVERIFY(!log.join(u'\n').contains(QStringLiteral("Second")));
        QCOMPARE(callCount(), 1);
    }

    void cancelDuringTheRetryDelay()
    {
        const Server server = addServer();
        RsyncRunner runner;
        runner.setRsyncProbe(fakeRsync(23));
        runner.setRetryDelayUnitForTesting(300);
        connect(&runner, &RsyncRunner::logLinesChanged, this, [&runner] {
            if (!runner.logLines().isEmpty() && runner.logLines().last().startsWith(QStringLiteral("↻ retry 1/")))
                runner.cancel();
        });
        QVERIFY(awaitVoid(runner.run(server, m_store.get()), 30000));
        QCOMPARE(runner.logLines().last(), QStringLiteral("Cancelled by user."));
        QCOMPARE(runner.exitCode(), std::optional<int>(23));
        QCOMPARE(callCount(), 1);
        QVERIFY(readFile(LogStore::logFile(server.id)).contains("# Status:    CANCELLED\n"));
    }

    void rsyncThatCannotStart()
    {
        const Server server = addServer();
        RsyncRunner runner;
        RsyncProbe missing;
        missing.executable = QStringLiteral("/nonexistent/rsync");
        runner.setRsyncProbe(missing);
        const QStringList log = runBackup(runner, server);
        QVERIFY(log.at(log.size() - 4).startsWith(QStringLiteral("Failed to start rsync: ")));
        QCOMPARE(log.mid(log.size() - 3), (QStringList{QStringLiteral("→ exit -1"), QString(), QStringLiteral("Aborting: remaining paths skipped.")}));
        QCOMPARE(runner.exitCode(), std::optional<int>(-1));
    }

    void preconditions_data()
    {
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lastLines");
        QTest::newRow("empty key") << " \t" << "127.0.0.1" << "/tmp" << 2
                                   << QStringList{QStringLiteral("!! Private key path is empty — open this server's settings and set the SSH key path, or enable “Use ssh-agent”."),
                                                  QStringLiteral("   (Exported configs strip the key path on purpose; it must be re-entered after import.)")};
        QTest::newRow("unreadable key") << "/nonexistent/key" << "127.0.0.1" << "/tmp" << 2
                                        << QStringList{QStringLiteral("!! Private key not readable at: /nonexistent/key"),
                                                       QStringLiteral("   Copy the key to this machine or update the path in this server's settings.")};
        QTest::newRow("host taken as an option") << "" << "-oProxyCommand=touch /tmp/x" << "/tmp" << 2
                                                 << QStringList{QStringLiteral("!! Refusing host name “-oProxyCommand=touch /tmp/x”: it begins with “-” and would be read as an ssh option.")};
        QTest::newRow("empty destination") << "" << "127.0.0.1" << "" << -1
                                           << QStringList{QStringLiteral("Failed to create destination: no backup destination folder is set; choose one in Settings")};
        QTest::newRow("relative destination") << "" << "127.0.0.1" << "Backups" << -1
                                              << QStringList{QStringLiteral("Failed to create destination: the backup destination “Backups” is not an absolute path; choose a folder such as ~/Backups in Settings")};
    }

    void preconditions()
    {
        QFETCH(QString, keyPath);
        QFETCH(QString, host);
        QFETCH(QString, destination);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lastLines);
        const Server server = addServer([&](Server &s) {
            s.useSSHAgent = keyPath.isEmpty();
            s.privateKeyPath = keyPath;
            s.host = host;
        });
        setSettings([&](AppSettings &s) { s.destinationPath = destination; });
        RsyncRunner runner;
        runner.setRsyncProbe(fakeRsync(0));
        const QStringList log = runBackup(runner, server);
        QCOMPARE(log.mid(log.size() - lastLines.size()), lastLines);
        QCOMPARE(runner.exitCode(), std::optional<int>(exitCode));
        QCOMPARE(callCount(), 0);
        QVERIFY(!QDir(QDir::currentPath() + QStringLiteral("/Backups")).exists());
        QCOMPARE(m_store->settings().server(server.id)->lastExitCode, std::optional<qint64>(exitCode));
    }

    void noEnabledPathsCreatesNoFolder()
    {
        const Server server = addServer([](Server &s) { s.paths[0].enabled = false; });
        RsyncRunner runner;
        QCOMPARE(runBackup(runner, server), QStringList{QStringLiteral("No enabled paths.")});
        QCOMPARE(runner.exitCode(), std::optional<int>(0));
        QVERIFY(!QDir(m_home->path() + QStringLiteral("/dest")).exists());
        QVERIFY(readFile(LogStore::logFile(server.id)).endsWith("# Status:    SUCCESS\nNo enabled paths.\n"));
    }

    void notEnoughFreeSpace()
    {
        setSettings([](AppSettings &s) { s.minFreeSpaceGB = 1LL << 40; });
        const Server server = addServer();
        RsyncRunner runner;
        runner.setRsyncProbe(fakeRsync(0));
        const QStringList log = runBackup(runner, server);
        QVERIFY(QRegularExpression(QStringLiteral("^Free space at destination: \\d+\\.\\d\\d GB \\(min required: 1099511627776 GB\\)$"))
                    .match(log.at(log.size() - 2)).hasMatch());
        QCOMPARE(log.last(), QStringLiteral("!! Not enough free space. Aborting."));
        QCOMPARE(runner.exitCode(), std::optional<int>(28));
        QCOMPARE(callCount(), 0);
    }

    void retentionOnlyWithDateFolders()
    {
        setSettings([](AppSettings &s) { s.useDateSubfolder = false; });
        const Server server = addServer([](Server &s) { s.retentionCount = 1; });
        // With date folders off, a path named like a date lives here.
        const QString pathFolder = m_home->path() + QStringLiteral("/dest/web/2020-01-01");
        QDir().mkpath(pathFolder);
        QDir().mkpath(m_home->path() + QStringLiteral("/dest/web/2020-01-02"));
        RsyncRunner runner;
        runner.setRsyncProbe(fakeRsync(0));
        const QStringList log = runBackup(runner, server);
        QCOMPARE(log.last(), QStringLiteral("=== All backups completed ==="));
        QVERIFY(QDir(pathFolder).exists());

        setSettings([](AppSettings &s) { s.useDateSubfolder = true; });
        runner.setClock([] { return QDateTime(QDate(2020, 1, 3), QTime(1, 0)); });
        const QStringList dated = runBackup(runner, server);
        QCOMPARE(dated.mid(dated.size() - 3), (QStringList{QStringLiteral("Retention: pruned 2 older backup(s):"),
                                                           QStringLiteral("  - 2020-01-02"), QStringLiteral("  - 2020-01-01")}));
    }

    void aSecondRunWhileRunningChangesNothing()
    {
        const Server server = addServer();
        RsyncRunner runner;
        runner.setRsyncProbe(fakeRsync(0, "sleep 0.5\n"));
        bool firstDone = false;
        QCoro::connect(runner.run(server, m_store.get()), this, [&] { firstDone = true; });
        QVERIFY(runner.isRunning());
        const QStringList before = runner.logLines();
        QVERIFY(awaitVoid(runner.run(server, m_store.get()), 1000));
        QCOMPARE(runner.logLines(), before);
        QVERIFY(runner.isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(firstDone, 10000);
        QCOMPARE(callCount(), 1);
    }

    void serverDeletedDuringTheRunRecordsNothing()
    {
        const Server server = addServer();
        RsyncRunner runner;
        runner.setRsyncProbe(fakeRsync(0, "sleep 0.3\n"));
        bool done = false;
        QCoro::connect(runner.run(server, m_store.get()), this, [&] { done = true; });
        m_store->deleteServer(server.id);
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        QVERIFY(m_store->settings().servers.isEmpty());
        QVERIFY(QFile::exists(LogStore::logFile(server.id)));
    }

    void publishedStateWhileRunning()
    {
        const Server server = addServer();
        RsyncRunner runner;
        runner.setRsyncProbe(fakeRsync(0, "printf ' 37%% \\n'\nsleep 0.3\n"));
        QSignalSpy running(&runner, &RsyncRunner::isRunningChanged);
        bool done = false;
        QCoro::connect(runner.run(server, m_store.get()), this, [&] { done = true; });
        QCOMPARE(runner.runningServerID(), std::optional<QUuid>(server.id));
        QTRY_COMPARE_WITH_TIMEOUT(runner.progressPercent(), std::optional<double>(37), 5000);
        QCOMPARE(runner.currentItem(), QStringLiteral("Site"));
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        QCOMPARE(running.count(), 2);
    }
};

QTEST_GUILESS_MAIN(TestBackupRunLogic)
#include "tst_BackupRunLogic.moc"
