// SPDX-License-Identifier: GPL-3.0-or-later
// The editor of one server: toolbar and sections.
#include "ui/editor/ServerDetailView.h"

#include "core/engine/RunPool.h"
#include "core/model/ServerCheck.h"
#include "core/presentation/HostKeyCheck.h"
#include "core/presentation/ServerActivity.h"
#include "core/presentation/ServerListModel.h"
#include "core/schedule/ScheduleStatus.h"
#include "core/ssh/SSHTester.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "ui/editor/AdvancedSection.h"
#include "ui/editor/BackupsSection.h"
#include "ui/editor/CommandsSection.h"
#include "ui/editor/ConnectionSection.h"
#include "ui/editor/HostKeySection.h"
#include "ui/editor/LastRunSection.h"
#include "ui/editor/PathsSection.h"
#include "ui/editor/PreviewDialog.h"
#include "ui/editor/RemoteFolderDialog.h"
#include "ui/editor/RetentionSection.h"
#include "ui/editor/ScheduleSection.h"
#include "ui/widgets/Dialogs.h"
#include "ui/widgets/Icons.h"

#include <QAction>
#include <QFile>
#include <QResizeEvent>
#include <QScrollArea>
#include <QToolBar>
#include <QVBoxLayout>

#include <qcoro/qcorotask.h>

