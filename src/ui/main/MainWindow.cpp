// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: sidebar, detail column and window-level actions.
#include "ui/main/MainWindow.h"

#include "core/engine/Retention.h"
#include "core/engine/RsyncRunner.h"
#include "core/engine/RunPool.h"
#include "core/presentation/Formatting.h"
#include "core/presentation/ServerActivity.h"
#include "core/presentation/ServerFilterModel.h"
#include "core/presentation/ServerListModel.h"
#include "core/presentation/ServerRules.h"
#include "core/schedule/ScheduleStatus.h"
#include "core/schedule/Scheduler.h"
#include "core/ssh/HostKeyChecker.h"
#include "core/ssh/SSHTester.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/FileUtil.h"
#include "ui/editor/ServerDetailView.h"
#include "ui/main/DashboardView.h"
#include "ui/main/ServerRowDelegate.h"
#include "ui/restore/RestoreView.h"
#include "ui/run/BackupRunView.h"
#include "ui/run/LogViewerView.h"
#include "ui/widgets/Desktop.h"
#include "ui/widgets/Dialogs.h"
#include "ui/widgets/ElidedLabel.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/WindowFit.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <qcoro/qcorotask.h>

namespace {

// Selection changes closer together than this wait until the selection rests
// (a held arrow key repeats every 30–40 ms).
constexpr int settleMs = 60;

} // namespace

MainWindow::MainWindow(const AppContext &context, QWidget *parent)
    : QMainWindow(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Tidewell"));
    // Fits a 1024×600 screen with its panels, and a smaller one (a large
    // scale) as far as it goes; scroll areas take what is left.
    WindowFit::fit(this, initialSize(screen() ? screen()->availableSize() : QSize(1100, 700)), QSize(720, 440));

    buildMenus();
    auto *splitter = new QSplitter(this);
    splitter->setChildrenCollapsible(false);
    QWidget *sidebar = buildSidebar(splitter);
    m_detail = new QStackedWidget(splitter);
    m_dashboard = new DashboardView(m_context, m_detail);
    m_dashboard->followFilter(m_filter);
    m_detail->addWidget(m_dashboard);
    splitter->addWidget(sidebar);
    splitter->addWidget(m_detail);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({280, 820});
    setCentralWidget(splitter);
    connectList();
    connectDashboard();
    connectApplication();
    m_tick.start();
    refreshFooter();
}

// File, Server and Help.
void MainWindow::buildMenus()
{
    QMenu *fileMenu = menuBar()->addMenu(tr("&File"));
    QAction *add = fileMenu->addAction(Icons::get(QStringLiteral("list-add")), tr("Add Server"));
    add->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    connect(add, &QAction::triggered, this, &MainWindow::addServer);
    QAction *settings = fileMenu->addAction(Icons::get(QStringLiteral("preferences-system")), tr("Settings…"));
    settings->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    settings->setMenuRole(QAction::PreferencesRole);
    connect(settings, &QAction::triggered, this, &MainWindow::settingsRequested);
    fileMenu->addSeparator();
    QAction *quit = fileMenu->addAction(tr("Quit Tidewell"));
    quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(quit, &QAction::triggered, this, &MainWindow::quitRequested);
    QMenu *serverMenu = menuBar()->addMenu(tr("&Server"));
    QAction *find = serverMenu->addAction(Icons::get(QStringLiteral("edit-find")), tr("Find Servers"));
    find->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    connect(find, &QAction::triggered, this, [this] {
        m_search->setFocus(Qt::ShortcutFocusReason);
        m_search->selectAll();
    });
    QAction *dashboard = serverMenu->addAction(Icons::get(QStringLiteral("go-home")), tr("Dashboard"));
    dashboard->setShortcut(QKeySequence(QStringLiteral("Ctrl+1")));
    connect(dashboard, &QAction::triggered, this, [this] { select(std::nullopt); });
    QAction *runNow = serverMenu->addAction(Icons::get(QStringLiteral("go-down")), tr("Run Backup Now"));
    runNow->setShortcut(QKeySequence(Qt::Key_F5));
    connect(runNow, &QAction::triggered, this, &MainWindow::runSelected);
    QMenu *helpMenu = menuBar()->addMenu(tr("&Help"));
    QAction *keys = helpMenu->addAction(tr("Keyboard Shortcuts"));
    connect(keys, &QAction::triggered, this, &MainWindow::showShortcuts);
}

