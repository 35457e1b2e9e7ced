// SPDX-License-Identifier: GPL-3.0-or-later
// The run's flow with a stand-in rsync: log lines, retries, endings.
#include "core/engine/RetryPolicy.h"
#include "core/engine/RsyncRunner.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "core/system/FileLock.h"
#include "fixtures/Await.h"
#include "fixtures/EngineHarness.h"
#include "fixtures/Files.h"

#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <thread>

using namespace TestHelpers;

// The run's flow with a fake rsync: what it logs, when it retries, how it ends.
class TestBackupRunLogic : public QObject
{
    Q_OBJECT

    std::unique_ptr<EngineHarness> m_h;

    Server addServer(std::function<void(Server &)> adjust = {})
    {
        Server server = runnableServer();
        if (adjust)
            adjust(server);
        return m_h->add(server);
    }

    void setSettings(std::function<void(AppSettings &)> change) { m_h->store.update(change); }

    QStringList runBackup(const Server &server)
    {
        m_h->runner.setRetryDelayUnitForTesting(10);
        if (!awaitVoid(m_h->runner.run(server, &m_h->store), 30000))
            qWarning("run did not finish");
        return m_h->runner.logLines();
    }

private Q_SLOTS:
    void init() { m_h = std::make_unique<EngineHarness>(); }
    void cleanup() { m_h.reset(); }

    void successLogsEveryStepAndRecordsTheResult()
    {
        const Server server = addServer([](Server &s) { s.retentionCount = 3; });
        RsyncRunner &runner = m_h->runner;
        runner.setRsyncProbe(m_h->fakeRsync(0, "echo '  100%  1.00MB/s'\n"));
        runner.setClock([] { return QDateTime(QDate(2025, 1, 31), QTime(23, 59)); });
        const QString runFolder = m_h->home.path() + QStringLiteral("/dest/web/2025-01-31");
        const QStringList log = runBackup(server);
        QCOMPARE(log.mid(0, 6),
                 (QStringList{QStringLiteral("Destination: ") + runFolder, QStringLiteral("SSH: u@127.0.0.1:22"),
                              QStringLiteral("Auth: ssh-agent"), QStringLiteral("Snapshots: hard links"), QString(),
                              QStringLiteral("=== Site (/srv/site) ===")}));
        QVERIFY(log.at(6).startsWith(QStringLiteral("$ ") + runner.rsyncProbe().executable
                                     + QStringLiteral(" -a --stats -e \"ssh -p 22 ")));
        QVERIFY(log.at(6).endsWith(QStringLiteral(" u@127.0.0.1:'/srv/site/' ") + runFolder + QStringLiteral("/Site")));
        QCOMPARE(log.mid(7), (QStringList{QStringLiteral("  100%  1.00MB/s"), QStringLiteral("→ exit 0"), QString(),
                                          QStringLiteral("=== All backups completed ==="),
                                          QStringLiteral("Retention: nothing to prune (keeping last 3).")}));
        QCOMPARE(runner.exitCode(), std::optional<int>(0));
        QVERIFY(!runner.isRunning());
        QVERIFY(!runner.runningServerID());
        QVERIFY(!runner.progressPercent());
        QCOMPARE(runner.currentItem(), QString());
        QCOMPARE(runner.lastDestination(), std::optional<QString>(runFolder));
        QVERIFY(QDir(runFolder + QStringLiteral("/Site")).exists());

        const Server *stored = m_h->store.settings().server(server.id);
        QCOMPARE(stored->lastExitCode, std::optional<qint64>(0));
        QVERIFY(stored->lastRunAt.has_value());
        const auto onDisk = AppSettings::decode(readFile(m_h->store.url()));
        QCOMPARE(onDisk->server(server.id)->lastExitCode, std::optional<qint64>(0));
        const QString logFile = QString::fromUtf8(readFile(LogStore::logFile(server.id)));
        QVERIFY(logFile.contains(QStringLiteral("# Status:    SUCCESS\nDestination: ")));
    }

