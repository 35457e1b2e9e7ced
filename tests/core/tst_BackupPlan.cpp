// SPDX-License-Identifier: GPL-3.0-or-later
// What a run decides before it starts: retries, refusals and command lines.
#include "core/engine/BackupPlan.h"
#include "core/engine/RetryPolicy.h"
#include "core/engine/RsyncStats.h"
#include "core/presentation/ServerRules.h"
#include "core/ssh/HostKeyChecker.h"
#include "fixtures/EngineHarness.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace TestHelpers;

Q_DECLARE_METATYPE(Server)

class TestBackupPlan : public QObject
{
    Q_OBJECT

    static RsyncProbe modern()
    {
        RsyncProbe probe;
        probe.executable = QStringLiteral("/usr/bin/rsync");
        probe.isModern = true;
        probe.version = QVersionNumber(3, 2, 7);
        return probe;
    }

private Q_SLOTS:
    void retryPolicy_data()
    {
        QTest::addColumn<qint64>("retryAttempts");
        QTest::addColumn<qint64>("maxAttempts");
        QTest::newRow("default") << qint64(2) << qint64(3);
        QTest::newRow("none") << qint64(0) << qint64(1);
        QTest::newRow("negative") << qint64(-7) << qint64(1);
        QTest::newRow("many") << qint64(10) << qint64(11);
    }

    void retryPolicy()
    {
        QFETCH(qint64, retryAttempts);
        QFETCH(qint64, maxAttempts);
        QCOMPARE(RetryPolicy(retryAttempts).maxAttempts(), maxAttempts);
    }

    void delaysGrowAndStopAtThirtySeconds()
    {
        const QList<qint64> expected{2, 4, 8, 16, 30, 30, 30};
        for (qint64 attempt = 1; attempt <= expected.size(); ++attempt)
            QCOMPARE(RetryPolicy::delaySeconds(attempt), expected.at(attempt - 1));
        QCOMPARE(RetryPolicy::delaySeconds(1000), 30);
    }

