// SPDX-License-Identifier: GPL-3.0-or-later
// The windowed application: shared objects, windows and tray.
#include "ui/TidewellApp.h"

#include "core/engine/RsyncRunner.h"
#include "core/engine/RunPool.h"
#include "core/presentation/MenuBarContent.h"
#include "core/presentation/OverdueWatch.h"
#include "core/presentation/ServerActivity.h"
#include "core/presentation/ServerListModel.h"
#include "core/presentation/ServerRules.h"
#include "core/report/CopyAfterRun.h"
#include "core/report/RunNotifier.h"
#include "core/report/RunReporter.h"
#include "core/schedule/ScheduleStatus.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/NotificationService.h"
#include "core/system/SignalWatcher.h"
#include "ui/main/MainWindow.h"
#include "ui/settings/SettingsView.h"
#include "ui/widgets/Desktop.h"
#include "ui/widgets/Dialogs.h"
#include "ui/widgets/Icons.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLocale>
#include <QMenu>
#include <QSessionManager>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>

#include <qcoro/qcorotask.h>

TidewellApp::TidewellApp(QObject *parent)
    : QObject(parent)
    , m_quit([] { QApplication::quit(); })
    , m_trayAvailable([] { return QSystemTrayIcon::isSystemTrayAvailable(); })
    , m_trayMenu(std::make_unique<QMenu>())
{
    m_context.store = new ConfigStore(this);
    m_context.runs = new RunPool(this);
    m_context.scheduler = &m_scheduler;
    m_context.dialogs = new Dialogs(this);
    m_context.desktop = new Desktop(this);
    m_context.activity = new ServerActivity(m_context.store, m_context.runs, this);
    m_context.schedules = new ScheduleStatus(m_context.store, &m_scheduler, this);
    m_context.servers =
        new ServerListModel(m_context.store, m_context.runs, m_context.activity, m_context.schedules, this);
    connectReports();

    m_mainWindow = new MainWindow(m_context);
    m_mainWindow->setAttribute(Qt::WA_QuitOnClose, false);
    connect(m_mainWindow, &MainWindow::settingsRequested, this, &TidewellApp::openSettings);
    connect(m_mainWindow, &MainWindow::quitRequested, this, &TidewellApp::requestQuit);
    connect(m_context.runs, &RunPool::runningChanged, this, [this] {
        // The question about quitting was about runs that have all ended now.
        if (m_askingToQuit && !m_context.runs->isRunning())
            m_context.dialogs->closeConfirmation(true);
    });
    // Quitting waits for the last run's record (or its wait for a slot ending).
    connect(m_context.runs, &RunPool::runFinished, this, &TidewellApp::runEnded);
    connect(m_context.runs, &RunPool::runRefused, this, &TidewellApp::runEnded);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TidewellApp::commitData);

    connectTrayMenu();
}

// Overdue servers and finished runs: the summaries, notifications and reports.
void TidewellApp::connectReports()
{
    m_overdue = new OverdueWatch(m_context.store, this);
    // The summary's "Show": the dashboard, where they are listed.
    connect(m_overdue, &OverdueWatch::attentionRequested, this, [this] {
        openMainWindow();
        m_mainWindow->showNeedingAttention();
    });
    m_copies = new CopyFollower(m_context.store, this);
    connect(m_context.runs, &RunPool::runnerAdded, this, &TidewellApp::followRuns);
    NotificationService::requestAuthorizationIfNeeded();
    // Results that scheduled runs record on disk show up in the window.
    m_context.store->setWatchesFile(true);
}

void TidewellApp::followRuns(RsyncRunner *runner)
{
    auto *notifier = new RunNotifier(runner, RunNotifier::Actions::offered, runner);
    // Runs started here report where Settings say, and are copied, as scheduled ones are.
    new RunReporter(runner, runner);
    m_copies->follow(runner);
    // A click on a run's notification shows that server; "View log" its log.
    connect(notifier, &RunNotifier::serverRequested, this, [this](const QUuid &id) {
        openMainWindow();
        if (m_context.store->settings().server(id))
            m_mainWindow->select(id);
    });
    connect(notifier, &RunNotifier::logRequested, this, [this](const QUuid &id) {
        openMainWindow();
        if (const Server *server = m_context.store->settings().server(id))
            m_mainWindow->viewLastLog(*server);
    });
}

void TidewellApp::runEnded()
{
    if (m_quitAfterRun && !m_context.runs->isRunning())
        quitWhenSchedulesSettle();
}

