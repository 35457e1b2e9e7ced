// SPDX-License-Identifier: GPL-3.0-or-later
// Nothing lost on a full disk, under concurrent runs, or when the
// configuration file goes bad during a run; through the built binary.
#include "core/engine/RsyncRunner.h"
#include "core/model/ServerId.h"
#include "core/storage/LogStore.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QProcess>
#include <QTest>

using namespace TestHelpers;

class TestNothingLost : public SshdBackupTest
{
    Q_OBJECT

private Q_SLOTS:
    // The data folder fills up while a run copies to another disk: the run's
    // record cannot be written, and nothing that was there is lost.
    void aFullDiskKeepsTheOldFiles()
    {
        writeFile(m_s->remote + QStringLiteral("/f"), "f");
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)});
        const QString tidewell = m_s->home.dataHome() + QStringLiteral("/Tidewell");
        const QString oldLog = QStringLiteral("# Tidewell log\n# Status:    SUCCESS\nan earlier run\n");
        writeFile(tidewell + QStringLiteral("/logs/") + ServerId::text(server.id) + QStringLiteral(".log"),
                  oldLog.toUtf8());
        const QString staged = m_s->home.path() + QStringLiteral("/staged");
        QVERIFY(QProcess::execute(QStringLiteral("/bin/cp"), {QStringLiteral("-a"), tidewell, staged}) == 0);
        const QByteArray config = readFile(staged + QStringLiteral("/config.json"));

        const QString out = m_s->home.path() + QStringLiteral("/out");
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_s->home.home());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_s->home.dataHome());
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        run.setProcessEnvironment(env);
        run.start(QStringLiteral(TIDEWELL_FIXTURES "/fulldisk.sh"),
                  {m_s->home.dataHome(), staged, out, QStringLiteral("--"), QStringLiteral(TIDEWELL_BINARY),
                   QStringLiteral("--run-backup"), ServerId::text(server.id)});
        QVERIFY(run.waitForFinished(120000));
        if (run.exitCode() == 77)
            QSKIP("mounting a full tmpfs needs root and unshare");
        QCOMPARE(run.exitCode(), 0);
        QCOMPARE(readFile(out + QStringLiteral("/status")).trimmed(), QByteArray("0")); // the copy itself succeeded
        QCOMPARE(readFile(out + QStringLiteral("/after/config.json")), config);
        QCOMPARE(QString::fromUtf8(readFile(out + QStringLiteral("/after/logs/") + ServerId::text(server.id)
                                            + QStringLiteral(".log"))),
                 oldLog);
        const QString errors = QString::fromUtf8(readFile(out + QStringLiteral("/stderr")));
        QVERIFY2(errors.contains(QStringLiteral("ConfigStore save error: ")), qPrintable(errors));
        // No half-written file is left beside them.
        QCOMPARE(QDir(out + QStringLiteral("/after")).entryList(QDir::Files),
                 (QStringList{QStringLiteral("config.json"), QStringLiteral("config.json.lock")}));
        QCOMPARE(QDir(out + QStringLiteral("/after/logs")).entryList(QDir::Files).size(), 1);
        QCOMPARE(readFile(m_s->runFolder() + QStringLiteral("/Site/f")), QByteArray("f"));
    }

    // Runs that end together each record their own result: none is lost,
    // none is taken for another's.
    void concurrentRunsLoseNoResult()
    {
        AppSettings settings;
        settings.destinationPath = m_s->destination;
        for (int i = 0; i < 8; ++i) {
            Server server = m_sshd->server(QStringLiteral("s%1").arg(i));
            server.paths = {BackupScenario::path(QStringLiteral("p"), m_s->remote)};
            // Odd servers fail at once (exit 2); even ones have nothing to copy (exit 0).
            if (i % 2)
                server.privateKeyPath.clear();
            else
                server.paths[0].enabled = false;
            settings.servers.append(server);
        }
        writeFile(m_s->home.configFile(), settings.encode());
        int lost = 0;
        for (int round = 0; round < 50; ++round) {
            std::vector<std::unique_ptr<QProcess>> runs;
            for (const Server &server : std::as_const(settings.servers))
                runs.push_back(m_s->startHeadless(server.id));
            for (const auto &run : runs)
                QVERIFY(run->waitForFinished(60000));
            const auto onDisk = AppSettings::decode(readFile(m_s->home.configFile()));
            QVERIFY(onDisk);
            for (int i = 0; i < 8; ++i) {
                const Server *stored = onDisk->server(settings.servers.at(i).id);
                QVERIFY(stored);
                if (stored->lastExitCode != std::optional<qint64>(i % 2 ? 2 : 0)
                    || stored->lastRunAt == settings.servers.at(i).lastRunAt) {
                    ++lost;
                    qWarning("round %d server %d: code %lld, ran at %f (before %f)", round, i,
                             stored->lastExitCode.value_or(-99), stored->lastRunAt.value_or(-1),
                             settings.servers.at(i).lastRunAt.value_or(-1));
                    for (const auto &run : runs)
                        qWarning("  exit %d: %s", run->exitCode(), run->readAllStandardError().constData());
                }
            }
            settings = *onDisk;
        }
        QCOMPARE(lost, 0);
    }

    // Someone breaks config.json while a run is in progress: the run keeps
    // those bytes aside before it records its result.
    void aFileThatGoesBadDuringARunIsKeptAside()
    {
        BackupPath slow = BackupScenario::path(QStringLiteral("Site"), m_s->remote);
        // The file breaks once the run has read it and is in its pre-backup command.
        const QString pause = QStringLiteral("sleep 2 # ") + m_s->home.path();
        slow.preBackupCommand = pause;
        const Server server = m_s->writeConfig({slow});
        auto run = m_s->startHeadless(server.id);
        QTRY_VERIFY_WITH_TIMEOUT(!processesMentioning(pause).isEmpty(), 30000);
        const QByteArray broken = "{ \"servers\": [ { \"name\": \"typo\", } ] ";
        writeFile(m_s->home.configFile(), broken);
        QVERIFY(run->waitForFinished(60000));
        QCOMPARE(run->exitCode(), 0);
        const QDir folder(m_s->home.dataHome() + QStringLiteral("/Tidewell"));
        const QStringList kept = folder.entryList({QStringLiteral("config.json.corrupt-*")}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(readFile(folder.filePath(kept.first())), broken);
        QVERIFY(QString::fromUtf8(run->readAllStandardError()).contains(kept.first()));
        QCOMPARE(m_s->storedServer(server.id)->lastExitCode, 0);
    }
};

QTEST_GUILESS_MAIN(TestNothingLost)
#include "tst_NothingLost.moc"
