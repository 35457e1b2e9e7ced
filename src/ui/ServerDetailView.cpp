// The editor of one server.
#include "ui/ServerDetailView.h"

#include "core/engine/RsyncRunner.h"
#include "core/model/ServerCheck.h"
#include "core/presentation/Formatting.h"
#include "core/presentation/ServerActivity.h"
#include "core/presentation/ServerRules.h"
#include "core/schedule/Scheduler.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "ui/BackupsSection.h"
#include "ui/Dialogs.h"
#include "ui/Icons.h"
#include "ui/Style.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <qcoro/qcorotask.h>

namespace {

const QColor orange(0xd9, 0x82, 0x1e);

// Sets a line edit's text without reporting it as an edit, unless the user is typing in it.
void showText(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text && !edit->hasFocus())
        edit->setText(text);
}

} // namespace

ServerDetailView::ServerDetailView(const QUuid &serverID, ConfigStore *store, RsyncRunner *runner, const Scheduler *scheduler,
                                   Dialogs *dialogs, ServerActivity *activity, QWidget *parent)
    : QWidget(parent)
    , m_id(serverID)
    , m_store(store)
    , m_runner(runner)
    , m_activity(activity)
    , m_scheduler(scheduler)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("serverDetailView"));
    const Server current = server();
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto *toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("editorToolbar"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction *remove = toolbar->addAction(Icons::get(QStringLiteral("edit-delete")), tr("Delete"));
    remove->setObjectName(QStringLiteral("deleteServer"));
    remove->setToolTip(tr("Delete this server"));
    QAction *folder = toolbar->addAction(Icons::get(QStringLiteral("folder")), tr("Open backups folder"));
    folder->setObjectName(QStringLiteral("openFolder"));
    folder->setShortcut(QKeySequence(QStringLiteral("Ctrl+B")));
    folder->setToolTip(tr("Open this server's local backup folder (Ctrl+B)"));
    m_lastLogAction = toolbar->addAction(Icons::get(QStringLiteral("text-x-generic")), tr("Last log"));
    m_lastLogAction->setObjectName(QStringLiteral("lastLog"));
    m_lastLogAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+L")));
    m_lastLogAction->setToolTip(tr("View log of last execution (Ctrl+L)"));
    m_runAction = toolbar->addAction(Icons::get(QStringLiteral("go-down")), tr("Run backup"));
    m_runAction->setObjectName(QStringLiteral("runBackup"));
    m_runAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
    m_runAction->setToolTip(tr("Run backup (Ctrl+R)"));
    connect(remove, &QAction::triggered, this, [this] { Q_EMIT deleteRequested(m_id); });
    connect(folder, &QAction::triggered, this, [this] { Q_EMIT openFolderRequested(m_id); });
    connect(m_lastLogAction, &QAction::triggered, this, [this] { Q_EMIT viewLogRequested(m_id); });
    connect(m_runAction, &QAction::triggered, this, [this] {
        if (canRun())
            Q_EMIT runRequested(m_id);
    });
    outer->addWidget(toolbar);

    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *content = new QWidget(scroll);
    m_form = new QVBoxLayout(content);
    m_form->setContentsMargins(20, 12, 20, 20);
    m_form->setSpacing(14);
    scroll->setWidget(content);
    outer->addWidget(scroll, 1);

    // Connection
    QGroupBox *connection = section(tr("Connection"));
    auto *connectionLayout = qobject_cast<QVBoxLayout *>(connection->layout());
    m_name = new QLineEdit(current.name, connection);
    m_name->setObjectName(QStringLiteral("nameField"));
    m_host = new QLineEdit(current.host, connection);
    m_host->setObjectName(QStringLiteral("hostField"));
    m_host->setPlaceholderText(QStringLiteral("backup.example.com"));
    m_port = new QLineEdit(QLocale().toString(current.port), connection);
    m_port->setObjectName(QStringLiteral("portField"));
    m_port->setPlaceholderText(QStringLiteral("22"));
    m_user = new QLineEdit(current.username, connection);
    m_user->setObjectName(QStringLiteral("userField"));
    m_user->setPlaceholderText(QStringLiteral("deploy"));
    m_agent = new QCheckBox(connection);
    m_agent->setObjectName(QStringLiteral("agentSwitch"));
    m_agent->setChecked(current.useSSHAgent);
    m_agent->setToolTip(tr("Use keys loaded in ssh-agent instead of a file on disk. Supports passphrase-protected keys."));
    auto *keyBox = new QWidget(connection);
    auto *keyLayout = new QHBoxLayout(keyBox);
    keyLayout->setContentsMargins(0, 0, 0, 0);
    m_key = new QLineEdit(current.privateKeyPath, keyBox);
    m_key->setObjectName(QStringLiteral("keyField"));
    m_key->setPlaceholderText(QStringLiteral("~/.ssh/id_ed25519"));
    m_key->setFont(Style::monospace());
    auto *browse = new QPushButton(tr("Browse…"), keyBox);
    browse->setObjectName(QStringLiteral("browseKey"));
    keyLayout->addWidget(m_key, 1);
    keyLayout->addWidget(browse);
    connectionLayout->addWidget(field(tr("Name"), m_name));
    m_nameProblem = Style::note(QString(), connection, Icons::red());
    m_nameProblem->setObjectName(QStringLiteral("nameProblem"));
    connectionLayout->addWidget(m_nameProblem);
    connectionLayout->addWidget(field(tr("Host"), m_host));
    connectionLayout->addWidget(field(tr("Port"), m_port));
    connectionLayout->addWidget(field(tr("Username"), m_user));
    connectionLayout->addWidget(field(tr("Use ssh-agent"), m_agent));
    m_keyRow = field(tr("SSH private key"), keyBox);
    m_keyRow->setObjectName(QStringLiteral("keyRow"));
    connectionLayout->addWidget(m_keyRow);

    auto *testLine = new QHBoxLayout;
    m_test = new QPushButton(Icons::get(QStringLiteral("network-connect")), tr("Test connection"), connection);
    m_test->setObjectName(QStringLiteral("testConnection"));
    m_testResult = new QLabel(connection);
    m_testResult->setObjectName(QStringLiteral("testResult"));
    testLine->addWidget(m_test);
    testLine->addWidget(m_testResult);
    testLine->addStretch(1);
    connectionLayout->addLayout(testLine);
    m_testMessage = new QLabel(connection);
    m_testMessage->setObjectName(QStringLiteral("testMessage"));
    m_testMessage->setFont(Style::monospace(0.9));
    m_testMessage->setWordWrap(true);
    m_testMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_testMessage->setMargin(8);
    connectionLayout->addWidget(m_testMessage);

    connect(m_name, &QLineEdit::textEdited, this, [this](const QString &text) { edit([&](Server &s) { s.name = text; }); });
    connect(m_host, &QLineEdit::textEdited, this, [this](const QString &text) { edit([&](Server &s) { s.host = text; }); });
    connect(m_port, &QLineEdit::textEdited, this, [this](const QString &text) {
        bool ok = false;
        const qint64 port = QLocale().toLongLong(text, &ok);
        if (ok)
            edit([&](Server &s) { s.port = port; });
    });
    connect(m_user, &QLineEdit::textEdited, this, [this](const QString &text) { edit([&](Server &s) { s.username = text; }); });
    connect(m_agent, &QCheckBox::toggled, this, [this](bool on) { edit([&](Server &s) { s.useSSHAgent = on; }); });
    connect(m_key, &QLineEdit::textEdited, this, [this](const QString &text) { edit([&](Server &s) { s.privateKeyPath = text; }); });
    connect(browse, &QPushButton::clicked, this, &ServerDetailView::pickKey);
    connect(m_test, &QPushButton::clicked, this, &ServerDetailView::testConnection);

    // Host key
    QGroupBox *hostKey = section(tr("Host key"));
    auto *hostLayout = qobject_cast<QVBoxLayout *>(hostKey->layout());
    auto *checkLine = new QHBoxLayout;
    m_checkHost = new QPushButton(Icons::get(QStringLiteral("security-high")), tr("Check host key"), hostKey);
    m_checkHost->setObjectName(QStringLiteral("checkHostKey"));
    m_hostBadge = new QLabel(hostKey);
    m_hostBadge->setObjectName(QStringLiteral("hostBadge"));
    checkLine->addWidget(m_checkHost);
    checkLine->addWidget(m_hostBadge);
    checkLine->addStretch(1);
    hostLayout->addLayout(checkLine);
    m_hostDetail = new QWidget(hostKey);
    m_hostDetail->setObjectName(QStringLiteral("hostDetail"));
    new QVBoxLayout(m_hostDetail);
    m_hostDetail->layout()->setContentsMargins(0, 0, 0, 0);
    hostLayout->addWidget(m_hostDetail);
    m_hostNote = Style::note(tr("Verify the server's SSH host key fingerprint before trusting it. On first use, compare the fingerprint "
                         "with what the server administrator provides."),
                      hostKey, Icons::secondary(this));
    hostLayout->addWidget(m_hostNote);
    m_hostAction = Style::note(QString(), hostKey, Icons::secondary(this));
    m_hostAction->setObjectName(QStringLiteral("hostActionMessage"));
    hostLayout->addWidget(m_hostAction);
    connect(m_checkHost, &QPushButton::clicked, this, &ServerDetailView::checkHostKey);

    // Backup paths
    QGroupBox *paths = section(QString());
    auto *pathsLayout = qobject_cast<QVBoxLayout *>(paths->layout());
    auto *pathsHeader = new QHBoxLayout;
    auto *pathsTitle = new QLabel(tr("Backup paths"), paths);
    QFont bold = pathsTitle->font();
    bold.setBold(true);
    pathsTitle->setFont(bold);
    m_pathCounter = Style::note(QString(), paths, Icons::secondary(this));
    m_pathCounter->setObjectName(QStringLiteral("pathCounter"));
    m_pathCounter->setWordWrap(false);
    pathsHeader->addWidget(pathsTitle, 1);
    pathsHeader->addWidget(m_pathCounter);
    pathsLayout->addLayout(pathsHeader);
    m_pathRows = new QVBoxLayout;
    m_pathRows->setSpacing(10);
    pathsLayout->addLayout(m_pathRows);
    auto *addPathButton = new QPushButton(Icons::get(QStringLiteral("list-add")), tr("Add path"), paths);
    addPathButton->setObjectName(QStringLiteral("addPath"));
    auto *addLine = new QHBoxLayout;
    addLine->addWidget(addPathButton);
    addLine->addStretch(1);
    pathsLayout->addLayout(addLine);
    connect(addPathButton, &QPushButton::clicked, this, &ServerDetailView::addPath);

    // Schedule
    QGroupBox *schedule = section(tr("Schedule"));
    auto *scheduleLayout = qobject_cast<QVBoxLayout *>(schedule->layout());
    m_schedule = new QCheckBox(tr("Run automatically every day"), schedule);
    m_schedule->setObjectName(QStringLiteral("scheduleSwitch"));
    m_schedule->setChecked(current.scheduleEnabled);
    m_time = new QLineEdit(current.scheduleTime, schedule);
    m_time->setObjectName(QStringLiteral("timeField"));
    m_time->setPlaceholderText(QStringLiteral("03:00"));
    m_time->setFixedWidth(100);
    auto *timeBox = new QWidget(schedule);
    auto *timeLayout = new QHBoxLayout(timeBox);
    timeLayout->setContentsMargins(0, 0, 0, 0);
    timeLayout->addWidget(m_time);
    timeLayout->addStretch(1);
    m_scheduleErrorLabel = Style::note(QString(), schedule, Icons::red());
    m_scheduleErrorLabel->setObjectName(QStringLiteral("scheduleError"));
    scheduleLayout->addWidget(m_schedule);
    scheduleLayout->addWidget(field(tr("Time (HH:mm)"), timeBox));
    scheduleLayout->addWidget(m_scheduleErrorLabel);
    scheduleLayout->addWidget(Style::note(tr("Scheduling uses %1. When the scheduled time arrives, Tidewell runs in the background "
                                      "(no window shown).")
                                       .arg(m_scheduler->schedulerName()),
                                   schedule, Icons::secondary(this)));
    connect(m_schedule, &QCheckBox::toggled, this, [this](bool on) {
        edit([&](Server &s) { s.scheduleEnabled = on; });
        syncSchedule();
    });
    connect(m_time, &QLineEdit::textEdited, this, [this](const QString &text) {
        edit([&](Server &s) { s.scheduleTime = text; });
        if (server().scheduleEnabled)
            syncSchedule();
    });

    // Retention
    QGroupBox *retention = section(tr("Retention"));
    auto *retentionLayout = qobject_cast<QVBoxLayout *>(retention->layout());
    m_retention = new QLineEdit(current.retentionCount == 0 ? QString() : QLocale().toString(current.retentionCount), retention);
    m_retention->setObjectName(QStringLiteral("retentionField"));
    m_retention->setPlaceholderText(tr("0 = keep all"));
    m_retention->setFixedWidth(120);
    auto *retentionBox = new QWidget(retention);
    auto *retentionBoxLayout = new QHBoxLayout(retentionBox);
    retentionBoxLayout->setContentsMargins(0, 0, 0, 0);
    retentionBoxLayout->addWidget(m_retention);
    retentionBoxLayout->addStretch(1);
    retentionLayout->addWidget(field(tr("Keep last N daily backups"), retentionBox));
    retentionLayout->addWidget(Style::note(tr("Only applies when 'Create date subfolder' is on in Settings. Older YYYY-MM-DD folders are "
                                       "deleted after each successful run."),
                                    retention, Icons::secondary(this)));
    connect(m_retention, &QLineEdit::textEdited, this, [this](const QString &text) {
        bool ok = false;
        const qint64 keep = text.trimmed().isEmpty() ? 0 : QLocale().toLongLong(text, &ok);
        if (ok || text.trimmed().isEmpty())
            edit([&](Server &s) { s.retentionCount = keep; });
    });

    // Last run
    m_lastRun = section(tr("Last run"));
    m_lastRun->setObjectName(QStringLiteral("lastRunSection"));
    auto *lastRunLayout = qobject_cast<QVBoxLayout *>(m_lastRun->layout());
    m_lastRunWhen = new QLabel(m_lastRun);
    m_lastRunWhen->setObjectName(QStringLiteral("lastRunWhen"));
    m_lastRunStatus = new QLabel(m_lastRun);
    m_lastRunStatus->setObjectName(QStringLiteral("lastRunStatus"));
    m_lastRunStatus->setTextFormat(Qt::RichText);
    lastRunLayout->addWidget(field(tr("When"), m_lastRunWhen));
    lastRunLayout->addWidget(field(tr("Status"), m_lastRunStatus));
    m_viewLog = new QPushButton(Icons::get(QStringLiteral("text-x-generic")), tr("View full log"), m_lastRun);
    m_viewLog->setObjectName(QStringLiteral("viewFullLog"));
    auto *viewLine = new QHBoxLayout;
    viewLine->addWidget(m_viewLog);
    viewLine->addStretch(1);
    lastRunLayout->addLayout(viewLine);
    connect(m_viewLog, &QPushButton::clicked, this, [this] { Q_EMIT viewLogRequested(m_id); });

    m_backups = new BackupsSection(m_id, m_store, content);
    m_form->addWidget(m_backups);
    connect(m_backups, &BackupsSection::openRequested, this, &ServerDetailView::openPathRequested);
    connect(m_runner, &RsyncRunner::runFinished, m_backups, [this](const QUuid &id) {
        if (id == m_id)
            m_backups->refresh();
    });

    m_form->addStretch(1);

    connect(m_store, &ConfigStore::settingsChanged, this, &ServerDetailView::refresh);
    connect(m_runner, &RsyncRunner::isRunningChanged, this, &ServerDetailView::refresh);
    if (m_activity)
        connect(m_activity, &ServerActivity::changed, this, &ServerDetailView::refresh);
    rebuildPaths();
    rebuildHostKeyDetail();
    refresh();
}

