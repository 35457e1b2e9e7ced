// SPDX-License-Identifier: GPL-3.0-or-later
// The command line through the built binary.
#include "core/EntryPoint.h"
#include "core/model/AppSettings.h"
#include "fixtures/Files.h"
#include "fixtures/TempHome.h"
#include "fixtures/TidewellProcess.h"

#include <QProcess>
#include <QTest>

using namespace TestHelpers;


class TestEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headlessOnlyWithAUuidRightAfterTheFirstOption_data()
    {
        const QString id = QStringLiteral("0f3c2a9e-7b1d-4c55-9e2a-1b2c3d4e5f60");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("headless");
        QTest::newRow("no option") << QStringList{QStringLiteral("tidewell")} << false;
        QTest::newRow("uuid") << QStringList{QStringLiteral("tidewell"), QStringLiteral("--run-backup"), id} << true;
        QTest::newRow("upper-case uuid") << QStringList{QStringLiteral("tidewell"), QStringLiteral("--run-backup"), id.toUpper()} << true;
        QTest::newRow("option last") << QStringList{QStringLiteral("tidewell"), QStringLiteral("--run-backup")} << false;
        QTest::newRow("not a uuid") << QStringList{QStringLiteral("tidewell"), QStringLiteral("--run-backup"), QStringLiteral("web")} << false;
        QTest::newRow("braced uuid") << QStringList{QStringLiteral("tidewell"), QStringLiteral("--run-backup"), u'{' + id + u'}'} << false;
        QTest::newRow("only the first option counts")
            << QStringList{QStringLiteral("tidewell"), QStringLiteral("--run-backup"), QStringLiteral("x"), QStringLiteral("--run-backup"), id}
            << false;
        QTest::newRow("case-sensitive option") << QStringList{QStringLiteral("tidewell"), QStringLiteral("--RUN-BACKUP"), id} << false;
    }

    void headlessOnlyWithAUuidRightAfterTheFirstOption()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, headless);
        QCOMPARE(EntryPoint::headlessServerID(arguments).has_value(), headless);
    }

    void optionsBesideTheRun_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("help");
        QTest::addColumn<bool>("version");
        QTest::addColumn<QStringList>("unknown");
        const QString t = QStringLiteral("tidewell");
        QTest::newRow("none") << QStringList{t} << false << false << QStringList{};
        QTest::newRow("--help") << QStringList{t, QStringLiteral("--help")} << true << false << QStringList{};
        QTest::newRow("-h") << QStringList{t, QStringLiteral("-h")} << true << false << QStringList{};
        QTest::newRow("--version") << QStringList{t, QStringLiteral("--version")} << false << true << QStringList{};
        QTest::newRow("-v") << QStringList{t, QStringLiteral("-v")} << false << true << QStringList{};
        // One word, not the letters r, e, v…
        QTest::newRow("-reverse") << QStringList{t, QStringLiteral("-reverse")} << false << false << QStringList{QStringLiteral("-reverse")};
        QTest::newRow("unknown, as typed") << QStringList{t, QStringLiteral("--frob=1"), QStringLiteral("-x")} << false << false
                                           << QStringList{QStringLiteral("--frob"), QStringLiteral("-x")};
        // A malformed run is not an error: the window starts and nothing is said.
        QTest::newRow("--run-backup last") << QStringList{t, QStringLiteral("--run-backup")} << false << false << QStringList{};
        QTest::newRow("--run-backup word") << QStringList{t, QStringLiteral("--run-backup"), QStringLiteral("web")} << false << false
                                           << QStringList{};
    }

    void optionsBesideTheRun()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, help);
        QFETCH(bool, version);
        QFETCH(QStringList, unknown);
        const EntryPoint::Options options = EntryPoint::parse(arguments);
        QCOMPARE(options.help, help);
        QCOMPARE(options.version, version);
        QCOMPARE(options.unknownOptions, unknown);
    }

    // Help and version print and end without a display.
    void helpAndVersionThroughTheBinary()
    {
        TempHome home;
        for (const QString &option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
            const Outcome help = runTidewell(home, {option});
            QCOMPARE(help.status, 0);
            QVERIFY(help.out.startsWith("Usage: tidewell [--run-backup SERVER-ID]\n"));
            QVERIFY(help.out.contains("--version"));
            QVERIFY(help.err.isEmpty());
        }
        const Outcome version = runTidewell(home, {QStringLiteral("--version")});
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QByteArray("Tidewell " TIDEWELL_PROJECT_VERSION "\n"));
        QVERIFY(!QFile::exists(home.configFile()));
    }

    // Unknown options get one line on standard error, and the window starts.
    void unknownOptionsWarnOnceAndTheWindowStarts()
    {
        TempHome home;
        QProcess window;
        QProcessEnvironment offscreen;
        offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        window.setProcessEnvironment(tidewellEnvironment(home, offscreen));
        window.start(QStringLiteral(TIDEWELL_BINARY), {QStringLiteral("--frobnicate"), QStringLiteral("-platform"), QStringLiteral("offscreen")});
        QVERIFY(window.waitForStarted());
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += window.readAllStandardError()).contains("tidewell: "), 20000);
        QTest::qWait(500);
        err += window.readAllStandardError();
        QCOMPARE(window.state(), QProcess::Running); // the window is up
        window.kill();
        window.waitForFinished();
        QStringList ours;
        for (const QByteArray &line : err.split('\n')) {
            if (line.startsWith("tidewell: "))
                ours << QString::fromUtf8(line);
        }
        // Qt's own -platform is Qt's, not unknown.
        QCOMPARE(ours, QStringList{QStringLiteral("tidewell: unknown option --frobnicate ignored (see tidewell --help)")});
    }

    void unknownServerEndsWithTwo()
    {
        TempHome home;
        const Outcome outcome = runTidewell(home, {QStringLiteral("--run-backup"), QStringLiteral("0f3c2a9e-7b1d-4c55-9e2a-1b2c3d4e5f60")});
        QCOMPARE(outcome.status, 2);
        QCOMPARE(outcome.err, QByteArray("Server 0F3C2A9E-7B1D-4C55-9E2A-1B2C3D4E5F60 not found in config.\n"));
        QVERIFY(outcome.out.isEmpty());
        QVERIFY(!QFile::exists(home.configFile()));
    }

    void runWithoutEnabledPathsRecordsTheResult()
    {
        TempHome home;
        AppSettings settings;
        Server server;
        server.name = QStringLiteral("web");
        server.paths.append(BackupPath{});
        server.paths.last().enabled = false;
        settings.servers.append(server);
        QVERIFY(writeFile(home.configFile(), settings.encode()));

        const QString lowerCaseID = server.id.toString(QUuid::WithoutBraces).toLower();
        const Outcome outcome = runTidewell(home, {QStringLiteral("--run-backup"), lowerCaseID});
        QCOMPARE(outcome.status, 0);
        QVERIFY(outcome.out.isEmpty());
        const auto onDisk = AppSettings::decode(readFile(home.configFile()));
        QVERIFY(onDisk);
        QCOMPARE(onDisk->servers.at(0).lastExitCode, 0);
        QVERIFY(onDisk->servers.at(0).lastRunAt.has_value());
        const QByteArray log = readFile(home.logDir() + u'/' + server.id.toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".log"));
        QVERIFY(log.contains("# Status:    SUCCESS\nNo enabled paths.\n"));
    }

    void minusOneIsSeenAsTwoFiftyFive()
    {
        TempHome home;
        AppSettings settings;
        settings.destinationPath = QStringLiteral("relative/folder");
        Server server;
        server.useSSHAgent = true;
        server.host = QStringLiteral("127.0.0.1");
        server.username = QStringLiteral("u");
        server.paths.append(BackupPath{});
        server.paths[0].remotePath = QStringLiteral("/srv");
        settings.servers.append(server);
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        const Outcome outcome = runTidewell(home, {QStringLiteral("--run-backup"), server.id.toString(QUuid::WithoutBraces)});
        QCOMPARE(outcome.status, 255);
        QVERIFY(!QDir(home.home() + QStringLiteral("/relative")).exists());
    }
};

QTEST_GUILESS_MAIN(TestEntry)
#include "tst_Entry.moc"