    void transientFailuresAreRetriedWithGrowingDelays()
    {
        const Server server = addServer();
        RsyncRunner &runner = m_h->runner;
        runner.setRsyncProbe(m_h->fakeRsync(23));
        const QStringList log = runBackup(server);
        const QStringList tail = log.mid(log.indexOf(QStringLiteral("→ exit 23")));
        QCOMPARE(tail, (QStringList{QStringLiteral("→ exit 23"), QStringLiteral("(exit 23 is transient — will retry)"),
                                    QStringLiteral("↻ retry 1/2 in 2s…"), QStringLiteral("→ exit 23"),
                                    QStringLiteral("(exit 23 is transient — will retry)"),
                                    QStringLiteral("↻ retry 2/2 in 4s…"), QStringLiteral("→ exit 23"),
                                    QStringLiteral("(exit 23 is transient, but no attempt is left)"), QString(),
                                    QStringLiteral("Aborting: remaining paths skipped.")}));
        QCOMPARE(m_h->callCount(), 3);
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
        RsyncRunner &runner = m_h->runner;
        runner.setRsyncProbe(m_h->fakeRsync(status));
        const QStringList log = runBackup(server);
        QCOMPARE(m_h->callCount(), calls);
        QCOMPARE(runner.exitCode(), std::optional<int>(status));
        QCOMPARE(log.filter(QStringLiteral("↻ retry")).size(), calls - 1);
        QCOMPARE(log.filter(QStringLiteral("is transient")).isEmpty(),
                 !RetryPolicy::transientExitCodes.contains(status));
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
        RsyncRunner &runner = m_h->runner;
        runner.setRsyncProbe(m_h->fakeRsync(5));
        const QStringList log = runBackup(server);
        QVERIFY(!log.join(u'\n').contains(QStringLiteral("Second")));
        QCOMPARE(m_h->callCount(), 1);
    }

    void cancelDuringTheRetryDelay()
    {
        const Server server = addServer();
        RsyncRunner &runner = m_h->runner;
        runner.setRsyncProbe(m_h->fakeRsync(23));
        runner.setRetryDelayUnitForTesting(300);
        connect(&runner, &RsyncRunner::logLinesChanged, this, [&runner] {
            if (!runner.logLines().isEmpty() && runner.logLines().last().startsWith(QStringLiteral("↻ retry 1/")))
                runner.cancel();
        });
        QVERIFY(awaitVoid(runner.run(server, &m_h->store), 30000));
        QCOMPARE(runner.logLines().last(), QStringLiteral("Cancelled by user."));
        QCOMPARE(runner.exitCode(), std::optional<int>(23));
        QCOMPARE(m_h->callCount(), 1);
        QVERIFY(readFile(LogStore::logFile(server.id)).contains("# Status:    CANCELLED\n"));
    }

    void rsyncThatCannotStart()
    {
        const Server server = addServer();
        RsyncRunner &runner = m_h->runner;
        RsyncProbe missing;
        missing.executable = QStringLiteral("/nonexistent/rsync");
        runner.setRsyncProbe(missing);
        const QStringList log = runBackup(server);
        QVERIFY(log.at(log.size() - 4).startsWith(QStringLiteral("Failed to start rsync: ")));
        QCOMPARE(log.mid(log.size() - 3), (QStringList{QStringLiteral("→ exit -1"), QString(),
                                                       QStringLiteral("Aborting: remaining paths skipped.")}));
        QCOMPARE(runner.exitCode(), std::optional<int>(-1));
    }

    void preconditions_data()
    {
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lastLines");
        // Every refusal's text is checked with the plan; here the run's side of it.
        QTest::newRow("unreadable key")
            << "/nonexistent/key"
            << "127.0.0.1"
            << "/tmp" << 2
            << QStringList{
                   QStringLiteral("!! Private key not readable at: /nonexistent/key"),
                   QStringLiteral("   Copy the key to this machine or update the path in this server's settings.")};
        QTest::newRow("relative destination")
            << ""
            << "127.0.0.1"
            << "Backups" << -1
            << QStringList{QStringLiteral("Failed to create destination: the backup destination “Backups” is not an "
                                          "absolute path; choose a folder such as ~/Backups in Settings")};
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
        RsyncRunner &runner = m_h->runner;
        runner.setRsyncProbe(m_h->fakeRsync(0));
        const QStringList log = runBackup(server);
        QCOMPARE(log.mid(log.size() - lastLines.size()), lastLines);
        QCOMPARE(runner.exitCode(), std::optional<int>(exitCode));
        QCOMPARE(m_h->callCount(), 0);
        QVERIFY(!QDir(QDir::currentPath() + QStringLiteral("/Backups")).exists());
        QCOMPARE(m_h->store.settings().server(server.id)->lastExitCode, std::optional<qint64>(exitCode));
    }

