// The main window: sidebar, detail column and window-level actions.
#include "ui/MainWindow.h"

#include "core/engine/RsyncRunner.h"
#include "core/model/SafePathComponent.h"
#include "core/presentation/Formatting.h"
#include "core/presentation/ServerActivity.h"
#include "core/presentation/ServerRules.h"
#include "core/schedule/Scheduler.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "ui/BackupRunView.h"
#include "ui/DashboardView.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/Icons.h"
#include "ui/LogViewerView.h"
#include "ui/ServerDetailView.h"
#include "ui/SidebarRow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <qcoro/qcorotask.h>

MainWindow::MainWindow(ConfigStore *store, RsyncRunner *runner, const Scheduler *scheduler, Dialogs *dialogs, Desktop *desktop,
                       ServerActivity *activity, QWidget *parent)
    : QMainWindow(parent)
    , m_store(store)
    , m_runner(runner)
    , m_scheduler(scheduler)
    , m_dialogs(dialogs)
    , m_desktop(desktop)
    , m_activity(activity ? activity : new ServerActivity(store, runner, this))
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Tidewell"));
    setMinimumSize(920, 600);
    resize(1100, 700);

    QMenu *fileMenu = menuBar()->addMenu(tr("&File"));
    QAction *settings = fileMenu->addAction(Icons::get(QStringLiteral("preferences-system")), tr("Settings…"));
    settings->setShortcut(QKeySequence::Preferences);
    settings->setMenuRole(QAction::PreferencesRole);
    connect(settings, &QAction::triggered, this, &MainWindow::settingsRequested);
    fileMenu->addSeparator();
    QAction *quit = fileMenu->addAction(tr("Quit Tidewell"));
    quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(quit, &QAction::triggered, this, &MainWindow::quitRequested);

    auto *splitter = new QSplitter(this);
    splitter->setChildrenCollapsible(false);

    auto *sidebar = new QWidget(splitter);
    sidebar->setObjectName(QStringLiteral("sidebar"));
    sidebar->setMinimumWidth(240);
    auto *sideLayout = new QVBoxLayout(sidebar);
    sideLayout->setContentsMargins(0, 6, 0, 0);
    sideLayout->setSpacing(4);
    auto *tools = new QHBoxLayout;
    tools->setContentsMargins(8, 0, 8, 0);
    auto *header = new QLabel(tr("Servers"), sidebar);
    QFont headerFont = header->font();
    headerFont.setBold(true);
    header->setFont(headerFont);
    header->setStyleSheet(Icons::colorStyle(Icons::secondary(this)));
    auto *dashboardButton = new QToolButton(sidebar);
    dashboardButton->setObjectName(QStringLiteral("showDashboard"));
    dashboardButton->setIcon(Icons::get(QStringLiteral("go-home")));
    dashboardButton->setToolTip(tr("Show dashboard"));
    dashboardButton->setAutoRaise(true);
    auto *addButton = new QToolButton(sidebar);
    addButton->setObjectName(QStringLiteral("addServer"));
    addButton->setIcon(Icons::get(QStringLiteral("list-add")));
    addButton->setToolTip(tr("Add a new server"));
    addButton->setAutoRaise(true);
    tools->addWidget(header, 1);
    tools->addWidget(dashboardButton);
    tools->addWidget(addButton);
    sideLayout->addLayout(tools);

    m_list = new QListWidget(sidebar);
    m_list->setObjectName(QStringLiteral("serverList"));
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setFrameShape(QFrame::NoFrame);
    // A light selection keeps the coloured meta lines readable.
    m_list->setStyleSheet(QStringLiteral("QListWidget::item:selected { background: palette(midlight); }"));
    sideLayout->addWidget(m_list, 1);

    auto *divider = new QFrame(sidebar);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    sideLayout->addWidget(divider);
    auto *footerBox = new QWidget(sidebar);
    footerBox->setAutoFillBackground(true);
    footerBox->setBackgroundRole(QPalette::Window);
    auto *footerLayout = new QHBoxLayout(footerBox);
    footerLayout->setContentsMargins(10, 6, 10, 8);
    auto *footerIcon = new QLabel(footerBox);
    footerIcon->setPixmap(Icons::get(QStringLiteral("document-open-recent")).pixmap(18, 18));
    m_footer = new QLabel(footerBox);
    m_footer->setObjectName(QStringLiteral("lastBackupFooter"));
    footerLayout->addWidget(footerIcon, 0, Qt::AlignTop);
    footerLayout->addWidget(m_footer, 1);
    sideLayout->addWidget(footerBox);

    m_detail = new QStackedWidget(splitter);
    m_dashboard = new DashboardView(m_store, m_runner, m_activity, m_detail);
    m_detail->addWidget(m_dashboard);
    splitter->addWidget(sidebar);
    splitter->addWidget(m_detail);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({280, 820});
    setCentralWidget(splitter);

    connect(dashboardButton, &QToolButton::clicked, this, [this] { select(std::nullopt); });
    connect(addButton, &QToolButton::clicked, this, &MainWindow::addServer);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_rebuilding || row < 0 || row >= m_list->count())
            return;
        select(m_list->item(row)->data(Qt::UserRole).toUuid());
    });
    connect(m_list, &QListWidget::customContextMenuRequested, this, &MainWindow::showRowMenu);
    connect(m_dashboard, &DashboardView::selectRequested, this, [this](const QUuid &id) { select(id); });
    connect(m_dashboard, &DashboardView::runRequested, this, &MainWindow::runBackup);

    connect(m_store, &ConfigStore::settingsChanged, this, [this] {
        rebuildSidebar();
        rebuildFooter();
        // The selected server may be gone (deleted, or replaced by an import).
        if (m_selection && !m_store->settings().server(*m_selection))
            select(std::nullopt);
    });
    connect(m_runner, &RsyncRunner::isRunningChanged, this, &MainWindow::rebuildSidebar);
    connect(m_runner, &RsyncRunner::runningServerIDChanged, this, &MainWindow::rebuildSidebar);
    connect(m_activity, &ServerActivity::changed, this, &MainWindow::rebuildSidebar);
    connect(m_store, &ConfigStore::damagedFileKept, this, [this](const QString &path) {
        statusBar()->showMessage(tr("The configuration file could not be read; its contents were kept in ") + path);
    });
    // Relative times ("5 minutes ago") move on by themselves.
    auto *tick = new QTimer(this);
    connect(tick, &QTimer::timeout, this, [this] {
        rebuildSidebar();
        m_dashboard->rebuild();
    });
    tick->start(60 * 1000);

    rebuildSidebar();
    rebuildFooter();
}

