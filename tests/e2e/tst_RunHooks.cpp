// SPDX-License-Identifier: GPL-3.0-or-later
// Commands around a run against the test sshd: a path's after-backup command
// on the server, after a good and a failed transfer, and the server's
// commands on this computer: before the run (its failure ends the run,
// nothing copied; a time limit ends it), after a good and a failed run, with
// their environment and their output in the log.
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include "core/engine/DumpCommands.h"
#include "core/model/LocalCommand.h"
#include "core/model/ServerCheck.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

using namespace TestHelpers;

class TestRunHooks : public SshdBackupTest
{
    Q_OBJECT

    QString scripts() const { return m_s->home.path() + QStringLiteral("/scripts"); }

    // A script that writes its environment's TIDEWELL_ values to `record`.
    QString recorder(const QString &name, const QByteArray &more = "exit 0\n") const
    {
        const QString record = scripts() + u'/' + name + QStringLiteral(".env");
        return writeScript(scripts() + u'/' + name,
                           "printf 'id=%s\\nname=%s\\nsnapshot=%s\\nexit=%s\\nargs=%s\\n' \"$TIDEWELL_SERVER_ID\" "
                           "\"$TIDEWELL_SERVER_NAME\" \"$TIDEWELL_SNAPSHOT\" \"${TIDEWELL_EXIT_CODE-unset}\" \"$*\" > '"
                               + record.toUtf8() + "'\n" + more);
    }
    QByteArray recorded(const QString &name) const
    {
        return readFile(scripts() + u'/' + name + QStringLiteral(".env"));
    }

    Server webServer(const QString &remotePath, const QString &postCommand = QString())
    {
        BackupPath etc = BackupScenario::path(QStringLiteral("etc"), remotePath);
        etc.postBackupCommand = postCommand;
        return m_s->writeConfig({etc});
    }