    void noEnabledPathsCreatesNoFolder()
    {
        const Server server = addServer([](Server &s) { s.paths[0].enabled = false; });
        RsyncRunner &runner = m_h->runner;
        QCOMPARE(runBackup(server), QStringList{QStringLiteral("No enabled paths.")});
        QCOMPARE(runner.exitCode(), std::optional<int>(0));
        QVERIFY(!QDir(m_h->home.path() + QStringLiteral("/dest")).exists());
        QVERIFY(readFile(LogStore::logFile(server.id)).endsWith("# Status:    SUCCESS\nNo enabled paths.\n"));
    }

    void notEnoughFreeSpace()
    {
        setSettings([](AppSettings &s) { s.minFreeSpaceGB = 1LL << 40; });
        const Server server = addServer();
        RsyncRunner &runner = m_h->runner;
        runner.setRsyncProbe(m_h->fakeRsync(0));
        const QStringList log = runBackup(server);
        QVERIFY(
            QRegularExpression(
                QStringLiteral("^Free space at destination: \\d+\\.\\d\\d GB \\(min required: 1099511627776 GB\\)$"))
                .match(log.at(log.size() - 2))
                .hasMatch());
        QCOMPARE(log.last(), QStringLiteral("!! Not enough free space. Aborting."));
        QCOMPARE(runner.exitCode(), std::optional<int>(28));
        QCOMPARE(m_h->callCount(), 0);
    }

    void retentionOnlyWithDateFolders()
    {
        setSettings([](AppSettings &s) { s.useDateSubfolder = false; });
        const Server server = addServer([](Server &s) { s.retentionCount = 1; });
        // With date folders off, a path named like a date lives here.
        const QString pathFolder = m_h->home.path() + QStringLiteral("/dest/web/2020-01-01");
        QDir().mkpath(pathFolder);
        QDir().mkpath(m_h->home.path() + QStringLiteral("/dest/web/2020-01-02"));
        RsyncRunner &runner = m_h->runner;
        runner.setRsyncProbe(m_h->fakeRsync(0));
        const QStringList log = runBackup(server);
        QCOMPARE(log.last(), QStringLiteral("=== All backups completed ==="));
        QVERIFY(QDir(pathFolder).exists());

        setSettings([](AppSettings &s) { s.useDateSubfolder = true; });
        runner.setClock([] { return QDateTime(QDate(2020, 1, 3), QTime(1, 0)); });
        const QStringList dated = runBackup(server);
        QCOMPARE(dated.mid(dated.size() - 3),
                 (QStringList{QStringLiteral("Retention: pruned 2 older backup(s):"), QStringLiteral("  - 2020-01-02"),
                              QStringLiteral("  - 2020-01-01")}));
    }

