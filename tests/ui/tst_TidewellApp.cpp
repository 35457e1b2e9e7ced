// SPDX-License-Identifier: GPL-3.0-or-later
// The application shell and its tray menu.
#include "core/engine/RsyncRunner.h"
#include "core/engine/RunPool.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "fixtures/Await.h"
#include "fixtures/DbusSessionFixture.h"
#include "fixtures/EngineHarness.h"
#include "fixtures/Files.h"
#include "fixtures/TempHome.h"
#include "ui/TidewellApp.h"
#include "ui/main/MainWindow.h"
#include "ui/run/BackupRunView.h"
#include "ui/settings/SettingsView.h"
#include "ui/widgets/Desktop.h"
#include "ui/widgets/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QLocale>
#include <QMenu>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTest>

#include <csignal>

using namespace TestHelpers;

namespace {

// What the menu shows when it opens: it is built just before.
QStringList actionTexts(QMenu *menu)
{
    Q_EMIT menu->aboutToShow();
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("---") : action->text());
    return texts;
}

} // namespace

// The shell: one store and its runs, the tray menu kept in step with both.
class TestTidewellApp : public QObject
{
    Q_OBJECT

    // Starts a run of one runnable server whose rsync is `rsyncBody`; quits
    // are counted in `quits` instead of done.
    static Server startRun(TidewellApp &app, const TempHome &home, int &quits, const QByteArray &rsyncBody)
    {
        app.setQuitForTesting([&quits] { ++quits; });
        app.desktop()->setRecorder([](const QString &, const QString &) {});
        const Server server = runnableServer();
        app.store()->update([&](AppSettings &s) {
            s.servers = {server};
            s.destinationPath = home.path() + QStringLiteral("/dest");
            s.notificationsEnabled = false;
        });
        RsyncProbe probe;
        probe.isModern = true;
        probe.executable = writeScript(home.path() + QStringLiteral("/rsync"), rsyncBody);
        app.runs()->setRsyncProbe(probe);
        app.runs()->start(server, app.store());
        if (!QTest::qWaitFor([&app] { return app.runs()->isRunning(); }, 5000))
            qWarning("the run did not start");
        return server;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_bus = std::make_unique<DbusSessionFixture>();
        QVERIFY(m_bus->isRunning());
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus->address().toUtf8());
    }

    void cleanupTestCase() { m_bus.reset(); }

    void trayMenuFollowsTheStoreAndTheRunner()
    {
        TempHome home;
        TidewellApp app;
        app.desktop()->setRecorder([](const QString &, const QString &) {});
        QCOMPARE(actionTexts(app.trayMenu()).first(), QStringLiteral("No servers configured"));
        Server server = runnableServer();
        server.lastExitCode = 0;
        app.store()->update([&](AppSettings &s) {
            s.servers = {server};
            s.destinationPath = home.path() + QStringLiteral("/dest");
            s.notificationsEnabled = false;
        });
        QCOMPARE(actionTexts(app.trayMenu()).first(), QStringLiteral("✓  web"));
        QMenu *submenu = app.trayMenu()->actions().first()->menu();
        QVERIFY(submenu);
        QAction *run = submenu->actions().first();
        QCOMPARE(run->text(), QStringLiteral("Run backup now"));
        QVERIFY(run->isEnabled());

        RsyncProbe probe;
        probe.isModern = true;
        probe.executable = writeScript(home.path() + QStringLiteral("/rsync"), "exec sleep 30\n");
        app.runs()->setRsyncProbe(probe);
        run->trigger();
        QTRY_VERIFY(app.runs()->isRunning());
        QCOMPARE(actionTexts(app.trayMenu()).first(), QStringLiteral("Running: web"));
        QVERIFY(app.mainWindow()->isVisible()); // brought forward, without a run sheet
        QVERIFY(!app.mainWindow()->runSheet(server.id));
        const auto byText = [&](const QString &text) {
            Q_EMIT app.trayMenu()->aboutToShow();
            for (QAction *action : app.trayMenu()->actions()) {
                if (action->text() == text)
                    return action;
            }
            return static_cast<QAction *>(nullptr);
        };
        QVERIFY(byText(QStringLiteral("Cancel current backup")));
        byText(QStringLiteral("Cancel current backup"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!app.runs()->isRunning(), 10000);
        QCOMPARE(actionTexts(app.trayMenu()).first(), QStringLiteral("web")); // cancelled is not failed

        // Settings open once, from the menu.
        QVERIFY(byText(QStringLiteral("Settings…")));
        byText(QStringLiteral("Settings…"))->trigger();
        SettingsView *window = app.settingsWindow();
        QVERIFY(window && window->isVisible());
        byText(QStringLiteral("Settings…"))->trigger();
        QCOMPARE(app.settingsWindow(), window);
    }

    // The menu is built when it opens; old submenus go with their entries.
    void trayMenuOwnsItsSubmenus()
    {
        TempHome home;
        TidewellApp app;
        QList<Server> servers;
        for (const char *name : {"a & b", "c", "d"})
            servers << runnableServer(QString::fromUtf8(name));
        app.store()->update([&](AppSettings &s) { s.servers = servers; });
        for (int i = 0; i < 50; ++i)
            Q_EMIT app.trayMenu()->aboutToShow();
        QCOMPARE(app.trayMenu()->findChildren<QMenu *>().size(), 3);
        // "&" is shown as itself, not as a shortcut mark.
        QCOMPARE(app.trayMenu()->actions().first()->text(), QStringLiteral("a && b"));
        QCOMPARE(app.trayMenu()->actions().first()->iconText(), QStringLiteral("a & b"));

        // Opened again with nothing changed: the same entries (a tray host
        // keeps them by their ids); a change builds them anew.
        const QList<QAction *> before = app.trayMenu()->actions();
        Q_EMIT app.trayMenu()->aboutToShow();
        QCOMPARE(app.trayMenu()->actions(), before);
        app.store()->update([](AppSettings &s) { s.servers.last().name = QStringLiteral("e"); });
        Q_EMIT app.trayMenu()->aboutToShow();
        QCOMPARE(app.trayMenu()->actions().size(), before.size());
        QVERIFY(app.trayMenu()->actions().first() != before.first());
        QCOMPARE(app.trayMenu()->findChildren<QMenu *>().size(), 3);
    }

    // A panel started after the window: the icon appears once its tray
    // watcher is on the bus, and from then on closing the window only hides it.
    void aTrayThatAppearsLaterGetsTheIcon()
    {
        TempHome home;
        TidewellApp app;
        app.scheduler().setToolPath(writeScript(home.path() + QStringLiteral("/systemctl"), "exit 0\n"));
        bool available = false;
        app.setTrayAvailabilityForTesting([&available] { return available; });
        app.start();
        QVERIFY(!app.hasTray());
        QVERIFY(QApplication::quitOnLastWindowClosed());
        QVERIFY(app.mainWindow()->testAttribute(Qt::WA_QuitOnClose));

        available = true;
        const QString name = QStringLiteral("tidewell-test-panel");
        QDBusConnection panel = QDBusConnection::connectToBus(m_bus->address(), name);
        QVERIFY(panel.registerService(TidewellApp::statusNotifierWatcher));
        QTRY_VERIFY_WITH_TIMEOUT(app.hasTray(), 5000);
        QVERIFY(!QApplication::quitOnLastWindowClosed());
        QVERIFY(!app.mainWindow()->testAttribute(Qt::WA_QuitOnClose));
        panel.unregisterService(TidewellApp::statusNotifierWatcher);
        QDBusConnection::disconnectFromBus(name);
    }

    void aClickOnTheTrayIconShowsOrHidesTheWindow()
    {
        TempHome home;
        TidewellApp app;
        QVERIFY(!app.mainWindow()->isVisible());
        app.toggleMainWindow();
        QVERIFY(app.mainWindow()->isVisible());
        app.toggleMainWindow();
        QVERIFY(!app.mainWindow()->isVisible());

        // A minimised window comes back, from the tray and from a second start.
        app.openMainWindow();
        app.mainWindow()->showMinimized();
        QTRY_VERIFY(app.mainWindow()->isMinimized());
        app.toggleMainWindow();
        QTRY_VERIFY(!app.mainWindow()->isMinimized());
        QVERIFY(app.mainWindow()->isVisible());
        app.mainWindow()->showMinimized();
        QTRY_VERIFY(app.mainWindow()->isMinimized());
        app.openMainWindow(); // what the second start's ShowMainWindow call does
        QTRY_VERIFY(!app.mainWindow()->isMinimized());
    }

    void quittingDuringARunAsksAndLetsTheRunFinish()
    {
        TempHome home;
        TidewellApp app;
        int quits = 0;
        const Server server = startRun(app, home, quits, "exec sleep 30\n");

        app.dialogs()->setNextAnswer(false); // Cancel: keep the backup
        app.requestQuit();
        QCOMPARE(app.dialogs()->askedTexts().last().section(u'\n', 0, 0),
                 QStringLiteral("A backup of “web” is running. Cancel it and quit?"));
        QTest::qWait(200);
        QVERIFY(app.runs()->isRunning());
        QCOMPARE(quits, 0);

        app.dialogs()->setNextAnswer(true);
        const qsizetype notices = m_bus->notifications().size();
        app.requestQuit();
        QTRY_VERIFY_WITH_TIMEOUT(!app.runs()->isRunning(), 15000);
        QTRY_COMPARE(quits, 1);
        // The process that stays until the run has written its record says so.
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), notices + 1, 5000);
        QCOMPARE(m_bus->notifications().last().value(QStringLiteral("body")).toString(),
                 QStringLiteral("Tidewell quits when the backup of web has finished."));
        QVERIFY(readFile(LogStore::logFile(server.id)).contains("# Status:    CANCELLED\n"));
        // The run is recorded, as cancelled: a time and no exit code.
        QVERIFY(app.store()->settings().servers.first().lastRunAt.has_value());
        QCOMPARE(app.store()->settings().servers.first().lastExitCode, std::nullopt);

        // A termination signal does not ask, and lets the run write its record too.
        app.runs()->start(server, app.store());
        QTRY_VERIFY(app.runs()->isRunning());
        const int asked = int(app.dialogs()->askedTexts().size());
        app.quitForSignal(SIGTERM);
        QTRY_COMPARE_WITH_TIMEOUT(quits, 2, 15000);
        QCOMPARE(int(app.dialogs()->askedTexts().size()), asked);
        const QByteArray log = readFile(LogStore::logFile(server.id));
        QVERIFY(log.contains("Received SIGTERM: cancelling the backup.\n"));
        QVERIFY(log.contains("# Status:    CANCELLED\n"));
    }

    // Several runs at once: the tray lists each (a click shows its sheet, each
    // has its cancel), and quitting asks once for all of them.
    void theTrayAndQuitCoverEveryRun()
    {
        // Names are listed as the user's language lists them.
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const auto restore = qScopeGuard([before] { QLocale::setDefault(before); });
        TempHome home;
        TidewellApp app;
        int quits = 0;
        const Server web = startRun(app, home, quits, "exec sleep 30\n");
        const Server db = runnableServer(QStringLiteral("db"));
        app.store()->update([&](AppSettings &s) { s.servers << db; });
        app.runs()->start(db, app.store());
        QTRY_COMPARE(app.runs()->running().size(), 2);
        QTRY_COMPARE(
            actionTexts(app.trayMenu()).mid(0, 7),
            (QStringList{QStringLiteral("Running: web"), QStringLiteral("Path: Site"), QStringLiteral("Running: db"),
                         QStringLiteral("Path: Site"), QStringLiteral("---"),
                         QStringLiteral("Cancel the backup of web"), QStringLiteral("Cancel the backup of db")}));
        app.trayMenu()->actions().at(2)->trigger();
        QVERIFY(app.mainWindow()->runSheet(db.id) && app.mainWindow()->runSheet(db.id)->isVisible());
        actionTexts(app.trayMenu());
        app.trayMenu()->actions().at(5)->trigger(); // cancels web's alone
        QTRY_VERIFY_WITH_TIMEOUT(!app.runs()->isRunning(web.id), 10000);
        QVERIFY(app.runs()->isRunning(db.id));
        QCOMPARE(actionTexts(app.trayMenu()).mid(0, 4),
                 (QStringList{QStringLiteral("Running: db"), QStringLiteral("Path: Site"), QStringLiteral("---"),
                              QStringLiteral("Cancel current backup")}));

        app.runs()->start(web, app.store());
        QTRY_COMPARE(app.runs()->running().size(), 2);
        app.dialogs()->setNextAnswer(true);
        const qsizetype notices = m_bus->notifications().size();
        app.requestQuit();
        QCOMPARE(app.dialogs()->askedTexts().last().section(u'\n', 0, 0),
                 QStringLiteral("2 backups are running: “db” and “web”. Cancel them and quit?"));
        QTRY_VERIFY_WITH_TIMEOUT(!app.runs()->isRunning(), 15000);
        QTRY_COMPARE(quits, 1);
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), notices + 1, 5000);
        QCOMPARE(m_bus->notifications().last().value(QStringLiteral("body")).toString(),
                 QStringLiteral("Tidewell quits when the backups of db and web have finished."));
        for (const Server &server : {web, db})
            QVERIFY(readFile(LogStore::logFile(server.id)).contains("# Status:    CANCELLED\n"));
    }

    // A schedule that starts a program that is gone (a deleted clone) is
    // pointed at this one when the window starts, and the user is told once.
    void schedulesFollowTheProgram()
    {
        TempHome home;
        TidewellApp app;
        Server server = runnableServer();
        server.scheduleEnabled = true;
        app.store()->update([&](AppSettings &s) { s.servers = {server}; });
        Scheduler &scheduler = app.scheduler();
        scheduler.setToolPath(recordingScript(home.path() + QStringLiteral("/systemctl"),
                                              home.path() + QStringLiteral("/calls"), "exit 0\n"));
        scheduler.setExecutablePath(home.path() + QStringLiteral("/removed clone/build/tidewell"));
        QVERIFY(done(scheduler.install(server)));
        scheduler.setExecutablePath(QStringLiteral(TIDEWELL_BINARY));

        const QString said = QStringLiteral("Updated 1 daily schedule to start " TIDEWELL_BINARY ".");
        QCOMPARE(done(app.repointSchedules()), said);
        QCOMPARE(app.mainWindow()->statusBar()->currentMessage(), said);
        QCOMPARE(scheduler.scheduledExecutable(server.id), std::optional<QString>(QStringLiteral(TIDEWELL_BINARY)));
        QCOMPARE(done(app.repointSchedules()), QString());

        // Without a user manager nothing is lost, and the window says so.
        scheduler.setExecutablePath(home.path() + QStringLiteral("/another/tidewell"));
        scheduler.setToolPath(writeScript(home.path() + QStringLiteral("/systemctl-down"),
                                          "echo 'Failed to connect to bus' >&2\nexit 1\n"));
        const QByteArray service = readFile(scheduler.serviceUnitPath(server.id));
        const QString failed =
            QStringLiteral("Could not update 1 schedule(s): systemctl failed (1): Failed to connect to bus");
        QCOMPARE(done(app.repointSchedules()), failed);
        QCOMPARE(app.mainWindow()->statusBar()->currentMessage(), failed);
        QCOMPARE(readFile(scheduler.serviceUnitPath(server.id)), service);
    }

    // The run ends while "Cancel it and quit?" is open: the question is
    // settled, the dialog closes and Tidewell quits, once.
    void aQuitQuestionFollowsTheRun()
    {
        TempHome home;
        TidewellApp app;
        int quits = 0;
        const Server server = startRun(app, home, quits, "sleep 1\n");
        app.requestQuit(); // a real dialog, open until the run ends
        QVERIFY(!app.runs()->isRunning());
        QVERIFY(!app.dialogs()->isConfirming());
        QTRY_COMPARE(quits, 1);
        // No later run makes it quit again by itself.
        app.runs()->start(server, app.store());
        QTRY_VERIFY(app.runs()->isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!app.runs()->isRunning(), 15000);
        QTest::qWait(100);
        QCOMPARE(quits, 1);
    }

    void withNothingRunningQuitIsImmediate()
    {
        TempHome home;
        TidewellApp app;
        int quits = 0;
        app.setQuitForTesting([&quits] { ++quits; });
        app.requestQuit();
        QCOMPARE(quits, 1);
        QVERIFY(app.dialogs()->askedTexts().isEmpty());
    }

private:
    std::unique_ptr<DbusSessionFixture> m_bus;
};

QTEST_MAIN(TestTidewellApp)
#include "tst_TidewellApp.moc"