Server ServerDetailView::server() const
{
    if (const Server *found = m_store->settings().server(m_id))
        return *found;
    return ServerRules::newServer(QString());
}

void ServerDetailView::edit(const std::function<void(Server &)> &change)
{
    if (m_store->settings().server(m_id))
        m_store->updateServer(m_id, change);
}

void ServerDetailView::editPath(const QUuid &pathID, const std::function<void(BackupPath &)> &change)
{
    edit([&](Server &s) {
        for (BackupPath &path : s.paths) {
            if (path.id == pathID)
                change(path);
        }
    });
}

QGroupBox *ServerDetailView::section(const QString &title)
{
    auto *box = new QGroupBox(title, m_form->parentWidget());
    auto *layout = new QVBoxLayout(box);
    layout->setSpacing(8);
    m_form->addWidget(box);
    return box;
}

QWidget *ServerDetailView::field(const QString &label, QWidget *content)
{
    auto *row = new QWidget(content->parentWidget());
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    auto *caption = new QLabel(label, row);
    caption->setFixedWidth(140);
    caption->setStyleSheet(Icons::colorStyle(Icons::secondary(this)));
    layout->addWidget(caption, 0, Qt::AlignVCenter | Qt::AlignLeft);
    content->setParent(row);
    layout->addWidget(content, 1);
    return row;
}

