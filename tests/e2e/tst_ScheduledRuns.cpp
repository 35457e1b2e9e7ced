// SPDX-License-Identifier: GPL-3.0-or-later
// A scheduled (headless) run waits for the network and skips metered
// connections, as a stand-in NetworkManager reports them on a private bus
// that the binary takes for the system bus.
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>

using namespace TestHelpers;

class TestScheduledRuns : public SshdBackupTest
{
    Q_OBJECT
    std::unique_ptr<DbusSessionFixture> m_systemBus;
    std::unique_ptr<QProcess> m_networkManager;

    // NetworkManager in `mode` on a fresh bus; its timers start now.
    bool startNetworkManager(const QString &mode)
    {
        m_systemBus = std::make_unique<DbusSessionFixture>();
        m_networkManager = std::make_unique<QProcess>();
        m_networkManager->setProcessEnvironment(m_systemBus->environment(QProcessEnvironment::systemEnvironment()));
        m_networkManager->start(QStringLiteral(TIDEWELL_NETWORKMANAGER_STANDIN), {mode});
        return m_systemBus->isRunning() && m_networkManager->waitForReadyRead(10000)
               && m_networkManager->readAllStandardOutput().startsWith("ready");
    }

    Outcome runScheduled(const Server &server) const
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_systemBus->address());
        return runTidewell(m_s->home, {QStringLiteral("--run-backup"), server.id.toString(QUuid::WithoutBraces)},
                           environment);
    }

    Server configure(qint64 waitSeconds, bool skipMetered = true)
    {
        writeFile(m_s->remote + QStringLiteral("/etc/hosts"), "127.0.0.1 localhost\n");
        return m_s->writeConfig({BackupScenario::path(QStringLiteral("etc"), m_s->remote + QStringLiteral("/etc"))},
                                [&](AppSettings &settings) {
                                    settings.networkWaitSeconds = waitSeconds;
                                    settings.skipMeteredConnections = skipMetered;
                                });
    }

    bool copied() const { return QFile::exists(m_s->runFolder() + QStringLiteral("/etc/hosts")); }

private Q_SLOTS:
    void cleanup()
    {
        if (m_networkManager) {
            m_networkManager->kill();
            m_networkManager->waitForFinished();
        }
        m_networkManager.reset();
        m_systemBus.reset();
        m_s.reset();
    }

    void onlineRunsAtOnce()
    {
        QVERIFY(startNetworkManager(QStringLiteral("online")));
        const Server server = configure(300);
        const Outcome outcome = runScheduled(server);
        QCOMPARE(outcome.status, 0);
        QVERIFY2(!outcome.err.contains("Waiting"), outcome.err.constData());
        QVERIFY(copied());
    }

    // Offline for 5 s (long enough for a slow, sanitized start to see it):
    // the run says it waits, then runs when the network comes.
    void waitsUntilTheNetworkComes()
    {
        QElapsedTimer clock;
        clock.start();
        QVERIFY(startNetworkManager(QStringLiteral("offline-then-online=5000")));
        const Server server = configure(300);
        const Outcome outcome = runScheduled(server);
        QCOMPARE(outcome.status, 0);
        QVERIFY(clock.elapsed() >= 5000);
        QVERIFY(clock.elapsed() < 60000); // not the whole 300 s
        QVERIFY2(outcome.err.contains("Waiting for the network…\n"), outcome.err.constData());
        QVERIFY(copied());
        QCOMPARE(m_s->storedServer(server.id)->lastExitCode, 0);
    }

    // Never online: after the wait the run goes on anyway and reports what it meets.
    void goesOnAfterTheWait()
    {
        QVERIFY(startNetworkManager(QStringLiteral("offline")));
        const Server server = configure(2);
        QElapsedTimer clock;
        clock.start();
        const Outcome outcome = runScheduled(server);
        QVERIFY(clock.elapsed() >= 2000);
        QCOMPARE(outcome.status, 0); // the loopback sshd answers all the same
        QCOMPARE(outcome.err.count("Waiting for the network…"), 1);
        QVERIFY(copied());
        QVERIFY(m_s->storedServer(server.id)->lastRunAt);
    }

    // Metered: skipped before any transfer, nothing recorded; with the setting
    // off, the run goes ahead.
    void meteredIsSkippedAndNothingRecorded()
    {
        QVERIFY(startNetworkManager(QStringLiteral("metered")));
        Server server = configure(300);
        const QByteArray before = readFile(m_s->home.configFile());
        const Outcome outcome = runScheduled(server);
        QCOMPARE(outcome.status, 0);
        QCOMPARE(outcome.err, QByteArray("Skipped: the network connection is metered.\n"));
        QVERIFY(!QDir(m_s->destination).exists());
        QCOMPARE(readFile(m_s->home.configFile()), before);
        QVERIFY(!QFile::exists(m_s->home.logDir() + u'/' + server.id.toString(QUuid::WithoutBraces).toUpper()
                               + QStringLiteral(".log")));

        server = configure(300, false);
        QCOMPARE(runScheduled(server).status, 0);
        QVERIFY(copied());
        QCOMPARE(m_s->storedServer(server.id)->lastExitCode, 0);
    }
};

QTEST_GUILESS_MAIN(TestScheduledRuns)
#include "tst_ScheduledRuns.moc"
