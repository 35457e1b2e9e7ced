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