void TidewellApp::connectTrayMenu()
{
    // The menu is built when it is about to show, from the state then; while
    // it is open, its running lines follow the run.
    connect(m_trayMenu.get(), &QMenu::aboutToShow, this, &TidewellApp::rebuildTrayMenu);
    m_trayMenu->setToolTipsVisible(true);
    connect(m_context.runs, &RunPool::progressChanged, this, &TidewellApp::followRunInMenu);
    connect(m_context.runs, &RunPool::runningChanged, this, &TidewellApp::followRunInMenu);
    connect(m_context.runs, &RunPool::runningChanged, this, &TidewellApp::updateTrayIcon);
}

TidewellApp::~TidewellApp()
{
    delete m_settings;
    delete m_mainWindow;
}

SettingsView *TidewellApp::settingsWindow() const
{
    return m_settings;
}

bool TidewellApp::showTray()
{
    if (m_tray)
        return true;
    if (!m_trayAvailable())
        return false;
    m_trayLookout.stop();
    m_tray = new QSystemTrayIcon(this);
    m_tray->setToolTip(QStringLiteral("Tidewell"));
    m_tray->setContextMenu(m_trayMenu.get());
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            toggleMainWindow();
    });
    updateTrayIcon();
    m_tray->show();
    // With a tray, closing the window leaves Tidewell running there.
    m_mainWindow->setAttribute(Qt::WA_QuitOnClose, false);
    QApplication::setQuitOnLastWindowClosed(false);
    return true;
}

void TidewellApp::watchForTray()
{
    // A panel started after the window: its StatusNotifierWatcher appears on
    // the session bus, or its host registers with one there.
    auto *watcher = new QDBusServiceWatcher(statusNotifierWatcher, QDBusConnection::sessionBus(),
                                            QDBusServiceWatcher::WatchForRegistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, &TidewellApp::trayHostAppeared);
    QDBusConnection::sessionBus().connect(statusNotifierWatcher, QStringLiteral("/StatusNotifierWatcher"),
                                          statusNotifierWatcher, QStringLiteral("StatusNotifierHostRegistered"), this,
                                          SLOT(trayHostAppeared()));
    // An X11 tray (XEmbed) says nothing on the bus: looked for now and then.
    m_trayLookout.setInterval(10000);
    connect(&m_trayLookout, &QTimer::timeout, this, &TidewellApp::trayHostAppeared);
    m_trayLookout.start();
}

void TidewellApp::trayHostAppeared()
{
    // The host may register a moment after its watcher: looked for again soon.
    if (!showTray() && !m_trayLookout.isActive())
        m_trayLookout.start();
}

void TidewellApp::start()
{
    if (!showTray()) {
        m_mainWindow->setAttribute(Qt::WA_QuitOnClose, true);
        QApplication::setQuitOnLastWindowClosed(true);
        watchForTray();
    }
    openMainWindow();
    m_mainWindow->showConfigProblems();
    // After the first frame: rewriting schedules runs systemctl.
    m_scheduler.setSpreadMinutes(int(std::clamp<qint64>(m_context.store->settings().scheduleSpreadMinutes, 0, 720)));
    m_respread.setSingleShot(true);
    m_respread.setInterval(1500);
    connect(&m_respread, &QTimer::timeout, this,
            [this] { QCoro::connect(repointSchedules(), this, [](const QString &) {}); });
    connect(m_context.store, &ConfigStore::settingsChanged, this, [this] {
        const int spread = int(std::clamp<qint64>(m_context.store->settings().scheduleSpreadMinutes, 0, 720));
        if (spread != m_scheduler.spreadMinutes()) {
            m_scheduler.setSpreadMinutes(spread);
            m_respread.start();
        }
    });
    QTimer::singleShot(0, this, [this] {
        QCoro::connect(repointSchedules(), this, [](const QString &) {});
        m_context.store->startScheduleClocks();
        m_overdue->start();
    });
}