// The server list with its tools, search and filters, and the latest backup under it.
QWidget *MainWindow::buildSidebar(QSplitter *splitter)
{
    auto *sidebar = new QWidget(splitter);
    sidebar->setObjectName(QStringLiteral("sidebar"));
    sidebar->setMinimumWidth(240);
    auto *sideLayout = new QVBoxLayout(sidebar);
    sideLayout->setContentsMargins(0, 6, 0, 0);
    sideLayout->setSpacing(4);
    buildSidebarTools(sidebar, sideLayout);
    buildFinder(sidebar, sideLayout);
    m_list = new QListView(sidebar);
    m_list->setObjectName(QStringLiteral("serverList"));
    m_list->setAccessibleName(tr("Servers"));
    m_list->setModel(m_filter);
    m_delegate = new ServerRowDelegate(m_list);
    m_list->setItemDelegate(m_delegate);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setMouseTracking(true);
    m_list->viewport()->installEventFilter(this);
    sideLayout->addWidget(m_list, 1);

    buildFooter(sidebar, sideLayout);
    return sidebar;
}

// "Servers", the dashboard and a new server.
void MainWindow::buildSidebarTools(QWidget *sidebar, QVBoxLayout *sideLayout)
{
    auto *tools = new QHBoxLayout;
    tools->setContentsMargins(8, 0, 8, 0);
    auto *header = new QLabel(tr("Servers"), sidebar);
    QFont headerFont = header->font();
    headerFont.setBold(true);
    header->setFont(headerFont);
    header->setForegroundRole(QPalette::PlaceholderText);
    const auto toolButton = [sidebar](const QString &name, const QString &icon, const QString &text) {
        auto *button = new QToolButton(sidebar);
        button->setObjectName(name);
        button->setIcon(Icons::get(icon));
        button->setToolTip(text);
        button->setAccessibleName(text);
        button->setAutoRaise(true);
        return button;
    };
    auto *dashboardButton =
        toolButton(QStringLiteral("showDashboard"), QStringLiteral("go-home"), tr("Show dashboard"));
    auto *addButton = toolButton(QStringLiteral("addServer"), QStringLiteral("list-add"), tr("Add a new server"));
    tools->addWidget(header, 1);
    tools->addWidget(dashboardButton);
    tools->addWidget(addButton);
    sideLayout->addLayout(tools);

    connect(dashboardButton, &QToolButton::clicked, this, [this] { select(std::nullopt); });
    connect(addButton, &QToolButton::clicked, this, &MainWindow::addServer);
}

// The search field, the health filter and the order.
void MainWindow::buildFinder(QWidget *sidebar, QVBoxLayout *sideLayout)
{
    m_filter = new ServerFilterModel(m_context.servers, this);
    auto *findBox = new QVBoxLayout;
    findBox->setContentsMargins(8, 0, 8, 0);
    findBox->setSpacing(4);
    m_search = new QLineEdit(sidebar);
    m_search->setObjectName(QStringLiteral("serverSearch"));
    m_search->setPlaceholderText(tr("Find by name or host (Ctrl+F)"));
    m_search->setAccessibleName(tr("Find servers"));
    m_search->setClearButtonEnabled(true);
    findBox->addWidget(m_search);
    auto *filterLine = new QHBoxLayout;
    filterLine->setSpacing(4);
    m_healthFilter = new QComboBox(sidebar);
    m_healthFilter->setObjectName(QStringLiteral("healthFilter"));
    m_healthFilter->setAccessibleName(tr("Show servers"));
    m_healthFilter->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_healthFilter->setMinimumContentsLength(8);
    for (int i = 0; i < 5; ++i)
        m_healthFilter->addItem(QString());
    m_order = new QComboBox(sidebar);
    m_order->setObjectName(QStringLiteral("serverOrder"));
    m_order->setAccessibleName(tr("Order"));
    m_order->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_order->setMinimumContentsLength(8);
    m_order->addItem(tr("As configured"), int(ServerFilterModel::Order::configured));
    m_order->addItem(tr("By name"), int(ServerFilterModel::Order::name));
    m_order->addItem(tr("Needs attention first"), int(ServerFilterModel::Order::attentionFirst));
    // As they were left at the last start.
    m_filter->loadChoice();
    m_healthFilter->setCurrentIndex(int(m_filter->health()));
    m_order->setCurrentIndex(m_order->findData(int(m_filter->order())));
    filterLine->addWidget(m_healthFilter, 1);
    filterLine->addWidget(m_order, 1);
    findBox->addLayout(filterLine);
    sideLayout->addLayout(findBox);
}

