// The main window, the run sheet, the dashboard and the log viewer, offscreen.
#include "core/engine/RsyncRunner.h"
#include "core/model/ReferenceDate.h"
#include "core/presentation/ServerActivity.h"
#include "core/schedule/Scheduler.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "core/system/FileLock.h"
#include "fixtures/Await.h"
#include "fixtures/EngineHarness.h"
#include "fixtures/Files.h"
#include "ui/BackupRunView.h"
#include "ui/DashboardView.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/LogViewerView.h"
#include "ui/MainWindow.h"
#include "ui/SidebarRow.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace TestHelpers;

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<EngineHarness> m_h;
    std::unique_ptr<Scheduler> m_scheduler;
    std::unique_ptr<Dialogs> m_dialogs;
    std::unique_ptr<Desktop> m_desktop;
    std::unique_ptr<MainWindow> m_window;
    QStringList m_revealed;

    static Server server(const QString &name, bool complete = true)
    {
        Server s = runnableServer(name);
        s.host = QStringLiteral("db");
        s.port = 2222;
        s.paths[0].name = QStringLiteral("p");
        s.paths[0].remotePath = complete ? QStringLiteral("/srv") : QString();
        return s;
    }

    // A fake rsync that keeps running until cancelled, printing progress first.
    void useSlowRsync()
    {
        RsyncProbe probe;
        probe.isModern = true;
        probe.executable = writeScript(m_h->home.path() + QStringLiteral("/rsync"),
                                       "printf ' 42%% ok\\n'\necho 'rsync: oops' >&2\nexec sleep 30\n");
        m_h->runner.setRsyncProbe(probe);
    }