bool ServerDetailView::canRun() const
{
    if (m_activity)
        return m_activity->canStart(m_id);
    return !m_runner->isRunning() && ServerRules::isRunnable(server(), m_store->settings().servers);
}

QStringList ServerDetailView::problemTexts() const
{
    QStringList texts;
    for (const ServerCheck::Problem &problem : ServerCheck::problems(server(), m_store->settings().servers))
        texts << problem.message;
    return texts;
}

void ServerDetailView::refresh()
{
    const Server s = server();
    setWindowTitle(s.name.isEmpty() ? tr("Server") : s.name);
    showText(m_name, s.name);
    showText(m_host, s.host);
    bool portOk = false;
    if (QLocale().toLongLong(m_port->text(), &portOk) != s.port || !portOk)
        showText(m_port, QLocale().toString(s.port));
    showText(m_user, s.username);
    showText(m_key, s.privateKeyPath);
    if (m_agent->isChecked() != s.useSSHAgent) {
        const QSignalBlocker block(m_agent);
        m_agent->setChecked(s.useSSHAgent);
    }
    m_keyRow->setVisible(!s.useSSHAgent);

    m_test->setEnabled(!m_testing && !s.host.isEmpty() && !s.username.isEmpty());
    m_test->setText(m_testing ? tr("Testing…") : tr("Test connection"));
    m_testResult->setVisible(m_testReport.has_value());
    if (m_testReport)
        m_testResult->setText(QStringLiteral("<span style='color:%1'>%2</span>")
                                  .arg((m_testReport->ok ? Icons::green() : Icons::red()).name(),
                                       m_testReport->ok ? tr("✓ Connected") : tr("✗ Failed")));
    const bool showMessage = m_testReport && !m_testing && !m_testReport->message.isEmpty();
    m_testMessage->setVisible(showMessage);
    if (showMessage) {
        m_testMessage->setText(m_testReport->message);
        m_testMessage->setStyleSheet(QStringLiteral("QLabel { border: 1px solid %1; border-radius: 6px; }")
                                         .arg((m_testReport->ok ? Icons::green() : Icons::red()).name()));
    }

    m_checkHost->setEnabled(!m_checkingHost && !s.host.isEmpty());
    m_checkHost->setText(m_checkingHost ? tr("Checking…") : tr("Check host key"));
    m_hostNote->setVisible(!m_hostStatus);
    m_hostAction->setVisible(!m_hostActionMessage.isEmpty());
    m_hostAction->setText(m_hostActionMessage);

    int enabled = ServerRules::enabledPathCount(s);
    m_pathCounter->setText(tr("%1 enabled of %2").arg(enabled).arg(s.paths.size()));
    QList<QUuid> ids;
    for (const BackupPath &path : s.paths)
        ids << path.id;
    if (ids != m_shownPathIDs)
        rebuildPaths();

    if (m_schedule->isChecked() != s.scheduleEnabled) {
        const QSignalBlocker block(m_schedule);
        m_schedule->setChecked(s.scheduleEnabled);
    }
    showText(m_time, s.scheduleTime);
    m_time->setEnabled(s.scheduleEnabled);
    m_scheduleErrorLabel->setVisible(!m_scheduleError.isEmpty());
    m_scheduleErrorLabel->setText(m_scheduleError);
    bool retentionOk = false;
    const qint64 shownKeep = m_retention->text().trimmed().isEmpty() ? 0 : QLocale().toLongLong(m_retention->text(), &retentionOk);
    if (shownKeep != s.retentionCount)
        showText(m_retention, s.retentionCount == 0 ? QString() : QLocale().toString(s.retentionCount));

    const bool hasLog = QFile::exists(LogStore::logFile(s.id));
    m_lastRun->setVisible(s.lastRunAt.has_value());
    if (s.lastRunAt) {
        m_lastRunWhen->setText(Formatting::shortDateTime(*s.lastRunAt));
        if (!s.lastExitCode)
            m_lastRunStatus->setText(QStringLiteral("—"));
        else if (*s.lastExitCode == 0)
            m_lastRunStatus->setText(QStringLiteral("<span style='color:%1'>●</span> %2").arg(Icons::green().name(), tr("Success")));
        else
            m_lastRunStatus->setText(QStringLiteral("<span style='color:%1'>●</span> %2")
                                         .arg(Icons::red().name(), tr("Failed (exit %1)").arg(*s.lastExitCode)));
    }
    m_viewLog->setEnabled(hasLog);
    m_lastLogAction->setEnabled(hasLog);
    m_runAction->setEnabled(canRun());

    // What a run would refuse, where the user types it.
    QString nameProblem;
    QHash<QUuid, QString> pathProblems;
    QStringList all;
    for (const ServerCheck::Problem &problem : ServerCheck::problems(s, m_store->settings().servers)) {
        all << problem.message;
        if (problem.field == ServerCheck::Problem::Field::name)
            nameProblem = problem.message;
        else if (problem.field == ServerCheck::Problem::Field::path)
            pathProblems[problem.pathID] += (pathProblems[problem.pathID].isEmpty() ? QString() : QStringLiteral("\n")) + problem.message;
    }
    m_nameProblem->setText(nameProblem);
    m_nameProblem->setVisible(!nameProblem.isEmpty());
    for (auto it = m_pathProblems.begin(); it != m_pathProblems.end(); ++it) {
        it.value()->setText(pathProblems.value(it.key()));
        it.value()->setVisible(pathProblems.contains(it.key()));
    }
    m_runAction->setToolTip(all.isEmpty() ? tr("Run backup (Ctrl+R)") : all.join(u'\n'));
}

