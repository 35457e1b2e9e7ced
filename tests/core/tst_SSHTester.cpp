// SPDX-License-Identifier: GPL-3.0-or-later
// ssh arguments and reports against a real sshd.
#include "core/ssh/HostKeyChecker.h"
#include "core/ssh/SSHTester.h"
#include "fixtures/Await.h"
#include "fixtures/SshdFixture.h"
#include "fixtures/TempHome.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

using namespace TestHelpers;

class TestSSHTester : public QObject
{
    Q_OBJECT

    SshdFixture *m_sshd = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        m_sshd = new SshdFixture;
        QVERIFY(m_sshd->isRunning());
    }

    void cleanupTestCase() { delete m_sshd; }

    void baseArguments()
    {
        TempHome home;
        HostKeyChecker::setKnownHostsFileForTesting(QString()); // ssh's own file: no option names it
        Server server;
        server.port = 2222;
        QCOMPARE(SSHTester::baseArgs(server, 10),
                 (QStringList{QStringLiteral("-i"), home.home() + QStringLiteral("/.ssh/id_ed25519"),
                              QStringLiteral("-o"), QStringLiteral("IdentitiesOnly=yes"), QStringLiteral("-p"),
                              QStringLiteral("2222"), QStringLiteral("-o"), QStringLiteral("BatchMode=yes"),
                              QStringLiteral("-o"), QStringLiteral("StrictHostKeyChecking=accept-new"),
                              QStringLiteral("-o"), QStringLiteral("ConnectTimeout=10")}));
        // Where the user is asked, ssh records no key by itself; a test's own
        // known_hosts is named.
        const auto restore = qScopeGuard([] {
            SSHTester::setHostKeyPolicy(SSHTester::HostKeyPolicy::acceptNew);
            HostKeyChecker::setKnownHostsFileForTesting(QString());
        });
        SSHTester::setHostKeyPolicy(SSHTester::HostKeyPolicy::strict);
        HostKeyChecker::setKnownHostsFileForTesting(home.home() + QStringLiteral("/hosts"));
        const QStringList strict = SSHTester::baseArgs(server, 10);
        QVERIFY(strict.contains(QStringLiteral("StrictHostKeyChecking=yes")));
        QCOMPARE(strict.mid(strict.size() - 2),
                 (QStringList{QStringLiteral("-o"),
                              QStringLiteral("UserKnownHostsFile=") + home.home() + QStringLiteral("/hosts")}));
        server.useSSHAgent = true;
        QCOMPARE(SSHTester::baseArgs(server, 60).first(), QStringLiteral("-p"));
        QVERIFY(!SSHTester::baseArgs(server, 60).contains(QStringLiteral("IdentitiesOnly=yes")));
        server.useSSHAgent = false;
        server.privateKeyPath.clear();
        QCOMPARE(SSHTester::baseArgs(server, 1).mid(0, 2), (QStringList{QStringLiteral("-i"), QString()}));
    }

    void reportRules()
    {
        using SSHTester::combinedReport;
        using SSHTester::separateReport;
        QCOMPARE(SSHTester::messageOf(separateReport(0, QString(), QStringLiteral("x"))), QString());
        QVERIFY(separateReport(0, QString(), QString()).has_value());
        QCOMPARE(SSHTester::messageOf(separateReport(1, QString(), QStringLiteral(" \n"))), QString());
        QCOMPARE(SSHTester::messageOf(separateReport(1, QString(), QString())),
                 QStringLiteral("ssh exited with code 1"));
        QCOMPARE(SSHTester::messageOf(combinedReport(0, QString(), QString())), QStringLiteral("exit 0"));
        QVERIFY(combinedReport(0, QString(), QStringLiteral("warn")).has_value());
        QCOMPARE(SSHTester::messageOf(combinedReport(3, QStringLiteral("a\n"), QStringLiteral("b\n"))),
                 QStringLiteral("a\n\nb"));
    }

    void connectionTestSucceeds()
    {
        const auto report = await(SSHTester::test(m_sshd->server(), 10));
        QVERIFY(report);
        QVERIFY2(report->has_value(), qPrintable(SSHTester::messageOf(*report)));
        QVERIFY(SSHTester::messageOf(*report).startsWith(QStringLiteral("OK\nLinux ")));
    }

    void wrongKeyShowsSshsDiagnostics()
    {
        QTemporaryDir dir;
        const QString key = dir.path() + QStringLiteral("/other");
        QCOMPARE(QProcess::execute(QStringLiteral("/usr/bin/ssh-keygen"),
                                   {QStringLiteral("-q"), QStringLiteral("-N"), QString(), QStringLiteral("-t"),
                                    QStringLiteral("ed25519"), QStringLiteral("-f"), key}),
                 0);
        Server server = m_sshd->server();
        server.privateKeyPath = key;
        const auto report = await(SSHTester::test(server, 10));
        QVERIFY(report && !report->has_value());
        QVERIFY2(SSHTester::messageOf(*report).contains(QStringLiteral("Permission denied")),
                 qPrintable(SSHTester::messageOf(*report)));
    }

    void closedPortFails()
    {
        Server server = m_sshd->server();
        server.port = 1; // nothing listens there
        const auto report = await(SSHTester::test(server, 5));
        QVERIFY(report && !report->has_value());
        QVERIFY2(SSHTester::messageOf(*report).contains(QStringLiteral("refused")),
                 qPrintable(SSHTester::messageOf(*report)));
    }

    void remoteCommandCombinesStreams()
    {
        const auto report =
            await(SSHTester::runRemoteCommand(m_sshd->server(), QStringLiteral("echo out; echo err >&2; exit 3"), 60));
        QVERIFY(report);
        QVERIFY(!report->has_value());
        QCOMPARE(SSHTester::messageOf(*report), QStringLiteral("out\n\nerr")); // each stream keeps its own line end
        const auto quiet =
            await(SSHTester::runRemoteCommand(m_sshd->server(), QStringLiteral("true && test \"a b\" = 'a b'"), 60));
        QVERIFY(quiet && quiet->has_value());
        QCOMPARE(SSHTester::messageOf(*quiet), QStringLiteral("exit 0"));
    }

    void optionInjectionIsRefusedBeforeSshStarts_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("user");
        QTest::newRow("host option") << "-oProxyCommand=touch MARKER"
                                     << "root";
        QTest::newRow("user option") << "127.0.0.1"
                                     << "-oProxyCommand=touch MARKER";
        QTest::newRow("host with space") << "127.0.0.1 -oProxyCommand=touch MARKER"
                                         << "root";
        QTest::newRow("user with newline") << "127.0.0.1"
                                           << "root\n-oProxyCommand=touch MARKER";
    }

    void optionInjectionIsRefusedBeforeSshStarts()
    {
        QFETCH(QString, host);
        QFETCH(QString, user);
        QTemporaryDir dir;
        const QString marker = dir.path() + QStringLiteral("/marker");
        Server server = m_sshd->server();
        server.host = QString(host).replace(QStringLiteral("MARKER"), marker);
        server.username = QString(user).replace(QStringLiteral("MARKER"), marker);
        const auto tested = await(SSHTester::test(server, 5));
        const auto ran = await(SSHTester::runRemoteCommand(server, QStringLiteral("true"), 5));
        QVERIFY(tested && !tested->has_value()
                && SSHTester::messageOf(*tested).startsWith(QStringLiteral("Refusing ")));
        QCOMPARE(tested->error().code, Error::Code::invalid);
        QVERIFY(ran && !ran->has_value());
        QVERIFY(!QFile::exists(marker));
    }
};

QTEST_GUILESS_MAIN(TestSSHTester)
#include "tst_SSHTester.moc"
