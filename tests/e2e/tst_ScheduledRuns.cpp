// SPDX-License-Identifier: GPL-3.0-or-later
// A scheduled (headless) run waits for the network and skips metered
// connections, waits for mains power and skips a low battery, as stand-ins
// for NetworkManager and UPower report them on a private bus that the binary
// takes for the system bus; every run keeps logind from suspending.
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDBusConnection>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>

using namespace TestHelpers;

class TestScheduledRuns : public SshdBackupTest
{
    Q_OBJECT
    std::unique_ptr<DbusSessionFixture> m_systemBus;
    std::vector<std::unique_ptr<QProcess>> m_services;

    // `program` with `arguments` on the bus the binary takes for the system
    // bus (made on first use); its timers start now.
    QProcess *startService(const char *program, const QStringList &arguments)
    {
        if (!m_systemBus)
            m_systemBus = std::make_unique<DbusSessionFixture>();
        auto service = std::make_unique<QProcess>();
        service->setProcessEnvironment(m_systemBus->environment(QProcessEnvironment::systemEnvironment()));
        service->start(QString::fromLocal8Bit(program), arguments);
        if (!m_systemBus->isRunning() || !service->waitForReadyRead(10000) || !service->readLine().startsWith("ready"))
            return nullptr;
        m_services.push_back(std::move(service));
        return m_services.back().get();
    }

    bool startNetworkManager(const QString &mode)
    {
        return startService(TIDEWELL_NETWORKMANAGER_STANDIN, {mode}) != nullptr;
    }

    Outcome runScheduled(const Server &server) const
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_systemBus->address());
        return runTidewell(m_s->home, {QStringLiteral("--run-backup"), server.id.toString(QUuid::WithoutBraces)},
                           environment);
    }

    Server configure(qint64 waitSeconds, bool skipMetered = true, const std::function<void(AppSettings &)> &more = {})
    {
        writeFile(m_s->remote + QStringLiteral("/etc/hosts"), "127.0.0.1 localhost\n");
        return m_s->writeConfig({BackupScenario::path(QStringLiteral("etc"), m_s->remote + QStringLiteral("/etc"))},
                                [&](AppSettings &settings) {
                                    settings.networkWaitSeconds = waitSeconds;
                                    settings.skipMeteredConnections = skipMetered;
                                    if (more)
                                        more(settings);
                                });
    }

    Server configurePower(qint64 minPercent, qint64 waitSeconds)
    {
        return configure(300, true, [&](AppSettings &settings) {
            settings.minBatteryPercent = minPercent;
            settings.powerWaitSeconds = waitSeconds;
        });
    }

    bool copied() const { return QFile::exists(m_s->runFolder() + QStringLiteral("/etc/hosts")); }

    QByteArray logOf(const Server &server) const
    {
        return readFile(m_s->home.logDir() + u'/' + server.id.toString(QUuid::WithoutBraces).toUpper()
                        + QStringLiteral(".log"));
    }

private Q_SLOTS:
    void cleanup()
    {
        for (const auto &service : m_services) {
            service->kill();
            service->waitForFinished();
        }
        m_services.clear();
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

    // Low on battery and no wait: one line, exit 0, nothing written or
    // recorded, as for a metered connection.
    void lowBatteryIsSkippedAndNothingRecorded()
    {
        QVERIFY(startService(TIDEWELL_UPOWER_STANDIN, {QStringLiteral("battery=18.4")}));
        const Server server = configurePower(30, 0);
        const QByteArray before = readFile(m_s->home.configFile());
        const Outcome outcome = runScheduled(server);
        QCOMPARE(outcome.status, 0);
        QCOMPARE(outcome.err, QByteArray("On battery (18 %): skipped; the next run will catch up.\n"));
        QVERIFY(!QDir(m_s->destination).exists());
        QCOMPARE(readFile(m_s->home.configFile()), before);
        QVERIFY(logOf(server).isEmpty());
    }

    // Above the threshold, or with the threshold at 0, the battery holds nothing up.
    void enoughChargeOrNoThresholdRuns_data()
    {
        QTest::addColumn<QString>("battery");
        QTest::addColumn<qint64>("minPercent");
        QTest::newRow("above") << QStringLiteral("battery=55") << qint64(30);
        QTest::newRow("at the threshold") << QStringLiteral("battery=30") << qint64(30);
        QTest::newRow("threshold 0") << QStringLiteral("battery=3") << qint64(0);
        QTest::newRow("mains") << QStringLiteral("mains") << qint64(100);
    }
    void enoughChargeOrNoThresholdRuns()
    {
        QFETCH(QString, battery);
        QFETCH(qint64, minPercent);
        QVERIFY(startService(TIDEWELL_UPOWER_STANDIN, {battery}));
        const Server server = configurePower(minPercent, 300);
        const Outcome outcome = runScheduled(server);
        QCOMPARE(outcome.status, 0);
        QVERIFY2(!outcome.err.contains("battery"), outcome.err.constData());
        QVERIFY(copied());
    }

    // Plugged in while it waits: the run says so once, then goes ahead.
    void waitsForMainsPower()
    {
        QVERIFY(
            startService(TIDEWELL_UPOWER_STANDIN, {QStringLiteral("battery=12"), QStringLiteral("mains-after=3000")}));
        const Server server = configurePower(30, 300);
        QElapsedTimer clock;
        clock.start();
        const Outcome outcome = runScheduled(server);
        QCOMPARE(outcome.status, 0);
        QVERIFY(clock.elapsed() >= 3000);
        QVERIFY(clock.elapsed() < 60000);
        QCOMPARE(outcome.err.count("On battery (12 %): waiting for mains power…\n"), 1);
        QVERIFY2(!outcome.err.contains("skipped"), outcome.err.constData());
        QVERIFY(copied());
        QCOMPARE(m_s->storedServer(server.id)->lastExitCode, 0);
    }

    // Every run asks logind to keep the computer awake, with the server's
    // name, and lets go when it ends: in a scheduled run, and in one of a
    // process that goes on (the window's).
    void runsHoldASleepInhibitorUntilTheyEnd()
    {
        QProcess *logind = startService(TIDEWELL_LOGIND_STANDIN, {QStringLiteral("linger")});
        QVERIFY(logind);
        const Server server = configure(300);
        QCOMPARE(runScheduled(server).status, 0);
        QTRY_VERIFY_WITH_TIMEOUT(logind->peek(4096).contains("released"), 10000);
        QCOMPARE(logind->readAll(),
                 QByteArray("inhibit sleep|Tidewell|Backing up ") + server.logName().toUtf8() + "|block\nreleased\n");

        QDBusConnection bus = QDBusConnection::connectToBus(m_systemBus->address(), QStringLiteral("inhibit"));
        QVERIFY(bus.isConnected());
        const auto run = m_s->runOn(QDate::currentDate(), server,
                                    [&bus](RsyncRunner &runner) { runner.setSystemBusForTesting(bus); });
        QCOMPARE(run.exitCode.value_or(-1), 0);
        QTRY_VERIFY_WITH_TIMEOUT(logind->peek(4096).contains("released"), 10000);
        QVERIFY(logind->readAll().startsWith("inhibit sleep|Tidewell|Backing up "));
        QDBusConnection::disconnectFromBus(QStringLiteral("inhibit"));
    }
};

QTEST_GUILESS_MAIN(TestScheduledRuns)
#include "tst_ScheduledRuns.moc"