void ServerDetailView::rebuildPaths()
{
    while (QLayoutItem *item = m_pathRows->takeAt(0)) {
        if (item->widget()) {
            item->widget()->hide();
            item->widget()->deleteLater();
        }
        delete item;
    }
    m_shownPathIDs.clear();
    m_pathProblems.clear();
    for (const BackupPath &path : server().paths) {
        m_pathRows->addWidget(pathRow(path));
        m_shownPathIDs << path.id;
    }
}

QWidget *ServerDetailView::pathRow(const BackupPath &path)
{
    auto *row = new QWidget(m_pathRows->parentWidget());
    row->setObjectName(QStringLiteral("pathRow"));
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *enabled = new QCheckBox(row);
    enabled->setObjectName(QStringLiteral("pathEnabled"));
    enabled->setChecked(path.enabled);
    layout->addWidget(enabled, 0, Qt::AlignTop);

    auto *column = new QVBoxLayout;
    column->setSpacing(4);
    auto *name = new QLineEdit(path.name, row);
    name->setObjectName(QStringLiteral("pathName"));
    name->setPlaceholderText(tr("Label (e.g. SQLite DB, Media)"));
    auto *remote = new QLineEdit(path.remotePath, row);
    remote->setObjectName(QStringLiteral("pathRemote"));
    remote->setPlaceholderText(tr("Remote path (e.g. /var/www/app/media)"));
    remote->setFont(Style::monospace());
    auto *kind = new QWidget(row);
    kind->setMaximumWidth(220);
    auto *kindLayout = new QHBoxLayout(kind);
    kindLayout->setContentsMargins(0, 0, 0, 0);
    auto *directory = new QRadioButton(tr("Directory"), kind);
    directory->setObjectName(QStringLiteral("pathDirectory"));
    auto *file = new QRadioButton(tr("File"), kind);
    file->setObjectName(QStringLiteral("pathFile"));
    (path.isDirectory ? directory : file)->setChecked(true);
    auto *group = new QButtonGroup(kind);
    group->addButton(directory);
    group->addButton(file);
    kindLayout->addWidget(directory);
    kindLayout->addWidget(file);
    kindLayout->addStretch(1);
    auto *command = new QPlainTextEdit(path.preBackupCommand, row);
    command->setObjectName(QStringLiteral("pathCommand"));
    command->setPlaceholderText(tr("Pre-backup command (runs via SSH before rsync, optional)"));
    command->setFont(Style::monospace(0.9));
    command->setTabChangesFocus(true);
    const auto fitLines = [command] {
        // One to four lines, growing with the text.
        const int lines = std::clamp(int(command->document()->blockCount()), 1, 4);
        const int lineHeight = command->fontMetrics().lineSpacing();
        command->setFixedHeight(lines * lineHeight + 2 * int(command->document()->documentMargin()) + 6);
    };
    fitLines();
    auto *problem = Style::note(QString(), row, Icons::red());
    problem->setObjectName(QStringLiteral("pathProblem"));
    problem->hide();
    m_pathProblems.insert(path.id, problem);
    column->addWidget(name);
    column->addWidget(problem);
    column->addWidget(remote);
    column->addWidget(kind);
    column->addWidget(command);
    layout->addLayout(column, 1);

    auto *trash = new QToolButton(row);
    trash->setObjectName(QStringLiteral("pathRemove"));
    trash->setAutoRaise(true);
    trash->setIcon(Icons::get(QStringLiteral("edit-delete")));
    trash->setToolTip(tr("Remove this path"));
    layout->addWidget(trash, 0, Qt::AlignTop);

    const QUuid id = path.id;
    connect(enabled, &QCheckBox::toggled, this, [this, id](bool on) { editPath(id, [&](BackupPath &p) { p.enabled = on; }); });
    connect(name, &QLineEdit::textEdited, this, [this, id](const QString &t) { editPath(id, [&](BackupPath &p) { p.name = t; }); });
    connect(remote, &QLineEdit::textEdited, this,
            [this, id](const QString &t) { editPath(id, [&](BackupPath &p) { p.remotePath = t; }); });
    connect(directory, &QRadioButton::toggled, this,
            [this, id](bool on) { editPath(id, [&](BackupPath &p) { p.isDirectory = on; }); });
    connect(command, &QPlainTextEdit::textChanged, this, [this, id, command, fitLines] {
        fitLines();
        const QString text = command->toPlainText();
        editPath(id, [&](BackupPath &p) { p.preBackupCommand = text; });
    });
    connect(trash, &QToolButton::clicked, this,
            [this, id] { edit([&](Server &s) { s.paths.removeIf([&](const BackupPath &p) { return p.id == id; }); }); });
    return row;
}