ServerDetailView::ServerDetailView(const QUuid &serverID, const AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_id(serverID)
    , m_context(context)
{
    setObjectName(QStringLiteral("serverDetailView"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    QToolBar *toolbar = buildToolbar();
    outer->addWidget(toolbar);

    auto *scroll = m_scroll = new QScrollArea(this);
    // Not a Tab stop of its own: Tab goes to its controls, and it scrolls to them.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *content = new QWidget(scroll);
    auto *form = new QVBoxLayout(content);
    form->setContentsMargins(20, 12, 20, 20);
    form->setSpacing(14);
    scroll->setWidget(content);
    outer->addWidget(scroll, 1);

    ConfigStore *store = m_context.store;
    m_connection = new ConnectionSection(m_id, store, m_context.dialogs, content);
    m_hostKey = new HostKeySection(m_id, store, content);
    m_paths = new PathsSection(m_id, store, content);
    m_schedule = new ScheduleSection(m_id, store, m_context.scheduler, m_context.schedules, content);
    m_retention = new RetentionSection(m_id, store, content);
    m_advanced = new AdvancedSection(m_id, store, content);
    m_commands = new CommandsSection(m_id, store, content);
    m_lastRun = new LastRunSection(m_id, store, m_context.runs, content);
    m_backups = new BackupsSection(m_id, store, content);
    for (QWidget *section : std::initializer_list<QWidget *>{m_connection, m_hostKey, m_paths, m_schedule, m_retention,
                                                             m_advanced, m_commands, m_lastRun, m_backups})
        form->addWidget(section);
    form->addStretch(1);

    connectHostKey();
    connectSections();
    refresh();
}

// Delete, open the folder, the last log and a run.
QToolBar *ServerDetailView::buildToolbar()
{
    auto *toolbar = m_toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("editorToolbar"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto action = [this, toolbar](const QString &name, const QString &icon, const QString &text,
                                        const QString &shortcut, const QString &tip) {
        QAction *a = toolbar->addAction(Icons::get(icon), text);
        a->setObjectName(name);
        if (!shortcut.isEmpty())
            a->setShortcut(QKeySequence(shortcut));
        a->setToolTip(tip);
        return a;
    };
    QAction *remove = action(QStringLiteral("deleteServer"), QStringLiteral("edit-delete"), tr("Delete"), {},
                             tr("Delete this server"));
    QAction *folder = action(QStringLiteral("openFolder"), QStringLiteral("folder"), tr("Open backups folder"),
                             QStringLiteral("Ctrl+B"), tr("Open this server's local backup folder (Ctrl+B)"));
    m_lastLogAction = action(QStringLiteral("lastLog"), QStringLiteral("text-x-generic"), tr("Last log"),
                             QStringLiteral("Ctrl+L"), tr("View log of last execution (Ctrl+L)"));
    m_runAction = action(QStringLiteral("runBackup"), QStringLiteral("go-down"), tr("Run backup"),
                         QStringLiteral("Ctrl+R"), tr("Run backup (Ctrl+R)"));
    connect(remove, &QAction::triggered, this, [this] { Q_EMIT deleteRequested(m_id); });
    connect(folder, &QAction::triggered, this, [this] { Q_EMIT openFolderRequested(m_id); });
    connect(m_lastLogAction, &QAction::triggered, this, [this] { Q_EMIT viewLogRequested(m_id); });
    connect(m_runAction, &QAction::triggered, this, [this] {
        if (canRun())
            Q_EMIT runRequested(m_id);
    });
    return toolbar;
}

void ServerDetailView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_toolbar->toolButtonStyle() == Qt::ToolButtonTextBesideIcon)
        m_toolbarTextWidth = m_toolbar->sizeHint().width();
    const Qt::ToolButtonStyle fits =
        m_toolbarTextWidth <= width() ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly;
    if (fits != m_toolbar->toolButtonStyle())
        m_toolbar->setToolButtonStyle(fits);
}

// A connection test or a key install that waits for the host key to be trusted.
void ServerDetailView::connectHostKey()
{
    connect(m_connection, &ConnectionSection::testFinished, this, &ServerDetailView::busyChanged);
    connect(m_connection, &ConnectionSection::sudoChecked, m_advanced, &AdvancedSection::showSudo);
    connect(m_hostKey->check(), &HostKeyCheck::finished, this, &ServerDetailView::busyChanged);
    connect(m_connection, &ConnectionSection::hostKeyNeeded, this, [this](ConnectionSection::AfterTrust then) {
        m_afterTrust = then;
        askForHostKey();
    });
    // What was asked for goes on once the key is trusted.
    connect(m_hostKey->check(), &HostKeyCheck::finished, this, [this] {
        const auto status = m_hostKey->check()->status();
        if (!m_afterTrust || !status || m_hostKey->check()->isChecking())
            return;
        const auto state = status->state().state;
        if (state == HostKeyChecker::Status::State::unknown)
            return; // still waiting for "Trust this host"
        const auto then = *m_afterTrust;
        m_afterTrust.reset(); // a mismatch or no answer ends the wait
        if (state != HostKeyChecker::Status::State::trusted)
            return;
        if (then == ConnectionSection::AfterTrust::test)
            m_connection->testConnection();
        else
            m_connection->installKey();
    });
    connect(m_hostKey, &HostKeySection::replaceRequested, this, &ServerDetailView::replaceHostKey);
    // A connection test that reached the server: what the host key section
    // showed before may be stale (a key replaced outside Tidewell).
    connect(m_connection, &ConnectionSection::testFinished, this, [this] {
        const auto status = m_hostKey->check()->status();
        if (status && status->state().state != HostKeyChecker::Status::State::trusted
            && !m_hostKey->check()->isChecking())
            checkHostKey();
    });
}

// What the other sections ask for, and what refreshes the editor.
void ServerDetailView::connectSections()
{
    connect(m_lastRun, &LastRunSection::viewLogRequested, this, [this] { Q_EMIT viewLogRequested(m_id); });
    connect(m_paths, &PathsSection::previewRequested, this, &ServerDetailView::previewPath);
    connect(m_paths, &PathsSection::browseRequested, this, &ServerDetailView::browsePath);
    connect(m_backups, &BackupsSection::openRequested, this, &ServerDetailView::openPathRequested);
    connect(m_backups, &BackupsSection::browseRequested, this,
            [this](const QString &date) { Q_EMIT restoreRequested(m_id, date); });
    connect(m_context.runs, &RunPool::runFinished, this, [this](const QUuid &id) {
        if (id == m_id)
            m_backups->refresh();
    });
    // Each change updates the sections in place; this server's row also
    // changes when a run starts or ends here or elsewhere.
    connect(m_context.store, &ConfigStore::settingsChanged, this, &ServerDetailView::refresh);
    ServerListModel *model = m_context.servers;
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &top, const QModelIndex &bottom, const QList<int> &roles) {
                const int row = m_context.servers->rowOf(m_id);
                if (row >= top.row() && row <= bottom.row() && roles.contains(ServerListModel::CanStartRole))
                    refresh();
            });
}

