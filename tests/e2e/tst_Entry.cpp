// SPDX-License-Identifier: GPL-3.0-or-later
// The command line through the built binary.
#include "core/cli/EntryPoint.h"
#include "core/model/AppSettings.h"
#include "core/model/ReferenceDate.h"
#include "core/model/ServerId.h"
#include "fixtures/DbusSessionFixture.h"
#include "fixtures/Files.h"
#include "fixtures/TempHome.h"
#include "fixtures/TidewellProcess.h"
#include "fixtures/UserManagerFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace TestHelpers;

namespace {

// A configuration with one server of each health, times relative to now in
// whole minutes; status output is read in UTC.
struct StatusFixture
{
    QDateTime now = QDateTime::currentDateTimeUtc();
    QDateTime minutesAgo(int minutes) const
    {
        const QDateTime at = now.addSecs(-60 * minutes);
        return QDateTime(at.date(), QTime(at.time().hour(), at.time().minute()), Qt::UTC);
    }
    static Server server(const QString &name, bool scheduled)
    {
        Server s;
        s.name = name;
        s.scheduleEnabled = scheduled;
        s.scheduleTime = QStringLiteral("03:00");
        return s;
    }
    static void ran(Server &s, const QDateTime &at, qint64 code)
    {
        s.lastRunAt = ReferenceDate::fromDateTime(at);
        s.lastExitCode = code;
        if (code == 0)
            s.lastSuccessAt = s.lastRunAt;
    }
    AppSettings settings() const
    {
        Server ok = server(QStringLiteral("web-01"), true);
        ran(ok, minutesAgo(120), 0);
        Server failing = server(QStringLiteral("db ünï\nsecond line"), true);
        ran(failing, minutesAgo(3 * 24 * 60), 0);
        ran(failing, minutesAgo(60), 23);
        Server overdue = server(QStringLiteral("mail"), true);
        ran(overdue, minutesAgo(3 * 24 * 60), 0);
        Server never = server(QStringLiteral("new"), true);
        never.scheduledSince = ReferenceDate::fromDateTime(minutesAgo(60));
        Server unscheduled = server(QStringLiteral("archive"), false);
        ran(unscheduled, minutesAgo(10 * 24 * 60), 0);
        AppSettings settings;
        settings.servers = {ok, failing, overdue, never, unscheduled};
        return settings;
    }
    static QProcessEnvironment utc()
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
        return environment;
    }
    QString nextThreeOClock() const
    {
        QDateTime next(now.date(), QTime(3, 0), Qt::UTC);
        if (next <= now)
            next = next.addDays(1);
        return next.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    }
};

QString shortUtc(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

} // namespace

class TestEntry : public QObject
{
    Q_OBJECT

    // The user manager --status asks about timers, on a bus of its own.
    std::unique_ptr<UserManagerFixture> m_manager;

    QProcessEnvironment withManager(const QProcessEnvironment &environment) const
    {
        return m_manager->environment(environment);
    }

    void timersOf(const AppSettings &settings)
    {
        QList<QUuid> scheduled;
        for (const Server &server : settings.servers) {
            if (server.scheduleEnabled)
                scheduled << server.id;
        }
        m_manager->setTimers(scheduled);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_manager = std::make_unique<UserManagerFixture>();
        QVERIFY(m_manager->isRunning());
    }

    void cleanupTestCase() { m_manager.reset(); }

    void headlessOnlyWithAUuidRightAfterTheFirstOption_data()
    {
        const QString id = QStringLiteral("0f3c2a9e-7b1d-4c55-9e2a-1b2c3d4e5f60");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("outcome"); // "headless", "window" or "usage" (one line, exit 2)
        const QString t = QStringLiteral("tidewell");
        const QString run = QStringLiteral("--run-backup");
        QTest::newRow("no option") << QStringList{t} << QStringLiteral("window");
        QTest::newRow("uuid") << QStringList{t, run, id} << QStringLiteral("headless");
        QTest::newRow("upper-case uuid") << QStringList{t, run, id.toUpper()} << QStringLiteral("headless");
        QTest::newRow("with =") << QStringList{t, QStringLiteral("--run-backup=") + id} << QStringLiteral("headless");
        QTest::newRow("option last") << QStringList{t, run} << QStringLiteral("usage");
        // A name: found (or not) when the configuration is read.
        QTest::newRow("a name") << QStringList{t, run, QStringLiteral("web")} << QStringLiteral("headless");
        QTest::newRow("= and a name") << QStringList{t, QStringLiteral("--run-backup=web-01")}
                                      << QStringLiteral("headless");
        QTest::newRow("empty =") << QStringList{t, QStringLiteral("--run-backup=")} << QStringLiteral("usage");
        QTest::newRow("case-sensitive option")
            << QStringList{t, QStringLiteral("--RUN-BACKUP"), id} << QStringLiteral("window");
    }

