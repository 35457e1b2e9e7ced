// SPDX-License-Identifier: GPL-3.0-or-later
// What the windows show about servers.
#include "core/model/HostInput.h"
#include "core/model/ReferenceDate.h"
#include "core/model/ServerCheck.h"
#include "core/presentation/Formatting.h"
#include "core/presentation/MenuBarContent.h"
#include "core/presentation/ServerRules.h"

#include <QTest>

using namespace MenuBarContent;

Q_DECLARE_METATYPE(Server)

namespace {

Server runnable(const QString &name = QStringLiteral("web"))
{
    Server server;
    server.name = name;
    server.host = QStringLiteral("h");
    server.username = QStringLiteral("u");
    BackupPath path;
    path.remotePath = QStringLiteral("/srv");
    server.paths = {path};
    return server;
}

QStringList texts(const QList<Entry> &entries)
{
    QStringList result;
    for (const Entry &entry : entries)
        result << (entry.kind == Entry::Kind::separator ? QStringLiteral("---") : entry.text);
    return result;
}

} // namespace

class TestServerRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void titles()
    {
        Server server = runnable(QStringLiteral("web-01"));
        QCOMPARE(titleFor(server), QStringLiteral("web-01"));
        server.lastExitCode = 0;
        QCOMPARE(titleFor(server), QStringLiteral("✓  web-01"));
        server.name.clear();
        server.lastExitCode = 23;
        QCOMPARE(titleFor(server), QStringLiteral("✗  (untitled)"));
    }

    void runRules()
    {
        AppSettings settings;
        Server server = runnable();
        settings.servers = {server};
        RunInfo idle;
        QVERIFY(canRun(server, settings, idle));
        RunInfo busy;
        busy.runs = {Run{server.id, std::nullopt, QString(), false}};
        QVERIFY(!canRun(server, settings, busy));
        // Another server's run here does not stop this one.
        RunInfo other;
        other.runs = {Run{QUuid::createUuid(), std::nullopt, QString(), false}};
        QVERIFY(canRun(server, settings, other));
        RunInfo elsewhere;
        elsewhere.runningElsewhere = {server.id};
        QVERIFY(!canRun(server, settings, elsewhere));
        // One rule for every start control: an enabled path without a remote path blocks the run.
        BackupPath second;
        second.remotePath = QStringLiteral("/x");
        server.paths.append(second);
        server.paths[0].remotePath.clear();
        QVERIFY(!ServerRules::isRunnable(server, settings.servers));
        server.paths[0].enabled = false;
        QVERIFY(ServerRules::isRunnable(server, settings.servers));
        server.paths[1].enabled = false;
        QVERIFY(!ServerRules::isRunnable(server, settings.servers));
    }

    void problems_data()
    {
        QTest::addColumn<Server>("server");
        QTest::addColumn<QStringList>("others");
        QTest::addColumn<QStringList>("messages");
        const auto withPaths = [](const QStringList &names, const QString &remote = QStringLiteral("/srv")) {
            Server server = runnable();
            server.paths.clear();
            for (const QString &name : names) {
                BackupPath path;
                path.name = name;
                path.remotePath = remote;
                server.paths.append(path);
            }
            return server;
        };
        QTest::newRow("fine") << runnable() << QStringList{QStringLiteral("other")} << QStringList();
        QTest::newRow("root is allowed") << withPaths({QStringLiteral("All")}, QStringLiteral("/")) << QStringList()
                                         << QStringList();
        QTest::newRow("blank remote path")
            << withPaths({QStringLiteral("Media")}, QStringLiteral("  ")) << QStringList()
            << QStringList{QStringLiteral(
                   "Path “Media” has no remote path — set it in this server's settings or turn the path off.")};
        // Quoted for the server's shell: a name of the server's as it is.
        QTest::newRow("line feed in remote path")
            << withPaths({QStringLiteral("Media")}, QStringLiteral("/srv/a\n/tmp/x")) << QStringList() << QStringList();
        QTest::newRow("server's rsync after a space")
            <<
            [&withPaths] {
                Server server = withPaths({QStringLiteral("Media")});
                server.remoteRsyncPath = QStringLiteral(" -e/usr/bin/rsync");
                return server;
            }()
            << QStringList()
            << QStringList{QStringLiteral(
                   "The server's rsync “ -e/usr/bin/rsync” must be a plain path such as /usr/bin/rsync.")};
        QTest::newRow("same folder by case")
            << withPaths({QStringLiteral("Media"), QStringLiteral("media")}) << QStringList()
            << QStringList{QStringLiteral("Paths “Media” and “media” would both be copied into the folder "
                                          "“media” — give them different names.")};
        QTest::newRow("same folder once sanitised")
            << withPaths({QStringLiteral("a/b"), QStringLiteral("a:b")}) << QStringList()
            << QStringList{QStringLiteral("Paths “a/b” and “a:b” would both be copied into the "
                                          "folder “a_b” — give them different names.")};
        Server blank = runnable();
        blank.host = QStringLiteral(" ");
        blank.username.clear();
        QTest::newRow("blank host and user")
            << blank << QStringList()
            << QStringList{QStringLiteral("This server has no host — set it in this server's settings."),
                           QStringLiteral("This server has no user name — set it in this server's settings.")};
        QTest::newRow("servers share a folder")
            << runnable(QStringLiteral("web/prod")) << QStringList{QStringLiteral("WEB_prod")}
            << QStringList{QStringLiteral(
                   "Servers “web/prod” and “WEB_prod” would share the backup folder “web_prod” — give them different "
                   "names.")};
    }

    void problems()
    {
        QFETCH(Server, server);
        QFETCH(QStringList, others);
        QFETCH(QStringList, messages);
        QList<Server> all{server};
        for (const QString &name : others)
            all << runnable(name);
        QStringList found;
        for (const ServerCheck::Problem &problem : ServerCheck::problems(server, all))
            found << problem.message;
        QCOMPARE(found, messages);
    }

    // What users paste into Host, split into user, host and port.
    void hostInput_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("splits");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("host");
        QTest::addColumn<qint64>("port"); // 0: none given
        const auto row = [](const char *name, const QString &typed, bool splits, const QString &user,
                            const QString &host,
                            qint64 port) { QTest::newRow(name) << typed << splits << user << host << port; };
        row("plain name", QStringLiteral("example.org"), false, {}, {}, 0);
        row("user@host", QStringLiteral("deploy@example.org"), true, QStringLiteral("deploy"),
            QStringLiteral("example.org"), 0);
        row("host:port", QStringLiteral("example.org:2222"), true, {}, QStringLiteral("example.org"), 2222);
        row("user@host:port", QStringLiteral(" deploy@example.org:2222 "), true, QStringLiteral("deploy"),
            QStringLiteral("example.org"), 2222);
        row("ssh URL", QStringLiteral("ssh://deploy@example.org:2222/"), true, QStringLiteral("deploy"),
            QStringLiteral("example.org"), 2222);
        row("ssh URL without port", QStringLiteral("SSH://example.org"), true, {}, QStringLiteral("example.org"), 0);
        row("[v6]:port", QStringLiteral("[2001:db8::1]:2222"), true, {}, QStringLiteral("2001:db8::1"), 2222);
        row("user@[v6]", QStringLiteral("root@[::1]"), true, QStringLiteral("root"), QStringLiteral("::1"), 0);
        row("bare v6", QStringLiteral("2001:db8::1"), false, {}, {}, 0);
        row("IPv4:port", QStringLiteral("10.0.0.5:22"), true, {}, QStringLiteral("10.0.0.5"), 22);
        row("port 0", QStringLiteral("example.org:0"), false, {}, {}, 0);
        row("port too big", QStringLiteral("example.org:70000"), false, {}, {}, 0);
        row("port not a number", QStringLiteral("example.org:ssh"), false, {}, {}, 0);
        row("signed port", QStringLiteral("example.org:+22"), false, {}, {}, 0);
        row("no host", QStringLiteral("deploy@"), false, {}, {}, 0);
        row("no user", QStringLiteral("@example.org"), false, {}, {}, 0);
        row("unclosed bracket", QStringLiteral("[::1:22"), false, {}, {}, 0);
    }

    void hostInput()
    {
        QFETCH(QString, typed);
        QFETCH(bool, splits);
        QFETCH(QString, user);
        QFETCH(QString, host);
        QFETCH(qint64, port);
        const auto parts = HostInput::split(typed);
        QCOMPARE(parts.has_value(), splits);
        if (!parts)
            return;
        QCOMPARE(parts->user, user);
        QCOMPARE(parts->host, host);
        QCOMPARE(parts->port.value_or(0), port);
        // What a split gives is a host a run accepts.
        QVERIFY(ServerCheck::checkHost(parts->host).has_value());
    }

    void healthAndRows()
    {
        const QDateTime now = QDateTime::currentDateTime();
        Server server = runnable();
        QCOMPARE(ServerRules::healthStatus(server, true).label, QStringLiteral("Running now"));
        QCOMPARE(ServerRules::healthStatus(server, false).label, QStringLiteral("Never ran"));
        server.lastExitCode = 0;
        QCOMPARE(ServerRules::healthStatus(server, false).label, QStringLiteral("Healthy"));
        server.lastRunAt = ReferenceDate::fromDateTime(now.addSecs(-2 * 3600 - 5));
        QCOMPARE(ServerRules::healthStatus(server, false, now).label, QStringLiteral("Healthy · 2 hours ago"));
        server.lastExitCode = -1;
        QCOMPARE(ServerRules::healthStatus(server, false).label, QStringLiteral("Last run failed (exit -1)"));

        server.host = QStringLiteral("db");
        server.port = 2222;
        QCOMPARE(ServerRules::hostText(server), QStringLiteral("db:2222"));
        server.host.clear();
        QCOMPARE(ServerRules::hostText(server), QStringLiteral("—"));
        server.paths.append(BackupPath{});
        server.paths.append(BackupPath{});
        server.paths[2].enabled = false;
        QCOMPARE(ServerRules::pathsText(server), QStringLiteral("2 enabled / 3"));
    }

    // -1: the field is absent.
    void overdue_data()
    {
        QTest::addColumn<bool>("scheduled");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<double>("runHoursAgo");
        QTest::addColumn<double>("successHoursAgo");
        QTest::addColumn<double>("scheduledHoursAgo");
        QTest::addColumn<bool>("overdue");
        QTest::addColumn<QString>("label");
        QTest::newRow("good backup last night") << true << 0 << 5.0 << 5.0 << 100.0 << false << "Healthy · 5 hours ago";
        QTest::newRow("just within 26 hours") << true << 0 << 25.9 << 25.9 << 100.0 << false << "Healthy · 1 day ago";
        QTest::newRow("just past 26 hours")
            << true << 0 << 26.1 << 26.1 << 100.0 << true << "Overdue · last good backup 1 day ago";
        QTest::newRow("three days") << true << 0 << 73.0 << 73.0 << 500.0 << true
                                    << "Overdue · last good backup 3 days ago";
        QTest::newRow("not scheduled is never overdue")
            << false << 0 << 500.0 << 500.0 << -1.0 << false << "Healthy · 2 weeks ago";
        QTest::newRow("failing is failing, not overdue")
            << true << 23 << 1.0 << 300.0 << 500.0 << false << "Last run failed (exit 23)";
        QTest::newRow("never succeeded, scheduled 2 days ago")
            << true << -1 << -1.0 << -1.0 << 48.0 << true << "Overdue · no good backup yet";
        QTest::newRow("never succeeded, scheduled an hour ago")
            << true << -1 << -1.0 << -1.0 << 1.0 << false << "Never ran";
        QTest::newRow("scheduled in an older file, no clock yet")
            << true << -1 << -1.0 << -1.0 << -1.0 << false << "Never ran";
        // A file from before lastSuccessAt was kept: a run that ended with 0 is the last success.
        QTest::newRow("older file, last run good")
            << true << 0 << 30.0 << -1.0 << -1.0 << true << "Overdue · last good backup 1 day ago";
        QTest::newRow("cancelled run after a good one")
            << true << -1 << 1.0 << 50.0 << 100.0 << true << "Overdue · last good backup 2 days ago";
    }

    void overdue()
    {
        QFETCH(bool, scheduled);
        QFETCH(int, exitCode);
        QFETCH(double, runHoursAgo);
        QFETCH(double, successHoursAgo);
        QFETCH(double, scheduledHoursAgo);
        QFETCH(bool, overdue);
        QFETCH(QString, label);
        const QDateTime now(QDate(2026, 3, 18), QTime(12, 0));
        const auto hoursAgo = [&](double hours) -> std::optional<double> {
            if (hours < 0)
                return std::nullopt;
            return ReferenceDate::fromDateTime(now.addSecs(qint64(-hours * 3600)));
        };
        Server server = runnable();
        server.scheduleEnabled = scheduled;
        if (exitCode >= 0)
            server.lastExitCode = exitCode;
        server.lastRunAt = hoursAgo(runHoursAgo);
        server.lastSuccessAt = hoursAgo(successHoursAgo);
        server.scheduledSince = hoursAgo(scheduledHoursAgo);
        QCOMPARE(ServerRules::isOverdue(server, now), overdue);
        QCOMPARE(ServerRules::healthStatus(server, false, now).label, label);
        QCOMPARE(ServerRules::healthStatus(server, false, now).kind == ServerRules::Health::Kind::overdue, overdue);
        QCOMPARE(ServerRules::healthStatus(server, true, now).label, QStringLiteral("Running now"));
        AppSettings settings;
        settings.servers = {server};
        const auto c = ServerRules::counters(settings, now);
        QCOMPARE(c.overdue, overdue ? 1 : 0);
        if (overdue)
            QCOMPARE(c.healthy, 0); // counted once, as overdue
    }

    void overdueNoticeDaysAndNextRun()
    {
        const QDateTime now(QDate(2026, 3, 18), QTime(12, 0));
        Server server = runnable();
        server.scheduleEnabled = true;
        server.scheduledSince = ReferenceDate::fromDateTime(now.addDays(-9));
        QCOMPARE(ServerRules::daysWithoutSuccess(server, now), 9);
        server.lastSuccessAt = ReferenceDate::fromDateTime(now.addSecs(-27 * 3600));
        QCOMPARE(ServerRules::daysWithoutSuccess(server, now), 1);
        server.lastSuccessAt = ReferenceDate::fromDateTime(now.addSecs(-73 * 3600));
        QCOMPARE(ServerRules::daysWithoutSuccess(server, now), 3);

        server.scheduleTime = QStringLiteral("03:00");
        QCOMPARE(ServerRules::nextRun(server, now), QDateTime(QDate(2026, 3, 19), QTime(3, 0)));
        server.scheduleTime = QStringLiteral("23:45");
        QCOMPARE(ServerRules::nextRun(server, now), QDateTime(QDate(2026, 3, 18), QTime(23, 45)));
        server.scheduleTime = QStringLiteral("12:00"); // this very minute is past
        QCOMPARE(ServerRules::nextRun(server, now), QDateTime(QDate(2026, 3, 19), QTime(12, 0)));
        server.scheduleTime = QStringLiteral("25:00");
        QVERIFY(!ServerRules::nextRun(server, now));
        server.scheduleTime = QStringLiteral("03:00");
        server.scheduleEnabled = false;
        QVERIFY(!ServerRules::nextRun(server, now));
    }

    void otherSchedulesHaveTheirOwnPeriodAndNextRun()
    {
        const QDateTime now(QDate(2026, 3, 18), QTime(12, 0)); // a Wednesday
        Server server = runnable();
        server.scheduleEnabled = true;
        server.lastExitCode = 0;
        const auto lastGoodHoursAgo = [&](int hours) {
            server.lastSuccessAt = ReferenceDate::fromDateTime(now.addSecs(-hours * 3600));
            return ServerRules::isOverdue(server, now);
        };
        QVERIFY(!lastGoodHoursAgo(25));
        QVERIFY(lastGoodHoursAgo(27));
        server.scheduleKind = QStringLiteral("hours");
        server.scheduleEveryHours = 4;
        QVERIFY(!lastGoodHoursAgo(8)); // 2 × 4 + 1
        QVERIFY(lastGoodHoursAgo(10));
        server.scheduleTime = QStringLiteral("14:30");
        QCOMPARE(ServerRules::nextRun(server, now), QDateTime(QDate(2026, 3, 18), QTime(14, 30)));
        server.scheduleEveryHours = 12;
        server.scheduleTime = QStringLiteral("11:00"); // 11:00 and 23:00
        QCOMPARE(ServerRules::nextRun(server, now), QDateTime(QDate(2026, 3, 18), QTime(23, 0)));

        // Friday's backup is not overdue on Monday morning.
        server.scheduleKind = QStringLiteral("weekdays");
        QVERIFY(!lastGoodHoursAgo(73));
        QVERIFY(lastGoodHoursAgo(75));
        server.scheduleKind = QStringLiteral("weekly");
        server.scheduleWeekday = 3; // Wednesday: today's 11:00 is past
        QVERIFY(!lastGoodHoursAgo(6 * 24));
        QVERIFY(lastGoodHoursAgo(8 * 24));
        QCOMPARE(ServerRules::nextRun(server, now), QDateTime(QDate(2026, 3, 25), QTime(11, 0)));
        server.scheduleKind = QStringLiteral("weekdays");
        server.scheduleTime = QStringLiteral("03:00");
        const QDateTime friday(QDate(2026, 3, 20), QTime(12, 0));
        QCOMPARE(ServerRules::nextRun(server, friday), QDateTime(QDate(2026, 3, 23), QTime(3, 0)));

        // A custom calendar: its longest gap (a month here) and two hours, as systemd works it out.
        server.scheduleKind = QStringLiteral("custom");
        server.scheduleCalendar = QStringLiteral("*-*-01 04:00");
        QVERIFY(ServerRules::overdueAfter(server) >= 28 * 24 * 3600);
        QVERIFY(!lastGoodHoursAgo(27 * 24));
        const auto monthly = ServerRules::nextRun(server, QDateTime::currentDateTime());
        QVERIFY(monthly);
        QCOMPARE(monthly->date().day(), 1);
        QCOMPARE(ServerRules::scheduleText(server), QStringLiteral("custom: *-*-01 04:00"));
    }

    void countersAndFooter()
    {
        AppSettings settings;
        Server healthy = runnable(QStringLiteral("a"));
        healthy.lastExitCode = 0;
        healthy.lastRunAt = 100;
        Server failing = runnable(QStringLiteral("b"));
        failing.lastExitCode = 2;
        failing.lastRunAt = 100;
        failing.scheduleEnabled = true;
        Server never = runnable(QStringLiteral("c"));
        settings.servers = {healthy, failing, never};
        const auto c = ServerRules::counters(settings);
        QCOMPARE(c.servers, 3);
        QCOMPARE(c.healthy, 1);
        QCOMPARE(c.failing, 1);
        QCOMPARE(c.scheduled, 1);
        // Equal times: the first in the list.
        QCOMPARE(ServerRules::lastBackedUp(settings)->name, QStringLiteral("a"));
        settings.servers[1].lastRunAt = 101;
        QCOMPARE(ServerRules::lastBackedUp(settings)->name, QStringLiteral("b"));
        QVERIFY(!ServerRules::lastBackedUp(AppSettings()));
    }

    void duplicateAndNew()
    {
        Server source = runnable();
        source.lastExitCode = 0;
        source.lastRunAt = 5;
        source.scheduleEnabled = true;
        source.scheduleTime = QStringLiteral("04:15");
        source.retentionCount = 7;
        const Server copy = ServerRules::duplicate(source);
        QCOMPARE(copy.name, QStringLiteral("web (copy)"));
        QVERIFY(copy.id != source.id);
        QVERIFY(copy.paths[0].id != source.paths[0].id);
        QCOMPARE(copy.paths[0].remotePath, source.paths[0].remotePath);
        QVERIFY(!copy.lastRunAt && !copy.lastExitCode && !copy.scheduleEnabled);
        QCOMPARE(copy.scheduleTime, QStringLiteral("04:15"));
        QCOMPARE(copy.retentionCount, 7);
        source.name.clear();
        QCOMPARE(ServerRules::duplicate(source).name, QStringLiteral("Copy"));
        const Server fresh = ServerRules::newServer();
        QCOMPARE(fresh.name, QStringLiteral("New Server"));
        QCOMPARE(fresh.port, 22);
        QVERIFY(fresh.paths.isEmpty());
    }

    void relativeTimes_data()
    {
        QTest::addColumn<qint64>("secondsAgo");
        QTest::addColumn<QString>("text");
        QTest::newRow("seconds") << qint64(5) << "5 seconds ago";
        QTest::newRow("one minute") << qint64(61) << "1 minute ago";
        QTest::newRow("hours") << qint64(2 * 3600 + 59) << "2 hours ago";
        QTest::newRow("day") << qint64(86400 + 10) << "1 day ago";
        QTest::newRow("weeks") << qint64(15 * 86400) << "2 weeks ago";
        QTest::newRow("months") << qint64(70 * 86400) << "2 months ago";
        QTest::newRow("year") << qint64(400 * 86400) << "1 year ago";
        QTest::newRow("future") << qint64(-300) << "in 5 minutes";
    }

    void relativeTimes()
    {
        QFETCH(qint64, secondsAgo);
        QFETCH(QString, text);
        const QDateTime now(QDate(2026, 6, 1), QTime(12, 0));
        QCOMPARE(Formatting::relativeTime(now.addSecs(-secondsAgo), now), text);
    }

    void menuWithoutServers()
    {
        QCOMPARE(texts(build(AppSettings(), {})),
                 (QStringList{QStringLiteral("No servers configured"), QStringLiteral("---"),
                              QStringLiteral("Open Tidewell…"), QStringLiteral("Settings…"), QStringLiteral("---"),
                              QStringLiteral("Quit Tidewell")}));
        QVERIFY(!build(AppSettings(), {}).first().enabled);
        QCOMPARE(build(AppSettings(), {}).at(2).shortcut, QStringLiteral("Ctrl+O"));
        QCOMPARE(build(AppSettings(), {}).last().shortcut, QStringLiteral("Ctrl+Q"));
    }

    void menuWithServers()
    {
        AppSettings settings;
        Server ok = runnable(QStringLiteral("web-01"));
        ok.lastExitCode = 0;
        ok.lastRunAt = 1000;
        ok.scheduleEnabled = true;
        ok.scheduleTime = QStringLiteral("7:5");
        Server incomplete = runnable(QStringLiteral("db"));
        incomplete.username.clear();
        settings.servers = {ok, incomplete};
        const QDateTime hourLater = ReferenceDate::toDateTime(1000 + 3600);
        const QList<Entry> entries = build(settings, {}, {}, hourLater);
        QCOMPARE(entries.at(0).text, QStringLiteral("✓  web-01"));
        QCOMPARE(entries.at(0).kind, Entry::Kind::submenu);
        const QStringList children = texts(entries.at(0).children);
        QCOMPARE(children.at(0), QStringLiteral("Run backup now"));
        QVERIFY(children.at(1).startsWith(QStringLiteral("Last: ")));
        QCOMPARE(children.at(2), QStringLiteral("Scheduled: daily at 7:5"));
        QVERIFY(entries.at(0).children.at(0).enabled);
        QVERIFY(!entries.at(1).children.at(0).enabled);
        QCOMPARE(entries.at(1).children.size(), 1);

        // Two days on, the scheduled server is overdue: marked, and said why.
        const QList<Entry> later = build(settings, {}, {}, hourLater.addDays(2));
        QCOMPARE(later.at(0).text, QStringLiteral("⚠  web-01"));
        QVERIFY(texts(later.at(0).children).contains(QStringLiteral("⚠ Overdue · last good backup 2 days ago")));
        QCOMPARE(later.at(1).text, QStringLiteral("db")); // not scheduled: never overdue

        // A run of a server deleted meanwhile is not listed, and stops no other.
        RunInfo running;
        running.runs = {Run{QUuid::createUuid(), std::nullopt, QString(), false}};
        const QList<Entry> busy = build(settings, running);
        QCOMPARE(busy.at(0).kind, Entry::Kind::submenu);
        QVERIFY(busy.at(0).children.at(0).enabled);
    }

    // A fleet's menu fits a screen: those another process backs up, then at
    // most ten failing or overdue ones, then "All servers…".
    void menuForAFleet()
    {
        AppSettings settings;
        for (int i = 0; i < 12; ++i)
            settings.servers << runnable(QStringLiteral("web-%1").arg(i));
        QCOMPARE(build(settings, {}).size(), 12 + 5); // twelve: listed as before
        settings.servers << runnable(QStringLiteral("web-12"));
        settings.servers[3].lastExitCode = 23;
        settings.servers[7].lastExitCode = 12;
        RunInfo runner;
        runner.runningElsewhere = {settings.servers[9].id};
        QList<Entry> entries = build(settings, runner);
        QCOMPARE(texts(entries).mid(0, 5),
                 (QStringList{QStringLiteral("web-9"), QStringLiteral("✗  web-3"), QStringLiteral("✗  web-7"),
                              QStringLiteral("All servers…"), QStringLiteral("---")}));
        QCOMPARE(entries.at(3).action, Action::openMainWindow);

        for (int i = 13; i < 40; ++i) {
            settings.servers << runnable(QStringLiteral("db-%1").arg(i));
            settings.servers.last().lastExitCode = 1;
        }
        entries = build(settings, runner);
        QCOMPARE(entries.size(), 1 + 10 + 1 + 1 + 5);
        QCOMPARE(entries.at(11).text, QStringLiteral("and 19 more…"));
        QVERIFY(!entries.at(11).enabled);
    }

    void menuWhileRunning()
    {
        AppSettings settings;
        Server server = runnable(QString());
        settings.servers = {server};
        RunInfo state;
        state.runs = {Run{server.id, std::nullopt, QString(), false}};
        QCOMPARE(texts(build(settings, state)).mid(0, 4),
                 (QStringList{QStringLiteral("Running: (untitled)"), QStringLiteral("---"),
                              QStringLiteral("Cancel current backup"), QStringLiteral("---")}));
        QCOMPARE(build(settings, state).at(0).action, Action::showRun);
        QCOMPARE(build(settings, state).at(0).serverID, server.id);
        state.runs[0].currentItem = QStringLiteral("docs/a.txt");
        QCOMPARE(build(settings, state).at(1).text, QStringLiteral("Path: docs/a.txt"));
        state.runs[0].progressPercent = 99.6;
        QCOMPARE(build(settings, state).at(1).text, QStringLiteral("Progress: 100%  —  docs/a.txt"));
        QCOMPARE(build(settings, state).at(1).serverID, server.id); // the line the open menu updates
        QCOMPARE(build(settings, state).at(3).action, Action::cancel);
        QCOMPARE(build(settings, state).at(3).serverID, server.id);

        // Two runs: each listed with its progress, each cancelled alone; one waits for a slot.
        Server second = runnable(QStringLiteral("db"));
        settings.servers << second;
        state.runs << Run{second.id, std::nullopt, QStringLiteral("Waiting"), true};
        QCOMPARE(texts(build(settings, state)).mid(0, 7),
                 (QStringList{QStringLiteral("Running: (untitled)"), QStringLiteral("Progress: 100%  —  docs/a.txt"),
                              QStringLiteral("Running: db"), QStringLiteral("Waiting for a free slot…"),
                              QStringLiteral("---"), QStringLiteral("Cancel the backup of (untitled)"),
                              QStringLiteral("Cancel the backup of db")}));
        QCOMPARE(build(settings, state).at(6).serverID, second.id);
    }
};

QTEST_GUILESS_MAIN(TestServerRules)
#include "tst_ServerRules.moc"
