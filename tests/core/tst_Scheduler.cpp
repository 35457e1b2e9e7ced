// SPDX-License-Identifier: GPL-3.0-or-later
// systemd and launchd schedules with recording stand-ins.
#include "core/model/Schedule.h"
#include "core/schedule/DriveUnit.h"
#include "core/schedule/ScheduleCalendar.h"
#include "core/schedule/Scheduler.h"
#include "core/schedule/SystemdUnits.h"
#include "fixtures/Await.h"
#include "fixtures/Files.h"
#include "fixtures/TempHome.h"

#include <QDBusConnection>
#include <QDir>
#include <QProcess>
#include <QSet>
#include <QTest>

using namespace TestHelpers;

// Both backends against a recording fake of their tool, in a temporary HOME.
class TestScheduler : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempHome> m_home;
    QString m_calls;

    // A fake systemctl/launchctl that records its arguments; `body` decides its status.
    QString fakeTool(const QByteArray &body = "exit 0\n")
    {
        return recordingScript(m_home->path() + QStringLiteral("/tool"), m_calls, body);
    }

    QStringList calls() const { return QString::fromUtf8(readFile(m_calls)).split(u'\n', Qt::SkipEmptyParts); }

    Scheduler systemd(const QByteArray &toolBody = "exit 0\n")
    {
        Scheduler scheduler(Scheduler::Backend::systemd);
        scheduler.setBus(QDBusConnection(QStringLiteral("no bus"))); // no manager: systemctl
        scheduler.setToolPath(fakeTool(toolBody));
        scheduler.setExecutablePath(QStringLiteral(TIDEWELL_BINARY));
        return scheduler;
    }

    static Server scheduled(const QString &time)
    {
        Server server;
        server.id = QUuid::fromString(QStringLiteral("0f3c2a9e-7b1d-4c55-9e2a-1b2c3d4e5f60"));
        server.scheduleEnabled = true;
        server.scheduleTime = time;
        return server;
    }

    QString unitFolder() const { return m_home->home() + QStringLiteral("/.config/systemd/user"); }

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<TempHome>();
        m_calls = m_home->path() + QStringLiteral("/calls");
    }

    void parseTime_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::newRow("03:00") << "03:00" << 3 << 0;
        QTest::newRow("7:5") << "7:5" << 7 << 5;
        QTest::newRow("23:59") << "23:59" << 23 << 59;
        QTest::newRow("12::30") << "12::30" << 12 << 30;
        QTest::newRow(":12:30:") << ":12:30:" << 12 << 30;
        QTest::newRow("007:+5") << "007:+5" << 7 << 5;
        QTest::newRow("24:00") << "24:00" << -1 << -1;
        QTest::newRow("12:60") << "12:60" << -1 << -1;
        QTest::newRow("12") << "12" << -1 << -1;
        QTest::newRow("12:30:45") << "12:30:45" << -1 << -1;
        QTest::newRow("ab:cd") << "ab:cd" << -1 << -1;
        QTest::newRow("leading space") << " 3:00" << -1 << -1;
        QTest::newRow("empty") << "" << -1 << -1;
        QTest::newRow("negative") << "-1:00" << -1 << -1;
    }

    void parseTime()
    {
        QFETCH(QString, text);
        QFETCH(int, hour);
        QFETCH(int, minute);
        const auto time = Scheduler::parseTime(text);
        QCOMPARE(time.has_value(), hour >= 0);
        if (time) {
            QCOMPARE(time->hour, hour);
            QCOMPARE(time->minute, minute);
        }
    }

    void invalidTimeFailsBeforeAnythingIsWritten()
    {
        Scheduler scheduler = systemd();
        const auto installed = done(scheduler.install(scheduled(QStringLiteral("24:00"))));
        QVERIFY(!installed);
        QCOMPARE(installed.error().message, QStringLiteral("Invalid schedule time '24:00'. Use HH:mm (24h)."));
        QVERIFY(!QDir(unitFolder()).exists());
        QVERIFY(calls().isEmpty());
    }

    void installWritesTwoUnitsAndStartsTheTimer()
    {
        Scheduler scheduler = systemd();
        const Server server = scheduled(QStringLiteral("7:5"));
        QVERIFY(done(scheduler.install(server)));
        const QString label = QStringLiteral("org.tidewell.backup.0F3C2A9E-7B1D-4C55-9E2A-1B2C3D4E5F60");
        QCOMPARE(scheduler.plistURL(server.id), unitFolder() + u'/' + label + QStringLiteral(".timer"));
        const QString logs = m_home->logDir() + QStringLiteral("/0F3C2A9E-7B1D-4C55-9E2A-1B2C3D4E5F60");
        QCOMPARE(
            QString::fromUtf8(readFile(scheduler.serviceUnitPath(server.id))),
            QStringLiteral(
                "[Unit]\nDescription=Tidewell daily backup of server 0F3C2A9E-7B1D-4C55-9E2A-1B2C3D4E5F60\n"
                "ConditionFileIsExecutable=%1\n"
                "OnFailure=org.tidewell.report@0F3C2A9E-7B1D-4C55-9E2A-1B2C3D4E5F60.service\n\n"
                "[Service]\nType=oneshot\nExecStart=\"%1\" \"--run-backup\" \"0F3C2A9E-7B1D-4C55-9E2A-1B2C3D4E5F60\"\n"
                "KillMode=mixed\nUMask=0077\nStandardOutput=append:%2.scheduled.stdout.log\nStandardError=append:%2."
                "scheduled."
                "stderr.log\n")
                .arg(QStringLiteral(TIDEWELL_BINARY), logs));
        const QString timer = QString::fromUtf8(readFile(scheduler.plistURL(server.id)));
        QVERIFY(timer.contains(
            QStringLiteral("\nOnCalendar=*-*-* 07:05:00\nRandomizedDelaySec=0\nPersistent=true\nUnit=%1.service\n")
                .arg(label)));
        QVERIFY(timer.contains(QStringLiteral("[Install]\nWantedBy=timers.target\n")));
        // The first schedule also starts the hourly check for overdue backups.
        QCOMPARE(calls(), (QStringList{QStringLiteral("--user daemon-reload"),
                                       QStringLiteral("--user enable %1.timer").arg(label),
                                       QStringLiteral("--user restart %1.timer").arg(label),
                                       QStringLiteral("--user enable org.tidewell.check.timer"),
                                       QStringLiteral("--user restart org.tidewell.check.timer")}));
        QVERIFY(readFile(unitFolder() + QStringLiteral("/org.tidewell.check.service"))
                    .contains(QByteArray("\nExecStart=\"" TIDEWELL_BINARY "\" \"--check\"\n")));

        // Installing again replaces the pair; the check is started once.
        QVERIFY(done(scheduler.install(scheduled(QStringLiteral("23:59")))));
        QVERIFY(calls().filter(QStringLiteral("check.timer")).size() == 2);
        // And the shared report template, the check's service and timer.
        QCOMPARE(QDir(unitFolder()).entryList(QDir::Files).size(), 5);
        QVERIFY(readFile(scheduler.plistURL(server.id)).contains("OnCalendar=*-*-* 23:59:00\n"));
    }

    void generatedUnitsPassSystemdsOwnChecks()
    {
        if (!QFile::exists(QStringLiteral("/usr/bin/systemd-analyze")))
            QSKIP("systemd-analyze is not installed");
        Scheduler scheduler = systemd();
        scheduler.setSpreadMinutes(30); // RandomizedDelaySec=30min
        const Server server = scheduled(QStringLiteral("7:5"));
        QVERIFY(done(scheduler.install(server)));
        QProcess verify;
        verify.start(QStringLiteral("/usr/bin/systemd-analyze"),
                     {QStringLiteral("verify"), QStringLiteral("--man=no"), scheduler.serviceUnitPath(server.id),
                      scheduler.plistURL(server.id), unitFolder() + QStringLiteral("/org.tidewell.report@.service"),
                      unitFolder() + QStringLiteral("/org.tidewell.check.service"),
                      unitFolder() + QStringLiteral("/org.tidewell.check.timer")});
        QVERIFY(verify.waitForFinished(60000));
        const QByteArray complaints = verify.readAllStandardError();
        QVERIFY2(verify.exitCode() == 0, complaints.constData());
        // The template started by a failed run passes, and names its server.
        QVERIFY(readFile(unitFolder() + QStringLiteral("/org.tidewell.report@.service"))
                    .contains(" \"--report-failure\" %i\n"));
        QProcess calendar;
        calendar.start(QStringLiteral("/usr/bin/systemd-analyze"),
                       {QStringLiteral("calendar"), QStringLiteral("*-*-* 07:05:00")});
        QVERIFY(calendar.waitForFinished(60000));
        QCOMPARE(calendar.exitCode(), 0);
        QVERIFY(calendar.readAllStandardOutput().contains("Normalized form: *-*-* 07:05:00"));
    }

    void everyKindOfScheduleIsTheTimersCalendar_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("time");
        QTest::addColumn<qint64>("hours");
        QTest::addColumn<qint64>("weekday");
        QTest::addColumn<QString>("calendar");
        QTest::addColumn<QString>("onCalendar");
        // After Wednesday 2026-03-18 12:00 UTC.
        QTest::addColumn<QStringList>("next");
        const auto row = [](const char *name, const char *kind, const char *time, qint64 hours, qint64 weekday,
                            const char *calendar, const char *onCalendar, const char *next) {
            QTest::newRow(name) << QString::fromUtf8(kind) << QString::fromUtf8(time) << hours << weekday
                                << QString::fromUtf8(calendar) << QString::fromUtf8(onCalendar)
                                << QString::fromUtf8(next).split(u',');
        };
        row("daily", "daily", "7:05", 6, 1, "", "*-*-* 07:05:00",
            "2026-03-19 07:05:00,2026-03-20 07:05:00,2026-03-21 07:05:00");
        // From 14:30 every six hours: the same four hours every day, not only those after 14:30.
        row("every 6 hours", "hours", "14:30", 6, 1, "", "*-*-* 02/6:30:00",
            "2026-03-18 14:30:00,2026-03-18 20:30:00,2026-03-19 02:30:00");
        row("every hour", "hours", "00:15", 1, 1, "", "*-*-* 00/1:15:00",
            "2026-03-18 12:15:00,2026-03-18 13:15:00,2026-03-18 14:15:00");
        row("weekdays", "weekdays", "03:00", 6, 1, "", "Mon..Fri *-*-* 03:00:00",
            "2026-03-19 03:00:00,2026-03-20 03:00:00,2026-03-23 03:00:00");
        row("weekly on Sunday", "weekly", "22:00", 6, 7, "", "Sun *-*-* 22:00:00",
            "2026-03-22 22:00:00,2026-03-29 22:00:00,2026-04-05 22:00:00");
        row("custom", "custom", "bad time is not used", 6, 1, "  Sat   *-*-1..7 04:00 ", "Sat *-*-1..7 04:00",
            "2026-04-04 04:00:00,2026-05-02 04:00:00,2026-06-06 04:00:00");
        row("custom hourly", "custom", "", 6, 1, "hourly", "hourly",
            "2026-03-18 13:00:00,2026-03-18 14:00:00,2026-03-18 15:00:00");
        row("custom twice a day", "custom", "", 6, 1, "*-*-* 9,17:00", "*-*-* 9,17:00",
            "2026-03-18 17:00:00,2026-03-19 09:00:00,2026-03-19 17:00:00");
    }

    void everyKindOfScheduleIsTheTimersCalendar()
    {
        QFETCH(QString, kind);
        QFETCH(QString, time);
        QFETCH(qint64, hours);
        QFETCH(qint64, weekday);
        QFETCH(QString, calendar);
        QFETCH(QString, onCalendar);
        QFETCH(QStringList, next);
        Scheduler scheduler = systemd();
        Server server = scheduled(time);
        server.scheduleKind = kind;
        server.scheduleEveryHours = hours;
        server.scheduleWeekday = weekday;
        server.scheduleCalendar = calendar;
        QVERIFY(done(scheduler.install(server)));
        const QString timer = QString::fromUtf8(readFile(scheduler.plistURL(server.id)));
        QCOMPARE(SystemdUnits::timerValue(timer, QStringLiteral("OnCalendar")), onCalendar);
        QCOMPARE(timer.contains(QStringLiteral("Description=Daily ")), kind == QStringLiteral("daily"));
        QVERIFY(scheduler.isInstalledAsConfigured(server));
        // Another hour step, weekday or calendar is not what is installed.
        Server changed = server;
        changed.scheduleEveryHours = 4;
        changed.scheduleWeekday = 3;
        changed.scheduleCalendar = QStringLiteral("Sun *-*-* 04:00");
        QCOMPARE(scheduler.isInstalledAsConfigured(changed),
                 kind == QStringLiteral("daily") || kind == QStringLiteral("weekdays"));

        // What systemd itself makes of the timer's calendar.
        QProcess analyze;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
        analyze.setProcessEnvironment(environment);
        analyze.start(QStringLiteral("/usr/bin/systemd-analyze"),
                      {QStringLiteral("calendar"), QStringLiteral("--iterations=3"),
                       QStringLiteral("--base-time=2026-03-18 12:00:00 UTC"), onCalendar});
        QVERIFY(analyze.waitForFinished(60000));
        QCOMPARE(analyze.exitCode(), 0);
        const ScheduleCalendar::Reading reading = ScheduleCalendar::parse(QString::fromUtf8(analyze.readAll()));
        QStringList times;
        QSet<QDate> days;
        for (const QDateTime &at : reading.next) {
            times << at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            days.insert(at.date());
        }
        QCOMPARE(times, next);
        // Runs more than once a day keep a snapshot each.
        QCOMPARE(Schedule::severalADay(server), days.size() < reading.next.size());
    }

    void calendarsThatCouldReachTheUnitOrThatSystemdRefuses()
    {
        Scheduler scheduler = systemd();
        Server server = scheduled(QStringLiteral("03:00"));
        server.scheduleKind = QStringLiteral("custom");
        // A line break would add a line of its own to the timer; "%" would be a specifier.
        for (const QString &planted : {QStringLiteral("daily\nOnActiveSec=1"), QStringLiteral("daily\n[Service]"),
                                       QStringLiteral("*-*-* %H:00"), QString()}) {
            server.scheduleCalendar = planted;
            const auto refused = done(scheduler.install(server));
            QVERIFY(!refused);
            QVERIFY2(refused.error().message.startsWith(QStringLiteral("Invalid calendar")),
                     qPrintable(refused.error().message));
        }
        server.scheduleCalendar = QStringLiteral("Someday *-*-* 04:00");
        const auto unknown = done(scheduler.install(server));
        QVERIFY(!unknown);
        QVERIFY2(unknown.error().message.contains(QStringLiteral("systemd does not take “Someday *-*-* 04:00”")),
                 qPrintable(unknown.error().message));
        // Nothing was written or started for any of them.
        QVERIFY(!QFile::exists(scheduler.plistURL(server.id)));
        QVERIFY(calls().isEmpty());

        server.scheduleKind = QStringLiteral("hours");
        server.scheduleEveryHours = 5; // would leave a short gap at midnight
        QVERIFY(!done(scheduler.install(server)));
        server.scheduleKind = QStringLiteral("weekly");
        server.scheduleWeekday = 8;
        QVERIFY(!done(scheduler.install(server)));
        QVERIFY(!QFile::exists(scheduler.plistURL(server.id)));
    }

    void awkwardExecutablePathsAreEscaped()
    {
        Scheduler scheduler = systemd();
        const QString odd = m_home->path() + QStringLiteral("/my apps/100% \"real\" $HOME\\tidewell");
        QDir().mkpath(QFileInfo(odd).absolutePath());
        QVERIFY(QFile::copy(QStringLiteral(TIDEWELL_BINARY), odd));
        scheduler.setExecutablePath(odd);
        const Server server = scheduled(QStringLiteral("03:00"));
        QVERIFY(done(scheduler.install(server)));
        const QString service = QString::fromUtf8(readFile(scheduler.serviceUnitPath(server.id)));
        QVERIFY(service.contains(
            QStringLiteral(
                "ExecStart=/usr/bin/env \"%1/my apps/100%% \\\"real\\\" $$HOME\\\\tidewell\" \"--run-backup\" ")
                .arg(m_home->path())));
        // Without quotes or backslashes the executable is started directly; "$" is literal there.
        scheduler.setExecutablePath(m_home->path() + QStringLiteral("/100% $HOME/tidewell"));
        QVERIFY(done(scheduler.install(server)));
        QVERIFY(readFile(scheduler.serviceUnitPath(server.id))
                    .contains(QByteArray("ExecStart=\"" + m_home->path().toUtf8() + "/100%% $HOME/tidewell\" ")));
        scheduler.setExecutablePath(odd);
        QVERIFY(done(scheduler.install(server)));
        if (!QFile::exists(QStringLiteral("/usr/bin/systemd-analyze")))
            return;
        QProcess verify;
        verify.start(QStringLiteral("/usr/bin/systemd-analyze"),
                     {QStringLiteral("verify"), QStringLiteral("--man=no"), scheduler.serviceUnitPath(server.id)});
        QVERIFY(verify.waitForFinished(60000));
        QVERIFY2(verify.exitCode() == 0, verify.readAllStandardError().constData());
    }

    // A job reads back the program it starts, however its path had to be escaped.
    void theScheduledProgramReadsBack_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("plain") << QStringLiteral("/usr/bin/tidewell");
        QTest::newRow("spaces, percent, dollar") << QStringLiteral("/opt/my apps/100% $HOME/tidewell");
        QTest::newRow("quotes and backslash") << QStringLiteral("/opt/\"real\" $HOME\\tidewell");
    }

    void theScheduledProgramReadsBack()
    {
        QFETCH(QString, program);
        const Server server = scheduled(QStringLiteral("03:00"));
        for (const Scheduler::Backend backend : {Scheduler::Backend::systemd, Scheduler::Backend::launchd}) {
            Scheduler scheduler(backend);
            scheduler.setToolPath(fakeTool());
            QVERIFY(!scheduler.scheduledExecutable(server.id));
            scheduler.setExecutablePath(program);
            QVERIFY(done(scheduler.install(server)));
            QCOMPARE(scheduler.scheduledExecutable(server.id), std::optional<QString>(program));
        }
    }

    // Jobs that start a program that is gone, or another one, are rewritten to
    // start this one; jobs that already do, and servers without a job, are left alone.
    void jobsFollowTheProgram()
    {
        Scheduler old = systemd();
        const QString moved = m_home->path() + QStringLiteral("/old clone/build/tidewell");
        QDir().mkpath(QFileInfo(moved).absolutePath());
        QVERIFY(QFile::copy(QStringLiteral(TIDEWELL_BINARY), moved));
        old.setExecutablePath(moved);
        Server gone = scheduled(QStringLiteral("03:00"));
        Server elsewhere = scheduled(QStringLiteral("04:00"));
        elsewhere.id = QUuid::createUuid();
        Server current = scheduled(QStringLiteral("05:00"));
        current.id = QUuid::createUuid();
        Server noJob = scheduled(QStringLiteral("06:00"));
        noJob.id = QUuid::createUuid();
        QVERIFY(done(old.install(gone)));
        Scheduler installed = systemd();
        QVERIFY(done(installed.install(current)));
        QVERIFY(QFile::remove(moved)); // the clone went away

        old.setExecutablePath(QStringLiteral("/usr/bin/true")); // someone else's program, for "elsewhere"
        QVERIFY(done(old.install(elsewhere)));
        QFile::remove(m_calls);
        const Scheduler::Repair repair = done(installed.repointJobs({gone, elsewhere, current, noJob}));
        QCOMPARE(repair.updated, 2);
        QCOMPARE(repair.executable, QStringLiteral(TIDEWELL_BINARY));
        QVERIFY(repair.errors.isEmpty());
        for (const Server &server : {gone, elsewhere, current})
            QCOMPARE(installed.scheduledExecutable(server.id), std::optional<QString>(QStringLiteral(TIDEWELL_BINARY)));
        QVERIFY(!installed.scheduledExecutable(noJob.id));
        QVERIFY(!QFile::exists(installed.plistURL(noJob.id)));
        // Once repaired, nothing more to do.
        QCOMPARE(done(installed.repointJobs({gone, elsewhere, current, noJob})).updated, 0);
    }

    // A fleet's runs are spread over the minutes set; a new spread is
    // written to the timers already there, and the same spread is left alone.
    void spreadTimers()
    {
        Scheduler scheduler = systemd();
        const Server server = scheduled(QStringLiteral("03:00"));
        QVERIFY(done(scheduler.install(server)));
        const QString timerPath = scheduler.plistURL(server.id);
        QVERIFY(readFile(timerPath).contains("\nRandomizedDelaySec=0\n"));
        QCOMPARE(done(scheduler.repointJobs({server})).respread, 0);

        scheduler.setSpreadMinutes(45);
        const Scheduler::Repair repair = done(scheduler.repointJobs({server}));
        QCOMPARE(repair.respread, 1);
        QCOMPARE(repair.updated, 0);
        QVERIFY(readFile(timerPath).contains("\nRandomizedDelaySec=45min\n"));
        QCOMPARE(readFile(timerPath).count("RandomizedDelaySec="), 1);
        QCOMPARE(done(scheduler.repointJobs({server})).respread, 0);

        scheduler.setSpreadMinutes(0);
        QCOMPARE(done(scheduler.repointJobs({server})).respread, 1);
        QVERIFY(readFile(timerPath).contains("\nRandomizedDelaySec=0\n"));
    }

    // Units the user changed keep their changes when Tidewell points them
    // at another program; a unit that is a link is replaced, never written through.
    void repointingKeepsTheUsersLinesAndWritesThroughNoLink()
    {
        Scheduler old = systemd();
        old.setExecutablePath(QStringLiteral("/usr/bin/true"));
        const Server server = scheduled(QStringLiteral("03:00"));
        QVERIFY(done(old.install(server)));
        const QString timerPath = old.plistURL(server.id);
        const QString servicePath = timerPath.chopped(QStringLiteral("timer").size()) + QStringLiteral("service");
        // The timer lives in the user's dotfiles, linked into place, with a line of their own.
        const QString dotfile = m_home->path() + QStringLiteral("/dotfiles/backup.timer");
        QVERIFY(
            writeFile(dotfile, readFile(timerPath).replace("Persistent=true\n", "Persistent=true\nAccuracySec=1us\n")));
        QVERIFY(QFile::remove(timerPath));
        QVERIFY(QFile::link(dotfile, timerPath));
        QVERIFY(writeFile(servicePath, readFile(servicePath) + "# mine\nNice=10\n"));
        const QByteArray dotfileBefore = readFile(dotfile);

        Scheduler current = systemd();
        QCOMPARE(done(current.repointJobs({server})).updated, 1);
        QCOMPARE(current.scheduledExecutable(server.id), std::optional<QString>(QStringLiteral(TIDEWELL_BINARY)));
        const QByteArray service = readFile(servicePath);
        QVERIFY2(service.contains("# mine\nNice=10\n"), service.constData());
        QCOMPARE(service.count("ExecStart="), 1);
        QCOMPARE(readFile(dotfile), dotfileBefore);
        QVERIFY(!QFileInfo(timerPath).isSymLink());
        QVERIFY(readFile(timerPath).contains("AccuracySec=1us\n"));
        QVERIFY(readFile(timerPath).contains("OnCalendar=*-*-* 03:00:00\n"));

        // A new time changes its own line only.
        Server later = server;
        later.scheduleTime = QStringLiteral("04:30");
        QVERIFY(done(current.install(later)));
        QVERIFY(readFile(timerPath).contains("AccuracySec=1us\n"));
        QCOMPARE(readFile(timerPath).count("OnCalendar="), 1);
        QVERIFY(readFile(timerPath).contains("OnCalendar=*-*-* 04:30:00\n"));
    }

    // A reload that fails while a schedule is pointed elsewhere (no user
    // manager) puts the old units back: the schedule is never lost.
    void aFailingReloadKeepsTheUnitsThatWereThere()
    {
        Scheduler before = systemd();
        before.setExecutablePath(QStringLiteral("/usr/bin/true"));
        const Server server = scheduled(QStringLiteral("03:00"));
        QVERIFY(done(before.install(server)));
        const QByteArray service = readFile(before.serviceUnitPath(server.id));
        const QByteArray timer = readFile(before.plistURL(server.id));

        Scheduler failing = systemd(
            "case \"$*\" in *daemon-reload*) echo 'Failed to connect to bus: No medium found' >&2; exit 1;; esac\n");
        QFile::remove(m_calls);
        const Scheduler::Repair repair = done(failing.repointJobs({server}));
        QCOMPARE(repair.updated, 0);
        QCOMPARE(repair.errors,
                 QStringList{QStringLiteral("systemctl failed (1): Failed to connect to bus: No medium found")});
        QCOMPARE(readFile(failing.serviceUnitPath(server.id)), service);
        QCOMPARE(readFile(failing.plistURL(server.id)), timer);
        QVERIFY(!calls().contains(QStringLiteral("disable"))); // the running timer was left alone
    }

    void failingToolIsReportedAndNothingIsLeftInstalled()
    {
        Scheduler scheduler =
            systemd("case \"$*\" in *enable*) echo 'Failed to connect to bus: No medium found' >&2; exit 1;; esac\n");
        const Server server = scheduled(QStringLiteral("03:00"));
        const auto installed = done(scheduler.install(server));
        QVERIFY(!installed);
        QCOMPARE(installed.error().message,
                 QStringLiteral("systemctl failed (1): Failed to connect to bus: No medium found"));
        QVERIFY(!QFile::exists(scheduler.plistURL(server.id)));
        QVERIFY(!QFile::exists(scheduler.serviceUnitPath(server.id)));
        QVERIFY(calls().contains(QStringLiteral("--user disable --now %1.timer").arg(Scheduler::label(server.id))));
    }

    void missingToolIsReported()
    {
        Scheduler scheduler(Scheduler::Backend::systemd);
        scheduler.setBus(QDBusConnection(QStringLiteral("no bus")));
        scheduler.setToolPath(QStringLiteral("/nonexistent/systemctl"));
        scheduler.setExecutablePath(QStringLiteral(TIDEWELL_BINARY));
        const auto installed = done(scheduler.install(scheduled(QStringLiteral("03:00"))));
        QVERIFY(!installed);
        QVERIFY(installed.error().message.startsWith(QStringLiteral("systemctl failed (-1): ")));
    }

    void uninstallRemovesUnitsButKeepsTheScheduledLogs()
    {
        Scheduler scheduler = systemd();
        const Server server = scheduled(QStringLiteral("03:00"));
        QVERIFY(done(scheduler.uninstall(server.id))); // nothing installed: nothing happens
        QVERIFY(calls().isEmpty());
        QVERIFY(done(scheduler.install(server)));
        writeFile(Scheduler::scheduledStdoutLog(server.id), "out");
        writeFile(Scheduler::scheduledStderrLog(server.id), "err");
        QFile::remove(m_calls);
        QVERIFY(done(scheduler.uninstall(server.id)));
        QVERIFY(!QFile::exists(scheduler.plistURL(server.id)));
        QVERIFY(!QFile::exists(scheduler.serviceUnitPath(server.id)));
        QVERIFY(QFile::exists(Scheduler::scheduledStdoutLog(server.id)));
        QVERIFY(QFile::exists(Scheduler::scheduledStderrLog(server.id)));
        QCOMPARE(calls(), (QStringList{QStringLiteral("--user disable --now %1.timer").arg(Scheduler::label(server.id)),
                                       QStringLiteral("--user daemon-reload")}));
    }

    // The drive's mount unit is named as systemd names it, so the unit that
    // wants it is started by that very mount.
    void driveMountUnitsAreNamedAsSystemdNamesThem()
    {
        if (!QFile::exists(QStringLiteral("/usr/bin/systemd-escape")))
            QSKIP("systemd-escape is not installed");
        for (const QString &mountPoint :
             {QStringLiteral("/media/ann/My Drive"), QStringLiteral("/run/media/jörg/Sicherung 2"),
              QStringLiteral("/mnt/backup-disk"), QStringLiteral("/mnt/.hidden/a.b"), QStringLiteral("/mnt/100%"),
              QStringLiteral("/media/x/back\\slash:colon_under"), QStringLiteral("/media/x/"), QStringLiteral("/")}) {
            QProcess escape;
            escape.start(QStringLiteral("/usr/bin/systemd-escape"),
                         {QStringLiteral("--path"), QStringLiteral("--suffix=mount"), mountPoint});
            QVERIFY(escape.waitForFinished(30000));
            QCOMPARE(DriveUnit::mountUnitName(mountPoint), QString::fromUtf8(escape.readAllStandardOutput().trimmed()));
        }
    }

    void driveUnitIsWantedByTheMountAndGoesAgain()
    {
        Scheduler scheduler = systemd();
        const QString mountPoint = QStringLiteral("/media/ann/My Drive");
        QVERIFY(done(scheduler.installDriveUnit(mountPoint)));
        const QString path = unitFolder() + QStringLiteral("/org.tidewell.drive.service");
        const QString text = QString::fromUtf8(readFile(path));
        QVERIFY2(text.contains(QStringLiteral("\nAfter=media-ann-My\\x20Drive.mount\n")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("\n[Install]\nWantedBy=media-ann-My\\x20Drive.mount\n")));
        QVERIFY(text.contains(QStringLiteral("\nExecStart=\"" TIDEWELL_BINARY "\" \"--run-overdue\"\n")));
        QCOMPARE(scheduler.installedDriveMount().value_or(QString()), QStringLiteral("media-ann-My\\x20Drive.mount"));
        QCOMPARE(calls(), (QStringList{QStringLiteral("--user daemon-reload"),
                                       QStringLiteral("--user enable org.tidewell.drive.service")}));
        if (QFile::exists(QStringLiteral("/usr/bin/systemd-analyze"))) {
            QProcess verify;
            verify.start(QStringLiteral("/usr/bin/systemd-analyze"),
                         {QStringLiteral("verify"), QStringLiteral("--man=no"), path});
            QVERIFY(verify.waitForFinished(60000));
            QVERIFY2(verify.exitCode() == 0, verify.readAllStandardError().constData());
        }

        // Another drive: the first one's unit is let go before.
        QVERIFY(done(scheduler.installDriveUnit(QStringLiteral("/mnt/other"))));
        QCOMPARE(scheduler.installedDriveMount().value_or(QString()), QStringLiteral("mnt-other.mount"));
        QVERIFY(calls().contains(QStringLiteral("--user disable --now org.tidewell.drive.service")));

        QVERIFY(done(scheduler.uninstallDriveUnit()));
        QVERIFY(!QFile::exists(path));
        QVERIFY(!scheduler.installedDriveMount());
        QCOMPARE(calls().last(), QStringLiteral("--user daemon-reload"));

        // launchd has nothing like it.
        Scheduler launchd(Scheduler::Backend::launchd);
        launchd.setExecutablePath(QStringLiteral(TIDEWELL_BINARY));
        QVERIFY(!done(launchd.installDriveUnit(mountPoint)));
    }

    void launchdPropertyList()
    {
        Scheduler scheduler(Scheduler::Backend::launchd);
        scheduler.setToolPath(fakeTool());
        scheduler.setExecutablePath(QStringLiteral("/Apps/R&D <new>/Tidewell"));
        const Server server = scheduled(QStringLiteral("7:05"));
        QVERIFY(done(scheduler.install(server)));
        const QString path = scheduler.plistURL(server.id);
        QCOMPARE(path, m_home->home()
                           + QStringLiteral(
                               "/Library/LaunchAgents/org.tidewell.backup.0F3C2A9E-7B1D-4C55-9E2A-1B2C3D4E5F60.plist"));
        const QString logs = m_home->logDir() + QStringLiteral("/0F3C2A9E-7B1D-4C55-9E2A-1B2C3D4E5F60");
        const QString expected =
            QStringLiteral(
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                "<plist version=\"1.0\">\n"
                "<dict>\n"
                "    <key>Label</key><string>org.tidewell.backup.0F3C2A9E-7B1D-4C55-9E2A-1B2C3D4E5F60</string>\n"
                "    <key>ProgramArguments</key>\n"
                "    <array>\n"
                "        <string>/Apps/R&amp;D &lt;new&gt;/Tidewell</string>\n"
                "        <string>--run-backup</string>\n"
                "        <string>0F3C2A9E-7B1D-4C55-9E2A-1B2C3D4E5F60</string>\n"
                "    </array>\n"
                "    <key>StartCalendarInterval</key>\n"
                "    <dict>\n"
                "        <key>Hour</key><integer>7</integer>\n"
                "        <key>Minute</key><integer>5</integer>\n"
                "    </dict>\n"
                "    <key>RunAtLoad</key><false/>\n"
                "    <key>StandardOutPath</key><string>%1.scheduled.stdout.log</string>\n"
                "    <key>StandardErrorPath</key><string>%1.scheduled.stderr.log</string>\n"
                "</dict>\n"
                "</plist>")
                .arg(logs);
        QCOMPARE(QString::fromUtf8(readFile(path)), expected);
        const QString domain = QStringLiteral("gui/%1").arg(::getuid());
        QCOMPARE(calls(), (QStringList{QStringLiteral("bootout %1 %2").arg(domain, path),
                                       QStringLiteral("bootstrap %1 %2").arg(domain, path)}));
    }

    void launchdSchedulesOtherThanDaily()
    {
        Scheduler scheduler(Scheduler::Backend::launchd);
        scheduler.setToolPath(fakeTool());
        scheduler.setExecutablePath(QStringLiteral("/Apps/Tidewell"));
        Server server = scheduled(QStringLiteral("14:30"));
        server.scheduleKind = QStringLiteral("hours");
        server.scheduleEveryHours = 6;
        QVERIFY(done(scheduler.install(server)));
        const QString hours = QString::fromUtf8(readFile(scheduler.plistURL(server.id)));
        QVERIFY(hours.contains(QStringLiteral("    <key>StartCalendarInterval</key>\n    <array>\n        <dict>\n"
                                              "            <key>Hour</key><integer>2</integer>\n"
                                              "            <key>Minute</key><integer>30</integer>\n"
                                              "        </dict>\n")));
        QCOMPARE(hours.count(QStringLiteral("<key>Hour</key>")), 4);
        server.scheduleKind = QStringLiteral("weekdays");
        QVERIFY(done(scheduler.install(server)));
        const QString weekdays = QString::fromUtf8(readFile(scheduler.plistURL(server.id)));
        QCOMPARE(weekdays.count(QStringLiteral("<key>Weekday</key>")), 5);
        QVERIFY(weekdays.contains(QStringLiteral("<key>Weekday</key><integer>5</integer>")));
        QVERIFY(!weekdays.contains(QStringLiteral("<key>Weekday</key><integer>6</integer>")));
        // launchd has no calendar expressions: refused, the job left as it was.
        server.scheduleKind = QStringLiteral("custom");
        server.scheduleCalendar = QStringLiteral("Sat *-*-* 04:00");
        QVERIFY(!done(scheduler.install(server)));
        QCOMPARE(QString::fromUtf8(readFile(scheduler.plistURL(server.id))), weekdays);
    }

    void launchdFallsBackToLoadAndKeepsTheBetterMessage()
    {
        Scheduler scheduler(Scheduler::Backend::launchd);
        scheduler.setToolPath(
            fakeTool("case \"$1\" in bootstrap) echo 'Bootstrap failed: 5: Input/output error' >&2; exit 5;;"
                     " load) exit 3;; esac\nexit 0\n"));
        scheduler.setExecutablePath(QStringLiteral("/x/Tidewell"));
        const Server server = scheduled(QStringLiteral("03:00"));
        const auto installed = done(scheduler.install(server));
        QVERIFY(!installed);
        QCOMPARE(installed.error().message,
                 QStringLiteral("launchctl failed (3): Bootstrap failed: 5: Input/output error"));
        QVERIFY(QFile::exists(scheduler.plistURL(server.id))); // left in place
        const QString path = scheduler.plistURL(server.id);
        QCOMPARE(calls().mid(2), (QStringList{QStringLiteral("unload ") + path, QStringLiteral("load ") + path}));

        QFile::remove(m_calls);
        QVERIFY(done(scheduler.uninstall(server.id)));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(calls(), (QStringList{QStringLiteral("bootout gui/%1 %2").arg(::getuid()).arg(path),
                                       QStringLiteral("unload ") + path}));
    }
};

QTEST_GUILESS_MAIN(TestScheduler)
#include "tst_Scheduler.moc"
