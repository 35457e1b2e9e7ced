// SPDX-License-Identifier: GPL-3.0-or-later
// Servers added, changed and applied from a fleet file, through the built binary.
#include "core/model/AppSettings.h"
#include "core/model/ReferenceDate.h"
#include "core/model/ServerId.h"
#include "fixtures/Files.h"
#include "fixtures/TempHome.h"
#include "fixtures/TidewellProcess.h"
#include "fixtures/UserManagerFixture.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace TestHelpers;

namespace {

QStringList lines(const QByteArray &text)
{
    return QString::fromUtf8(text).split(u'\n', Qt::SkipEmptyParts);
}

QString timerName(const QUuid &id)
{
    return QStringLiteral("org.tidewell.backup.") + ServerId::text(id) + QStringLiteral(".timer");
}

Server configured(const TempHome &home, const QString &name)
{
    const auto settings = AppSettings::decode(readFile(home.configFile()));
    if (settings) {
        for (const Server &server : settings->servers) {
            if (server.name == name)
                return server;
        }
    }
    return {};
}

} // namespace

class TestFleetCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<UserManagerFixture> m_manager;

    Outcome run(const TempHome &home, const QStringList &arguments) const
    {
        return runTidewell(home, arguments, m_manager->environment());
    }

    QString unitFolder(const TempHome &home) const { return home.configHome() + QStringLiteral("/systemd/user/"); }