QCoro::Task<QString> TidewellApp::repointSchedules()
{
    QPointer<TidewellApp> self(this);
    const Scheduler::Repair repair = co_await m_scheduler.repointJobs(m_context.store->settings().servers);
    if (!self)
        co_return QString();
    for (const QString &error : repair.errors)
        DiagnosticLog::write(QStringLiteral("Schedule update failed: ") + error);
    QStringList messages;
    if (repair.updated > 0 || repair.respread > 0)
        m_context.schedules->refresh();
    if (repair.respread > 0)
        m_mainWindow->statusBar()->showMessage(
            m_scheduler.spreadMinutes() > 0
                ? tr("%n daily schedule(s) now start within %1 minutes of their time.", nullptr, repair.respread)
                      .arg(m_scheduler.spreadMinutes())
                : tr("%n daily schedule(s) now start on time.", nullptr, repair.respread));
    if (repair.updated > 0) {
        messages << tr("Updated %n daily schedule(s) to start %1.", nullptr, repair.updated).arg(repair.executable);
    }
    if (!repair.errors.isEmpty()) {
        // The earlier units were put back: those schedules still start the old program.
        messages << (repair.errors.size() > 1 ? tr("Could not update %1 schedule(s): %2 (and %n more)", nullptr,
                                                   int(repair.errors.size() - 1))
                                                    .arg(QString::number(repair.errors.size()), repair.errors.first())
                                              : tr("Could not update %1 schedule(s): %2")
                                                    .arg(QString::number(repair.errors.size()), repair.errors.first()));
    }
    if (messages.isEmpty())
        co_return QString();
    const QString message = messages.join(u' ');
    NotificationService::Content content;
    content.body = message;
    NotificationService::post(content);
    m_mainWindow->statusBar()->showMessage(message);
    co_return message;
}

void TidewellApp::updateTrayIcon()
{
    if (m_tray)
        m_tray->setIcon(m_context.runs->isRunning() ? Icons::get(QStringLiteral("view-refresh"))
                                                    : Icons::application());
}