void ServerDetailView::addPath()
{
    BackupPath path;
    path.name = QStringLiteral("New path");
    edit([&](Server &s) { s.paths.append(path); });
}

void ServerDetailView::pickKey()
{
    const QString chosen = m_dialogs->openFileName(this, tr("Choose SSH private key"), AppPaths::homeFolder() + QStringLiteral("/.ssh"),
                                                   tr("All files (*)"), true);
    if (chosen.isEmpty())
        return;
    const QString absolute = QFileInfo(chosen).absoluteFilePath();
    edit([&](Server &s) { s.privateKeyPath = absolute; });
}

void ServerDetailView::syncSchedule()
{
    m_scheduleError.clear();
    const Server s = server();
    const auto synced = s.scheduleEnabled ? m_scheduler->install(s) : m_scheduler->uninstall(s.id);
    if (!synced)
        m_scheduleError = synced.error().description();
    refresh();
}

void ServerDetailView::testConnection()
{
    m_testing = true;
    m_testReport.reset();
    refresh();
    QCoro::connect(SSHTester::test(server(), 10), this, [this](const SSHTester::Report &report) {
        m_testReport = report;
        m_testing = false;
        refresh();
        Q_EMIT busyChanged();
    });
}

void ServerDetailView::checkHostKey()
{
    m_hostActionMessage.clear();
    runHostCheck();
}

