// SPDX-License-Identifier: GPL-3.0-or-later
// Runs against a real sshd in an environment that works against them: modes
// that forbid deleting, a drive that is not there, a lock that cannot be
// taken, names and paths that would split commands.
#include "core/engine/DestinationMarker.h"
#include "core/engine/Snapshots.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "core/system/FileLock.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace TestHelpers;

class TestHostileEnvironment : public SshdBackupTest
{
    Q_OBJECT

public:
    TestHostileEnvironment()
        : SshdBackupTest(true)
    { }

    static int modeOf(const QString &path)
    {
        struct stat info;
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
    }

private Q_SLOTS:
    // Read-only folders from the server (and, as root, an immutable file)
    // never keep an old snapshot from being pruned.
    void retentionPrunesWhatTheServerMadeReadOnly()
    {
        const QString cache = m_s->remote + QStringLiteral("/go/pkg/mod/example.com");
        writeFile(cache + QStringLiteral("/x.go"), "package x");
        QFile::setPermissions(cache + QStringLiteral("/x.go"), QFile::ReadOwner | QFile::ReadGroup);
        QFile::setPermissions(cache, QFile::ReadOwner | QFile::ExeOwner);
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)},
                                               [](AppSettings &s) { s.servers[0].retentionCount = 1; });
        const QDate first(2026, 11, 2);
        QCOMPARE(m_s->runOn(first, server).exitCode, 0);
        const QString frozen = m_s->serverFolder() + QStringLiteral("/2026-11-02/Site/frozen");
        writeFile(frozen, "x");
        const bool immutable = ::geteuid() == 0 && setImmutable(frozen, true);
        BackupScenario::Run run;
        for (int day = 1; day <= 3; ++day) {
            run = m_s->runOn(first.addDays(day), server);
            QCOMPARE(run.exitCode, 0);
        }
        QVERIFY2(run.log.contains(QStringLiteral("Retention: pruned 1 older backup(s):")),
                 qPrintable(run.log.join(u'\n')));
        QCOMPARE(QDir(m_s->serverFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("2026-11-05")});
        if (immutable)
            QVERIFY(!QFile::exists(frozen));
        QFile::setPermissions(cache, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // With the drive's marker required, a destination without it is an
    // unmounted drive: nothing is created there, and the run says so.
    void aDriveThatIsNotConnectedIsNeverWritten()
    {
        DestinationMarker::setSystemFolderForTesting(m_s->home.path()); // the temporary disk stands for the system's
        const QString mountPoint = m_s->home.path() + QStringLiteral("/media/usb");
        QDir().mkpath(mountPoint);
        Server server =
            m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, [&](AppSettings &s) {
                s.destinationPath = mountPoint + QStringLiteral("/Backups");
                s.requireDestinationMarker = true;
            });
        const BackupScenario::Run run = m_s->runOn(QDate(2026, 12, 7), server);
        DestinationMarker::setSystemFolderForTesting(QStringLiteral("/"));
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.log.contains(QStringLiteral("!! The backup drive is not connected (") + mountPoint
                                  + QStringLiteral("/Backups).")),
                 qPrintable(run.log.join(u'\n')));
        QCOMPARE(QDir(mountPoint).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());

        // Connected (the folder is there) and marked, it is written.
        QVERIFY(QDir().mkpath(mountPoint + QStringLiteral("/Backups")));
        QVERIFY(DestinationMarker::place(mountPoint + QStringLiteral("/Backups")));
        QCOMPARE(m_s->runOn(QDate(2026, 12, 7), server).exitCode, 0);
        QVERIFY(QFile::exists(mountPoint + QStringLiteral("/Backups/web_prod/2026-12-07/Site")));
    }

    // A run lock that cannot be taken for any reason is no permission to run.
    void aLockThatCannotBeTakenStopsTheRun()
    {
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)});
        const QString lock = m_s->home.dataHome() + QStringLiteral("/Tidewell/locks/")
                             + server.id.toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".lock");
        QVERIFY(QDir().mkpath(lock)); // a folder where the lock file belongs
        const Outcome outcome = m_s->runHeadless(server.id);
        QCOMPARE(outcome.status, 75);
        QVERIFY2(outcome.err.contains("Could not take the run lock"), outcome.err.constData());
        QVERIFY(!QFile::exists(m_s->serverFolder()));
    }

    // A metacharacter followed by a combining mark is still a metacharacter
    // to the remote shell: it is escaped, and the path copied is the one named.
    void aCombiningMarkNeverHidesAMetacharacter()
    {
        writeFile(m_s->remote + QStringLiteral("/secret/wrong"), "the folder before the ;");
        const QString odd = m_s->remote + QStringLiteral("/secret;\u0301x");
        writeFile(odd + QStringLiteral("/right"), "the folder named");
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), odd)});
        const Outcome outcome = m_s->runHeadless(server.id);
        QCOMPARE(outcome.status, 0);
        QVERIFY(QFile::exists(m_s->runFolder() + QStringLiteral("/Site/right")));
        QVERIFY(!QFile::exists(m_s->runFolder() + QStringLiteral("/Site/wrong")));
    }

    // rsync reads "user@a/b:path" as a local path: such names never reach it.
    void aSlashInAHostOrUserIsRefused()
    {
        for (const auto &[host, user] :
             {std::pair{QStringLiteral("127.0.0.1/x"), QString()}, std::pair{QString(), QStringLiteral("web/admin")}}) {
            const Server server =
                m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, [&](AppSettings &s) {
                    if (!host.isEmpty())
                        s.servers[0].host = host;
                    if (!user.isEmpty())
                        s.servers[0].username = user;
                });
            const Outcome outcome = m_s->runHeadless(server.id);
            QCOMPARE(outcome.status, 2);
            const QStringList refusals = m_s->logOf(server).filter(QStringLiteral("!! Refusing "));
            QCOMPARE(refusals.size(), 1);
            QVERIFY(refusals.first().contains(QStringLiteral("holds “/”")));
            QVERIFY(!QFile::exists(m_s->serverFolder()));
        }
    }

    // One wrong value costs that value; a file that cannot be read at all
    // stops the scheduled run, and the desktop hears of it.
    void aBadConfigurationCostsOnlyWhatItMust()
    {
        Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)});
        QByteArray config = readFile(m_s->home.configFile());
        QVERIFY(config.contains("\"retentionCount\": 0"));
        writeFile(m_s->home.configFile(),
                  QByteArray(config).replace("\"retentionCount\": 0", "\"retentionCount\": \"7\""));
        Outcome outcome = m_s->runHeadless(server.id);
        QCOMPARE(outcome.status, 0);
        QVERIFY2(outcome.err.contains("“servers[0].retentionCount” must be a whole number."), outcome.err.constData());

        // Where and as whom to connect is never a default: a port written
        // as text would send the run to port 22 of that host.
        const QString port = QStringLiteral("\"port\": %1").arg(m_sshd->port());
        QVERIFY(config.contains(port.toUtf8()));
        writeFile(
            m_s->home.configFile(),
            QByteArray(config).replace(port.toUtf8(), QStringLiteral("\"port\": \"%1\"").arg(m_sshd->port()).toUtf8()));
        outcome = m_s->runHeadless(server.id);
        QCOMPARE(outcome.status, 2);
        const QStringList refused = m_s->logOf(server).filter(QStringLiteral("!! "));
        QCOMPARE(refused.size(), 1);
        QVERIFY2(refused.first().startsWith(
                     QStringLiteral("!! The port in the configuration file is \"%1\"").arg(m_sshd->port())),
                 qPrintable(refused.first()));
        QVERIFY(m_s->logOf(server).filter(QStringLiteral("$ ")).isEmpty());
        // And the file still says what it said.
        QVERIFY(
            readFile(m_s->home.configFile()).contains(QStringLiteral("\"port\": \"%1\"").arg(m_sshd->port()).toUtf8()));

        const qsizetype before = m_bus->notifications().size();
        writeFile(m_s->home.configFile(), QByteArray(config).replace("\"port\": ", "\"id\": 7, \"port\": "));
        outcome = m_s->runHeadless(server.id);
        QCOMPARE(outcome.status, 2);
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), before + 1, 5000);
        QCOMPARE(m_bus->notifications().last().value(QStringLiteral("body")).toString(),
                 QStringLiteral("✗ A scheduled backup did not run: config.json could not be read (“servers[0].id” "
                                "must be a UUID string.)"));
    }

    // A host key that changed since it was trusted: a scheduled run stops at
    // once (no retry would help), says what to do and notifies that.
    void aChangedHostKeyIsSaidAndNotRetried()
    {
        writeFile(m_s->remote + QStringLiteral("/a.txt"), "a");
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)});
        QCOMPARE(m_s->runHeadless(server.id).status, 0); // the key is recorded on first use
        const QString other = m_s->home.path() + QStringLiteral("/other_key");
        QCOMPARE(QProcess::execute(QStringLiteral("/usr/bin/ssh-keygen"),
                                   {QStringLiteral("-q"), QStringLiteral("-N"), QString(), QStringLiteral("-t"),
                                    QStringLiteral("ed25519"), QStringLiteral("-f"), other}),
                 0);
        const QString pattern = QStringLiteral("[127.0.0.1]:%1").arg(m_sshd->port());
        const QString forged =
            pattern + u' ' + QString::fromUtf8(readFile(other + QStringLiteral(".pub")).split(' ').mid(0, 2).join(' '));
        // Under the lock the fixture takes for the shared known_hosts.
        const QString script = QStringLiteral("f=\"$(getent passwd $(id -u) | cut -d: -f6)/.ssh/known_hosts\"; "
                                              "ssh-keygen -R '%1' -f \"$f\" >/dev/null 2>&1; echo '%2' >> \"$f\"")
                                   .arg(pattern, forged);
        QCOMPARE(QProcess::execute(QStringLiteral("/usr/bin/flock"),
                                   {QDir::tempPath() + QStringLiteral("/tidewell-tests-known-hosts.lock"),
                                    QStringLiteral("/bin/sh"), QStringLiteral("-c"), script}),
                 0);
        const qsizetype before = m_bus->notifications().size();
        const Outcome outcome = m_s->runHeadless(server.id);
        QCOMPARE(outcome.status, 255);
        const QStringList log = m_s->logOf(server);
        QVERIFY2(log.contains(QStringLiteral("!! The server's host key has changed (") + pattern
                              + QStringLiteral("): open the server in Tidewell to check it.")),
                 qPrintable(log.join(u'\n')));
        QCOMPARE(log.filter(QStringLiteral("→ exit ")).size(), 1);
        QVERIFY(log.filter(QStringLiteral("will retry")).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), before + 1, 5000);
        QCOMPARE(m_bus->notifications().last().value(QStringLiteral("body")).toString(),
                 QStringLiteral("✗ web: prod — backup failed: the server's host key has changed: open the server in "
                                "Tidewell to check it"));
        m_sshd->forgetHostKey();
    }

    // --status never waits for ever: not on a FIFO, not on a stuck lock.
    void statusNeverHangs()
    {
        QDir().mkpath(QFileInfo(m_s->home.configFile()).absolutePath());
        QVERIFY(::mkfifo(QFile::encodeName(m_s->home.configFile()).constData(), 0600) == 0);
        Outcome outcome = runTidewell(m_s->home, {QStringLiteral("--status")}, {}, 30000);
        QCOMPARE(outcome.status, 1);
        QVERIFY2(outcome.err.contains("not a regular file"), outcome.err.constData());
        QFile::remove(m_s->home.configFile());

        m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)});
        const auto held = FileLock::tryLock(m_s->home.configFile() + QStringLiteral(".lock"));
        QVERIFY(held);
        outcome = runTidewell(m_s->home, {QStringLiteral("--status")}, {}, 30000);
        QCOMPARE(outcome.status, 3);
        QCOMPARE(outcome.err.count('\n'), 1);
    }

    // Settings may hold secrets (pre-backup commands), logs what servers
    // print: for their owner alone, whatever the umask.
    void settingsLogsAndLocksAreTheOwnersAlone()
    {
        const mode_t previous = ::umask(022);
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)});
        QFile::setPermissions(m_s->home.configFile(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        QFile::setPermissions(QFileInfo(m_s->home.configFile()).absolutePath(), QFile::ReadOwner | QFile::WriteOwner
                                                                                    | QFile::ExeOwner | QFile::ReadOther
                                                                                    | QFile::ExeOther);
        const Outcome outcome = m_s->runHeadless(server.id);
        ::umask(previous);
        QCOMPARE(outcome.status, 0);
        const QString data = m_s->home.dataHome() + QStringLiteral("/Tidewell");
        QCOMPARE(modeOf(data), 0700);
        QCOMPARE(modeOf(m_s->home.configFile()), 0600);
        QCOMPARE(modeOf(data + QStringLiteral("/logs")), 0700);
        const QString id = server.id.toString(QUuid::WithoutBraces).toUpper();
        QCOMPARE(modeOf(data + QStringLiteral("/logs/") + id + QStringLiteral(".log")), 0600);
        QCOMPARE(modeOf(data + QStringLiteral("/locks/") + id + QStringLiteral(".lock")), 0600);
        // The backup keeps the server's modes.
        QCOMPARE(modeOf(m_s->runFolder() + QStringLiteral("/Site")), modeOf(m_s->remote));
    }
};

QTEST_GUILESS_MAIN(TestHostileEnvironment)
#include "tst_HostileEnvironment.moc"