    void aSecondRunWhileRunningChangesNothing()
    {
        const Server server = addServer();
        RsyncRunner &runner = m_h->runner;
        runner.setRsyncProbe(m_h->fakeRsync(0, "trap '' TERM\nsleep 0.5\n"));
        bool firstDone = false;
        QCoro::connect(runner.run(server, &m_h->store), this, [&] { firstDone = true; });
        QVERIFY(runner.isRunning());
        const QStringList before = runner.logLines();
        QVERIFY(awaitVoid(runner.run(server, &m_h->store), 1000));
        QCOMPARE(runner.logLines(), before);
        QVERIFY(runner.isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(firstDone, 10000);
        QCOMPARE(m_h->callCount(), 1);
    }

    void serverDeletedDuringTheRunRecordsNothing()
    {
        const Server server = addServer();
        RsyncRunner &runner = m_h->runner;
        runner.setRsyncProbe(m_h->fakeRsync(0, "sleep 0.3\n"));
        bool done = false;
        QCoro::connect(runner.run(server, &m_h->store), this, [&] { done = true; });
        m_h->store.deleteServer(server.id);
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        QVERIFY(m_h->store.settings().servers.isEmpty());
        QVERIFY(QFile::exists(LogStore::logFile(server.id)));
    }

    void publishedStateWhileRunning()
    {
        const Server server = addServer();
        RsyncRunner &runner = m_h->runner;
        runner.setRsyncProbe(m_h->fakeRsync(0, "printf ' 37%% \\n'\nsleep 0.3\n"));
        QSignalSpy running(&runner, &RsyncRunner::isRunningChanged);
        bool done = false;
        QCoro::connect(runner.run(server, &m_h->store), this, [&] { done = true; });
        QCOMPARE(runner.runningServerID(), std::optional<QUuid>(server.id));
        QTRY_COMPARE_WITH_TIMEOUT(runner.progressPercent(), std::optional<double>(37), 5000);
        QCOMPARE(runner.currentItem(), QStringLiteral("Site"));
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        QCOMPARE(running.count(), 2);
    }

    void aCancelAsRsyncSucceedsStopsBeforeTheNextPath()
    {
        const Server server = addServer([](Server &s) {
            BackupPath second = s.paths.first();
            second.name = QStringLiteral("Second");
            second.id = QUuid::createUuid();
            s.paths.append(second);
        });
        RsyncRunner &runner = m_h->runner;
        runner.setRsyncProbe(m_h->fakeRsync(0, "trap '' TERM\nsleep 0.5\n"));
        // The cancel lands while rsync runs; this stand-in ignores it and ends with 0.
        connect(&runner, &RsyncRunner::logLinesChanged, this, [&runner] {
            if (!runner.logLines().isEmpty() && runner.logLines().last().startsWith(QStringLiteral("$ ")))
                QTimer::singleShot(100, &runner, [&runner] { runner.cancel(); });
        });
        const QStringList log = runBackup(server);
        QCOMPARE(m_h->callCount(), 1);
        QCOMPARE(runner.exitCode(), RsyncRunner::cancelledExitCode);
        QCOMPARE(log.mid(log.size() - 3),
                 (QStringList{QStringLiteral("→ exit 0"), QString(), QStringLiteral("Cancelled by user.")}));
        QVERIFY(readFile(LogStore::logFile(server.id)).contains("# Status:    CANCELLED\n"));
    }

    void aServerLockedElsewhereChangesNothing()
    {
        const Server server = addServer();
        auto held = FileLock::tryLock(AppPaths::runLockFile(server.id)); // as another process would hold it
        QVERIFY(held);
        RsyncRunner &runner = m_h->runner;
        runner.setRsyncProbe(m_h->fakeRsync(0));
        QSignalSpy refused(&runner, &RsyncRunner::runRefused);
        QSignalSpy finished(&runner, &RsyncRunner::runFinished);
        QCOMPARE(runBackup(server), QStringList{QStringLiteral("A backup of “web” is already running.")});
        QCOMPARE(runner.exitCode(), RsyncRunner::alreadyRunningExitCode);
        QVERIFY(runner.wasRefused());
        QCOMPARE(refused.count(), 1);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(m_h->callCount(), 0);
        QVERIFY(!QFile::exists(LogStore::logFile(server.id)));
        QVERIFY(!m_h->store.settings().server(server.id)->lastRunAt);
        // Once the other run ends, this one runs.
        held->unlock();
        runBackup(server);
        QCOMPARE(runner.exitCode(), 0);
        QVERIFY(!runner.wasRefused());
    }

    // The window looks at every server's lock each second: looking must
    // never make a run's own tryLock() fail.
    void lookingAtALockNeverTakesIt()
    {
        const QString path = AppPaths::runLockFile(QUuid::createUuid());
        QVERIFY(FileLock::tryLock(path)); // the file exists, as after a first run
        std::atomic<bool> stop = false;
        std::atomic<int> looks = 0;
        std::thread checker([&] {
            while (!stop) {
                FileLock::isHeld(path);
                ++looks;
            }
        });
        while (looks == 0)
            std::this_thread::yield();
        int refused = 0;
        for (int i = 0; i < 1000; ++i) {
            auto lock = FileLock::tryLock(path);
            refused += lock ? 0 : 1;
        }
        stop = true;
        checker.join();
        QCOMPARE(refused, 0);
        QVERIFY(looks > 100);
        const auto held = FileLock::tryLock(path);
        QVERIFY(FileLock::isHeld(path));
    }
};

QTEST_GUILESS_MAIN(TestBackupRunLogic)
#include "tst_BackupRunLogic.moc"