void MainWindow::rebuildSidebar()
{
    m_rebuilding = true;
    m_list->clear();
    int selectedRow = -1;
    for (const Server &server : m_store->settings().servers) {
        auto *row = new SidebarRow(server, m_activity->isRunning(server.id), m_activity->canStart(server.id), m_list);
        auto *item = new QListWidgetItem(m_list);
        item->setData(Qt::UserRole, server.id);
        item->setSizeHint(row->sizeHint());
        m_list->setItemWidget(item, row);
        connect(row, &SidebarRow::runRequested, this, [this, id = server.id] {
            if (const Server *s = m_store->settings().server(id))
                runBackup(*s);
        });
        if (m_selection == server.id)
            selectedRow = m_list->count() - 1;
    }
    m_list->setCurrentRow(selectedRow);
    m_rebuilding = false;
}

void MainWindow::rebuildFooter()
{
    const auto latest = ServerRules::lastBackedUp(m_store->settings());
    if (!latest) {
        m_footer->setText(tr("No backups yet"));
        return;
    }
    m_footer->setText(tr("Last backup: ") + Formatting::shortDateTime(*latest->lastRunAt) + u'\n'
                      + ServerRules::displayName(*latest));
}

QString MainWindow::lastBackupFooterText() const
{
    return m_footer->text();
}

QList<SidebarRow *> MainWindow::sidebarRows() const
{
    QList<SidebarRow *> rows;
    for (int i = 0; i < m_list->count(); ++i)
        rows << qobject_cast<SidebarRow *>(m_list->itemWidget(m_list->item(i)));
    return rows;
}

void MainWindow::select(const std::optional<QUuid> &serverID)
{
    const bool changed = m_selection != serverID;
    m_selection = serverID;
    if (changed)
        showDetail();
    m_rebuilding = true;
    int row = -1;
    for (int i = 0; i < m_list->count(); ++i) {
        if (serverID && m_list->item(i)->data(Qt::UserRole).toUuid() == *serverID)
            row = i;
    }
    m_list->setCurrentRow(row);
    m_rebuilding = false;
}

