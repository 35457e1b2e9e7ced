// SPDX-License-Identifier: GPL-3.0-or-later
// Runs that never lose data, never hang and always leave a record, through the
// built binary against the real sshd: refusals, time-outs, signals, cancel,
// one run per server, IPv6 hosts and logs of large transfers.
#include "core/engine/RsyncRunner.h"
#include "core/engine/Snapshots.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"
#include "core/system/FileLock.h"
#include "fixtures/Await.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <csignal>

using namespace TestHelpers;

class TestRunSafety : public SshdBackupTest
{
    Q_OBJECT

public:
    TestRunSafety()
        : SshdBackupTest(true)
    { }

private:
    static BackupPath path(const QString &name, const QString &remote) { return BackupScenario::path(name, remote); }

    // A sparse file that keeps rsync busy for a few seconds.
    void makeBigFile(const QString &name)
    {
        QFile big(m_s->remote + u'/' + name);
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(qint64(3) << 30));
    }

    void makeFiles(const QString &folder, int count)
    {
        QDir().mkpath(folder);
        for (int i = 0; i < count; ++i)
            QVERIFY(writeFile(folder + QStringLiteral("/f%1").arg(i, 5, 10, QLatin1Char('0')), QByteArray::number(i)));
    }

    void expectNoChildrenLeft()
    {
        // rsync names the destination, ssh names the client key. A child that
        // ignores SIGTERM has its group killed after 10 s, and the server's
        // side of rsync ends once sshd sees the connection go: on a loaded
        // machine that is more than 15 s from the cancel.
        QTRY_COMPARE_WITH_TIMEOUT(processesMentioning(m_s->home.path()), QStringList(), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(processesMentioning(m_sshd->clientKey()), QStringList(), 30000);
    }

private Q_SLOTS:
    // Backups of different servers started together share the machine: no
    // more than maxConcurrentRuns rsyncs at once; the others wait, say so
    // once, and all succeed. A waiting run that is stopped records nothing.
    void runsWaitForAFreeSlot()
    {
        // Incompressible: under -z a run of one byte would take no time at any limit.
        QFile random(QStringLiteral("/dev/urandom"));
        QVERIFY(random.open(QIODevice::ReadOnly));
        writeFile(m_s->remote + QStringLiteral("/data.bin"), random.read(150 * 1024));
        AppSettings written;
        m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, [&](AppSettings &s) {
            s.maxConcurrentRuns = 3;
            s.servers[0].bandwidthLimitKBps = 150; // about a second each
            for (int i = 1; i < 20; ++i) {
                Server copy = s.servers[0];
                copy.id = QUuid::createUuid();
                copy.name = QStringLiteral("web %1").arg(i);
                for (BackupPath &path : copy.paths)
                    path.id = QUuid::createUuid();
                s.servers.append(copy);
            }
            written = s;
        });
        std::vector<std::unique_ptr<QProcess>> runs;
        for (const Server &server : std::as_const(written.servers))
            runs.push_back(m_s->startHeadless(server.id));
        int most = 0;
        const auto finished = [&] {
            return std::all_of(runs.begin(), runs.end(),
                               [](const auto &run) { return run->state() == QProcess::NotRunning; });
        };
        QElapsedTimer clock;
        clock.start();
        while (!finished() && clock.elapsed() < 120000) {
            // One ssh per transfer (the receiving rsync is two processes).
            int rsyncs = 0;
            for (const QString &line : processesMentioning(QStringLiteral("rsync --server")))
                rsyncs += line.startsWith(QLatin1String("ssh ")) && line.contains(m_s->remote) ? 1 : 0;
            most = std::max(most, rsyncs);
            QTest::qWait(20);
        }
        QVERIFY(finished());
        QVERIFY2(most <= 3, qPrintable(QString::number(most)));
        QVERIFY(most >= 2); // they did run side by side
        int waited = 0;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            QCOMPARE(runs[i]->exitCode(), 0);
            const QStringList log = m_s->logOf(written.servers.at(qsizetype(i)));
            waited += log.filter(QStringLiteral("Waiting for a free slot (3 backups running)…")).size();
        }
        QVERIFY(waited >= 10);

        // Three long runs take the slots; a fourth waits and is stopped. The
        // servers copied the file today already: new contents give the
        // holders something to send (a rerun of an unchanged day ends at once).
        writeFile(m_s->remote + QStringLiteral("/data.bin"), random.read(150 * 1024));
        m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, [&](AppSettings &s) {
            s.maxConcurrentRuns = 3;
            s.servers = written.servers.mid(0, 4);
            for (int i = 0; i < 3; ++i)
                s.servers[i].bandwidthLimitKBps = 2; // over a minute, stopped at the end
        });
        std::vector<std::unique_ptr<QProcess>> holders;
        for (int i = 0; i < 3; ++i)
            holders.push_back(m_s->startHeadless(written.servers.at(i).id));
        const auto transfers = [this] {
            int count = 0;
            for (const QString &line : processesMentioning(QStringLiteral("rsync --server")))
                count += line.startsWith(QLatin1String("ssh ")) && line.contains(m_s->remote) ? 1 : 0;
            return count;
        };
        QTRY_VERIFY_WITH_TIMEOUT(transfers() >= 3, 20000);
        const std::optional<Server> before = m_s->storedServer(written.servers.at(3).id);
        auto waiting = m_s->startHeadless(written.servers.at(3).id);
        // It holds its server's run lock once it asks for a slot, in the same
        // step: from then on it either transfers or waits.
        QTRY_VERIFY_WITH_TIMEOUT(FileLock::isHeld(AppPaths::runLockFile(written.servers.at(3).id)), 30000);
        const QString children = QStringLiteral("/proc/%1/task/%1/children").arg(waiting->processId());
        for (int look = 0; look < 10; ++look) {
            QVERIFY(waiting->state() == QProcess::Running);
            QCOMPARE(readFile(children).trimmed(), QByteArray()); // no rsync of its own
            QCOMPARE(transfers(), 3);
            QTest::qWait(50);
        }
        ::kill(pid_t(waiting->processId()), SIGTERM);
        QVERIFY(waiting->waitForFinished(10000));
        QCOMPARE(waiting->exitCode(), 20);
        QCOMPARE(m_s->storedServer(written.servers.at(3).id)->lastRunAt, before->lastRunAt);
        for (const auto &holder : holders) {
            ::kill(pid_t(holder->processId()), SIGTERM);
            QVERIFY(holder->waitForFinished(20000));
        }
    }

    // An empty remote path would copy the server's root file system.
    void emptyRemotePathIsRefusedBeforeAnyChild()
    {
        const Server server = m_s->writeConfig({path(QStringLiteral("Media"), QString())});
        QCOMPARE(m_s->runHeadless(server.id).status, 2);
        const QStringList log = m_s->logOf(server);
        QCOMPARE(log.mid(4, 2),
                 (QStringList{QStringLiteral("!! Path “Media” has no remote path — set it in this server's settings or "
                                             "turn the path off."),
                              QString()}));
        QVERIFY(!QDir(m_s->destination).exists());
        QCOMPARE(m_s->storedServer(server.id)->lastExitCode, 2);
    }

    void pathsSharingAFolderAreRefused()
    {
        writeFile(m_s->remote + QStringLiteral("/a/one"), "1");
        writeFile(m_s->remote + QStringLiteral("/b/two"), "2");
        // What an earlier run copied stays, although --delete is on.
        writeFile(m_s->runFolder() + QStringLiteral("/Media/kept"), "kept");
        const Server server = m_s->writeConfig({path(QStringLiteral("Media"), m_s->remote + QStringLiteral("/a")),
                                                path(QStringLiteral("media"), m_s->remote + QStringLiteral("/b"))},
                                               [](AppSettings &s) { s.deleteExtraneous = true; });
        QCOMPARE(m_s->runHeadless(server.id).status, 2);
        QVERIFY(m_s->logOf(server).contains(QStringLiteral(
            "!! Paths “Media” and “media” would both be copied into the folder “media” — give them different names.")));
        QVERIFY(m_s->logOf(server).filter(QStringLiteral("$ ")).isEmpty());
        QCOMPARE(QDir(m_s->runFolder() + QStringLiteral("/Media")).entryList(QDir::Files),
                 QStringList{QStringLiteral("kept")});
        QCOMPARE(readFile(m_s->remote + QStringLiteral("/a/one")), QByteArray("1"));
    }

    void serversSharingAFolderAreRefused()
    {
        const QString shared = m_s->destination + QStringLiteral("/web_prod/");
        for (const char *day : {"2024-01-01", "2024-01-02", "2024-01-03", "2024-01-04"})
            QDir().mkpath(shared + QLatin1String(day));
        writeFile(m_s->remote + QStringLiteral("/f"), "f");
        const Server server = m_s->writeConfig({path(QStringLiteral("Site"), m_s->remote)}, [this](AppSettings &s) {
            s.servers[0].name = QStringLiteral("web/prod");
            s.servers[0].retentionCount = 1;
            Server other = m_sshd->server(QStringLiteral("web_prod"));
            other.retentionCount = 30;
            s.servers.append(other);
        });
        QCOMPARE(m_s->runHeadless(server.id).status, 2);
        QVERIFY(m_s->logOf(server).contains(QStringLiteral("!! Servers “web/prod” and “web_prod” would share the "
                                                           "backup folder “web_prod” — give them different names.")));
        QCOMPARE(QDir(shared).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 4);
    }

    void aServerThatNeverAnswersTimesOut()
    {
        writeFile(m_s->remote + QStringLiteral("/f"), "f");
        const Server server = m_s->writeConfig({path(QStringLiteral("Site"), m_s->remote)}, [this](AppSettings &s) {
            s.servers[0].privateKeyPath = m_sshd->hungKey();
            s.ioTimeoutSeconds = 3;
            s.retryAttempts = 0;
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(m_s->runHeadless(server.id).status, 30);
        QVERIFY2(clock.elapsed() < 60000, qPrintable(QString::number(clock.elapsed())));
        const QStringList log = m_s->logOf(server);
        QVERIFY(log.contains(QStringLiteral("→ exit 30")));
        QVERIFY(log.contains(QStringLiteral("Aborting: remaining paths skipped.")));
        QVERIFY(log.filter(QStringLiteral("$ ")).first().contains(QStringLiteral("--timeout=3")));
        QTRY_COMPARE_WITH_TIMEOUT(processesMentioning(m_sshd->hungKey()), QStringList(), 10000);
    }

    void sigtermCancelsLikeTheCancelButton()
    {
        makeBigFile(QStringLiteral("big"));
        const Server server = m_s->writeConfig({path(QStringLiteral("Big"), m_s->remote)});
        const int notificationsBefore = m_bus->notifications().size();
        auto process = m_s->startHeadless(server.id);
        QTRY_VERIFY_WITH_TIMEOUT(!processesMentioning(m_s->runFolder()).isEmpty(), 20000); // rsync runs
        QTest::qWait(500);
        ::kill(pid_t(process->processId()), SIGTERM);
        QVERIFY(process->waitForFinished(30000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 20);
        const QStringList log = m_s->logOf(server);
        QCOMPARE(log.at(3), QStringLiteral("# Status:    CANCELLED"));
        QVERIFY(log.contains(QStringLiteral("Received SIGTERM: cancelling the backup.")));
        QVERIFY(log.contains(QStringLiteral("Cancelled by user.")));
        // A cancelled run is recorded without a result: the server is not failing.
        QCOMPARE(m_s->storedServer(server.id)->lastExitCode, std::nullopt);
        QVERIFY(m_s->storedServer(server.id)->lastRunAt.has_value());
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), notificationsBefore + 1, 5000);
        // Its first line; run alone, the test's first run also says that it
        // trusted the host key.
        QCOMPARE(m_bus->notifications().last().value(QStringLiteral("body")).toString().section(u'\n', 0, 0),
                 QStringLiteral("⏹ web: prod — backup cancelled"));
        expectNoChildrenLeft();
    }

    void cancelStopsAPreBackupCommand()
    {
        BackupPath first = path(QStringLiteral("Dump"), m_s->remote);
        first.preBackupCommand = QStringLiteral("sleep 30");
        const Server server = m_s->writeConfig({first, path(QStringLiteral("Later"), m_s->remote)});
        ConfigStore store;
        RsyncRunner runner;
        connect(&runner, &RsyncRunner::logLinesChanged, &runner, [&runner] {
            if (!runner.logLines().isEmpty() && runner.logLines().last().startsWith(QStringLiteral("↳ pre-backup: ")))
                QTimer::singleShot(1000, &runner, &RsyncRunner::cancel);
        });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(awaitVoid(runner.run(server, &store), 20000));
        QVERIFY(clock.elapsed() < 15000); // not the command's 30 s
        QCOMPARE(runner.exitCode(), RsyncRunner::cancelledExitCode);
        QCOMPARE(runner.logLines().last(), QStringLiteral("Cancelled by user."));
        QVERIFY(runner.logLines().filter(QStringLiteral("$ ")).isEmpty()); // no rsync, no later path
        QVERIFY(runner.logLines().filter(QStringLiteral("Later")).isEmpty());
        QVERIFY(m_s->logOf(server).contains(QStringLiteral("# Status:    CANCELLED")));
        expectNoChildrenLeft();
    }

    void oneServerRunsOnceAtATime()
    {
        writeFile(m_s->remote + QStringLiteral("/f"), "f");
        BackupPath slow = path(QStringLiteral("Site"), m_s->remote);
        slow.preBackupCommand = QStringLiteral("sleep 2");
        const Server server = m_s->writeConfig({slow});
        const int notificationsBefore = m_bus->notifications().size();
        auto first = m_s->startHeadless(server.id);
        auto second = m_s->startHeadless(server.id);
        QVERIFY(first->waitForFinished(60000) && second->waitForFinished(60000));
        QList<int> statuses{first->exitCode(), second->exitCode()};
        std::sort(statuses.begin(), statuses.end());
        QCOMPARE(statuses, (QList<int>{0, RsyncRunner::alreadyRunningExitCode}));
        QProcess *refused = first->exitCode() == 0 ? second.get() : first.get();
        QCOMPARE(QString::fromUtf8(refused->readAllStandardError()),
                 QStringLiteral("A backup of “web: prod” is already running.\n"));
        const QStringList log = m_s->logOf(server);
        QCOMPARE(log.filter(QStringLiteral("# Tidewell log")).size(), 1);
        QCOMPARE(log.at(3), QStringLiteral("# Status:    SUCCESS"));
        QTest::qWait(500);
        QCOMPARE(m_bus->notifications().size(), notificationsBefore + 1);
    }

    void literalIPv6Hosts()
    {
        if (!m_sshd->hasIPv6())
            QSKIP("this machine has no IPv6 loopback");
        writeFile(m_s->remote + QStringLiteral("/v6/file"), "over ipv6");
        const Server server = m_s->writeConfig({path(QStringLiteral("Site"), m_s->remote + QStringLiteral("/v6"))},
                                               [](AppSettings &s) { s.servers[0].host = QStringLiteral("::1"); });
        const Outcome outcome = m_s->runHeadless(server.id);
        QVERIFY2(outcome.status == 0, qPrintable(m_s->logOf(server).join(u'\n')));
        QCOMPARE(readFile(m_s->runFolder() + QStringLiteral("/Site/file")), QByteArray("over ipv6"));
        QVERIFY(m_s->logOf(server).contains(QStringLiteral("SSH: ") + SshdFixture::userName() + QStringLiteral("@::1:")
                                            + QString::number(m_sshd->port())));
    }

    // rsync writes a progress update per file; they must not push real lines out.
    void progressKeepsTheLogWhole()
    {
        makeFiles(m_s->remote + QStringLiteral("/many"), 5000);
        const Server server = m_s->writeConfig({path(QStringLiteral("Many"), m_s->remote + QStringLiteral("/many"))});
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        const QStringList log = m_s->logOf(server);
        QVERIFY(log.at(4).startsWith(QStringLiteral("Destination: ")));
        QCOMPARE(log.filter(QStringLiteral("$ ")).size(), 1);
        QVERIFY(!log.filter(QStringLiteral("Number of files: ")).isEmpty());
        QVERIFY(!log.filter(QStringLiteral("Total bytes received: ")).isEmpty());
        QVERIFY(log.contains(QStringLiteral("=== All backups completed ===")));
        QVERIFY2(log.size() < 200, qPrintable(QString::number(log.size())));
    }

    void anErrorAboutOneFileSurvivesAHugeRun()
    {
        makeFiles(m_s->remote + QStringLiteral("/huge"), 20000);
        // Where one file should land, a folder with something in it: rsync cannot put the file there.
        // (In today's unfinished snapshot, which the run then finishes in place.)
        writeFile(m_s->runFolder() + QStringLiteral("/Huge/f19999/inside"), "x");
        writeFile(m_s->runFolder() + u'/' + Snapshots::incompleteMarker, "");
        const Server server = m_s->writeConfig({path(QStringLiteral("Huge"), m_s->remote + QStringLiteral("/huge"))},
                                               [](AppSettings &s) { s.retryAttempts = 0; });
        QCOMPARE(m_s->runHeadless(server.id).status, 23);
        const QStringList log = m_s->logOf(server);
        // The folders the test made as the umask allows are made private first.
        QVERIFY2(log.at(4).startsWith(QStringLiteral("Made ") + m_s->serverFolder() + QStringLiteral(" private")),
                 qPrintable(log.at(4)));
        QVERIFY(log.at(5).startsWith(QStringLiteral("Destination: ")));
        QVERIFY2(!log.filter(QRegularExpression(QStringLiteral("^! .*f19999"))).isEmpty(),
                 qPrintable(log.filter(QStringLiteral("! ")).join(u'\n')));
        QVERIFY(!log.filter(QStringLiteral("(code 23)")).isEmpty());
    }

    // A killed Tidewell takes its transfer with it; the next run finishes the day.
    void killingTidewellLeavesNoTransfer()
    {
        makeBigFile(QStringLiteral("big"));
        writeFile(m_s->remote + QStringLiteral("/small"), "small");
        const Server server = m_s->writeConfig({path(QStringLiteral("Big"), m_s->remote)});
        auto process = m_s->startHeadless(server.id);
        QTRY_VERIFY_WITH_TIMEOUT(!processesMentioning(m_s->runFolder()).isEmpty(), 20000); // rsync runs
        ::kill(pid_t(process->processId()), SIGKILL);
        QVERIFY(process->waitForFinished(5000));
        QTRY_COMPARE_WITH_TIMEOUT(processesMentioning(m_s->home.path()), QStringList(), 2000);
        QTRY_COMPARE_WITH_TIMEOUT(processesMentioning(m_sshd->clientKey()), QStringList(), 2000);
        QVERIFY(QFile::exists(m_s->runFolder() + u'/' + Snapshots::incompleteMarker));

        QFile::resize(m_s->remote + QStringLiteral("/big"), 1 << 20);
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        QVERIFY(!QFile::exists(m_s->runFolder() + u'/' + Snapshots::incompleteMarker));
        QCOMPARE(readFile(m_s->runFolder() + QStringLiteral("/Big/small")), QByteArray("small"));
    }

    // rsync's own --timeout does not end a server rsync frozen behind a live
    // ssh; Tidewell does, retries, and lets the next run in.
    void aFrozenServerIsGivenUp()
    {
        makeBigFile(QStringLiteral("big"));
        const Server server = m_s->writeConfig({path(QStringLiteral("Big"), m_s->remote)}, [&](AppSettings &s) {
            s.ioTimeoutSeconds = 3;
            s.retryAttempts = 1;
            s.servers[0].privateKeyPath = m_sshd->frozenKey();
        });
        QElapsedTimer clock;
        clock.start();
        const Outcome outcome = m_s->runHeadless(server.id);
        // Two attempts of about 1 s until the freeze plus the 3 s, and the 2 s wait between: far less
        // than a run that waited for the server. Loose, for a busy machine that logs in slowly.
        QVERIFY2(clock.elapsed() < 45000, qPrintable(QString::number(clock.elapsed())));
        const QStringList log = m_s->logOf(server);
        QCOMPARE(outcome.status, RsyncRunner::stalledExitCode);
        QCOMPARE(log.filter(QStringLiteral("No data from the server for 3 s: giving up.")).size(), 2);
        QVERIFY(log.contains(QStringLiteral("(exit 30 is transient — will retry)")));
        // Nothing of ours is left (the server's frozen rsync is the server's).
        QTRY_COMPARE_WITH_TIMEOUT(processesMentioning(m_s->runFolder()), QStringList(), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(processesMentioning(QStringLiteral("-i ") + m_sshd->frozenKey()), QStringList(),
                                  15000);

        m_s->writeConfig({path(QStringLiteral("Big"), m_s->remote)},
                         [&](AppSettings &s) { s.servers[0].id = server.id; });
        QFile::resize(m_s->remote + QStringLiteral("/big"), 1 << 20);
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
    }

    // However much the server prints, the run's log and memory stay small.
    void aFloodFromTheServerKeepsTheLogSmall()
    {
        writeFile(m_s->remote + QStringLiteral("/f"), "f");
        const Server server = m_s->writeConfig({path(QStringLiteral("Site"), m_s->remote)}, [&](AppSettings &s) {
            s.servers[0].privateKeyPath = m_sshd->noisyKey();
        });
        auto run = m_s->startHeadless(server.id);
        const qint64 peak = waitMeasuringPeakKiB(*run);
        QCOMPARE(run->exitCode(), 0);
        QVERIFY2(peak > 0 && peak <= memoryBoundKiB(64 * 1024), qPrintable(QString::number(peak)));
        const QByteArray log = readFile(m_s->home.logDir() + u'/' + server.id.toString(QUuid::WithoutBraces).toUpper()
                                        + QStringLiteral(".log"));
        QVERIFY2(log.size() <= 8 * 1024 * 1024, qPrintable(QString::number(log.size())));
        const QStringList lines = QString::fromUtf8(log).split(u'\n');
        QVERIFY(lines.at(4).startsWith(QStringLiteral("Destination: ")));
        QCOMPARE(lines.filter(QStringLiteral("$ ")).size(), 1);
        QCOMPARE(lines.filter(QStringLiteral("were dropped here to keep this log small")).size(), 1);
        QVERIFY(lines.contains(QStringLiteral("=== All backups completed ===")));
    }
};

QTEST_GUILESS_MAIN(TestRunSafety)
#include "tst_RunSafety.moc"
