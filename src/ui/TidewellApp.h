// The windowed application shell.
#pragma once

#include "core/schedule/Scheduler.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class ConfigStore;
class Desktop;
class Dialogs;
class MainWindow;
class QMenu;
class QSystemTrayIcon;
class RsyncRunner;
class RunNotifier;
class QSessionManager;
class ServerActivity;
class SettingsView;

// The windowed application: one store and one runner for the process, the
// main window, the settings window and the tray icon with its menu.
class TidewellApp : public QObject
{
    Q_OBJECT

public:
    explicit TidewellApp(QObject *parent = nullptr);
    ~TidewellApp() override;

    // Shows the main window and the tray icon (when the desktop has a tray).
    void start();
    void openMainWindow();
    void openSettings();

    ConfigStore *store() const { return m_store; }
    RsyncRunner *runner() const { return m_runner; }
    MainWindow *mainWindow() const { return m_mainWindow; }
    QMenu *trayMenu() const { return m_trayMenu.get(); }
    SettingsView *settingsWindow() const;
    Dialogs *dialogs() const { return m_dialogs; }
    Desktop *desktop() const { return m_desktop; }
    Scheduler &scheduler() { return m_scheduler; }

    // Rebuilds the tray menu from the store and the runner.
    void rebuildTrayMenu();
    ServerActivity *activity() const { return m_activity; }

    // Quits; while a backup runs, only after asking, and then once the
    // cancelled run has written its log and recorded its result.
    void requestQuit();
    // Test-only: what quitting does instead of QApplication::quit().
    void setQuitForTesting(std::function<void()> quit) { m_quit = std::move(quit); }

private:
    void updateTrayIcon();
    bool confirmCancelForQuit();
    void commitData(QSessionManager &manager);

    ConfigStore *m_store;
    RsyncRunner *m_runner;
    RunNotifier *m_notifier;
    ServerActivity *m_activity;
    std::function<void()> m_quit;
    bool m_quitAfterRun = false;
    Dialogs *m_dialogs;
    Desktop *m_desktop;
    Scheduler m_scheduler;
    MainWindow *m_mainWindow = nullptr;
    QPointer<SettingsView> m_settings;
    std::unique_ptr<QMenu> m_trayMenu;
    QSystemTrayIcon *m_tray = nullptr;
};
