// SPDX-License-Identifier: GPL-3.0-or-later
// No configuration runs a command on this machine, and nothing a remote side
// writes can take the memory or drive the terminal: through the built binary
// and the real sshd, with marker files that must never appear.
#include "core/ssh/HostKeyChecker.h"
#include "core/ssh/SSHTester.h"
#include "fixtures/Await.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QProcess>
#include <QTest>

using namespace TestHelpers;

class TestHostileInput : public SshdBackupTest
{
    Q_OBJECT

    QString marker() const { return m_s->home.path() + QStringLiteral("/MARKER"); }
    QString touchMarker() const
    {
        return QStringLiteral("-oProxyCommand=sh -c 'touch ") + marker() + QStringLiteral("'");
    }

private Q_SLOTS:
    // ssh parses options after the destination unless "--" ends them.
    void aPreBackupCommandIsNeverAnOption()
    {
        BackupPath path = BackupScenario::path(QStringLiteral("Site"), m_s->remote);
        path.preBackupCommand = touchMarker();
        const Server server = m_s->writeConfig({path});
        QCOMPARE(m_s->runHeadless(server.id).status, 2); // the server ran it as a command, which does not exist
        QVERIFY(!QFile::exists(marker()));
        QVERIFY(SSHTester::commandArgs(m_s->writeConfig({}), 10, touchMarker())
                    .join(u' ')
                    .contains(QStringLiteral(" -- ")));
    }

    void theConnectionTestAndHostKeyToolsRefuseOptions()
    {
        Server server = m_sshd->server();
        server.username = touchMarker();
        QVERIFY(!await(SSHTester::test(server, 5))->has_value());
        server = m_sshd->server();
        server.host = QStringLiteral("-oProxyCommand=touch ") + marker();
        QVERIFY(!await(SSHTester::test(server, 5))->has_value());
        QVERIFY(!await(HostKeyChecker::liveFingerprint(server.host, m_sshd->port()))->has_value());
        QVERIFY(!await(HostKeyChecker::trust(server.host, m_sshd->port()))->has_value());
        QVERIFY(!done(HostKeyChecker::knownHostFingerprint(server.host, m_sshd->port())));
        QVERIFY(!QFile::exists(marker()));
    }

    // A line feed in a remote path would start a second command on the
    // server if it reached its shell unquoted: it is a name like any other.
    void aLineFeedInARemotePathIsAName()
    {
        const QString script =
            writeScript(m_s->remote + QStringLiteral("/evil"), "touch '" + marker().toUtf8() + "'\n");
        const QString folder = m_s->remote + QStringLiteral("/a\n") + script;
        writeFile(folder + QStringLiteral("/inside.txt"), "inside");
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), folder)});
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        QCOMPARE(readFile(m_s->runFolder() + QStringLiteral("/Site/inside.txt")), QByteArray("inside"));
        QVERIFY(!QFile::exists(marker()));
    }

    // 20 MB without a line break: memory stays small, the log line is cut.
    void anEndlessLineTakesNoMemory()
    {
        BackupPath path = BackupScenario::path(QStringLiteral("Site"), m_s->remote);
        path.preBackupCommand = QStringLiteral("head -c 20000000 /dev/zero | tr '\\0' x >&2; exit 1");
        const Server server = m_s->writeConfig({path});
        auto run = m_s->startHeadless(server.id);
        const qint64 peak = waitMeasuringPeakKiB(*run);
        QCOMPARE(run->exitCode(), 2);
        QVERIFY2(peak > 0 && peak < memoryBoundKiB(64 * 1024), qPrintable(QString::number(peak)));
        const QByteArray log = readFile(m_s->home.logDir() + u'/' + server.id.toString(QUuid::WithoutBraces).toUpper()
                                        + QStringLiteral(".log"));
        QVERIFY2(log.size() < 64 * 1024, qPrintable(QString::number(log.size())));
        QVERIFY2(log.contains("xxx…\n"), log.left(2000).constData());
    }
};

QTEST_GUILESS_MAIN(TestHostileInput)
#include "tst_HostileInput.moc"
