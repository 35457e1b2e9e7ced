// SPDX-License-Identifier: GPL-3.0-or-later
// The windowed application shell.
#pragma once

#include "core/presentation/MenuBarContent.h"
#include "core/schedule/Scheduler.h"
#include "ui/widgets/AppContext.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <qcoro/qcorotask.h>

#include <functional>
#include <memory>

class CopyFollower;
class MainWindow;
class OverdueWatch;
class QAction;
class QMenu;
class QSessionManager;
class QSystemTrayIcon;
class RsyncRunner;
class RunPool;
class SettingsView;

// The windowed application: the long-lived objects of the process (store,
// runner, activity, schedules, the server list), the main window, the
// settings window and the tray icon with its menu.
class TidewellApp : public QObject
{
    Q_OBJECT

public:
    explicit TidewellApp(QObject *parent = nullptr);
    ~TidewellApp() override;

    // Shows the main window and the tray icon (when the desktop has a tray).
    void start();
    void openMainWindow();
    // What a left click on the tray icon does.
    void toggleMainWindow();
    void openSettings();
    // Quits once no schedule is being installed or removed (10 s at most).
    void quitWhenSchedulesSettle();
    // Points every daily schedule that starts another or a missing program at
    // this one, and says so once; returns what it said (empty: nothing to do).
    // systemd is asked in the background; the window never waits for it.
    QCoro::Task<QString> repointSchedules();

    ConfigStore *store() const { return m_context.store; }
    RunPool *runs() const { return m_context.runs; }
    const AppContext &context() const { return m_context; }
    MainWindow *mainWindow() const { return m_mainWindow; }
    QMenu *trayMenu() const { return m_trayMenu.get(); }
    SettingsView *settingsWindow() const;
    Dialogs *dialogs() const { return m_context.dialogs; }
    Desktop *desktop() const { return m_context.desktop; }
    Scheduler &scheduler() { return m_scheduler; }

    // Builds the tray menu from the state at this moment, when it is about to
    // show; a menu that would be the same keeps its entries.
    void rebuildTrayMenu();

    // Quits; while backups run, only after asking once for all of them, and
    // then once the cancelled runs have written their logs and recorded
    // their results.
    void requestQuit();
    // A termination signal (logout, kill, Ctrl+C): quits without asking;
    // runs in progress are cancelled first and write their records.
    void quitForSignal(int signalNumber);
    // `tidewell --pause SERVER` asked (SIGUSR1): pauses the run of the
    // server it named, when this window runs it.
    void pauseOnRequest();
    // Test-only: what quitting does instead of QApplication::quit().
    void setQuitForTesting(std::function<void()> quit) { m_quit = std::move(quit); }
    // Test-only: whether the desktop has a tray, instead of asking Qt.
    void setTrayAvailabilityForTesting(std::function<bool()> available) { m_trayAvailable = std::move(available); }
    bool hasTray() const { return m_tray != nullptr; }

    static inline const QString statusNotifierWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

private Q_SLOTS:
    // A tray host may have appeared: the icon is shown when there is one.
    void trayHostAppeared();

private:
    // Shows the tray icon when the desktop has a tray; false without one.
    bool showTray();
    void watchForTray();
    void connectReports();
    // The notifications, reports and copies of a runner's runs.
    void followRuns(RsyncRunner *runner);
    void runEnded();
    void connectTrayMenu();
    void fillTrayMenu(QMenu *menu, const QList<MenuBarContent::Entry> &entries);
    void addTrayEntry(QMenu *menu, const MenuBarContent::Entry &entry);
    void triggerTrayAction(MenuBarContent::Action what, const QUuid &id);
    void updateTrayIcon();
    void followRunInMenu();
    bool confirmCancelForQuit();
    void commitData(QSessionManager &manager);

    Scheduler m_scheduler;
    AppContext m_context;
    CopyFollower *m_copies = nullptr;
    std::function<void()> m_quit;
    std::function<bool()> m_trayAvailable;
    QTimer m_trayLookout;
    OverdueWatch *m_overdue = nullptr;
    bool m_quitAfterRun = false;
    bool m_askingToQuit = false;
    MainWindow *m_mainWindow = nullptr;
    QPointer<SettingsView> m_settings;
    std::unique_ptr<QMenu> m_trayMenu;
    QList<MenuBarContent::Entry> m_trayEntries; // what the menu shows now
    // The progress line of each run the open menu shows.
    QHash<QUuid, QPointer<QAction>> m_progressLines;
    QList<QUuid> m_menuRuns; // the runs the menu shows
    QSystemTrayIcon *m_tray = nullptr;
    // A new spread of scheduled runs is written to the timers once the
    // stepper rests.
    QTimer m_respread;
};