// The latest backup of any server.
void MainWindow::buildFooter(QWidget *sidebar, QVBoxLayout *sideLayout)
{
    auto *divider = new QFrame(sidebar);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    sideLayout->addWidget(divider);
    auto *footerBox = new QWidget(sidebar);
    auto *footerLayout = new QHBoxLayout(footerBox);
    footerLayout->setContentsMargins(10, 6, 10, 8);
    auto *footerIcon = new QLabel(footerBox);
    footerIcon->setPixmap(Icons::get(QStringLiteral("document-open-recent")).pixmap(18, 18));
    m_footer = new QLabel(footerBox);
    m_footer->setObjectName(QStringLiteral("lastBackupFooter"));
    m_footer->setTextFormat(Qt::PlainText);
    // The date line wraps (it is longer in some languages); the server's
    // name is one line, cut with "…" when long.
    m_footer->setWordWrap(true);
    m_footerName = new ElidedLabel(footerBox);
    m_footerName->setObjectName(QStringLiteral("lastBackupFooterName"));
    m_footerName->hide();
    auto *footerText = new QVBoxLayout;
    footerText->setSpacing(0);
    footerText->addWidget(m_footer);
    footerText->addWidget(m_footerName);
    footerLayout->addWidget(footerIcon, 0, Qt::AlignTop);
    footerLayout->addLayout(footerText, 1);
    sideLayout->addWidget(footerBox);
}

// Search, filter, order and selection of the server list.
void MainWindow::connectList()
{
    // Delete in the list asks first, as the menu's Delete does.
    auto *deleteKey = new QShortcut(QKeySequence::Delete, m_list, nullptr, nullptr, Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &MainWindow::deleteSelected);
    connect(m_search, &QLineEdit::textChanged, m_filter, &ServerFilterModel::setText);
    // Enter in the search field goes to the first server found.
    connect(m_search, &QLineEdit::returnPressed, this, [this] {
        if (m_filter->rowCount() > 0) {
            m_list->setFocus(Qt::ShortcutFocusReason);
            m_list->setCurrentIndex(m_filter->index(0, 0));
        }
    });
    connect(m_healthFilter, &QComboBox::activated, this, [this](int index) { applyHealthFilter(index); });
    connect(m_order, &QComboBox::activated, this,
            [this](int index) { m_filter->setOrder(ServerFilterModel::Order(m_order->itemData(index).toInt())); });
    // The selected server shows as selected again when a filter brings it back.
    connect(m_filter, &ServerFilterModel::filterChanged, this, [this] { select(m_selection); });
    connect(m_filter, &QAbstractItemModel::modelReset, this, [this] { select(m_selection); });
    m_healthCounts.setSingleShot(true);
    m_healthCounts.setInterval(100);
    connect(&m_healthCounts, &QTimer::timeout, this, &MainWindow::refreshHealthFilter);
    for (auto change : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_context.servers, change, &m_healthCounts, qOverload<>(&QTimer::start));
    connect(m_context.servers, &QAbstractItemModel::modelReset, &m_healthCounts, qOverload<>(&QTimer::start));
    connect(m_context.servers, &QAbstractItemModel::dataChanged, &m_healthCounts, qOverload<>(&QTimer::start));
    refreshHealthFilter();
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_settle, &QTimer::timeout, this, &MainWindow::showDetail);

    // Only a selection selects: focus moving into the list (Tab) does not.
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::selectionChangedByUser);
    connect(m_list, &QListView::customContextMenuRequested, this, &MainWindow::showRowMenu);
    connect(m_delegate, &ServerRowDelegate::runRequested, this, [this](const QUuid &id) {
        if (const Server *s = m_context.store->settings().server(id))
            runBackup(*s);
    });
}