void ServerDetailView::runHostCheck()
{
    m_checkingHost = true;
    refresh();
    const Server s = server();
    QCoro::connect(HostKeyChecker::check(s.host, s.port), this, [this](const HostKeyChecker::Status &status) {
        m_checkingHost = false;
        setHostStatus(status);
        Q_EMIT busyChanged();
    });
}

void ServerDetailView::setHostStatus(const HostKeyChecker::Status &status)
{
    m_hostStatus = status;
    rebuildHostKeyDetail();
    refresh();
}

void ServerDetailView::trustHost()
{
    m_hostActionMessage.clear();
    refresh();
    const Server s = server();
    QCoro::connect(HostKeyChecker::trust(s.host, s.port), this, [this](const HostKeyChecker::ProbeResult &result) {
        if (result.ok()) {
            // The check runs again; the message stays with its result.
            m_hostActionMessage = QStringLiteral("Host key added to ~/.ssh/known_hosts.");
            runHostCheck();
            return;
        }
        m_hostActionMessage = QStringLiteral("Failed to trust host: ") + result.error.description();
        refresh();
        Q_EMIT busyChanged();
    });
}

QWidget *ServerDetailView::fingerprintBox(const QString &title, const HostKeyChecker::Fingerprint &fp, const QColor &tint)
{
    auto *box = new QWidget(m_hostDetail);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(Style::note(title, box, Icons::secondary(this)));
    auto *line = new QHBoxLayout;
    auto *type = new QLabel(fp.keyType, box);
    QFont semibold = type->font();
    semibold.setPointSizeF(semibold.pointSizeF() * 0.9);
    semibold.setWeight(QFont::DemiBold);
    type->setFont(semibold);
    QColor background = tint;
    background.setAlphaF(0.18);
    type->setStyleSheet(QStringLiteral("QLabel { background: rgba(%1,%2,%3,%4); border-radius: 4px; padding: 1px 6px; }")
                            .arg(background.red())
                            .arg(background.green())
                            .arg(background.blue())
                            .arg(background.alphaF()));
    auto *hash = new QLabel(fp.sha256, box);
    hash->setObjectName(QStringLiteral("fingerprint"));
    hash->setFont(Style::monospace(0.9));
    hash->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    line->addWidget(type);
    line->addWidget(hash, 1);
    layout->addLayout(line);
    return box;
}

