// SPDX-License-Identifier: GPL-3.0-or-later
// The main window with the server list and the dashboard or editor.
#pragma once

#include "core/model/Server.h"
#include "ui/widgets/AppContext.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <QUuid>

#include <optional>

class BackupRunView;
class DashboardView;
class ElidedLabel;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QSplitter;
class QStackedWidget;
class QVBoxLayout;
class RestoreView;
class ServerDetailView;
class ServerFilterModel;
class ServerRowDelegate;

// The main window: the server list on the left, the dashboard or the
// selected server's editor on the right, and the window-level actions.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(const AppContext &context, QWidget *parent = nullptr);
    ~MainWindow() override;

    std::optional<QUuid> selection() const { return m_selection; }
    void select(const std::optional<QUuid> &serverID);
    // The dashboard, with the list ordered failing and overdue first.
    void showNeedingAttention();

    void addServer();
    // Esc in the editor: back to the dashboard, with the list focused; a new
    // server left as it was made is not kept.
    void leaveEditor();
    void duplicate(const Server &server);
    void confirmDelete(const Server &server);
    void openBackupsFolder(const Server &server);
    // Starts a run and shows its run sheet (`withSheet`; the tray's runs
    // bring the window forward without one); refused silently unless
    // canRun(). Other servers may run meanwhile: each has its own sheet. A
    // server that runs here already shows its sheet instead. In a window
    // that asks before trusting host keys, a server whose key is unknown
    // shows its host key step instead.
    void runBackup(const Server &server, bool withSheet = true);
    // The sheet of the server's current or last run here, opened again
    // when it was closed; nothing when the server has not run here.
    void showRun(const QUuid &serverID);
    // Says in the status bar when the configuration file was not read as a
    // whole at start (keeping an unreadable one aside first).
    void showConfigProblems();
    void viewLastLog(const Server &server);
    // The restore window of the server, on that day's backup when one is given.
    RestoreView *openRestore(const QUuid &serverID, const QString &date);
    // The window's guard for runs: the server not running, nothing the run would refuse.
    bool canRun(const Server &server) const;

    QListView *serverList() const { return m_list; }
    ServerFilterModel *serverFilter() const { return m_filter; }
    // How many editors were built; moving fast through the list builds few.
    int editorsBuilt() const { return m_editorsBuilt; }
    // The first size of the window on a screen with this much room.
    static QSize initialSize(const QSize &available);
    // The window's keyboard shortcuts and what they do, as the Help menu lists them.
    static QList<std::pair<QString, QString>> shortcuts();
    QString lastBackupFooterText() const;
    DashboardView *dashboard() const { return m_dashboard; }
    // The open sheet of the server's run, if any.
    BackupRunView *runSheet(const QUuid &serverID) const;
    QWidget *detailWidget() const;
    const AppContext &context() const { return m_context; }

Q_SIGNALS:
    void settingsRequested();
    // Ctrl+Q, or closing the window where it is the last thing open.
    void quitRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // The pointer over the server list holds its order (see ServerFilterModel).
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    QWidget *buildSidebar(QSplitter *splitter);
    void buildSidebarTools(QWidget *sidebar, QVBoxLayout *sideLayout);
    void buildFinder(QWidget *sidebar, QVBoxLayout *sideLayout);
    void buildFooter(QWidget *sidebar, QVBoxLayout *sideLayout);
    void connectList();
    void connectDashboard();
    void connectApplication();
    void startRun(const Server &server, bool withSheet);
    void refreshFooter();
    void showDetail();
    void showRowMenu(const QPoint &position);
    void selectionChangedByUser();
    void runSelected();
    void deleteSelected();
    void showShortcuts();
    void refreshHealthFilter();
    void applyHealthFilter(int health);
    void animateSpinners();

    AppContext m_context;
    std::optional<QUuid> m_selection;
    // The server Add Server made, as it was made.
    std::optional<Server> m_added;
    QListView *m_list;
    ServerFilterModel *m_filter;
    QLineEdit *m_search;
    QComboBox *m_healthFilter;
    QComboBox *m_order;
    QTimer m_healthCounts;
    // A selection that moves faster than editors are built shows the
    // server it rests on.
    QTimer m_settle;
    QElapsedTimer m_lastSelectionChange;
    std::optional<QUuid> m_shown;
    int m_editorsBuilt = 0;
    ServerRowDelegate *m_delegate;
    QLabel *m_footer;
    ElidedLabel *m_footerName;
    QStackedWidget *m_detail;
    DashboardView *m_dashboard;
    QPointer<ServerDetailView> m_editor;
    QHash<QUuid, QPointer<BackupRunView>> m_runSheets;
    QTimer m_tick;
    QTimer m_spinner;
    int m_spinnerAngle = 0;
    bool m_selecting = false;
    QString m_configProblemShown;
};