void MainWindow::connectDashboard()
{
    connect(m_dashboard, &DashboardView::selectRequested, this, [this](const QUuid &id) { select(id); });
    connect(m_dashboard, &DashboardView::filterRequested, this, [this](ServerFilterModel::Health health) {
        applyHealthFilter(int(health));
        m_list->setFocus(Qt::OtherFocusReason);
    });
    connect(m_dashboard, &DashboardView::runRequested, this, [this](const Server &server) { runBackup(server); });
    connect(m_dashboard, &DashboardView::addServerRequested, this, &MainWindow::addServer);
    connect(m_dashboard, &DashboardView::keySetupRequested, this, [this](const QUuid &id) {
        select(id);
        if (m_editor)
            m_editor->showKeySetup();
    });
    connect(m_dashboard, &DashboardView::addPathRequested, this, [this](const QUuid &id) {
        select(id);
        if (m_editor)
            m_editor->addPath();
    });
}

// The store, runs, the desktop and the clock.
void MainWindow::connectApplication()
{
    // Esc anywhere in the window while a server's settings are shown.
    auto *leave = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(leave, &QShortcut::activated, this, &MainWindow::leaveEditor);

    connect(m_context.desktop, &Desktop::openFailed, this, [this](const QString &path, const QString &reason) {
        statusBar()->showMessage(tr("Could not open %1: %2").arg(path, reason));
    });

    connect(m_context.store, &ConfigStore::settingsChanged, this, [this] {
        refreshFooter();
        // The selected server may be gone (deleted, or replaced by an import).
        if (m_selection && !m_context.store->settings().server(*m_selection))
            select(std::nullopt);
    });
    connect(m_context.store, &ConfigStore::damagedFileKept, this, [this](const QString &path) {
        if (!m_configProblemShown.isEmpty())
            return; // already said, with where the file was kept
        statusBar()->showMessage(
            tr("The configuration file could not be read; its contents were kept in %1").arg(path));
    });
    connect(m_context.runs, &RunPool::runningChanged, this, &MainWindow::animateSpinners);
    connect(m_context.activity, &ServerActivity::changed, this, &MainWindow::animateSpinners);
    m_spinner.setInterval(80);
    connect(&m_spinner, &QTimer::timeout, this, [this] {
        m_spinnerAngle = (m_spinnerAngle + 30) % 360;
        m_delegate->setSpinnerAngle(m_spinnerAngle);
        for (int row = 0; row < m_filter->rowCount(); ++row) {
            const QModelIndex index = m_filter->index(row, 0);
            if (index.data(ServerListModel::RunningRole).toBool())
                m_list->update(index);
        }
    });
    // Relative times ("5 minutes ago") move on by themselves; nothing else is
    // redrawn. (Timers changed outside Tidewell are told by the user manager.)
    m_tick.setInterval(60 * 1000);
    connect(&m_tick, &QTimer::timeout, this, [this] {
        m_context.servers->refreshRelativeTimes();
        refreshFooter();
    });
}

void MainWindow::animateSpinners()
{
    bool any = false;
    for (int row = 0; row < m_context.servers->rowCount() && !any; ++row)
        any = m_context.servers->isRunning(row);
    if (any && !m_spinner.isActive())
        m_spinner.start();
    else if (!any)
        m_spinner.stop();
}