Server ServerDetailView::server() const
{
    const Server *found = m_context.store->settings().server(m_id);
    return found ? *found : Server{};
}

void ServerDetailView::retire()
{
    const QList<QObject *> senders{m_context.store, m_context.runs, m_context.activity, m_context.schedules,
                                   m_context.servers};
    QList<QObject *> receivers = findChildren<QObject *>();
    receivers.append(this);
    for (QObject *sender : senders) {
        if (!sender)
            continue;
        for (QObject *receiver : std::as_const(receivers))
            QObject::disconnect(sender, nullptr, receiver, nullptr);
    }
    disconnect(this, nullptr, nullptr, nullptr);
    hide();
}

void ServerDetailView::refresh()
{
    const Server s = server();
    setWindowTitle(s.name.isEmpty() ? tr("Server") : s.name);
    m_connection->refresh(s);
    m_hostKey->refresh(s);
    m_paths->refresh(s);
    m_schedule->refresh(s);
    m_retention->refresh(s);
    m_advanced->refresh(s);
    m_commands->refresh(s);
    m_lastRun->refresh(s);

    // What a run would refuse, where the user types it.
    QString nameProblem;
    QString hostProblem;
    QString userProblem;
    QHash<QUuid, QString> pathProblems;
    QStringList all;
    for (const ServerCheck::Problem &problem : ServerCheck::problems(s, m_context.store->settings().servers)) {
        all << problem.shown;
        if (problem.inFile)
            hostProblem += (hostProblem.isEmpty() ? QString() : QStringLiteral("\n")) + problem.shown;
        else if (problem.field == ServerCheck::Problem::Field::name)
            nameProblem = problem.shown;
        // A field not filled in yet is said in the run button's tip alone.
        else if (problem.field == ServerCheck::Problem::Field::host && !s.host.trimmed().isEmpty())
            hostProblem += (hostProblem.isEmpty() ? QString() : QStringLiteral("\n")) + problem.shown;
        else if (problem.field == ServerCheck::Problem::Field::username && !s.username.trimmed().isEmpty())
            userProblem = problem.shown;
        else if (problem.field == ServerCheck::Problem::Field::path)
            pathProblems[problem.pathID] +=
                (pathProblems[problem.pathID].isEmpty() ? QString() : QStringLiteral("\n")) + problem.message;
    }
    m_connection->setProblems(nameProblem, hostProblem, userProblem);
    m_paths->setProblems(pathProblems);
    const bool hasLog = QFile::exists(LogStore::logFile(s.id));
    m_lastLogAction->setEnabled(hasLog);
    m_runAction->setEnabled(canRun());
    m_runAction->setToolTip(all.isEmpty() ? tr("Run backup (Ctrl+R)") : all.join(u'\n'));
}

bool ServerDetailView::canRun() const
{
    return m_context.activity->canStart(m_id);
}

QStringList ServerDetailView::problemTexts() const
{
    QStringList texts;
    for (const ServerCheck::Problem &problem : ServerCheck::problems(server(), m_context.store->settings().servers))
        texts << problem.shown;
    return texts;
}

void ServerDetailView::focusName()
{
    m_connection->focusName();
}

void ServerDetailView::testConnection()
{
    m_connection->testConnection();
}

void ServerDetailView::checkHostKey()
{
    const Server s = server();
    m_hostKey->check()->check(s.host, s.port);
}

void ServerDetailView::trustHost()
{
    const Server s = server();
    m_hostKey->check()->trust(s.host, s.port);
}