private Q_SLOTS:
    void init()
    {
        m_h = std::make_unique<EngineHarness>();
        m_scheduler = m_h->scheduler("exit 1\n");
        m_dialogs = std::make_unique<Dialogs>();
        m_desktop = std::make_unique<Desktop>();
        m_revealed.clear();
        m_desktop->setRecorder([this](const QString &what, const QString &path) { m_revealed << what + u' ' + path; });
        m_window = std::make_unique<MainWindow>(&m_h->store, &m_h->runner, m_scheduler.get(), m_dialogs.get(), m_desktop.get());
        m_window->show();
    }

    void cleanup()
    {
        m_h->runner.cancel();
        m_window.reset();
        m_h.reset();
    }

    void minimumSizeAndTitle()
    {
        QCOMPARE(m_window->minimumSize(), QSize(920, 600));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Tidewell"));
    }

    void sidebarMetaLinesAndEnabling()
    {
        Server never = server(QStringLiteral("never"));
        Server ok = server(QStringLiteral("ok"));
        ok.lastRunAt = ReferenceDate::now() - 2 * 3600 - 30;
        ok.lastExitCode = 0;
        Server failed = server(QStringLiteral("failed"));
        failed.lastRunAt = ReferenceDate::now() - 90;
        failed.lastExitCode = 23;
        Server incomplete = server(QStringLiteral("incomplete"), false);
        incomplete.host.clear();
        m_h->store.update([&](AppSettings &s) { s.servers = {never, ok, failed, incomplete}; });
        const QList<SidebarRow *> rows = m_window->sidebarRows();
        QCOMPARE(rows.size(), 4);
        QVERIFY(rows[0]->metaText().contains(QStringLiteral(">db<")));
        QVERIFY(rows[1]->metaText().contains(QStringLiteral("2 hours ago")));
        QVERIFY(rows[1]->metaText().contains(QStringLiteral("#2e9e4f")));
        QVERIFY(rows[2]->metaText().contains(QStringLiteral("1 minute ago")));
        QVERIFY(rows[2]->metaText().contains(QStringLiteral("#d13b3b")));
        QVERIFY(!rows[3]->metaText().contains(QStringLiteral("●")));
        QVERIFY(rows[0]->runButtonEnabled());
        QVERIFY(!rows[3]->runButtonEnabled());
    }

    void oneRuleForEveryStartControl()
    {
        // An enabled path without a remote path would be refused by the run: nothing offers to start it.
        Server mixed = server(QStringLiteral("mixed"));
        BackupPath empty;
        empty.remotePath.clear();
        mixed.paths.append(empty);
        m_h->store.update([&](AppSettings &s) { s.servers = {mixed}; });
        QVERIFY(!m_window->sidebarRows().first()->canRun());
        QVERIFY(!m_window->canRun(mixed));
        m_window->runBackup(mixed); // refused without a word
        QVERIFY(!m_window->runSheet());
        QVERIFY(!m_h->runner.isRunning());
    }

    void runningShowsInTheRowAndTheSheet()
    {
        useSlowRsync();
        const Server s = server(QStringLiteral("web"));
        m_h->store.update([&](AppSettings &settings) { settings.servers = {s}; });
        m_window->runBackup(s);
        QVERIFY(m_window->runSheet());
        QTRY_VERIFY(m_h->runner.isRunning());
        BackupRunView *sheet = m_window->runSheet();
        QTRY_COMPARE(m_h->runner.progressPercent(), std::optional<double>(42));
        QTRY_VERIFY(sheet->shownLog().contains(QStringLiteral("! rsync: oops")));
        QVERIFY(sheet->headerText().startsWith(QStringLiteral("Running: ")));
        QVERIFY(m_window->sidebarRows().first()->metaText().contains(QStringLiteral("running…")));
        QVERIFY(!sheet->findChild<QPushButton *>(QStringLiteral("revealDestination"))->isVisible());
        QVERIFY(sheet->findChild<QPushButton *>(QStringLiteral("cancelRun"))->isVisible());
        // Everything else refuses a second run.
        QVERIFY(!m_window->canRun(s));
        QTest::mouseClick(sheet->findChild<QPushButton *>(QStringLiteral("cancelRun")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!m_h->runner.isRunning(), 10000);
        QCOMPARE(sheet->headerText(), QStringLiteral("Backup cancelled"));
        QVERIFY(sheet->findChild<QPushButton *>(QStringLiteral("revealDestination"))->isVisible());
        QVERIFY(sheet->findChild<QPushButton *>(QStringLiteral("closeRun"))->isDefault());
        const QStringList log = m_h->runner.logLines();
        QTRY_COMPARE(sheet->shownLog(), log.join(u'\n'));
        const qsizetype errorLine = log.indexOf(QStringLiteral("! rsync: oops"));
        QCOMPARE(sheet->redLineNumbers(), QList<int>{int(errorLine)});
        QTest::mouseClick(sheet->findChild<QPushButton *>(QStringLiteral("copyLog")), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), log.join(u'\n'));
    }

    void theSheetStaysWhileARunIsActive()
    {
        useSlowRsync();
        const Server s = server(QStringLiteral("web"));
        m_h->store.update([&](AppSettings &settings) { settings.servers = {s}; });
        m_window->runBackup(s);
        BackupRunView *sheet = m_window->runSheet();
        QTRY_VERIFY(m_h->runner.isRunning());
        QTest::keyClick(sheet, Qt::Key_Escape);
        QVERIFY(!sheet->close());
        QVERIFY(sheet->isVisible());
        m_h->runner.cancel();
        QTRY_VERIFY_WITH_TIMEOUT(!m_h->runner.isRunning(), 10000);
        QTest::keyClick(sheet, Qt::Key_Escape);
        QTRY_VERIFY(!m_window->runSheet());
    }

    void aServerBackedUpElsewhereShowsAsRunning()
    {
        const Server s = server(QStringLiteral("web"));
        m_h->store.update([&](AppSettings &settings) { settings.servers = {s}; });
        QVERIFY(m_window->sidebarRows().first()->runButtonEnabled());
        auto held = FileLock::tryLock(AppPaths::runLockFile(s.id)); // a scheduled run in another process
        QVERIFY(held);
        m_window->activity()->poll();
        QVERIFY(m_window->sidebarRows().first()->metaText().contains(QStringLiteral("running…")));
        QVERIFY(!m_window->canRun(s));
        // Started anyway (the tray, a second window), the run says why it does not start.
        m_h->runner.setRsyncProbe(m_h->fakeRsync(0));
        QVERIFY(awaitVoid(m_h->runner.run(s, &m_h->store)));
        BackupRunView sheet(&m_h->runner, m_desktop.get());
        QCOMPARE(sheet.headerText(), QStringLiteral("Backup not started"));
        QCOMPARE(sheet.shownLog(), QStringLiteral("A backup of “web” is already running."));
        held->unlock();
        m_window->activity()->poll();
        QVERIFY(m_window->sidebarRows().first()->runButtonEnabled());
    }

    void runSheetHeaderStates()
    {
        BackupRunView sheet(&m_h->runner, m_desktop.get());
        QCOMPARE(sheet.headerText(), QStringLiteral("Preparing…"));
        QVERIFY(!sheet.findChild<QPushButton *>(QStringLiteral("copyLog"))->isEnabled());
        QVERIFY(sheet.minimumWidth() >= 740 && sheet.minimumHeight() >= 480);
        // Only "! " lines are red; "!! " is the run's own line.
        m_h->runner.append(QStringLiteral("plain"));
        m_h->runner.append(QStringLiteral("! from rsync"));
        m_h->runner.append(QStringLiteral("!! pre-backup command failed — skipping rsync for this path"));
        QTRY_COMPARE(sheet.redLineNumbers(), QList<int>{1});
        QCOMPARE(sheet.shownLog().split(u'\n').size(), 3);
    }

    void dashboardCountersAndCards()
    {
        Server ok = server(QStringLiteral("ok"));
        ok.lastExitCode = 0; // no lastRunAt
        Server bad = server(QStringLiteral("bad"));
        bad.lastExitCode = 5;
        bad.scheduleEnabled = true;
        Server blank = server(QString());
        blank.host.clear();
        m_h->store.update([&](AppSettings &s) { s.servers = {ok, bad, blank}; });
        DashboardView *dash = m_window->dashboard();
        QCOMPARE(dash->counterText(QStringLiteral("Servers")), QStringLiteral("3"));
        QCOMPARE(dash->counterText(QStringLiteral("Healthy")), QStringLiteral("1"));
        QCOMPARE(dash->counterText(QStringLiteral("Failing")), QStringLiteral("1"));
        QCOMPARE(dash->counterText(QStringLiteral("Scheduled")), QStringLiteral("1"));
        QWidget *okCard = dash->findChild<QWidget *>(QStringLiteral("card-") + ok.id.toString(QUuid::WithoutBraces));
        QCOMPARE(okCard->findChild<QLabel *>(QStringLiteral("cardHealth"))->text(), QStringLiteral("Healthy"));
        QCOMPARE(okCard->findChild<QLabel *>(QStringLiteral("cardHost"))->text(), QStringLiteral("db:2222"));
        QVERIFY(!okCard->findChild<QLabel *>(QStringLiteral("cardNext")));
        QWidget *blankCard = dash->findChild<QWidget *>(QStringLiteral("card-") + blank.id.toString(QUuid::WithoutBraces));
        QCOMPARE(blankCard->findChild<QLabel *>(QStringLiteral("cardHost"))->text(), QStringLiteral("—"));
        QCOMPARE(blankCard->findChild<QLabel *>(QStringLiteral("cardHealth"))->text(), QStringLiteral("Never ran"));
        QVERIFY(!blankCard->findChild<QPushButton *>(QStringLiteral("cardRun"))->isEnabled());
        QWidget *badCard = dash->findChild<QWidget *>(QStringLiteral("card-") + bad.id.toString(QUuid::WithoutBraces));
        QCOMPARE(badCard->findChild<QLabel *>(QStringLiteral("cardNext"))->text(), QStringLiteral("daily 03:00"));
        QCOMPARE(DashboardView::columnsFor(280), 1);
        QCOMPARE(DashboardView::columnsFor(572), 2);
        QCOMPARE(DashboardView::columnsFor(571), 1);
        // Configure selects the server.
        QTest::mouseClick(badCard->findChild<QPushButton *>(QStringLiteral("cardConfigure")), Qt::LeftButton);
        QCOMPARE(m_window->selection(), std::optional<QUuid>(bad.id));
    }

    void addDuplicateDelete()
    {
        m_window->addServer();
        QCOMPARE(m_h->store.settings().servers.size(), 1);
        const Server added = m_h->store.settings().servers.first();
        QCOMPARE(added.name, QStringLiteral("New Server"));
        QCOMPARE(m_window->selection(), std::optional<QUuid>(added.id));

        Server web = server(QStringLiteral("web"));
        web.scheduleEnabled = true;
        web.lastExitCode = 0;
        m_h->store.update([&](AppSettings &s) { s.servers.prepend(web); });
        m_window->duplicate(web);
        QCOMPARE(m_h->store.settings().servers.at(1).name, QStringLiteral("web (copy)"));
        QVERIFY(!m_h->store.settings().servers.at(1).scheduleEnabled);
        QCOMPARE(m_window->selection(), std::optional<QUuid>(m_h->store.settings().servers.at(1).id));

        // Cancel keeps it; confirming uninstalls the schedule (whose failure is ignored) and removes it.
        m_dialogs->setNextAnswer(false);
        m_window->confirmDelete(web);
        QCOMPARE(m_h->store.settings().servers.size(), 3);
        QCOMPARE(m_dialogs->askedTexts().last(),
                 QStringLiteral("Delete “web”?\nThis removes the server configuration. Local backups are not touched."));
        writeFile(m_scheduler->plistURL(web.id), "x"); // something to uninstall; systemctl fails
        m_dialogs->setNextAnswer(true);
        m_window->confirmDelete(web);
        QCOMPARE(m_h->store.settings().servers.size(), 2);
        QVERIFY(readFile(m_h->calls()).contains("disable --now"));
        QVERIFY(m_window->selection().has_value()); // another server was selected

        const Server selected = m_h->store.settings().server(*m_window->selection()) ? *m_h->store.settings().server(*m_window->selection()) : Server{};
        m_dialogs->setNextAnswer(true);
        m_window->confirmDelete(selected);
        QVERIFY(!m_window->selection());
        QCOMPARE(m_window->detailWidget(), static_cast<QWidget *>(m_window->dashboard()));
    }

    void openBackupsFolderCreatesTheServerFolder()
    {
        m_h->store.update([](AppSettings &s) { s.destinationPath = QStringLiteral("~/Backups"); });
        m_window->openBackupsFolder(server(QStringLiteral("web/prod")));
        const QString folder = m_h->home.home() + QStringLiteral("/Backups/web_prod");
        QVERIFY(QDir(folder).exists());
        QCOMPARE(m_revealed, QStringList{QStringLiteral("reveal ") + folder});
        m_window->openBackupsFolder(server(QString()));
        QVERIFY(QDir(m_h->home.home() + QStringLiteral("/Backups/unnamed")).exists());
    }

    void footerNamesTheLatest()
    {
        QCOMPARE(m_window->lastBackupFooterText(), QStringLiteral("No backups yet"));
        Server a = server(QStringLiteral("a"));
        a.lastRunAt = 500;
        Server b = server(QString());
        b.lastRunAt = 500;
        m_h->store.update([&](AppSettings &s) { s.servers = {b, a}; });
        QVERIFY(m_window->lastBackupFooterText().endsWith(QStringLiteral("\n(untitled)")));
    }

    void logViewer()
    {
        Server s = server(QString());
        LogViewerView missing(s, m_desktop.get());
        QCOMPARE(missing.shownText(), QStringLiteral("No log available for this server."));
        QVERIFY(!missing.findChild<QPushButton *>(QStringLiteral("revealLog"))->isEnabled());
        QCOMPARE(missing.findChild<QLabel *>(QStringLiteral("logServerName"))->text(), QStringLiteral("(untitled)"));
        QVERIFY(!missing.findChild<QLabel *>(QStringLiteral("logResult")));
        QTest::mouseClick(missing.findChild<QPushButton *>(QStringLiteral("copyLogFile")), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("No log available for this server."));

        LogStore::save(s.id, QStringLiteral("# Tidewell log"), {QStringLiteral("line")});
        s.lastExitCode = 23;
        LogViewerView present(s, m_desktop.get());
        QCOMPARE(present.shownText(), QStringLiteral("# Tidewell log\nline\n"));
        QCOMPARE(present.findChild<QLabel *>(QStringLiteral("logResult"))->text(), QStringLiteral("Failed (exit 23)"));
        QTest::mouseClick(present.findChild<QPushButton *>(QStringLiteral("revealLog")), Qt::LeftButton);
        QCOMPARE(m_revealed.last(), QStringLiteral("reveal ") + LogStore::logFile(s.id));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