void MainWindow::refreshFooter()
{
    const auto latest = ServerRules::lastBackedUp(m_context.store->settings());
    const QString text =
        latest ? tr("Last backup: %1").arg(Formatting::shortDateTime(*latest->lastRunAt)) : tr("No backups yet");
    if (m_footer->text() != text)
        m_footer->setText(text);
    m_footerName->setFullText(latest ? latest->shownName() : QString());
    m_footerName->setVisible(latest.has_value());
}

QString MainWindow::lastBackupFooterText() const
{
    return m_footerName->isHidden() ? m_footer->text() : m_footer->text() + u'\n' + m_footerName->fullText();
}

void MainWindow::selectionChangedByUser()
{
    if (m_selecting)
        return;
    const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    const QUuid id = selected.first().data(ServerListModel::IdRole).toUuid();
    // A change soon after the last one (a held arrow key, fast clicks) waits
    // until the selection rests; a single one shows at once.
    const bool moving = m_lastSelectionChange.isValid() && m_lastSelectionChange.elapsed() < settleMs;
    m_lastSelectionChange.start();
    if (!moving && !m_settle.isActive()) {
        select(id);
        // Building the editor is no pause of the user's: on a slow machine
        // the next step of a held key would otherwise build one each time.
        m_lastSelectionChange.start();
        return;
    }
    m_selection = id;
    m_settle.start();
}

void MainWindow::select(const std::optional<QUuid> &serverID)
{
    m_selection = serverID;
    m_settle.stop();
    if (m_shown != serverID || (serverID && !m_editor))
        showDetail();
    m_selecting = true;
    const int row = serverID ? m_filter->rowOf(m_context.servers->rowOf(*serverID)) : -1;
    if (row >= 0) {
        m_list->selectionModel()->setCurrentIndex(m_filter->index(row, 0), QItemSelectionModel::ClearAndSelect);
    } else {
        // No current row either: the view would make a neighbour of a
        // removed current row current, and selected.
        m_list->selectionModel()->clear();
    }
    m_selecting = false;
}