void TidewellApp::openMainWindow()
{
    // A minimised window comes back as it was (maximised stays maximised).
    if (m_mainWindow->isMinimized())
        m_mainWindow->setWindowState((m_mainWindow->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    m_mainWindow->show();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

void TidewellApp::toggleMainWindow()
{
    if (m_mainWindow->isVisible() && !m_mainWindow->isMinimized())
        m_mainWindow->hide();
    else
        openMainWindow();
}

void TidewellApp::openSettings()
{
    if (!m_settings)
        m_settings = new SettingsView(m_context.store, &m_scheduler, m_context.dialogs, m_context.desktop);
    m_settings->show();
    m_settings->raise();
    m_settings->activateWindow();
}

namespace {

QList<MenuBarContent::Run> runsOf(const RunPool *pool)
{
    QList<MenuBarContent::Run> runs;
    for (const RsyncRunner *runner : pool->running()) {
        MenuBarContent::Run run;
        run.serverID = runner->runServer().id;
        run.progressPercent = runner->progressPercent();
        run.currentItem = runner->currentItem();
        run.waiting = runner->isWaitingForSlot();
        runs << run;
    }
    return runs;
}

QList<QUuid> serversOf(const QList<MenuBarContent::Run> &runs)
{
    QList<QUuid> servers;
    for (const MenuBarContent::Run &run : runs)
        servers << run.serverID;
    return servers;
}

} // namespace

void TidewellApp::followRunInMenu()
{
    if (!m_trayMenu->isVisible())
        return;
    const QList<MenuBarContent::Run> runs = runsOf(m_context.runs);
    if (serversOf(runs) != m_menuRuns) {
        rebuildTrayMenu();
        return;
    }
    for (const MenuBarContent::Run &run : runs) {
        const QString text = MenuBarContent::progressLine(run);
        QAction *line = m_progressLines.value(run.serverID);
        if (!line && !text.isEmpty()) {
            rebuildTrayMenu(); // its first progress
            return;
        }
        if (line)
            line->setText(
                MenuBarContent::escapedForMenu(m_trayMenu->fontMetrics().elidedText(text, Qt::ElideMiddle, 420)));
    }
}

namespace {

MenuBarContent::RunInfo runInfoOf(const AppContext &context)
{
    MenuBarContent::RunInfo state;
    state.runs = runsOf(context.runs);
    context.activity->poll();
    state.runningElsewhere = context.activity->runningElsewhere();
    return state;
}

QHash<QUuid, MenuBarContent::ScheduleLine> scheduleLinesOf(const AppContext &context)
{
    QHash<QUuid, MenuBarContent::ScheduleLine> schedules;
    for (const Server &server : context.store->settings().servers) {
        if (!server.scheduleEnabled)
            continue;
        const ScheduleStatus::State schedule = context.schedules->state(server.id);
        schedules.insert(
            server.id,
            {schedule.kind == ScheduleStatus::State::Kind::broken ? schedule.message : QString(), schedule.next});
    }
    return schedules;
}

} // namespace

void TidewellApp::rebuildTrayMenu()
{
    const MenuBarContent::RunInfo state = runInfoOf(m_context);
    const QHash<QUuid, MenuBarContent::ScheduleLine> schedules = scheduleLinesOf(m_context);
    QList<MenuBarContent::Entry> entries = MenuBarContent::build(m_context.store->settings(), state, schedules);
    m_menuRuns = serversOf(state.runs);
    // The same menu keeps its entries: a tray host that keeps the menu's
    // items by their ids (dbusmenu) still finds them.
    if (entries == m_trayEntries && !m_trayMenu->isEmpty())
        return;
    m_trayEntries = std::move(entries);
    m_progressLines.clear();
    // The menu owns its submenus; the old ones go with the old entries.
    m_trayMenu->clear();
    qDeleteAll(m_trayMenu->findChildren<QMenu *>(Qt::FindDirectChildrenOnly));
    fillTrayMenu(m_trayMenu.get(), m_trayEntries);
}

void TidewellApp::fillTrayMenu(QMenu *menu, const QList<MenuBarContent::Entry> &entries)
{
    for (const MenuBarContent::Entry &entry : entries) {
        if (entry.kind == MenuBarContent::Entry::Kind::separator)
            menu->addSeparator();
        else
            addTrayEntry(menu, entry);
    }
}

void TidewellApp::addTrayEntry(QMenu *menu, const MenuBarContent::Entry &entry)
{
    using Kind = MenuBarContent::Entry::Kind;
    // Long names are cut with "…" and shown whole as the tooltip.
    const QString text = menu->fontMetrics().elidedText(entry.text, Qt::ElideRight, 420);
    QAction *action;
    if (entry.kind == Kind::submenu) {
        auto *submenu = new QMenu(MenuBarContent::escapedForMenu(text), m_trayMenu.get());
        submenu->setToolTipsVisible(true);
        action = menu->addMenu(submenu);
        fillTrayMenu(submenu, entry.children);
    } else {
        action = menu->addAction(MenuBarContent::escapedForMenu(text));
    }
    if (text != entry.text)
        action->setToolTip(entry.text);
    if (entry.kind == Kind::submenu)
        return;
    action->setEnabled(entry.kind == Kind::action && entry.enabled);
    if (!entry.shortcut.isEmpty())
        action->setShortcut(QKeySequence(entry.shortcut));
    // An info line of a server is its run's progress, kept up to date while the menu is open.
    if (entry.kind == Kind::info && !entry.serverID.isNull())
        m_progressLines.insert(entry.serverID, action);
    const MenuBarContent::Action what = entry.action;
    const QUuid id = entry.serverID;
    connect(action, &QAction::triggered, this, [this, what, id] { triggerTrayAction(what, id); });
}

void TidewellApp::triggerTrayAction(MenuBarContent::Action what, const QUuid &id)
{
    using MenuBarContent::Action;
    switch (what) {
    case Action::runBackup:
        if (const Server *server = m_context.store->settings().server(id)) {
            const Server copy = *server;
            openMainWindow();
            m_mainWindow->runBackup(copy, false);
        }
        break;
    case Action::showRun:
        openMainWindow();
        m_mainWindow->showRun(id);
        break;
    case Action::cancel:
        if (RsyncRunner *runner = m_context.runs->runnerFor(id))
            runner->cancel();
        break;
    case Action::openMainWindow:
        openMainWindow();
        break;
    case Action::openSettings:
        openSettings();
        break;
    case Action::quit:
        requestQuit();
        break;
    case Action::none:
        break;
    }
}

namespace {

// The names of the servers being backed up, as a sentence lists them;
// nothing for more than a few.
QString namesOf(const QList<RsyncRunner *> &runners, bool shortened)
{
    constexpr qsizetype most = 5;
    if (runners.size() > most)
        return {};
    QStringList names;
    for (const RsyncRunner *runner : runners) {
        const QString name = runner->runServer().shownName();
        names << (shortened ? NotificationService::shortName(name)
                            : TidewellApp::tr("“%1”", "a server's name quoted in a sentence").arg(name));
    }
    return QLocale().createSeparatedList(names);
}

} // namespace

bool TidewellApp::confirmCancelForQuit()
{
    const QList<RsyncRunner *> &running = m_context.runs->running();
    if (running.size() == 1)
        return m_context.dialogs->confirm(
            m_mainWindow, tr("Quit Tidewell"),
            tr("A backup of “%1” is running. Cancel it and quit?").arg(running.first()->runServer().shownName()),
            tr("The backup stops, its log is written and its result recorded before Tidewell quits."),
            tr("Cancel Backup and Quit"));
    const int count = int(running.size());
    const QString names = namesOf(running, false);
    return m_context.dialogs->confirm(
        m_mainWindow, tr("Quit Tidewell"),
        names.isEmpty() ? tr("%n backups are running. Cancel them and quit?", nullptr, count)
                        : tr("%n backups are running: %1. Cancel them and quit?", nullptr, count).arg(names),
        tr("The backups stop, their logs are written and their results recorded before Tidewell quits."),
        tr("Cancel Backups and Quit"));
}

void TidewellApp::requestQuit()
{
    if (!m_context.runs->isRunning()) {
        quitWhenSchedulesSettle();
        return;
    }
    // The question follows the runs: when they all end while it is asked,
    // that settles it (see runningChanged above), and Tidewell quits.
    m_askingToQuit = true;
    const bool confirmed = confirmCancelForQuit();
    m_askingToQuit = false;
    if (!confirmed)
        return;
    if (!m_context.runs->isRunning()) {
        quitWhenSchedulesSettle();
        return;
    }
    m_quitAfterRun = true;
    // Asked from the tray, with the window closed: the process that stays a
    // moment says why.
    const QList<RsyncRunner *> &running = m_context.runs->running();
    const QString names = namesOf(running, true);
    NotificationService::Content content;
    if (running.size() == 1)
        content.body = tr("Tidewell quits when the backup of %1 has finished.").arg(names);
    else if (names.isEmpty())
        content.body = tr("Tidewell quits when %n backups have finished.", nullptr, int(running.size()));
    else
        content.body = tr("Tidewell quits when the backups of %1 have finished.").arg(names);
    NotificationService::post(content);
    m_context.runs->cancelAll();
}

void TidewellApp::quitWhenSchedulesSettle()
{
    // A schedule being installed or removed is finished first (systemd
    // answers in moments), so quitting never leaves one half made.
    if (!m_scheduler.isBusy()) {
        m_quit();
        return;
    }
    auto *wait = new QTimer(this);
    QElapsedTimer clock;
    clock.start();
    connect(wait, &QTimer::timeout, this, [this, wait, clock] {
        if (m_scheduler.isBusy() && clock.elapsed() < 10000)
            return;
        wait->deleteLater();
        m_quit();
    });
    wait->start(20);
}

void TidewellApp::quitForSignal(int signalNumber)
{
    if (!m_context.runs->isRunning()) {
        quitWhenSchedulesSettle();
        return;
    }
    for (RsyncRunner *runner : m_context.runs->running())
        runner->append(QStringLiteral("Received ") + SignalWatcher::name(signalNumber)
                       + QStringLiteral(": cancelling the backup."));
    m_quitAfterRun = true;
    m_context.runs->cancelAll();
}

void TidewellApp::pauseOnRequest()
{
    // Only the runs that `tidewell --pause` named.
    const QList<RsyncRunner *> running = m_context.runs->running();
    for (RsyncRunner *runner : running) {
        const std::optional<QUuid> id = runner->runningServerID();
        if (!id || !QFile::remove(AppPaths::pauseRequestFile(*id)))
            continue;
        runner->append(QStringLiteral("Asked to pause (tidewell --pause)."));
        runner->pause();
    }
}

void TidewellApp::commitData(QSessionManager &manager)
{
    if (!m_context.runs->isRunning())
        return;
    if (manager.allowsInteraction()) {
        const bool stop = confirmCancelForQuit();
        manager.release();
        if (!stop) {
            manager.cancel();
            return;
        }
    }
    // The session ends: stop the runs and let them write their records first.
    QEventLoop loop;
    const auto ended = [this, &loop] {
        if (!m_context.runs->isRunning())
            loop.quit();
    };
    connect(m_context.runs, &RunPool::runFinished, &loop, ended);
    connect(m_context.runs, &RunPool::runRefused, &loop, ended);
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    m_context.runs->cancelAll();
    if (m_context.runs->isRunning())
        loop.exec();
}
