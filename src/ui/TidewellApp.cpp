// The windowed application: store, runner, windows and tray.
#include "ui/TidewellApp.h"

#include "core/engine/RsyncRunner.h"
#include "core/presentation/MenuBarContent.h"
#include "core/presentation/ServerActivity.h"
#include "core/presentation/ServerRules.h"
#include "core/RunNotifier.h"
#include "core/storage/ConfigStore.h"
#include "core/system/NotificationService.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/Icons.h"
#include "ui/MainWindow.h"
#include "ui/SettingsView.h"

#include <QApplication>
#include <QEventLoop>
#include <QSessionManager>
#include <QTimer>
#include <QMenu>
#include <QSystemTrayIcon>

#include <qcoro/qcorotask.h>

TidewellApp::TidewellApp(QObject *parent)
    : QObject(parent)
    , m_store(new ConfigStore(this))
    , m_runner(new RsyncRunner(this))
    , m_notifier(new RunNotifier(m_runner, this))
    , m_activity(new ServerActivity(m_store, m_runner, this))
    , m_quit([] { QApplication::quit(); })
    , m_dialogs(new Dialogs(this))
    , m_desktop(new Desktop(this))
    , m_trayMenu(std::make_unique<QMenu>())
{
    NotificationService::requestAuthorizationIfNeeded();
    // Results that scheduled runs record on disk show up in the window.
    m_store->setWatchesFile(true);
    m_mainWindow = new MainWindow(m_store, m_runner, &m_scheduler, m_dialogs, m_desktop, m_activity);
    m_mainWindow->setAttribute(Qt::WA_QuitOnClose, false);
    connect(m_mainWindow, &MainWindow::settingsRequested, this, &TidewellApp::openSettings);
    connect(m_mainWindow, &MainWindow::quitRequested, this, &TidewellApp::requestQuit);
    connect(m_runner, &RsyncRunner::runFinished, this, [this] {
        if (m_quitAfterRun)
            m_quit();
    });
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TidewellApp::commitData);

    connect(m_store, &ConfigStore::settingsChanged, this, &TidewellApp::rebuildTrayMenu);
    for (auto signal : {&RsyncRunner::isRunningChanged, &RsyncRunner::runningServerIDChanged, &RsyncRunner::progressPercentChanged,
                        &RsyncRunner::currentItemChanged})
        connect(m_runner, signal, this, &TidewellApp::rebuildTrayMenu);
    connect(m_runner, &RsyncRunner::isRunningChanged, this, &TidewellApp::updateTrayIcon);
    connect(m_activity, &ServerActivity::changed, this, &TidewellApp::rebuildTrayMenu);
    rebuildTrayMenu();
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

void TidewellApp::start()
{
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray = new QSystemTrayIcon(this);
        m_tray->setToolTip(QStringLiteral("Tidewell"));
        m_tray->setContextMenu(m_trayMenu.get());
        updateTrayIcon();
        m_tray->show();
        // With a tray, closing the window leaves Tidewell running there.
        QApplication::setQuitOnLastWindowClosed(false);
    } else {
        m_mainWindow->setAttribute(Qt::WA_QuitOnClose, true);
        QApplication::setQuitOnLastWindowClosed(true);
    }
    openMainWindow();
}

void TidewellApp::updateTrayIcon()
{
    if (m_tray)
        m_tray->setIcon(Icons::get(m_runner->isRunning() ? QStringLiteral("view-refresh") : QStringLiteral("drive-harddisk")));
}

void TidewellApp::openMainWindow()
{
    m_mainWindow->show();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

void TidewellApp::openSettings()
{
    if (!m_settings)
        m_settings = new SettingsView(m_store, &m_scheduler, m_dialogs, m_desktop);
    m_settings->show();
    m_settings->raise();
    m_settings->activateWindow();
}

void TidewellApp::rebuildTrayMenu()
{
    using namespace MenuBarContent;
    MenuBarContent::RunnerState state;
    state.isRunning = m_runner->isRunning();
    state.runningServerID = m_runner->runningServerID();
    state.progressPercent = m_runner->progressPercent();
    state.currentItem = m_runner->currentItem();
    state.runningElsewhere = m_activity->runningElsewhere();

    const std::function<void(QMenu *, const QList<Entry> &)> fill = [&](QMenu *menu, const QList<Entry> &entries) {
        for (const Entry &entry : entries) {
            switch (entry.kind) {
            case Entry::Kind::separator:
                menu->addSeparator();
                break;
            case Entry::Kind::submenu:
                fill(menu->addMenu(entry.text), entry.children);
                break;
            case Entry::Kind::info:
            case Entry::Kind::action: {
                QAction *action = menu->addAction(entry.text);
                action->setEnabled(entry.kind == Entry::Kind::action && entry.enabled);
                if (!entry.shortcut.isEmpty())
                    action->setShortcut(QKeySequence(entry.shortcut));
                const Action what = entry.action;
                const QUuid id = entry.serverID;
                connect(action, &QAction::triggered, this, [this, what, id] {
                    switch (what) {
                    case Action::runBackup:
                        if (const Server *server = m_store->settings().server(id)) {
                            QCoro::connect(m_runner->run(*server, m_store), this, [] {});
                            openMainWindow();
                        }
                        break;
                    case Action::cancel:
                        m_runner->cancel();
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
                });
                break;
            }
            }
        }
    };
    m_trayMenu->clear();
    fill(m_trayMenu.get(), build(m_store->settings(), state));
}

bool TidewellApp::confirmCancelForQuit()
{
    const Server &server = m_runner->runServer();
    return m_dialogs->confirm(m_mainWindow, tr("Quit Tidewell"),
                              QStringLiteral("A backup of “") + ServerRules::displayName(server)
                                  + QStringLiteral("” is running. Cancel it and quit?"),
                              tr("The backup stops, its log is written and its result recorded before Tidewell quits."),
                              tr("Cancel Backup and Quit"));
}

void TidewellApp::requestQuit()
{
    if (!m_runner->isRunning()) {
        m_quit();
        return;
    }
    if (!confirmCancelForQuit())
        return;
    m_quitAfterRun = true;
    m_runner->cancel();
}

void TidewellApp::commitData(QSessionManager &manager)
{
    if (!m_runner->isRunning())
        return;
    if (manager.allowsInteraction()) {
        const bool stop = confirmCancelForQuit();
        manager.release();
        if (!stop) {
            manager.cancel();
            return;
        }
    }
    // The session ends: stop the run and let it write its record first.
    QEventLoop loop;
    connect(m_runner, &RsyncRunner::runFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    m_runner->cancel();
    loop.exec();
}