void MainWindow::showDetail()
{
    m_settle.stop();
    // The editor is built afresh for every newly selected server; the old
    // one hears nothing more from the moment it is replaced.
    if (m_editor) {
        m_editor->retire();
        m_detail->removeWidget(m_editor);
        m_editor->deleteLater();
    }
    m_shown = m_selection;
    if (!m_selection || !m_context.store->settings().server(*m_selection)) {
        m_shown.reset();
        m_detail->setCurrentWidget(m_dashboard);
        setWindowTitle(QStringLiteral("Tidewell"));
        return;
    }
    ++m_editorsBuilt;
    auto *editor = new ServerDetailView(*m_selection, m_context, m_detail);
    const auto forServer = [this](void (MainWindow::*action)(const Server &)) {
        return [this, action](const QUuid &id) {
            if (const Server *s = m_context.store->settings().server(id))
                (this->*action)(*s);
        };
    };
    connect(editor, &ServerDetailView::runRequested, this, [this](const QUuid &id) {
        if (const Server *s = m_context.store->settings().server(id))
            runBackup(*s);
    });
    connect(editor, &ServerDetailView::openFolderRequested, this, forServer(&MainWindow::openBackupsFolder));
    connect(editor, &ServerDetailView::viewLogRequested, this, forServer(&MainWindow::viewLastLog));
    connect(editor, &ServerDetailView::deleteRequested, this, forServer(&MainWindow::confirmDelete));
    connect(editor, &ServerDetailView::openPathRequested, m_context.desktop, &Desktop::openFolder);
    connect(editor, &ServerDetailView::restoreRequested, this, &MainWindow::openRestore);
    // The window is titled by the server being edited.
    connect(editor, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    setWindowTitle(editor->windowTitle());
    m_editor = editor;
    m_detail->addWidget(editor);
    m_detail->setCurrentWidget(editor);
}

MainWindow::~MainWindow()
{
    // The run sheets are windows of their own; they go with this one.
    for (const QPointer<BackupRunView> &sheet : std::as_const(m_runSheets))
        delete sheet.data();
}

BackupRunView *MainWindow::runSheet(const QUuid &serverID) const
{
    return m_runSheets.value(serverID);
}

QWidget *MainWindow::detailWidget() const
{
    return m_detail->currentWidget();
}

void MainWindow::showRowMenu(const QPoint &position)
{
    const QModelIndex index = m_list->indexAt(position);
    if (!index.isValid())
        return;
    const Server server = m_context.servers->server(m_filter->sourceRow(index.row()));
    QMenu menu(this);
    if (index.data(ServerListModel::RunningHereRole).toBool()) {
        menu.addAction(Icons::get(QStringLiteral("view-refresh")), tr("Show backup"), this,
                       [this, id = server.id] { showRun(id); });
    } else {
        QAction *run = menu.addAction(Icons::get(QStringLiteral("go-down")), tr("Run backup now"), this,
                                      [this, server] { runBackup(server); });
        run->setEnabled(index.data(ServerListModel::CanStartRole).toBool());
    }
    menu.addAction(Icons::get(QStringLiteral("folder")), tr("Open backups folder"), this,
                   [this, server] { openBackupsFolder(server); });
    QAction *log = menu.addAction(Icons::get(QStringLiteral("text-x-generic")), tr("View last log"), this,
                                  [this, server] { viewLastLog(server); });
    log->setEnabled(QFile::exists(LogStore::logFile(server.id)));
    menu.addAction(Icons::get(QStringLiteral("document-open")), tr("Restore…"), this,
                   [this, server] { openRestore(server.id, QString()); });
    menu.addSeparator();
    menu.addAction(Icons::get(QStringLiteral("edit-copy")), tr("Duplicate"), this,
                   [this, server] { duplicate(server); });
    menu.addAction(Icons::get(QStringLiteral("edit-delete")), tr("Delete"), this,
                   [this, server] { confirmDelete(server); });
    menu.exec(m_list->viewport()->mapToGlobal(position));
}

RestoreView *MainWindow::openRestore(const QUuid &serverID, const QString &date)
{
    auto *view = new RestoreView(serverID, m_context, this);
    if (!date.isEmpty())
        view->selectSnapshot(date);
    view->show();
    return view;
}

void MainWindow::addServer()
{
    const Server server = ServerRules::newServer();
    m_context.store->update([&](AppSettings &s) { s.servers.append(server); });
    m_added = server;
    select(server.id);
    if (m_editor)
        m_editor->focusName();
}

void MainWindow::leaveEditor()
{
    if (!m_editor || m_detail->currentWidget() != m_editor)
        return;
    const QUuid id = m_editor->serverID();
    select(std::nullopt);
    if (m_added && m_added->id == id) {
        if (const Server *now = m_context.store->settings().server(id); now && *now == *m_added)
            m_context.store->deleteServer(id);
    }
    m_added.reset();
    m_list->setFocus(Qt::ShortcutFocusReason);
}

void MainWindow::duplicate(const Server &server)
{
    const Server copy = ServerRules::duplicate(server);
    m_context.store->update([&](AppSettings &s) {
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
    const bool confirmed = m_context.dialogs->confirm(
        this, tr("Delete server"), QStringLiteral("Delete “") + server.name + QStringLiteral("”?"),
        tr("This removes the server configuration. Local backups are not touched."), tr("Delete"));
    if (!confirmed)
        return;
    if (m_selection == server.id)
        select(std::nullopt);
    m_context.store->deleteServer(server.id);
    if (m_context.schedules)
        m_context.schedules->refresh(server.id);
    // In the background; an error does not keep the server.
    if (server.scheduleEnabled)
        QCoro::connect(m_context.scheduler->uninstall(server.id), this, [](const auto &) {});
}

void MainWindow::openBackupsFolder(const Server &server)
{
    // Nothing is made in an encrypted folder but through its view, which a
    // file manager would outlive.
    if (m_context.store->settings().destinationEncrypted) {
        statusBar()->showMessage(tr("The backups of %1 are encrypted: browse and restore them in Tidewell, or open "
                                    "the folder by hand with gocryptfs.")
                                     .arg(server.shownName()));
        return;
    }
    // Made as a run makes it: for this user alone.
    const QString folder = Retention::serverFolder(m_context.store->settings().destinationPath, server);
    if (!FileUtil::makePrivateFolder(folder)) {
        statusBar()->showMessage(tr("Could not open %1: the folder could not be made").arg(folder));
        return;
    }
    m_context.desktop->reveal(folder);
}

bool MainWindow::canRun(const Server &server) const
{
    return m_context.activity->canStart(server.id);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    m_context.activity->setPolling(true);
    if (m_context.schedules)
        m_context.schedules->refresh();
}

void MainWindow::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    m_context.activity->setPolling(false);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport() && (event->type() == QEvent::Enter || event->type() == QEvent::Leave))
        m_filter->holdOrder(event->type() == QEvent::Enter);
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Where closing the window quits, a run in progress is asked about first.
    if (testAttribute(Qt::WA_QuitOnClose) && m_context.runs->isRunning()) {
        event->ignore();
        Q_EMIT quitRequested();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::showConfigProblems()
{
    ConfigStore *store = m_context.store;
    const QString name = QFileInfo(store->url()).fileName();
    if (const QString problem = store->loadProblem(); !problem.isEmpty()) {
        const auto kept = store->keepUnreadableFile();
        QString text;
        if (kept && !kept->isEmpty())
            text = tr("%1 could not be read: %2 (kept as %3)").arg(name, problem, *kept);
        else if (!kept)
            text =
                tr("%1 could not be read: %2 (it will not be replaced: %3)").arg(name, problem, kept.error().message);
        else
            text = tr("%1 could not be read: %2").arg(name, problem);
        m_configProblemShown = text;
    } else if (const QStringList warnings = store->loadWarnings(); !warnings.isEmpty()) {
        m_configProblemShown =
            tr("%1: %2 (and %n more)", nullptr, int(warnings.size() - 1)).arg(name, warnings.first());
        if (warnings.size() == 1)
            m_configProblemShown = tr("%1: %2").arg(name, warnings.first());
    }
    if (!m_configProblemShown.isEmpty())
        statusBar()->showMessage(m_configProblemShown);
}

void MainWindow::runBackup(const Server &server, bool withSheet)
{
    if (m_context.runs->isRunning(server.id)) {
        if (withSheet)
            showRun(server.id);
        return;
    }
    if (!canRun(server))
        return;
    if (SSHTester::hostKeyPolicy() == SSHTester::HostKeyPolicy::acceptNew) {
        startRun(server, withSheet);
        return;
    }
    // ssh is told never to record a key here: an unknown one is shown first.
    const QUuid id = server.id;
    QCoro::connect(HostKeyChecker::knownHostFingerprint(server.host, server.port), this,
                   [this, id, withSheet](const std::optional<HostKeyChecker::Fingerprint> &known) {
                       const Server *current = m_context.store->settings().server(id);
                       if (!current || !canRun(*current))
                           return;
                       if (known) {
                           startRun(*current, withSheet);
                           return;
                       }
                       select(id);
                       if (m_editor)
                           m_editor->askForHostKey();
                   });
}

void MainWindow::startRun(const Server &server, bool withSheet)
{
    m_context.runs->start(server, m_context.store);
    if (withSheet)
        showRun(server.id);
}

void MainWindow::showRun(const QUuid &serverID)
{
    BackupRunView *sheet = m_runSheets.value(serverID);
    if (!sheet) {
        RsyncRunner *runner = m_context.runs->runnerFor(serverID);
        if (!runner)
            return;
        // A window of its own, not one held above this one: the servers
        // stay within reach while several backups run.
        sheet = new BackupRunView(runner, m_context.desktop, nullptr);
        sheet->setAttribute(Qt::WA_DeleteOnClose);
        sheet->setAttribute(Qt::WA_QuitOnClose, false);
        m_runSheets.insert(serverID, sheet);
        // A closed sheet goes (deleted later); showing the run again makes a new one.
        connect(sheet, &QDialog::finished, this, [this, serverID, sheet] {
            if (m_runSheets.value(serverID) == sheet)
                m_runSheets.remove(serverID);
        });
        // Quit works from the sheet, a window of its own, too (and asks first while backups run).
        auto *quitKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Q")), sheet);
        connect(quitKey, &QShortcut::activated, this, &MainWindow::quitRequested);
        connect(sheet, &BackupRunView::resumeRequested, this, [this](const QUuid &id) {
            const Server *paused = m_context.store->settings().server(id);
            if (paused && canRun(*paused))
                startRun(*paused, true);
        });
    }
    if (sheet->isMinimized())
        sheet->setWindowState(sheet->windowState() & ~Qt::WindowMinimized);
    sheet->show();
    sheet->raise();
    sheet->activateWindow();
}

void MainWindow::viewLastLog(const Server &server)
{
    auto *viewer = new LogViewerView(server, m_context.desktop, this);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->open();
}

QSize MainWindow::initialSize(const QSize &available)
{
    return QSize(std::min(1100, available.width()), std::min(700, available.height()));
}

QList<std::pair<QString, QString>> MainWindow::shortcuts()
{
    const auto key = [](const char *sequence) {
        return QKeySequence(QString::fromLatin1(sequence)).toString(QKeySequence::NativeText);
    };
    return {
        {key("Ctrl+N"), tr("Add a server")},
        {key("Ctrl+F"), tr("Find servers by name or host")},
        {key("Ctrl+1"), tr("Show the dashboard")},
        {key("F5"), tr("Run a backup of the selected server now")},
        {key("Del"), tr("Delete the selected server (in the list, after asking)")},
        {key("Ctrl+,"), tr("Settings")},
        {key("Ctrl+Q"), tr("Quit Tidewell")},
        {key("Esc"), tr("Leave a server's settings for the dashboard")},
        {tr("Enter"), tr("Open the server of the focused dashboard card")},
    };
}

void MainWindow::showShortcuts()
{
    QString text = QStringLiteral("<table>");
    for (const auto &[keys, what] : shortcuts())
        text += QStringLiteral("<tr><td><b>%1</b>&nbsp;&nbsp;&nbsp;</td><td>%2</td></tr>")
                    .arg(keys.toHtmlEscaped(), what.toHtmlEscaped());
    text += QStringLiteral("</table>");
    auto *box = new QMessageBox(QMessageBox::NoIcon, tr("Keyboard Shortcuts"), text, QMessageBox::Close, this);
    box->setObjectName(QStringLiteral("shortcutsDialog"));
    box->setTextFormat(Qt::RichText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MainWindow::runSelected()
{
    if (!m_selection)
        return;
    if (const Server *s = m_context.store->settings().server(*m_selection))
        runBackup(*s);
}

void MainWindow::deleteSelected()
{
    if (!m_selection)
        return;
    if (const Server *s = m_context.store->settings().server(*m_selection))
        confirmDelete(*s);
}

void MainWindow::refreshHealthFilter()
{
    using Health = ServerFilterModel::Health;
    const QList<std::pair<Health, QString>> items{{Health::all, tr("All (%1)")},
                                                  {Health::failing, tr("Failing (%1)")},
                                                  {Health::overdue, tr("Overdue (%1)")},
                                                  {Health::running, tr("Running (%1)")},
                                                  {Health::notScheduled, tr("Not scheduled (%1)")}};
    for (const auto &[health, text] : items) {
        const int n = health == Health::all ? m_context.servers->rowCount() : m_filter->count(health);
        const QString label = text.arg(n);
        if (m_healthFilter->itemText(int(health)) != label)
            m_healthFilter->setItemText(int(health), label);
    }
}

void MainWindow::applyHealthFilter(int health)
{
    m_healthFilter->setCurrentIndex(health);
    m_filter->setHealth(ServerFilterModel::Health(health));
}

void MainWindow::showNeedingAttention()
{
    select(std::nullopt);
    const int attention = m_order->findData(int(ServerFilterModel::Order::attentionFirst));
    m_order->setCurrentIndex(attention);
    m_filter->setOrder(ServerFilterModel::Order::attentionFirst);
}
