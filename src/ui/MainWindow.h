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
class ServerActivity;
class SidebarRow;

// The main window: the server list on the left, the dashboard or the
// selected server's editor on the right, and the window-level actions.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Without `activity` the window keeps one of its own.
    MainWindow(ConfigStore *store, RsyncRunner *runner, const Scheduler *scheduler, Dialogs *dialogs, Desktop *desktop,
               ServerActivity *activity = nullptr, QWidget *parent = nullptr);

    std::optional<QUuid> selection() const { return m_selection; }
    void select(const std::optional<QUuid> &serverID);

    void addServer();
    void duplicate(const Server &server);
    void confirmDelete(const Server &server);
    void openBackupsFolder(const Server &server);
    // Starts a run and shows the run sheet; refused silently unless canRun().
    void runBackup(const Server &server);
    void viewLastLog(const Server &server);
    // The window's guard for runs: nothing running, nothing the run would refuse.
    bool canRun(const Server &server) const;
    ServerActivity *activity() const { return m_activity; }

    QList<SidebarRow *> sidebarRows() const;
    QString lastBackupFooterText() const;
    DashboardView *dashboard() const { return m_dashboard; }
    BackupRunView *runSheet() const;
    QWidget *detailWidget() const;

Q_SIGNALS:
    void settingsRequested();
    // Ctrl+Q, or closing the window where it is the last thing open.
    void quitRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

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
    ServerActivity *m_activity;
    std::optional<QUuid> m_selection;
    QListWidget *m_list;
    QLabel *m_footer;
    QStackedWidget *m_detail;
    DashboardView *m_dashboard;
    QPointer<QWidget> m_editor;
    QPointer<BackupRunView> m_runSheet;
    bool m_rebuilding = false;
};