    // Running, and not only a zombie no parent has reaped yet.
    static bool isAlive(const QString &pid)
    {
        const QByteArray stat = readFile(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
        const qsizetype end = stat.lastIndexOf(')');
        return end > 0 && stat.mid(end + 2, 1) != "Z";
    }

    static QString logText(const BackupScenario::Run &run) { return run.log.join(u'\n'); }

private Q_SLOTS:
    // The server's command after the transfer runs whether it succeeded or
    // not, and hears rsync's exit.
    void afterBackupCommandRunsAfterSuccessAndFailure()
    {
        writeFile(m_s->remote + QStringLiteral("/etc/hosts"), "127.0.0.1 localhost\n");
        const QString mark = m_s->remote + QStringLiteral("/status");
        const QString command =
            QStringLiteral("echo \"after $TIDEWELL_STATUS\" > '") + mark + QStringLiteral("'; echo done on the server");
        Server server = webServer(m_s->remote + QStringLiteral("/etc"), command);
        auto run = m_s->runOn(QDate::currentDate(), server);
        QCOMPARE(run.exitCode.value_or(-1), 0);
        QCOMPARE(readFile(mark), QByteArray("after 0\n"));
        QVERIFY2(logText(run).contains(QStringLiteral("↳ post-backup: ") + command
                                       + QStringLiteral("\n  done on "
                                                        "the server")),
                 qPrintable(logText(run)));

        // A path that is not there: rsync fails (23), the command runs all the same.
        server.paths[0].remotePath = m_s->remote + QStringLiteral("/missing");
        run = m_s->runOn(QDate::currentDate().addDays(1), server);
        QCOMPARE(run.exitCode.value_or(-1), 23);
        QCOMPARE(readFile(mark), QByteArray("after 23\n"));

        // Its own failure is said; the copy it followed stands.
        server.paths[0].remotePath = m_s->remote + QStringLiteral("/etc");
        server.paths[0].postBackupCommand = QStringLiteral("exit 4");
        run = m_s->runOn(QDate::currentDate().addDays(2), server);
        QCOMPARE(run.exitCode.value_or(-1), 0);
        QVERIFY(run.log.contains(QStringLiteral("!! post-backup command failed (exit 4)")));
    }

    // A failing command before the run ends it with the command's exit code,
    // its output in the log, and nothing of the server copied; the command
    // after a failed run then hears that code.
    void failingBeforeCommandEndsTheRunWithItsCode()
    {
        writeFile(m_s->remote + QStringLiteral("/etc/hosts"), "127.0.0.1 localhost\n");
        Server server = webServer(m_s->remote + QStringLiteral("/etc"));
        server.localBeforeCommand = {recorder(QStringLiteral("before"), "echo 'drive not there' >&2\nexit 7\n"),
                                     QStringLiteral("two words"), QStringLiteral("it's")};
        server.localAfterFailureCommand = {recorder(QStringLiteral("failed"))};
        server.localAfterSuccessCommand = {recorder(QStringLiteral("succeeded"))};
        const auto run = m_s->runOn(QDate::currentDate(), server);
        QCOMPARE(run.exitCode.value_or(-1), 7);
        QVERIFY(!QFile::exists(m_s->runFolder() + QStringLiteral("/etc/hosts")));
        const QString log = logText(run);
        QVERIFY2(log.contains(QStringLiteral("↳ local: ") + scripts()
                              + QStringLiteral("/before \"two words\" \"it's\"\n  drive not there\n")),
                 qPrintable(log));
        QVERIFY(log.contains(QStringLiteral("!! The command before the run failed: nothing was copied.")));
        // Its words arrive as they were given, no shell between.
        QVERIFY(recorded(QStringLiteral("before")).contains("args=two words it's\n"));
        QVERIFY(recorded(QStringLiteral("before")).contains("exit=unset\n"));
        QVERIFY(recorded(QStringLiteral("failed")).contains("exit=7\n"));
        QVERIFY(!QFile::exists(scripts() + QStringLiteral("/succeeded.env")));
    }

    // A good run: before and after get the server and the snapshot; the
    // after command hears 0.
    void commandsAroundAGoodRunGetItsEnvironment()
    {
        writeFile(m_s->remote + QStringLiteral("/etc/hosts"), "127.0.0.1 localhost\n");
        Server server = webServer(m_s->remote + QStringLiteral("/etc"));
        server.localBeforeCommand = {recorder(QStringLiteral("before"), "echo preparing\n")};
        server.localAfterSuccessCommand = {recorder(QStringLiteral("succeeded"))};
        server.localAfterFailureCommand = {recorder(QStringLiteral("failed"))};
        const auto run = m_s->runOn(QDate::currentDate(), server);
        QCOMPARE(run.exitCode.value_or(-1), 0);
        QVERIFY(QFile::exists(m_s->runFolder() + QStringLiteral("/etc/hosts")));
        const QByteArray expected = "id=" + server.id.toString(QUuid::WithoutBraces).toUpper().toUtf8()
                                    + "\nname=" + server.name.toUtf8() + "\nsnapshot=" + m_s->runFolder().toUtf8();
        QVERIFY2(recorded(QStringLiteral("before")).startsWith(QByteArray(expected + "\nexit=unset\n")),
                 recorded(QStringLiteral("before")).constData());
        QVERIFY(recorded(QStringLiteral("succeeded")).startsWith(QByteArray(expected + "\nexit=0\n")));
        QVERIFY(!QFile::exists(scripts() + QStringLiteral("/failed.env")));
        QVERIFY(run.log.contains(QStringLiteral("  preparing")));
        // The after command is in the saved log too.
        QVERIFY(m_s->logOf(server).contains(QStringLiteral("↳ local: ") + scripts() + QStringLiteral("/succeeded")));
    }

    // A command that outlives its time limit is stopped, with what it left
    // running; the run ends refused, nothing copied.
    void beforeCommandPastItsTimeLimitIsStopped()
    {
        writeFile(m_s->remote + QStringLiteral("/etc/hosts"), "127.0.0.1 localhost\n");
        Server server = webServer(m_s->remote + QStringLiteral("/etc"));
        const QString pidFile = scripts() + QStringLiteral("/sleeper.pid");
        server.localBeforeCommand = {writeScript(scripts() + QStringLiteral("/sleeper"),
                                                 "sleep 300 &\necho $! > '" + pidFile.toUtf8() + "'\nwait\n")};
        server.hookTimeoutSeconds = 1;
        QElapsedTimer clock;
        clock.start();
        const auto run = m_s->runOn(QDate::currentDate(), server);
        QVERIFY(clock.elapsed() < 60000);
        QCOMPARE(run.exitCode.value_or(-1), 2);
        QVERIFY(run.log.contains(QStringLiteral("!! local command stopped after 1 s (its time limit)")));
        QVERIFY(!QFile::exists(m_s->runFolder() + QStringLiteral("/etc/hosts")));
        // What it started went with it.
        const QByteArray sleeper = readFile(pidFile).trimmed();
        QVERIFY(!sleeper.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!isAlive(QString::fromLatin1(sleeper)), 20000);
    }

    // A command that is not an absolute path to an executable file is
    // refused where it is set, and a run refuses to start with it.
    void commandsThatCannotRunAreRefused_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("said");
        QTest::newRow("relative") << QStringList{QStringLiteral("backup-hook"), QStringLiteral("--now")}
                                  << QStringLiteral("must start with the program's absolute path, not “backup-hook”");
        QTest::newRow("missing") << QStringList{QStringLiteral("/nonexistent/hook")}
                                 << QStringLiteral("names “/nonexistent/hook”, which is not an executable file");
        QTest::newRow("a folder") << QStringList{QStringLiteral("/tmp")}
                                  << QStringLiteral("names “/tmp”, which is not an executable file");
        // Made below: a file without any x bit (which root cannot run either).
        QTest::newRow("not executable") << QStringList{QStringLiteral("/plain")}
                                        << QStringLiteral("/plain”, which is not an executable file");
    }
    void commandsThatCannotRunAreRefused()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, said);
        writeFile(m_s->remote + QStringLiteral("/etc/hosts"), "127.0.0.1 localhost\n");
        Server server = webServer(m_s->remote + QStringLiteral("/etc"));
        if (command.constFirst() == QStringLiteral("/plain")) {
            command[0] = scripts() + command.constFirst();
            QVERIFY(writeFile(command.constFirst(), "#!/bin/sh\nexit 0\n"));
            QVERIFY(QFile::setPermissions(command.constFirst(), QFile::ReadOwner | QFile::WriteOwner));
        }
        server.localBeforeCommand = command;
        const QList<ServerCheck::Problem> problems = ServerCheck::problems(server, {server});
        QCOMPARE(problems.size(), 1);
        QCOMPARE(problems.at(0).field, ServerCheck::Problem::Field::localCommand);
        QVERIFY2(problems.at(0).message.contains(said), qPrintable(problems.at(0).message));
        const auto run = m_s->runOn(QDate::currentDate(), server);
        QCOMPARE(run.exitCode.value_or(-1), 2);
        QVERIFY(!QDir(m_s->runFolder()).exists());
    }

    // A SQLite database on the server is dumped while a writer keeps
    // adding rows two at a time: the copy holds whole transactions only,
    // and the dump is gone from the server afterwards.
    void sqliteDumpIsConsistentWhileWritten()
    {
        const QString sqlite = QStringLiteral("/usr/bin/sqlite3");
        if (!QFile::exists(sqlite))
            QSKIP("sqlite3 is not installed");
        const QString database = m_s->remote + QStringLiteral("/app data/app.db");
        QDir().mkpath(QFileInfo(database).absolutePath());
        QCOMPARE(
            QProcess::execute(sqlite, {database, QStringLiteral("create table rows(batch integer, filler blob);")}), 0);
        // Incompressible rows, so the database grows while it is dumped.
        QProcess writer;
        writer.start(QStringLiteral("/bin/sh"),
                     {QStringLiteral("-c"),
                      QStringLiteral("i=0; while :; do i=$((i+1)); /usr/bin/sqlite3 \"$0\" \"begin; insert into rows "
                                     "values($i, randomblob(20000)); insert into rows values($i, randomblob(20000)); "
                                     "commit;\" 2>/dev/null; done"),
                      database});
        QVERIFY(writer.waitForStarted());
        auto stop = qScopeGuard([&writer] {
            writer.kill();
            writer.waitForFinished();
        });
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(database).size() > 200000, 30000);

        BackupPath dump = BackupScenario::path(QStringLiteral("app db"), m_s->remote + QStringLiteral("/dumps"));
        dump.dumpKind = QStringLiteral("sqlite");
        dump.dumpDatabase = database;
        const Server server = m_s->writeConfig({dump});
        const auto run = m_s->runOn(QDate::currentDate(), server);
        QVERIFY2(run.exitCode == 0, qPrintable(logText(run)));
        writer.kill();
        writer.waitForFinished();
        stop.dismiss();
        const QString copy = m_s->runFolder() + QStringLiteral("/app db/app.sqlite");
        QVERIFY2(QFile::exists(copy), qPrintable(logText(run)));
        QProcess check;
        check.start(sqlite, {copy, QStringLiteral("pragma integrity_check; select count(*) from rows; "
                                                  "select count(*) from (select batch from rows group by batch "
                                                  "having count(*) != 2);")});
        QVERIFY(check.waitForFinished(30000));
        const QList<QByteArray> answers = check.readAllStandardOutput().trimmed().split('\n');
        QCOMPARE(answers.size(), 3);
        QCOMPARE(answers.at(0), QByteArray("ok"));
        QVERIFY(answers.at(1).toInt() >= 2);
        QCOMPARE(answers.at(2), QByteArray("0")); // no transaction cut in half
        QVERIFY(QDir(m_s->remote + QStringLiteral("/dumps")).isEmpty());
        QVERIFY(run.log.contains(QStringLiteral("↳ database dump: ") + DumpCommands::dump(dump)));
    }

    // A dump that fails ends the run before anything of the path is copied,
    // and leaves nothing half-written on the server.
    void failedDumpCopiesNothing()
    {
        if (!QFile::exists(QStringLiteral("/usr/bin/sqlite3")))
            QSKIP("sqlite3 is not installed");
        BackupPath dump = BackupScenario::path(QStringLiteral("app db"), m_s->remote + QStringLiteral("/dumps"));
        dump.dumpKind = QStringLiteral("sqlite");
        dump.dumpDatabase = m_s->remote + QStringLiteral("/no such.db");
        writeFile(m_s->remote + QStringLiteral("/dumps/old.txt"), "an earlier file\n");
        const Server server = m_s->writeConfig({dump});
        const auto run = m_s->runOn(QDate::currentDate(), server);
        QCOMPARE(run.exitCode.value_or(-1), 2);
        QVERIFY(run.log.contains(QStringLiteral("!! the database dump failed — nothing of this path is copied")));
        QVERIFY(!QFile::exists(m_s->runFolder() + QStringLiteral("/app db/old.txt")));
        QCOMPARE(QDir(m_s->remote + QStringLiteral("/dumps")).entryList(QDir::Files),
                 QStringList{QStringLiteral("old.txt")});
    }

    // The line the editor shows gives back the same words.
    void shownCommandsReadBackAsTheirWords()
    {
        const QList<QStringList> commands = {
            {QStringLiteral("/usr/bin/env")},
            {QStringLiteral("/opt/my tools/hook"), QStringLiteral("--name=web 01")},
            {QStringLiteral("/bin/echo"), QStringLiteral("say \"hi\""), QStringLiteral("back\\slash"),
             QStringLiteral("tab\there")},
        };
        for (const QStringList &command : commands)
            QCOMPARE(LocalCommand::parsed(LocalCommand::shown(command)), command);
    }
};

QTEST_GUILESS_MAIN(TestRunHooks)
#include "tst_RunHooks.moc"