void ServerDetailView::replaceHostKey()
{
    const auto status = m_hostKey->check()->status();
    if (!status || status->state().state != HostKeyChecker::Status::State::mismatch)
        return;
    const auto classified = status->state();
    const Server s = server();
    const bool replace = m_context.dialogs->confirm(
        this, tr("Replace the stored host key?"),
        tr("Replace the key you trusted for %1 by the one it presents now?").arg(ServerRules::hostText(s)),
        tr("The server presents %1 %2.\nYou trusted %3 %4.\nReplace it only when the server's administrator has "
           "confirmed the new key: otherwise someone may be listening in between.")
            .arg(classified.live.keyType, classified.live.sha256, classified.known.keyType, classified.known.sha256),
        tr("Replace"));
    if (replace)
        m_hostKey->check()->replace(s.host, s.port);
}

void ServerDetailView::syncSchedule()
{
    m_schedule->syncSchedule();
}

void ServerDetailView::pickKey()
{
    m_connection->pickKey();
}

void ServerDetailView::addPath()
{
    m_paths->addPath();
}

void ServerDetailView::setHostStatus(const HostKeyChecker::Status &status)
{
    m_hostKey->check()->setStatus(status);
}

std::optional<SSHTester::Report> ServerDetailView::testReport() const
{
    return m_connection->testReport();
}

std::optional<HostKeyChecker::Status> ServerDetailView::hostStatus() const
{
    return m_hostKey->check()->status();
}

QString ServerDetailView::hostActionMessage() const
{
    return m_hostKey->check()->message();
}

QString ServerDetailView::scheduleError() const
{
    return m_schedule->installError();
}

bool ServerDetailView::isTesting() const
{
    return m_connection->isTesting();
}

bool ServerDetailView::isCheckingHost() const
{
    return m_hostKey->check()->isChecking();
}

PreviewDialog *ServerDetailView::previewPath(const QUuid &pathID)
{
    if (SSHTester::hostKeyPolicy() == SSHTester::HostKeyPolicy::acceptNew)
        return openPreview(pathID);
    afterHostKey([this, pathID] { openPreview(pathID); });
    return nullptr;
}

void ServerDetailView::afterHostKey(std::function<void()> action)
{
    const Server s = server();
    QCoro::connect(HostKeyChecker::knownHostFingerprint(s.host, s.port), this,
                   [this, action](const std::optional<HostKeyChecker::Fingerprint> &known) {
                       if (known)
                           action();
                       else
                           askForHostKey();
                   });
}

RemoteFolderDialog *ServerDetailView::browsePath(const QUuid &pathID)
{
    const auto open = [this, pathID] {
        auto *dialog = new RemoteFolderDialog(server(), this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &QDialog::accepted, this, [this, dialog, pathID] {
            m_paths->setRemotePath(pathID, dialog->chosenPath(), dialog->chosenIsFolder());
        });
        dialog->showFolder(QString());
        dialog->open();
        return dialog;
    };
    if (SSHTester::hostKeyPolicy() == SSHTester::HostKeyPolicy::acceptNew)
        return open();
    afterHostKey([open] { open(); });
    return nullptr;
}

void ServerDetailView::showKeySetup()
{
    m_connection->focusKey();
    m_scroll->ensureWidgetVisible(m_connection->focusWidget() ? m_connection->focusWidget() : m_connection);
}

void ServerDetailView::askForHostKey()
{
    const Server s = server();
    if (s.host.trimmed().isEmpty())
        return;
    m_scroll->ensureWidgetVisible(m_hostKey, 0, 0);
    m_hostKey->check()->ask(s.host, s.port,
                            tr("This server's host key is not trusted yet. Compare the fingerprint with what the "
                               "server's administrator "
                               "gave you and choose “Trust this host” before the first connection."));
}

PreviewDialog *ServerDetailView::openPreview(const QUuid &pathID)
{
    auto *dialog = new PreviewDialog(m_id, pathID, m_context.store, m_context.runs, this);
    dialog->show();
    return dialog;
}