private Q_SLOTS:
    void initTestCase()
    {
        m_manager = std::make_unique<UserManagerFixture>();
        QVERIFY(m_manager->isRunning());
    }

    void cleanupTestCase() { m_manager.reset(); }

    // A server added with its paths and schedule, changed key by key, and
    // every wrong change refused without touching the file.
    void addAndSet()
    {
        TempHome home;
        const Outcome added =
            run(home, {QStringLiteral("--add-server"), QStringLiteral("web-07"), QStringLiteral("--host"),
                       QStringLiteral("web07.example"), QStringLiteral("--port"), QStringLiteral("2200"),
                       QStringLiteral("--user"), QStringLiteral("backup"), QStringLiteral("--path"),
                       QStringLiteral("/var/www"), QStringLiteral("--path"), QStringLiteral("/etc=Config files"),
                       QStringLiteral("--exclude"), QStringLiteral("*.log"), QStringLiteral("--daily"),
                       QStringLiteral("4:30"), QStringLiteral("--keep"), QStringLiteral("7")});
        QVERIFY2(added.status == 0, added.err.constData());
        const Server web = configured(home, QStringLiteral("web-07"));
        QCOMPARE(added.out, ServerId::text(web.id).toUtf8() + '\n');
        QCOMPARE(lines(added.err),
                 (QStringList{QStringLiteral("added web-07"), QStringLiteral("schedule installed for web-07")}));
        QCOMPARE(web.host, QStringLiteral("web07.example"));
        QCOMPARE(web.port, 2200);
        QCOMPARE(web.username, QStringLiteral("backup"));
        QCOMPARE(web.scheduleTime, QStringLiteral("04:30"));
        QVERIFY(web.scheduleEnabled && web.scheduledSince);
        QCOMPARE(web.retentionCount, 7);
        QCOMPARE(web.paths.size(), 2);
        QCOMPARE(web.paths.at(0).name, QStringLiteral("www"));
        QCOMPARE(web.paths.at(1).name, QStringLiteral("Config files"));
        QCOMPARE(web.paths.at(1).remotePath, QStringLiteral("/etc"));
        QCOMPARE(web.paths.at(1).excludes, QStringList{QStringLiteral("*.log")});
        QVERIFY(m_manager->calls().contains(QStringLiteral("EnableUnitFiles ") + timerName(web.id)));
        verifyUnits(home);

        const Outcome changed =
            run(home, {QStringLiteral("--set"), QStringLiteral("web-07"), QStringLiteral("port=2222"),
                       QStringLiteral("keepWeekly=4"), QStringLiteral("preserveACLs=true")});
        QVERIFY2(changed.status == 0, changed.err.constData());
        QCOMPARE(lines(changed.out), (QStringList{QStringLiteral("changed web-07: port 2200 → 2222"),
                                                  QStringLiteral("changed web-07: keepWeekly 0 → 4"),
                                                  QStringLiteral("changed web-07: preserveACLs false → true")}));
        QCOMPARE(configured(home, QStringLiteral("web-07")).port, 2222);
        const Outcome again = run(home, {QStringLiteral("--set"), ServerId::text(web.id), QStringLiteral("port=2222")});
        QCOMPARE(again.out, QByteArray("web-07: nothing to change\n"));

        // Another kind of schedule is installed again, as the timer's calendar.
        const Outcome hourly =
            run(home, {QStringLiteral("--set"), QStringLiteral("web-07"), QStringLiteral("scheduleKind=hours"),
                       QStringLiteral("scheduleEveryHours=4")});
        QVERIFY2(hourly.status == 0, hourly.err.constData());
        QCOMPARE(lines(hourly.out), (QStringList{QStringLiteral("changed web-07: scheduleKind daily → hours"),
                                                 QStringLiteral("changed web-07: scheduleEveryHours 6 → 4"),
                                                 QStringLiteral("schedule installed for web-07")}));
        QVERIFY(readFile(unitFolder(home) + timerName(web.id)).contains("\nOnCalendar=*-*-* 00/4:30:00\n"));
        verifyUnits(home);

        const Outcome path =
            run(home, {QStringLiteral("--set-path"), QStringLiteral("web-07"), QStringLiteral("www"),
                       QStringLiteral("remotePath=/srv/www"), QStringLiteral("excludes=[\"*.tmp\",\"cache/\"]")});
        QVERIFY2(path.status == 0, path.err.constData());
        QCOMPARE(
            lines(path.out),
            (QStringList{QStringLiteral("changed web-07: path “www”: remotePath /var/www → /srv/www"),
                         QStringLiteral("changed web-07: path “www”: excludes [\"*.log\"] → [\"*.tmp\",\"cache/\"]")}));
        const Outcome newPath = run(home, {QStringLiteral("--set-path"), QStringLiteral("web-07"),
                                           QStringLiteral("logs"), QStringLiteral("remotePath=/var/log")});
        QCOMPARE(newPath.out, QByteArray("changed web-07: path “logs” added\n"));
        QCOMPARE(configured(home, QStringLiteral("web-07")).paths.size(), 3);

        const Outcome off =
            run(home, {QStringLiteral("--set"), QStringLiteral("web-07"), QStringLiteral("scheduleEnabled=false")});
        QCOMPARE(lines(off.out), (QStringList{QStringLiteral("changed web-07: scheduleEnabled true → false"),
                                              QStringLiteral("schedule removed for web-07")}));
        QVERIFY(m_manager->calls().contains(QStringLiteral("DisableUnitFiles ") + timerName(web.id)));
        QVERIFY(!QFile::exists(unitFolder(home) + timerName(web.id)));
        QVERIFY(!configured(home, QStringLiteral("web-07")).scheduledSince);
    }

    void refusedChanges_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("said");
        const auto set = [](const QString &assignment) {
            return QStringList{QStringLiteral("--set"), QStringLiteral("web"), assignment};
        };
        QTest::newRow("port range") << set(QStringLiteral("port=0")) << QStringLiteral("port takes a whole number");
        QTest::newRow("port text") << set(QStringLiteral("port=ssh")) << QStringLiteral("not “ssh”");
        QTest::newRow("yes for true") << set(QStringLiteral("useSSHAgent=yes"))
                                      << QStringLiteral("useSSHAgent takes true or false, not “yes”");
        QTest::newRow("negative count") << set(QStringLiteral("retentionCount=-1")) << QStringLiteral("from 0 up");
        QTest::newRow("time") << set(QStringLiteral("scheduleTime=25:00")) << QStringLiteral("HH:MM");
        QTest::newRow("schedule kind") << set(QStringLiteral("scheduleKind=monthly"))
                                       << QStringLiteral("daily, hours, weekdays, weekly or custom");
        QTest::newRow("hours that leave a gap")
            << set(QStringLiteral("scheduleEveryHours=5")) << QStringLiteral("1, 2, 3, 4, 6, 8 or 12, not “5”");
        QTest::newRow("weekday") << set(QStringLiteral("scheduleWeekday=8")) << QStringLiteral("from 1 to 7");
        QTest::newRow("a calendar with a unit line")
            << set(QStringLiteral("scheduleCalendar=daily\n[Service]")) << QStringLiteral("letters, digits, blanks");
        QTest::newRow("unknown") << set(QStringLiteral("frobnicate=1")) << QStringLiteral("not a key that can be set");
        QTest::newRow("id") << set(QStringLiteral("id=00000000-0000-0000-0000-000000000001"))
                            << QStringLiteral("“id” is not a key");
        QTest::newRow("a run's record") << set(QStringLiteral("lastExitCode=0")) << QStringLiteral("not a key");
        QTest::newRow("no value") << set(QStringLiteral("port")) << QStringLiteral("is not KEY=VALUE");
        QTest::newRow("an ssh option as host")
            << set(QStringLiteral("host=-oProxyCommand=touch /tmp/x")) << QStringLiteral("read as an ssh option");
        QTest::newRow("another's folder")
            << set(QStringLiteral("name=DB")) << QStringLiteral("share the backup folder");
        QTest::newRow("a host key that is no known_hosts line")
            << set(QStringLiteral("knownHostKeys=[\"web.example ssh-ed25519\"]")) << QStringLiteral("known_hosts");
        QTest::newRow("a host key with a second line")
            << set(QStringLiteral("knownHostKeys=[\"web.example ssh-ed25519 AAAA\\n* ssh-ed25519 AAAB\"]"))
            << QStringLiteral("known_hosts");
        QTest::newRow("no such server") << QStringList{QStringLiteral("--set"), QStringLiteral("mail"),
                                                       QStringLiteral("port=22")}
                                        << QStringLiteral("mail");
        QTest::newRow("no such path") << QStringList{QStringLiteral("--set-path"), QStringLiteral("web"),
                                                     QStringLiteral("logs"), QStringLiteral("enabled=false")}
                                      << QStringLiteral("give its remotePath=");
        QTest::newRow("path list") << QStringList{QStringLiteral("--set-path"), QStringLiteral("web"),
                                                  QStringLiteral("www"), QStringLiteral("excludes=[1]")}
                                   << QStringLiteral("JSON array of texts");
        QTest::newRow("add without host")
            << QStringList{QStringLiteral("--add-server"), QStringLiteral("mail")} << QStringLiteral("--host");
        QTest::newRow("add a twin") << QStringList{QStringLiteral("--add-server"), QStringLiteral("web"),
                                                   QStringLiteral("--host"), QStringLiteral("h")}
                                    << QStringLiteral("share the backup folder");
        QTest::newRow("set nothing") << QStringList{QStringLiteral("--set"), QStringLiteral("web")}
                                     << QStringLiteral("KEY=VALUE");
    }

    void refusedChanges()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, said);
        TempHome home;
        AppSettings settings;
        for (const QString &name : {QStringLiteral("web"), QStringLiteral("db")}) {
            Server server;
            server.name = name;
            server.host = name + QStringLiteral(".example");
            server.username = QStringLiteral("backup");
            BackupPath www;
            www.name = QStringLiteral("www");
            www.remotePath = QStringLiteral("/var/www");
            server.paths = {www};
            settings.servers << server;
        }
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        const QByteArray before = readFile(home.configFile());
        const Outcome outcome = run(home, arguments);
        QCOMPARE(outcome.status, 2);
        QVERIFY(outcome.out.isEmpty());
        QCOMPARE(outcome.err.count('\n'), 1);
        QVERIFY2(QString::fromUtf8(outcome.err).contains(said), outcome.err.constData());
        QCOMPARE(readFile(home.configFile()), before);
        QVERIFY(!QDir(unitFolder(home)).exists());
    }

    // The configuration made to match a file: what differs changes, once;
    // what runs recorded stays; --check tells configuration tools whether
    // anything would.
    void applyFleetFile()
    {
        TempHome home;
        AppSettings settings;
        Server db;
        db.name = QStringLiteral("db-02");
        db.host = QStringLiteral("db02.example");
        db.username = QStringLiteral("root");
        db.lastRunAt = ReferenceDate::now() - 3600;
        db.lastExitCode = 0;
        Server old;
        old.name = QStringLiteral("old-01");
        old.host = QStringLiteral("old.example");
        old.username = QStringLiteral("backup");
        old.scheduleEnabled = true;
        settings.servers = {db, old};
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        const QString fleet = home.path() + QStringLiteral("/fleet.json");
        QVERIFY(writeFile(fleet, R"({"retryAttempts": 5, "servers": [
            {"name": "db-02", "port": 2222, "lastExitCode": 23, "privateKeyPath": ""},
            {"name": "web-07", "host": "web07.example", "username": "backup", "scheduleEnabled": true,
             "scheduleTime": "04:30", "scheduledSince": "2026-12-01T03:00:00Z",
             "paths": [{"name": "www", "remotePath": "/var/www"}]}]})"));
        const QByteArray before = readFile(home.configFile());
        const qsizetype enabledBefore = m_manager->calls().filter(QStringLiteral("EnableUnitFiles")).size();
        const QStringList changes{QStringLiteral("changed settings: retryAttempts 2 → 5"),
                                  QStringLiteral("changed db-02: port 22 → 2222"), QStringLiteral("added web-07")};

        Outcome checked = run(home, {QStringLiteral("--apply"), fleet, QStringLiteral("--check")});
        QCOMPARE(checked.status, 1);
        const QStringList installs{QStringLiteral("schedule installed for web-07"),
                                   QStringLiteral("schedule installed for old-01")};
        QCOMPARE(lines(checked.out), changes + installs);
        QCOMPARE(readFile(home.configFile()), before);
        QCOMPARE(m_manager->calls().filter(QStringLiteral("EnableUnitFiles")).size(), enabledBefore);

        const Outcome applied = run(home, {QStringLiteral("--apply"), fleet});
        QVERIFY2(applied.status == 0, applied.err.constData());
        QCOMPARE(lines(applied.out), changes + installs);
        const auto now = AppSettings::decode(readFile(home.configFile()));
        QVERIFY(now);
        QCOMPARE(now->retryAttempts, 5);
        QCOMPARE(now->servers.size(), 3);
        const Server *kept = now->server(db.id);
        QVERIFY(kept);
        QCOMPARE(kept->port, 2222);
        QCOMPARE(kept->lastExitCode, 0); // what runs recorded is theirs
        QCOMPARE(kept->privateKeyPath, db.privateKeyPath);
        const Server web = configured(home, QStringLiteral("web-07"));
        QCOMPARE(ReferenceDate::toDateTime(*web.scheduledSince), QDateTime(QDate(2026, 12, 1), QTime(3, 0), Qt::UTC));
        QCOMPARE(web.paths.size(), 1);

        // Applied again: nothing to do, nothing said, nothing written.
        const QByteArray applyOnce = readFile(home.configFile());
        for (const QStringList &arguments :
             {QStringList{QStringLiteral("--apply"), fleet},
              QStringList{QStringLiteral("--apply"), fleet, QStringLiteral("--check")}}) {
            const Outcome again = run(home, arguments);
            QCOMPARE(again.status, 0);
            QVERIFY2(again.out.isEmpty(), again.out.constData());
        }
        QCOMPARE(readFile(home.configFile()), applyOnce);
        QCOMPARE(configured(home, QStringLiteral("web-07")).paths.constFirst().id, web.paths.constFirst().id);

        // A timer gone from the user manager is installed again.
        QVERIFY(QFile::remove(unitFolder(home) + timerName(web.id)));
        checked = run(home, {QStringLiteral("--apply"), fleet, QStringLiteral("--check")});
        QCOMPARE(checked.status, 1);
        QCOMPARE(checked.out, QByteArray("schedule installed for web-07\n"));

        // Servers the file does not hold go only with --prune.
        const Outcome pruned = run(home, {QStringLiteral("--apply"), fleet, QStringLiteral("--prune")});
        QVERIFY2(pruned.status == 0, pruned.err.constData());
        QCOMPARE(lines(pruned.out).size(), 3);
        QVERIFY(pruned.out.startsWith("removed old-01; its backups stay in "));
        QVERIFY(pruned.out.contains("\nschedule installed for web-07\nschedule removed for old-01\n"));
        QVERIFY(m_manager->calls().contains(QStringLiteral("DisableUnitFiles ") + timerName(old.id)));
        QVERIFY(!configured(home, QStringLiteral("old-01")).scheduleEnabled);
        QCOMPARE(AppSettings::decode(readFile(home.configFile()))->servers.size(), 2);
    }

    void refusedFleetFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("said");
        QTest::newRow("not JSON") << QByteArray("{\"servers\": [") << QStringLiteral("is not JSON");
        QTest::newRow("wrong type") << QByteArray(R"({"servers": [{"name": "db", "port": "22"}]})")
                                    << QStringLiteral("servers[0].port");
        QTest::newRow("a date without its offset")
            << QByteArray(R"({"servers": [{"name": "db", "scheduledSince": "2026-12-01T03:00"}]})")
            << QStringLiteral("offset from UTC");
        QTest::newRow("no name") << QByteArray(R"({"servers": [{"host": "x"}]})") << QStringLiteral("has no name");
        QTest::newRow("twice the same") << QByteArray(R"({"servers": [{"name": "db"}, {"name": "db", "port": 23}]})")
                                        << QStringLiteral("again");
        QTest::newRow("a bad host") << QByteArray(R"({"servers": [{"name": "web", "host": "-oProxyCommand=x",
                                                  "username": "u"}]})")
                                    << QStringLiteral("ssh option");
        QTest::newRow("paths not a list")
            << QByteArray(R"({"servers": [{"name": "db", "paths": {}}]})") << QStringLiteral("not a list");
    }

    void refusedFleetFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, said);
        TempHome home;
        AppSettings settings;
        Server db;
        db.name = QStringLiteral("db");
        db.host = QStringLiteral("db.example");
        db.username = QStringLiteral("root");
        settings.servers = {db};
        QVERIFY(writeFile(home.configFile(), settings.encode()));
        const QByteArray before = readFile(home.configFile());
        const QString fleet = home.path() + QStringLiteral("/fleet.json");
        QVERIFY(writeFile(fleet, file));
        const Outcome outcome = run(home, {QStringLiteral("--apply"), fleet});
        QCOMPARE(outcome.status, 2);
        QVERIFY(outcome.out.isEmpty());
        QVERIFY2(outcome.err.startsWith("tidewell: nothing applied: ") && outcome.err.count('\n') == 1,
                 outcome.err.constData());
        QVERIFY2(QString::fromUtf8(outcome.err).contains(said), outcome.err.constData());
        QCOMPARE(readFile(home.configFile()), before);
    }

private:
    void verifyUnits(const TempHome &home)
    {
        if (!QFile::exists(QStringLiteral("/usr/bin/systemd-analyze")))
            return;
        QStringList units;
        for (const QString &name : QDir(unitFolder(home)).entryList(QDir::Files))
            units << unitFolder(home) + name;
        QVERIFY(units.size() >= 2);
        QProcess verify;
        verify.start(QStringLiteral("/usr/bin/systemd-analyze"),
                     QStringList{QStringLiteral("verify"), QStringLiteral("--man=no")} + units);
        QVERIFY(verify.waitForFinished(60000));
        QVERIFY2(verify.exitCode() == 0, verify.readAllStandardError().constData());
    }
};

QTEST_GUILESS_MAIN(TestFleetCommands)
#include "tst_FleetCommands.moc"