void MainWindow::showDetail()
{
    // The editor is rebuilt from scratch for every newly selected server.
    if (m_editor) {
        m_detail->removeWidget(m_editor);
        m_editor->deleteLater();
    }
    if (!m_selection || !m_store->settings().server(*m_selection)) {
        m_detail->setCurrentWidget(m_dashboard);
        setWindowTitle(QStringLiteral("Tidewell"));
        return;
    }
    auto *editor = new ServerDetailView(*m_selection, m_store, m_runner, m_scheduler, m_dialogs, m_activity, m_detail);
    connect(editor, &ServerDetailView::runRequested, this, [this](const QUuid &id) {
        if (const Server *s = m_store->settings().server(id))
            runBackup(*s);
    });
    connect(editor, &ServerDetailView::openFolderRequested, this, [this](const QUuid &id) {
        if (const Server *s = m_store->settings().server(id))
            openBackupsFolder(*s);
    });
    connect(editor, &ServerDetailView::viewLogRequested, this, [this](const QUuid &id) {
        if (const Server *s = m_store->settings().server(id))
            viewLastLog(*s);
    });
    connect(editor, &ServerDetailView::deleteRequested, this, [this](const QUuid &id) {
        if (const Server *s = m_store->settings().server(id))
            confirmDelete(*s);
    });
    connect(editor, &ServerDetailView::openPathRequested, m_desktop, &Desktop::openFolder);
    // The window is titled by the server being edited.
    connect(editor, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    setWindowTitle(editor->windowTitle());
    m_editor = editor;
    m_detail->addWidget(editor);
    m_detail->setCurrentWidget(editor);
}

BackupRunView *MainWindow::runSheet() const
{
    return m_runSheet;
}

QWidget *MainWindow::detailWidget() const
{
    return m_detail->currentWidget();
}

void MainWindow::showRowMenu(const QPoint &position)
{
    QListWidgetItem *item = m_list->itemAt(position);
    if (!item)
        return;
    const Server *found = m_store->settings().server(item->data(Qt::UserRole).toUuid());
    if (!found)
        return;
    const Server server = *found;
    auto *row = qobject_cast<SidebarRow *>(m_list->itemWidget(item));
    QMenu menu(this);
    QAction *run = menu.addAction(Icons::get(QStringLiteral("go-down")), tr("Run backup now"), this, [this, server] { runBackup(server); });
    run->setEnabled(row && row->canRun());
    menu.addAction(Icons::get(QStringLiteral("folder")), tr("Open backups folder"), this, [this, server] { openBackupsFolder(server); });
    QAction *log = menu.addAction(Icons::get(QStringLiteral("text-x-generic")), tr("View last log"), this,
                                  [this, server] { viewLastLog(server); });
    log->setEnabled(QFile::exists(LogStore::logFile(server.id)));
    menu.addSeparator();
    menu.addAction(Icons::get(QStringLiteral("edit-copy")), tr("Duplicate"), this, [this, server] { duplicate(server); });
    menu.addAction(Icons::get(QStringLiteral("edit-delete")), tr("Delete"), this, [this, server] { confirmDelete(server); });
    menu.exec(m_list->viewport()->mapToGlobal(position));
}

void MainWindow::addServer()
{
    const Server server = ServerRules::newServer();
    m_store->update([&](AppSettings &s) { s.servers.append(server); });
    select(server.id);
}

void MainWindow::duplicate(const Server &server)
{
    const Server copy = ServerRules::duplicate(server);
    m_store->update([&](AppSettings &s) {
        for (qsizetype i = 0; i < s.servers.size(); ++i) {
            if (s.servers.at(i).id == server.id) {
                s.servers.insert(i + 1, copy);
                return;
            }
        }
        s.servers.append(copy);
    });
    select(copy.id);
}

void MainWindow::confirmDelete(const Server &server)
{
    const bool confirmed = m_dialogs->confirm(this, tr("Delete server"), QStringLiteral("Delete “%1”?").arg(server.name),
                                              tr("This removes the server configuration. Local backups are not touched."),
                                              tr("Delete"));
    if (!confirmed)
        return;
    if (server.scheduleEnabled)
        (void)m_scheduler->uninstall(server.id); // an error does not keep the server
    if (m_selection == server.id)
        select(std::nullopt);
    m_store->deleteServer(server.id);
}

void MainWindow::openBackupsFolder(const Server &server)
{
    const QString folder = AppPaths::expandTilde(m_store->settings().destinationPath) + u'/' + safePathComponent(server.name);
    QDir().mkpath(folder);
    m_desktop->reveal(folder);
}

bool MainWindow::canRun(const Server &server) const
{
    return !m_runner->isRunning() && !m_activity->isRunningElsewhere(server.id)
           && ServerRules::isRunnable(server, m_store->settings().servers);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    m_activity->setPolling(true);
}

void MainWindow::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    m_activity->setPolling(false);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Where closing the window quits, a run in progress is asked about first.
    if (testAttribute(Qt::WA_QuitOnClose) && m_runner->isRunning()) {
        event->ignore();
        Q_EMIT quitRequested();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::runBackup(const Server &server)
{
    if (!canRun(server))
        return;
    if (!m_runSheet) {
        m_runSheet = new BackupRunView(m_runner, m_desktop, this);
        m_runSheet->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_runSheet->open();
    QCoro::connect(m_runner->run(server, m_store), this, [] {});
}

void MainWindow::viewLastLog(const Server &server)
{
    auto *viewer = new LogViewerView(server, m_desktop, this);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->open();
}