    void transientStatuses_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("transient");
        for (int status : {10, 11, 12, 20, 23, 24, 30, 35, 255})
            QTest::addRow("%d", status) << status << true;
        for (int status : {-1, 0, 1, 2, 5, 13, 25, 28})
            QTest::addRow("%d", status) << status << false;
    }

    void transientStatuses()
    {
        QFETCH(int, status);
        QFETCH(bool, transient);
        QCOMPARE(RetryPolicy::isTransient(status), transient);
    }

    void planOfARunnableServer()
    {
        Server server = runnableServer(QStringLiteral("web/prod"));
        BackupPath second = server.paths.first();
        second.name = QStringLiteral("Off");
        second.enabled = false;
        server.paths.append(second);
        AppSettings settings;
        settings.destinationPath = QStringLiteral("/b");
        const auto plan = BackupPlan::prepare(server, settings, QDateTime(QDate(2025, 1, 31), QTime(3, 0)), modern());
        QVERIFY(plan);
        QCOMPARE(plan->runFolder, QStringLiteral("/b/web_prod/2025-01-31"));
        QCOMPARE(
            plan->headerLines,
            (QStringList{QStringLiteral("Destination: /b/web_prod/2025-01-31"), QStringLiteral("SSH: u@127.0.0.1:22"),
                         QStringLiteral("Auth: ssh-agent"), QStringLiteral("Snapshots: hard links"), QString()}));
        QCOMPARE(plan->steps.size(), 1);
        QCOMPARE(plan->steps[0].targetFolder, QStringLiteral("/b/web_prod/2025-01-31/Site"));
        QCOMPARE(plan->steps[0].arguments.last(), QStringLiteral("/b/web_prod/2025-01-31/Site"));
        QVERIFY(plan->steps[0].commandLine.startsWith(QStringLiteral("$ /usr/bin/rsync -a --stats -e \"ssh -p 22 ")));
    }

    void rsyncStatsAreSummed()
    {
        const QStringList modern{QStringLiteral("Number of files: 5,001 (reg: 5,000, dir: 1)"),
                                 QStringLiteral("Number of regular files transferred: 50"),
                                 QStringLiteral("Total bytes received: 3.52K")};
        const QStringList old{QStringLiteral("Number of files: 12"), QStringLiteral("Number of files transferred: 2"),
                              QStringLiteral("Total bytes received: 1,000,500")};
        RsyncStats total = *RsyncStats::parse(modern);
        QCOMPARE(total.files, 5000);
        QCOMPARE(total.transferred, 50);
        total += *RsyncStats::parse(old);
        QCOMPARE(total.summary(QStringLiteral("2025-01-30")),
                 QStringLiteral("Snapshot: 5,012 files, 1.00M received, 4,960 files shared with 2025-01-30"));
        QCOMPARE(RsyncStats().summary(QString()), QStringLiteral("Snapshot: 0 files, 0 received"));
        QVERIFY(!RsyncStats::parse({QStringLiteral("sent 12 bytes  received 5 bytes")}));
        QCOMPARE(RsyncStats::humanSize(41940000), QStringLiteral("41.94M"));
    }

    void linkDestOnlyWithDateFolders()
    {
        QTemporaryDir dest;
        const Server server = runnableServer();
        QDir().mkpath(dest.path() + QStringLiteral("/web/2025-01-30/Site"));
        AppSettings settings;
        settings.destinationPath = dest.path();
        const auto linkArgument = [&] {
            const auto plan =
                BackupPlan::prepare(server, settings, QDateTime(QDate(2025, 1, 31), QTime(3, 0)), modern());
            return plan->steps.first().arguments.filter(QStringLiteral("--link-dest=")).join(u' ');
        };
        QCOMPARE(linkArgument(), QStringLiteral("--link-dest=") + dest.path() + QStringLiteral("/web/2025-01-30/Site"));
        settings.linkToPreviousBackup = false;
        QCOMPARE(linkArgument(), QString());
        settings.linkToPreviousBackup = true;
        settings.useDateSubfolder = false;
        QCOMPARE(linkArgument(), QString());
    }

    // "%1" in user text stays as typed: no arg() chain ever sees it.
    void userTextIsNeverAFormat()
    {
        Server server = runnableServer(QStringLiteral("w%1b"));
        server.username = QStringLiteral("ro%1ot");
        server.host = QStringLiteral("fe80::1%1");
        AppSettings settings;
        settings.destinationPath = QStringLiteral("/b");
        const auto plan = BackupPlan::prepare(server, settings, QDateTime(QDate(2025, 1, 31), QTime(3, 0)), modern());
        QVERIFY(plan);
        QCOMPARE(plan->headerLines.at(1), QStringLiteral("SSH: ro%1ot@fe80::1%1:22"));
        QVERIFY(plan->steps[0].arguments.contains(QStringLiteral("ro%1ot@[fe80::1%1]:'/srv/site/'")));
        QCOMPARE(ServerRules::hostText(server), QStringLiteral("fe80::1%1:22"));
        QCOMPARE(HostKeyChecker::hostPattern(server.host, 2222), QStringLiteral("[fe80::1%1]:2222"));
    }

    void refusals_data()
    {
        QTest::addColumn<Server>("server");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lines");
        Server none = runnableServer();
        none.paths[0].enabled = false;
        QTest::newRow("no enabled path") << none << "/b" << 0 << QStringList{QStringLiteral("No enabled paths.")};
        Server dash = runnableServer();
        dash.username = QStringLiteral("-oProxyCommand=x");
        QTest::newRow("option as user")
            << dash << "/b" << 2
            << QStringList{QStringLiteral(
                   "!! Refusing user name “-oProxyCommand=x”: it begins with “-” and would be read as an ssh option.")};
        Server host = runnableServer();
        host.host = QStringLiteral("-oProxyCommand=touch /tmp/x");
        QTest::newRow("option as host") << host << "/b" << 2
                                        << QStringList{
                                               QStringLiteral("!! Refusing host name “-oProxyCommand=touch /tmp/x”: it "
                                                              "begins with “-” and would be read as an ssh option.")};
        Server empty = runnableServer();
        empty.useSSHAgent = false;
        empty.privateKeyPath = QStringLiteral(" \t");
        QTest::newRow("empty key")
            << empty << "/b" << 2
            << QStringList{
                   QStringLiteral("!! Private key path is empty — open this server's settings and set the SSH key "
                                  "path, or enable “Use ssh-agent”."),
                   QStringLiteral(
                       "   (Exported configs strip the key path on purpose; it must be re-entered after import.)")};
        Server key = runnableServer();
        key.useSSHAgent = false;
        key.privateKeyPath = QStringLiteral("/nonexistent/key");
        QTest::newRow("key not readable")
            << key << "/b" << 2
            << QStringList{
                   QStringLiteral("!! Private key not readable at: /nonexistent/key"),
                   QStringLiteral("   Copy the key to this machine or update the path in this server's settings.")};
        QTest::newRow("no destination")
            << runnableServer() << "" << -1
            << QStringList{QStringLiteral(
                   "Failed to create destination: no backup destination folder is set; choose one in Settings")};
    }

    void refusals()
    {
        QFETCH(Server, server);
        QFETCH(QString, destination);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lines);
        AppSettings settings;
        settings.destinationPath = destination;
        const auto plan = BackupPlan::prepare(server, settings, QDateTime(QDate(2025, 1, 31), QTime(3, 0)), modern());
        QVERIFY(!plan);
        QCOMPARE(plan.error().exitCode, exitCode);
        QCOMPARE(plan.error().lines, lines);
    }
};

QTEST_GUILESS_MAIN(TestBackupPlan)
#include "tst_BackupPlan.moc"