void ServerDetailView::rebuildHostKeyDetail()
{
    auto *layout = qobject_cast<QVBoxLayout *>(m_hostDetail->layout());
    while (QLayoutItem *item = layout->takeAt(0)) {
        if (item->widget()) {
            item->widget()->hide();
            item->widget()->deleteLater();
        }
        delete item;
    }
    m_hostBadge->clear();
    m_hostDetail->setVisible(m_hostStatus.has_value());
    if (!m_hostStatus)
        return;
    using State = HostKeyChecker::Status::State;
    const auto classified = m_hostStatus->state();
    auto badge = [this](const QString &text, const QColor &color) {
        m_hostBadge->setText(text);
        QFont font = m_hostBadge->font();
        font.setWeight(QFont::Medium);
        m_hostBadge->setFont(font);
        m_hostBadge->setStyleSheet(Icons::colorStyle(color));
    };
    switch (classified.state) {
    case State::trusted:
        badge(tr("✔ Trusted"), Icons::green());
        layout->addWidget(fingerprintBox(tr("Trusted fingerprint"), classified.live, Icons::green()));
        break;
    case State::unknown: {
        badge(tr("? Unknown host"), orange);
        layout->addWidget(fingerprintBox(tr("Server's fingerprint"), classified.live, orange));
        auto *trustRow = new QWidget(m_hostDetail);
        auto *trustLine = new QHBoxLayout(trustRow);
        trustLine->setContentsMargins(0, 0, 0, 0);
        auto *trust = new QPushButton(Icons::get(QStringLiteral("security-high")), tr("Trust this host"), trustRow);
        trust->setObjectName(QStringLiteral("trustHost"));
        connect(trust, &QPushButton::clicked, this, &ServerDetailView::trustHost);
        trustLine->addWidget(trust);
        trustLine->addWidget(Style::note(tr("Only trust if the fingerprint matches what the administrator gave you."), trustRow,
                                  Icons::secondary(this)),
                             1);
        layout->addWidget(trustRow);
        break;
    }
    case State::mismatch:
        badge(tr("⚠ Fingerprint mismatch!"), Icons::red());
        layout->addWidget(fingerprintBox(tr("Server presents"), classified.live, Icons::red()));
        layout->addWidget(fingerprintBox(tr("You trusted"), classified.known, Icons::secondary(this)));
        layout->addWidget(Style::note(tr("DANGER: the key changed. This can happen after a server rebuild — but also indicates possible "
                                  "interception. Do not proceed without verifying with the administrator."),
                               m_hostDetail, Icons::red()));
        break;
    case State::unreachable: {
        badge(tr("✖ Unreachable"), Icons::red());
        auto *reason = Style::note(classified.reason, m_hostDetail, Icons::secondary(this));
        reason->setObjectName(QStringLiteral("unreachableReason"));
        reason->setFont(Style::monospace(0.9));
        layout->addWidget(reason);
        break;
    }
    }
}
