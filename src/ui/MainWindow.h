// The main window with the server list and the dashboard or editor.
#pragma once

#include "core/model/Server.h"

#include <QMainWindow>
#include <QPointer>
#include <QUuid>

#include <optional>

class BackupRunView;
class ConfigStore;
class DashboardView;
class Desktop;
class Dialogs;
class QLabel;
class QListWidget;
class QStackedWidget;
class RsyncRunner;
class Scheduler;
class SidebarRow;

// The main window: the server list on the left, the dashboard or the
// selected server's editor on the right, and the window-level actions.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(ConfigStore *store, RsyncRunner *runner, const Scheduler *scheduler, Dialogs *dialogs, Desktop *desktop,
               QWidget *parent = nullptr);

    std::optional<QUuid> selection() const { return m_selection; }
    void select(const std::optional<QUuid> &serverID);

    void addServer();
    void duplicate(const Server &server);
    void confirmDelete(const Server &server);
    void openBackupsFolder(const Server &server);
    // Starts a run and shows the run sheet; refused silently unless canRun().
    void runBackup(const Server &server);
    void viewLastLog(const Server &server);
    // The window's guard for runs: every enabled path needs a remote path.
    bool canRun(const Server &server) const;

    QList<SidebarRow *> sidebarRows() const;
    QString lastBackupFooterText() const;
    DashboardView *dashboard() const { return m_dashboard; }
    BackupRunView *runSheet() const;
    QWidget *detailWidget() const;

Q_SIGNALS:
    void settingsRequested();

private:
    void rebuildSidebar();
    void rebuildFooter();
    void showDetail();
    void showRowMenu(const QPoint &position);

    ConfigStore *m_store;
    RsyncRunner *m_runner;
    const Scheduler *m_scheduler;
    Dialogs *m_dialogs;
    Desktop *m_desktop;
    std::optional<QUuid> m_selection;
    QListWidget *m_list;
    QLabel *m_footer;
    QStackedWidget *m_detail;
    DashboardView *m_dashboard;
    QPointer<QWidget> m_editor;
    QPointer<BackupRunView> m_runSheet;
    bool m_rebuilding = false;
};