    void headlessOnlyWithAUuidRightAfterTheFirstOption()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, outcome);
        const EntryPoint::Options options = EntryPoint::parse(arguments);
        QCOMPARE(options.runBackup.has_value(), outcome == QStringLiteral("headless"));
        QCOMPARE(!options.usageError.isEmpty(), outcome == QStringLiteral("usage"));
    }

    // A run that cannot be followed says why on one line and ends with 2,
    // with or without a display; it never opens the window instead.
    void aMalformedRunSaysSoAndEnds()
    {
        TempHome home;
        for (const QStringList &arguments :
             {QStringList{QStringLiteral("--run-backup"), QStringLiteral("web-01")},
              QStringList{QStringLiteral("--run-backup=web-01")}, QStringList{QStringLiteral("--run-backup")}}) {
            const Outcome outcome = runTidewell(home, arguments);
            QCOMPARE(outcome.status, 2);
            QVERIFY(outcome.out.isEmpty());
            QCOMPARE(outcome.err.count('\n'), 1);
            QVERIFY2(outcome.err.startsWith("tidewell: --run-backup needs a server ID")
                         || outcome.err.startsWith("tidewell: no server is named “web-01”"),
                     outcome.err.constData());
        }
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
        QTest::newRow("-reverse") << QStringList{t, QStringLiteral("-reverse")} << false << false
                                  << QStringList{QStringLiteral("-reverse")};
        QTest::newRow("unknown, as typed") << QStringList{t, QStringLiteral("--frob=1"), QStringLiteral("-x")} << false
                                           << false << QStringList{QStringLiteral("--frob"), QStringLiteral("-x")};
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
            QVERIFY(help.out.startsWith("Usage: tidewell\n       tidewell --run-backup SERVER\n"));
            // Every command has its usage line.
            for (const char *command :
                 {"--run-backup", "--status", "--servers", "--export", "--import", "--remove-server",
                  "--report-failure", "--list-backups", "--restore", "--pause"})
                QVERIFY2(help.out.contains(QByteArray(QByteArray("\n       tidewell ") + command)), command);
            QVERIFY(help.out.contains("--version"));
            QVERIFY(help.err.isEmpty());
        }
        const Outcome version = runTidewell(home, {QStringLiteral("--version")});
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QByteArray("Tidewell " TIDEWELL_PROJECT_VERSION "\n"));
        QVERIFY(!QFile::exists(home.configFile()));
    }

    // The window without a display: one line that says what works instead,
    // not Qt's abort; the German line for a German user.
    void noDisplayIsOneLine()
    {
        TempHome home;
        const Outcome outcome = runTidewell(home, {});
        QCOMPARE(outcome.status, 2);
        QCOMPARE(outcome.err, QByteArray("tidewell: no display: use --run-backup, --status or --help on a machine "
                                         "without a desktop.\n"));
        QVERIFY(outcome.out.isEmpty());
        QProcessEnvironment german;
        german.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
        for (const QString &name :
             {QStringLiteral("LANGUAGE"), QStringLiteral("LC_ALL"), QStringLiteral("LC_MESSAGES")})
            german.insert(name, QString());
        const Outcome translated = runTidewell(home, {}, german);
        QCOMPARE(translated.status, 2);
        QVERIFY2(translated.err.startsWith("tidewell: keine grafische Anzeige: "), translated.err.constData());
        QCOMPARE(translated.err.count('\n'), 1);
    }

    // Unknown options get one line on standard error, and the window starts.
    void unknownOptionsWarnOnceAndTheWindowStarts()
    {
        TempHome home;
        QProcess window;
        QProcessEnvironment offscreen;
        offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        window.setProcessEnvironment(tidewellEnvironment(home, offscreen));
        window.start(QStringLiteral(TIDEWELL_BINARY),
                     {QStringLiteral("--frobnicate"), QStringLiteral("-platform"), QStringLiteral("offscreen")});
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
        QCOMPARE(ours,
                 QStringList{QStringLiteral("tidewell: unknown option --frobnicate ignored (see tidewell --help)")});
    }

    void unknownServerEndsWithTwo()
    {
        TempHome home;
        const Outcome outcome =
            runTidewell(home, {QStringLiteral("--run-backup"), QStringLiteral("0f3c2a9e-7b1d-4c55-9e2a-1b2c3d4e5f60")});
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
        const QByteArray log = readFile(home.logDir() + u'/' + server.id.toString(QUuid::WithoutBraces).toUpper()
                                        + QStringLiteral(".log"));
        QVERIFY(log.contains("# Status:    SUCCESS\nNo enabled paths.\n"));
    }

    // One line per server; 1 while any scheduled server is not ok. No
    // display and no bus are needed, and nothing is written.
    void statusAsText()
    {
        TempHome home;
        const StatusFixture f;
        AppSettings settings = f.settings();
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        timersOf(settings);
        const QByteArray before = readFile(home.configFile());
        const Outcome outcome = runTidewell(home, {QStringLiteral("--status")}, withManager(StatusFixture::utc()));
        QCOMPARE(outcome.status, 1);
        QVERIFY2(outcome.err.isEmpty(), outcome.err.constData());
        const QString next = f.nextThreeOClock();
        const QStringList expected{
            QStringLiteral("web-01: ok; last run %1 (exit 0); last success %1; next run %2")
                .arg(shortUtc(f.minutesAgo(120)), next),
            QStringLiteral("db ünï^Jsecond line: failing; last run %1 (exit 23); last success %2; next run %3")
                .arg(shortUtc(f.minutesAgo(60)), shortUtc(f.minutesAgo(3 * 24 * 60)), next),
            QStringLiteral("mail: overdue; last run %1 (exit 0); last success %1; next run %2")
                .arg(shortUtc(f.minutesAgo(3 * 24 * 60)), next),
            // Scheduled an hour ago and not run yet: its first run is to come.
            QStringLiteral("new: pending; last run never; last success never; next run %1").arg(next),
            QStringLiteral("archive: not scheduled; last run %1 (exit 0); last success %1; next run none")
                .arg(shortUtc(f.minutesAgo(10 * 24 * 60))),
            QString(),
        };
        QCOMPARE(QString::fromUtf8(outcome.out).split(u'\n'), expected);
        QCOMPARE(readFile(home.configFile()), before);

        // All good, or not scheduled, is 0; a failing server, scheduled or
        // not, is 1 (as --nagios says CRITICAL).
        settings.servers = {settings.servers.at(0), settings.servers.at(4)};
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        QCOMPARE(runTidewell(home, {QStringLiteral("--status")}, withManager(StatusFixture::utc())).status, 0);
        settings.servers[1].lastExitCode = 23;
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        QCOMPARE(runTidewell(home, {QStringLiteral("--status")}, withManager(StatusFixture::utc())).status, 1);

        // Scheduled in the file, but no timer: it cannot run, and says so.
        settings.servers[1].lastExitCode = 0;
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        m_manager->setTimers({});
        Outcome missing = runTidewell(home, {QStringLiteral("--status")}, withManager(StatusFixture::utc()));
        QCOMPARE(missing.status, 1);
        QVERIFY2(missing.out.startsWith("web-01: not installed; last run "), missing.out.constData());
        QVERIFY(missing.out.contains("next run none\n  The daily timer is not installed, so no run will start."));
        // No user manager at all: no schedule can run.
        missing = runTidewell(home, {QStringLiteral("--status")}, StatusFixture::utc());
        QCOMPARE(missing.status, 1);
        QVERIFY2(missing.out.startsWith("web-01: schedule cannot run; "), missing.out.constData());
    }

    // Timers of an account that does not linger stop at its last logout:
    // said once, and never OK for monitoring, unless a desktop session is there.
    void lingeringFromLogind()
    {
        TempHome home;
        AppSettings settings;
        Server web = StatusFixture::server(QStringLiteral("web-01"), true);
        StatusFixture::ran(web, QDateTime::currentDateTimeUtc().addSecs(-3600), 0);
        settings.servers = {web};
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        timersOf(settings);
        const QString advice = QStringLiteral("Timers run only while you are logged in: run `loginctl enable-linger ");
        for (const QStringList &mode : {QStringList{QStringLiteral("no-linger")}, QStringList{QStringLiteral("linger")},
                                        QStringList{QStringLiteral("no-linger"), QStringLiteral("graphical")}}) {
            DbusSessionFixture systemBus;
            QProcess logind;
            logind.setProcessEnvironment(systemBus.environment(QProcessEnvironment::systemEnvironment()));
            logind.start(QStringLiteral(TIDEWELL_LOGIND_STANDIN), mode);
            QVERIFY(logind.waitForReadyRead(10000));
            QVERIFY(logind.readAllStandardOutput().startsWith("ready"));
            QProcessEnvironment environment = withManager(StatusFixture::utc());
            environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), systemBus.address());
            const Outcome text = runTidewell(home, {QStringLiteral("--status")}, environment);
            const Outcome plugin =
                runTidewell(home, {QStringLiteral("--status"), QStringLiteral("--nagios")}, environment);
            const bool warned = mode == QStringList{QStringLiteral("no-linger")};
            QCOMPARE(QString::fromUtf8(text.out).count(advice), warned ? 1 : 0);
            QCOMPARE(text.status, 0); // the backups themselves are fine
            QCOMPARE(plugin.status, warned ? 1 : 0);
            QCOMPARE(plugin.out.startsWith("TIDEWELL WARNING - timers stop at logout (no lingering), 1 scheduled"),
                     warned);
            logind.kill();
            logind.waitForFinished();
        }
    }

    void statusAsJson()
    {
        TempHome home;
        const StatusFixture f;
        const AppSettings settings = f.settings();
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        timersOf(settings);
        const Outcome outcome = runTidewell(home, {QStringLiteral("--status"), QStringLiteral("--json")},
                                            withManager(StatusFixture::utc()));
        QCOMPARE(outcome.status, 1);
        QJsonParseError error;
        const QJsonObject report = QJsonDocument::fromJson(outcome.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(report.value(QStringLiteral("ok")), QJsonValue(false));
        QVERIFY(QDateTime::fromString(report.value(QStringLiteral("checkedAt")).toString(), Qt::ISODate).isValid());
        const QJsonArray servers = report.value(QStringLiteral("servers")).toArray();
        QCOMPARE(servers.size(), 5);
        QStringList healths;
        for (const QJsonValue &server : servers)
            healths << server[QStringLiteral("health")].toString();
        QCOMPARE(healths, (QStringList{QStringLiteral("ok"), QStringLiteral("failing"), QStringLiteral("overdue"),
                                       QStringLiteral("pending"), QStringLiteral("not scheduled")}));
        QCOMPARE(report.value(QStringLiteral("pending")).toInt(), 1);
        const QJsonObject failing = servers.at(1).toObject();
        QCOMPARE(
            failing.keys(),
            (QStringList{QStringLiteral("copies"), QStringLiteral("health"), QStringLiteral("heldChange"),
                         QStringLiteral("id"), QStringLiteral("lastExitCode"), QStringLiteral("lastRunAt"),
                         QStringLiteral("lastSuccessAt"), QStringLiteral("name"), QStringLiteral("nextRunAt"),
                         QStringLiteral("schedule"), QStringLiteral("scheduleKind"), QStringLiteral("scheduleProblem"),
                         QStringLiteral("scheduleTime"), QStringLiteral("scheduled"), QStringLiteral("verify")}));
        QCOMPARE(failing[QStringLiteral("id")].toString(),
                 settings.servers.at(1).id.toString(QUuid::WithoutBraces).toUpper());
        QCOMPARE(failing[QStringLiteral("name")].toString(), settings.servers.at(1).name); // exactly as configured
        QCOMPARE(failing[QStringLiteral("lastExitCode")].toInt(), 23);
        QCOMPARE(failing[QStringLiteral("scheduleTime")].toString(), QStringLiteral("03:00"));
        QCOMPARE(failing[QStringLiteral("scheduleKind")].toString(), QStringLiteral("daily"));
        QCOMPARE(failing[QStringLiteral("schedule")].toString(), QStringLiteral("daily 03:00"));
        QCOMPARE(QDateTime::fromString(failing[QStringLiteral("lastRunAt")].toString(), Qt::ISODate), f.minutesAgo(60));
        QCOMPARE(QDateTime::fromString(failing[QStringLiteral("lastSuccessAt")].toString(), Qt::ISODate),
                 f.minutesAgo(3 * 24 * 60));
        const QJsonObject never = servers.at(3).toObject();
        for (const char *key : {"lastRunAt", "lastExitCode", "lastSuccessAt"})
            QVERIFY2(never.value(QLatin1String(key)).isNull(), key);
        QVERIFY(!never.value(QStringLiteral("nextRunAt")).isNull());
        const QJsonObject unscheduled = servers.at(4).toObject();
        QCOMPARE(unscheduled[QStringLiteral("scheduled")], QJsonValue(false));
        QVERIFY(unscheduled[QStringLiteral("scheduleTime")].isNull());
        QVERIFY(unscheduled[QStringLiteral("nextRunAt")].isNull());
    }

    // --servers: one line per server, its fields apart by tabs whatever a
    // name holds; --json the same with the paths. The health is --status's.
    void serverList()
    {
        TempHome home;
        const StatusFixture f;
        AppSettings settings = f.settings();
        settings.servers[0].host = QStringLiteral("web-01.example.org");
        settings.servers[0].username = QStringLiteral("backup");
        settings.servers[0].port = 2222;
        settings.servers[0].paths = {BackupPath{}, BackupPath{}};
        settings.servers[0].paths[0].name = QStringLiteral("Site");
        settings.servers[0].paths[1].name = QStringLiteral("Old");
        settings.servers[0].paths[1].enabled = false;
        settings.servers[4].name = QStringLiteral("arch\tive");
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        timersOf(settings);
        const Outcome text = runTidewell(home, {QStringLiteral("--servers")}, withManager(StatusFixture::utc()));
        QCOMPARE(text.status, 0);
        const QList<QByteArray> lines = text.out.split('\n');
        QCOMPARE(lines.size(), 6); // five and the end of the last one
        QCOMPARE(lines.at(0), (ServerId::text(settings.servers[0].id)
                               + QStringLiteral("\tweb-01\tbackup@web-01.example.org:2222\tdaily 03:00\tok"))
                                  .toUtf8());
        for (const QByteArray &line : lines.mid(0, 5))
            QVERIFY2(line.count('\t') == 4, line.constData());
        QVERIFY(lines.at(1).endsWith("\tdaily 03:00\tfailing"));
        QVERIFY(lines.at(4).endsWith("\toff\tnot scheduled"));

        const Outcome json = runTidewell(home, {QStringLiteral("--servers"), QStringLiteral("--json")},
                                         withManager(StatusFixture::utc()));
        QCOMPARE(json.status, 0);
        const QJsonArray list = QJsonDocument::fromJson(json.out).array();
        QCOMPARE(list.size(), 5);
        const QJsonObject web = list.at(0).toObject();
        QCOMPARE(web.value(QStringLiteral("name")).toString(), QStringLiteral("web-01"));
        QCOMPARE(web.value(QStringLiteral("port")).toInt(), 2222);
        QCOMPARE(web.value(QStringLiteral("paths")).toArray(), QJsonArray{QStringLiteral("Site")});
        QCOMPARE(web.value(QStringLiteral("health")).toString(), QStringLiteral("ok"));
        QCOMPARE(list.at(4).toObject().value(QStringLiteral("name")).toString(), settings.servers[4].name);
        QVERIFY(list.at(4).toObject().value(QStringLiteral("scheduleTime")).isNull());

        // Nothing configured: nothing listed; a damaged file: why, and 2.
        TempHome empty;
        const Outcome none = runTidewell(empty, {QStringLiteral("--servers")});
        QCOMPARE(none.status, 0);
        QVERIFY(none.out.isEmpty());
        QVERIFY(writeFile(empty.configFile(), "{ not json"));
        const Outcome damaged = runTidewell(empty, {QStringLiteral("--servers")});
        QCOMPARE(damaged.status, 2);
        QVERIFY(damaged.err.startsWith("tidewell: the configuration could not be read: "));
    }

    // --export writes what Settings' Export writes; --import says what the
    // file would change and changes nothing until --replace, which puts the
    // file's servers in and makes the timers match.
    void exportAndImport()
    {
        TempHome home;
        AppSettings settings;
        Server web = StatusFixture::server(QStringLiteral("web-01"), false);
        web.host = QStringLiteral("web.example.org");
        web.privateKeyPath = home.home() + QStringLiteral("/.ssh/id_ed25519");
        Server db = StatusFixture::server(QStringLiteral("db"), true);
        settings.servers = {web, db};
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        timersOf(settings);
        const QString file = home.path() + QStringLiteral("/fleet.json");
        const Outcome exported = runTidewell(home, {QStringLiteral("--export"), file}, withManager({}));
        QCOMPARE(exported.status, 0);
        QCOMPARE(exported.out, QByteArray("Exported to fleet.json\n"));
        auto written = AppSettings::decode(readFile(file));
        QVERIFY(written.has_value());
        QCOMPARE(written->servers.size(), 2);
        QVERIFY(written->servers.at(0).privateKeyPath.isEmpty());

        // The file as a fleet tool would change it: db goes, mail comes, scheduled.
        Server mail = StatusFixture::server(QStringLiteral("mail"), true);
        written->servers = {written->servers.at(0), mail};
        QVERIFY(writeFile(file, written->encode()));
        const QByteArray before = readFile(home.configFile());
        for (const QStringList &arguments : {QStringList{QStringLiteral("--import"), file},
                                             QStringList{QStringLiteral("--import"), file, QStringLiteral("--dry-run"),
                                                         QStringLiteral("--replace")}}) {
            const Outcome asked = runTidewell(home, arguments, withManager({}));
            QCOMPARE(asked.status, arguments.size() == 2 ? 2 : 0);
            QVERIFY2(asked.out.endsWith("replaced web-01\nadded mail\nremoved db\n"), asked.out.constData());
            QCOMPARE(readFile(home.configFile()), before);
        }
        QVERIFY(m_manager->calls().filter(QStringLiteral("EnableUnitFiles")).isEmpty());

        // db's schedule as the window installed it.
        const QString units = home.configHome() + QStringLiteral("/systemd/user/");
        const QString gone = QStringLiteral("org.tidewell.backup.") + ServerId::text(db.id);
        for (const char *kind : {".timer", ".service"})
            QVERIFY(writeFile(units + gone + QLatin1String(kind), "[Unit]\n"));
        const Outcome replaced =
            runTidewell(home, {QStringLiteral("--import"), file, QStringLiteral("--replace")}, withManager({}));
        QVERIFY2(replaced.status == 0, replaced.err.constData());
        QVERIFY(replaced.out.startsWith("replaced web-01\nadded mail\nremoved db\nImported 2 server"));
        const auto now = AppSettings::decode(readFile(home.configFile()));
        QVERIFY(now.has_value());
        QCOMPARE(now->servers.size(), 2);
        QCOMPARE(now->servers.at(1).id, mail.id);
        const QString timer =
            QStringLiteral("org.tidewell.backup.") + ServerId::text(mail.id) + QStringLiteral(".timer");
        QVERIFY2(m_manager->calls().contains(QStringLiteral("EnableUnitFiles ") + timer),
                 qPrintable(m_manager->calls().join(u'\n')));
        QVERIFY(QFile::exists(units + timer));
        QVERIFY2(m_manager->calls().contains(QStringLiteral("DisableUnitFiles ") + gone + QStringLiteral(".timer")),
                 qPrintable(m_manager->calls().join(u'\n')));
        QVERIFY(!QFile::exists(units + gone + QStringLiteral(".timer")));

        const Outcome unreadable =
            runTidewell(home, {QStringLiteral("--import"), home.path() + QStringLiteral("/none.json")});
        QCOMPARE(unreadable.status, 2);
        QVERIFY(unreadable.err.startsWith("Import failed: "));
    }

    // --remove-server takes the server and its timer out, names where its
    // backups stay, and refuses a name that could mean two servers.
    // What the backup drive's unit starts: the scheduled servers without a
    // good backup for their period (less an hour), each through its own
    // service; the rest are left alone.
    void runOverdueStartsTheServersThatAreDue()
    {
        TempHome home;
        const StatusFixture f;
        BackupPath path;
        path.remotePath = QStringLiteral("/etc");
        const auto make = [&](const QString &name, bool scheduled, std::optional<int> minutesAgo) {
            Server s = StatusFixture::server(name, scheduled);
            s.paths = {path};
            if (minutesAgo)
                StatusFixture::ran(s, f.minutesAgo(*minutesAgo), 0);
            return s;
        };
        Server fresh = make(QStringLiteral("fresh"), true, 120);
        Server stale = make(QStringLiteral("stale “daily”"), true, 30 * 60);
        Server hourly = make(QStringLiteral("every two hours"), true, 90);
        hourly.scheduleKind = QStringLiteral("hours");
        hourly.scheduleEveryHours = 2;
        Server weekly = make(QStringLiteral("weekly"), true, 3 * 24 * 60);
        weekly.scheduleKind = QStringLiteral("weekly");
        Server never = make(QStringLiteral("never"), true, std::nullopt);
        Server unscheduled = make(QStringLiteral("unscheduled"), false, 30 * 24 * 60);
        Server empty = make(QStringLiteral("nothing to copy"), true, 30 * 24 * 60);
        empty.paths.first().enabled = false;
        AppSettings settings;
        settings.servers = {fresh, stale, hourly, weekly, never, unscheduled, empty};
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        const QByteArray before = readFile(home.configFile());
        const Outcome outcome = runTidewell(home, {QStringLiteral("--run-overdue")}, withManager(StatusFixture::utc()));
        QCOMPARE(outcome.status, 0);
        QCOMPARE(outcome.out, QByteArray("Started the backup of “stale “daily””.\n"
                                         "Started the backup of “every two hours”.\n"
                                         "Started the backup of “never”.\n"));
        const QStringList started = m_manager->calls().filter(QStringLiteral("StartUnit"));
        QCOMPARE(started.size(), 3);
        for (const Server &due : {stale, hourly, never})
            QVERIFY(started.contains(QStringLiteral("StartUnit org.tidewell.backup.%1.service")
                                         .arg(due.id.toString(QUuid::WithoutBraces).toUpper())));
        QCOMPARE(readFile(home.configFile()), before); // the runs record themselves

        // Nothing due: one line says so.
        settings.servers = {fresh, unscheduled};
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        const Outcome quiet = runTidewell(home, {QStringLiteral("--run-overdue")}, withManager(StatusFixture::utc()));
        QCOMPARE(quiet.status, 0);
        QCOMPARE(quiet.out, QByteArray("No backup is due.\n"));
    }

    void removeServer()
    {
        TempHome home;
        AppSettings settings;
        Server db = StatusFixture::server(QStringLiteral("db"), true);
        const Server web = StatusFixture::server(QStringLiteral("web"), false);
        const Server twin = StatusFixture::server(QStringLiteral("web"), false);
        settings.servers = {db, web, twin};
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        timersOf(settings);
        const QString units = home.configHome() + QStringLiteral("/systemd/user/");
        const QString timer = QStringLiteral("org.tidewell.backup.") + ServerId::text(db.id) + QStringLiteral(".timer");
        QVERIFY(writeFile(units + timer, "[Unit]\n"));

        const Outcome removed =
            runTidewell(home, {QStringLiteral("--remove-server"), QStringLiteral("db")}, withManager({}));
        QVERIFY2(removed.status == 0, removed.err.constData());
        QVERIFY2(removed.out.startsWith("removed db; its backups stay in "), removed.out.constData());
        QVERIFY(removed.out.endsWith("\nschedule removed for db\n"));
        QVERIFY(m_manager->calls().contains(QStringLiteral("DisableUnitFiles ") + timer));
        QVERIFY(!QFile::exists(units + timer));
        auto now = AppSettings::decode(readFile(home.configFile()));
        QCOMPARE(now->servers.size(), 2);

        const QByteArray before = readFile(home.configFile());
        QCOMPARE(runTidewell(home, {QStringLiteral("--remove-server"), QStringLiteral("web")}).status, 2);
        QCOMPARE(runTidewell(home, {QStringLiteral("--remove-server"), QStringLiteral("db")}).status, 2);
        QCOMPARE(runTidewell(home, {QStringLiteral("--remove-server")}).status, 2);
        QCOMPARE(readFile(home.configFile()), before);
        QCOMPARE(
            runTidewell(home, {QStringLiteral("--remove-server"), ServerId::text(twin.id)}, withManager({})).status, 0);
        now = AppSettings::decode(readFile(home.configFile()));
        QCOMPARE(now->servers.size(), 1);
        QCOMPARE(now->servers.first().id, web.id);
    }

    // One line for a monitoring system, with perfdata; the exit code says
    // how bad the worst server is.
    void statusForMonitoring()
    {
        TempHome home;
        const StatusFixture f;
        AppSettings settings = f.settings();
        // A name cannot forge the performance data or break the line.
        settings.servers[1].name += QStringLiteral(" | failing=0 ok=5 'x'");
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        timersOf(settings);
        const QStringList arguments{QStringLiteral("--status"), QStringLiteral("--nagios")};
        Outcome outcome = runTidewell(home, arguments, withManager(StatusFixture::utc()));
        QCOMPARE(outcome.status, 2);
        QCOMPARE(
            outcome.out,
            QByteArray("TIDEWELL CRITICAL - 1 failing (db ünï_second line _ failing_0 ok_5 _x_), 1 overdue (mail) | "
                       "failing=1 overdue=1 ok=1 pending=1 notrunning=0 masschange=0 damaged=0\n"));
        QCOMPARE(outcome.out.count('|'), 1);
        // The JSON says the name exactly.
        const Outcome json = runTidewell(home, {QStringLiteral("--status"), QStringLiteral("--json")},
                                         withManager(StatusFixture::utc()));
        QCOMPARE(QJsonDocument::fromJson(json.out)
                     .object()
                     .value(QStringLiteral("servers"))
                     .toArray()
                     .at(1)
                     .toObject()
                     .value(QStringLiteral("name"))
                     .toString(),
                 settings.servers[1].name);
        settings.servers.removeAt(1); // the failing one
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        outcome = runTidewell(home, arguments, withManager(StatusFixture::utc()));
        QCOMPARE(outcome.status, 1);
        QVERIFY(outcome.out.startsWith("TIDEWELL WARNING - 1 overdue (mail) | failing=0 overdue=1"));
        settings.servers.removeAt(1); // the overdue one
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        outcome = runTidewell(home, arguments, withManager(StatusFixture::utc()));
        QCOMPARE(outcome.status, 0);
        QCOMPARE(outcome.out, QByteArray("TIDEWELL OK - 1 scheduled servers ok, 1 pending | failing=0 overdue=0 ok=1 "
                                         "pending=1 notrunning=0 masschange=0 damaged=0\n"));
        // A schedule whose timer is gone is never OK.
        m_manager->setTimers({settings.servers.at(1).id});
        outcome = runTidewell(home, arguments, withManager(StatusFixture::utc()));
        QCOMPARE(outcome.status, 1);
        QVERIFY2(outcome.out.startsWith("TIDEWELL WARNING - 1 schedule(s) not running (web-01) | "),
                 outcome.out.constData());
        // Servers, but none scheduled: nothing is watched over.
        for (Server &server : settings.servers)
            server.scheduleEnabled = false;
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        outcome = runTidewell(home, arguments, withManager(StatusFixture::utc()));
        QCOMPARE(outcome.status, 3);
        QVERIFY2(outcome.out.startsWith("TIDEWELL UNKNOWN - no server is scheduled | "), outcome.out.constData());
        QVERIFY(writeFile(home.configFile(), "{ \"servers\": oops"));
        outcome = runTidewell(home, arguments, StatusFixture::utc());
        QCOMPARE(outcome.status, 3);
        QVERIFY(outcome.out.startsWith("TIDEWELL UNKNOWN - "));
        // A host that lost its configuration is no healthy host either.
        QVERIFY(QFile::remove(home.configFile()));
        outcome = runTidewell(home, arguments, StatusFixture::utc());
        QCOMPARE(outcome.status, 3);
        QCOMPARE(outcome.out, QByteArray("TIDEWELL UNKNOWN - no servers are configured\n"));
    }

    void statusWithoutOrWithABrokenConfiguration()
    {
        TempHome home;
        Outcome outcome = runTidewell(home, {QStringLiteral("--status")});
        QCOMPARE(outcome.status, 3);
        QCOMPARE(outcome.out, QByteArray("No servers configured.\n"));
        QVERIFY(!QFile::exists(home.configFile()));
        outcome = runTidewell(home, {QStringLiteral("--status"), QStringLiteral("--json")});
        QCOMPARE(outcome.status, 3);
        QCOMPARE(QJsonDocument::fromJson(outcome.out).object().value(QStringLiteral("servers")).toArray().size(), 0);

        QVERIFY(writeFile(home.configFile(), "{ \"servers\": oops"));
        outcome = runTidewell(home, {QStringLiteral("--status")});
        QCOMPARE(outcome.status, 1);
        QVERIFY(outcome.out.isEmpty());
        QVERIFY(outcome.err.startsWith("tidewell: the configuration could not be read: "));
        QCOMPARE(readFile(home.configFile()), QByteArray("{ \"servers\": oops")); // left for the window to keep aside
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
        const Outcome outcome =
            runTidewell(home, {QStringLiteral("--run-backup"), server.id.toString(QUuid::WithoutBraces)});
        QCOMPARE(outcome.status, 255);
        QVERIFY(!QDir(home.home() + QStringLiteral("/relative")).exists());
    }
};

QTEST_GUILESS_MAIN(TestEntry)
#include "tst_Entry.moc"
