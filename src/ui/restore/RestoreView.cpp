// SPDX-License-Identifier: GPL-3.0-or-later
// Browsing a server's snapshots and restoring from them.
#include "ui/restore/RestoreView.h"

#include "core/engine/KeepOptions.h"
#include "core/engine/Retention.h"
#include "core/engine/RunPool.h"
#include "core/engine/Snapshots.h"
#include "core/engine/TransferRunner.h"
#include "core/presentation/ServerRules.h"
#include "core/presentation/SnapshotTreeModel.h"
#include "core/restore/LocalRestore.h"
#include "core/restore/ServerRestore.h"
#include "core/restore/SnapshotSearch.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"
#include "core/system/Background.h"
#include "core/system/FileLock.h"
#include "core/system/NotificationService.h"
#include "ui/restore/CompareDialog.h"
#include "ui/restore/VersionsDialog.h"
#include "ui/run/BackupRunView.h"
#include "ui/widgets/Desktop.h"
#include "ui/widgets/Dialogs.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"
#include "ui/widgets/WindowFit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <qcoro/qcorofuture.h>

#include <atomic>

RestoreView::RestoreView(const QUuid &serverID, const AppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_id(serverID)
    , m_context(context)
    , m_model(new SnapshotTreeModel(this))
    , m_search(new SnapshotSearch(this))
{
    setObjectName(QStringLiteral("restoreView"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Restore from “%1”").arg(server().shownName()));
    WindowFit::fit(this, QSize(960, 600));

    auto *layout = new QVBoxLayout(this);
    buildSource(layout);
    auto *splitter = new QSplitter(this);
    m_snapshots = new QListWidget(splitter);
    m_snapshots->setObjectName(QStringLiteral("restoreSnapshots"));
    m_snapshots->setAccessibleName(tr("Backups"));

    buildBrowser(splitter);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 760});
    layout->addWidget(splitter, 1);

    m_status = Style::note(QString(), this);
    m_status->setObjectName(QStringLiteral("restoreStatus"));
    m_status->setTextFormat(Qt::PlainText);
    layout->addWidget(m_status);

    buildButtons(layout);
    connect(m_snapshots, &QListWidget::currentRowChanged, this, &RestoreView::showSnapshot);
    connectSearch();
    refreshSnapshots();
    // Typing a name is the quickest way to a file.
    m_find->setFocus(Qt::OtherFocusReason);
}

// The search field over the backup's tree, or over what a search found.
void RestoreView::buildBrowser(QSplitter *splitter)
{
    auto *right = new QWidget(splitter);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto *findLine = new QHBoxLayout;
    m_find = new QLineEdit(right);
    m_find->setObjectName(QStringLiteral("restoreFind"));
    m_find->setClearButtonEnabled(true);
    m_find->setAccessibleName(tr("Find in this backup"));
    // A file deleted some days ago is found without guessing its last day.
    m_everyBackup = new QCheckBox(tr("In every backup"), right);
    m_everyBackup->setObjectName(QStringLiteral("findEveryBackup"));
    m_everyBackup->setToolTip(tr("Each file is found once, in the newest backup that holds it"));
    m_everyBackup->setChecked(true);
    const auto showScope = [this] {
        m_find->setPlaceholderText(m_everyBackup->isChecked() ? tr("Find in every backup (a part of a name)")
                                                              : tr("Find in this backup (a part of a name)"));
        m_find->setAccessibleName(m_everyBackup->isChecked() ? tr("Find in every backup") : tr("Find in this backup"));
    };
    showScope();
    connect(m_everyBackup, &QCheckBox::toggled, this, [this, showScope] {
        showScope();
        search(m_find->text());
    });
    findLine->addWidget(m_find, 1);
    findLine->addWidget(m_everyBackup);
    rightLayout->addLayout(findLine);
    m_stack = new QStackedWidget(right);
    m_tree = new QTreeView(m_stack);
    m_tree->setObjectName(QStringLiteral("restoreTree"));
    m_tree->setAccessibleName(tr("Files in this backup"));
    m_tree->setModel(m_model);
    m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tree->setUniformRowHeights(true);
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setSectionResizeMode(SnapshotTreeModel::nameColumn, QHeaderView::Stretch);
    m_tree->header()->setSectionResizeMode(SnapshotTreeModel::sizeColumn, QHeaderView::ResizeToContents);
    m_tree->header()->setSectionResizeMode(SnapshotTreeModel::modifiedColumn, QHeaderView::ResizeToContents);
    m_results = new QTreeWidget(m_stack);
    m_results->setObjectName(QStringLiteral("restoreResults"));
    m_results->setHeaderLabels({tr("Found"), tr("Backup")});
    m_results->header()->setStretchLastSection(false);
    m_results->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_results->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_results->setRootIsDecorated(false);
    m_results->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_results->setSortingEnabled(true);
    m_results->sortByColumn(0, Qt::AscendingOrder);
    m_stack->addWidget(m_tree);
    m_stack->addWidget(m_results);
    rightLayout->addWidget(m_stack, 1);
}

void RestoreView::buildButtons(QVBoxLayout *layout)
{
    auto *buttons = new QHBoxLayout;
    m_versions = new QPushButton(tr("Versions…"), this);
    m_versions->setObjectName(QStringLiteral("restoreVersions"));
    m_compare = new QPushButton(tr("Compare…"), this);
    m_compare->setObjectName(QStringLiteral("restoreCompare"));
    m_toComputer = new QPushButton(Icons::get(QStringLiteral("folder")), tr("Restore to this computer…"), this);
    m_toComputer->setObjectName(QStringLiteral("restoreToComputer"));
    m_toServer = new QPushButton(Icons::get(QStringLiteral("go-up")), tr("Restore to the server…"), this);
    m_toServer->setObjectName(QStringLiteral("restoreToServer"));
    auto *close = new QPushButton(tr("Close"), this);
    buttons->addWidget(m_versions);
    buttons->addWidget(m_compare);
    buttons->addStretch(1);
    buttons->addWidget(m_toComputer);
    buttons->addWidget(m_toServer);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_versions, &QPushButton::clicked, this, &RestoreView::openVersions);
    connect(m_compare, &QPushButton::clicked, this, &RestoreView::openCompare);
    connect(m_toComputer, &QPushButton::clicked, this, &RestoreView::restoreToComputer);
    connect(m_toServer, &QPushButton::clicked, this, &RestoreView::restoreToServer);
}

void RestoreView::connectSearch()
{
    // A search starts once typing pauses.
    auto *typing = new QTimer(this);
    typing->setSingleShot(true);
    typing->setInterval(250);
    connect(m_find, &QLineEdit::textChanged, typing, qOverload<>(&QTimer::start));
    connect(typing, &QTimer::timeout, this, [this] { search(m_find->text()); });
    connect(m_search, &SnapshotSearch::hitsFound, this, [this](const QList<SnapshotSearch::Hit> &hits) {
        for (const SnapshotSearch::Hit &hit : hits) {
            auto *item = new QTreeWidgetItem(m_results,
                                             {hit.remotePath.isEmpty() ? hit.localPath : hit.remotePath, hit.snapshot});
            item->setData(0, Qt::UserRole, hit.localPath);
            item->setData(0, Qt::UserRole + 1, hit.remotePath);
            item->setData(0, Qt::UserRole + 2, hit.isDirectory);
            item->setData(0, Qt::UserRole + 3, hit.snapshot);
        }
        // The first hit is chosen: one found file is restored without a click.
        if (!m_results->currentItem() && m_results->topLevelItemCount() > 0) {
            m_results->setCurrentItem(m_results->topLevelItem(0));
            m_results->topLevelItem(0)->setSelected(true);
        }
    });
    connect(m_search, &SnapshotSearch::finished, this, [this](int total, bool cancelled) {
        if (cancelled)
            return;
        setStatus(total > SnapshotSearch::shownHits
                      ? tr("%1 found; the first %2 are shown.").arg(total).arg(SnapshotSearch::shownHits)
                      : tr("%n found.", nullptr, total));
    });
}

RestoreView::~RestoreView() = default;

Server RestoreView::server() const
{
    const Server *found = m_context.store->settings().server(m_id);
    return found ? *found : Server{};
}

QString RestoreView::serverFolder() const
{
    const QString root = m_source->currentData().toString();
    return Retention::serverFolder(root.isEmpty() ? m_context.store->settings().destinationPath : root, server());
}

// Where the backups are read: the destination, or a second copy of the
// server in a folder (one over ssh is restored from with tidewell --restore
// --from). Shown only when the server has second copies.
void RestoreView::buildSource(QVBoxLayout *layout)
{
    auto *line = new QHBoxLayout;
    auto *caption = new QLabel(tr("Read from"), this);
    m_source = new QComboBox(this);
    m_source->setObjectName(QStringLiteral("restoreSource"));
    caption->setBuddy(m_source);
    const AppSettings &settings = m_context.store->settings();
    m_source->addItem(tr("The destination (%1)").arg(settings.destinationPath), QString());
    auto *items = qobject_cast<QStandardItemModel *>(m_source->model());
    for (const CopyTarget &target : settings.copyTargets) {
        if (!target.takes(m_id))
            continue;
        if (target.kind == CopyTarget::Kind::folder) {
            m_source->addItem(tr("The second copy “%1” (%2)").arg(target.shownName(), target.path), target.path);
            continue;
        }
        m_source->addItem(tr("The second copy “%1” (over ssh: tidewell --restore --from “%1”)").arg(target.shownName()),
                          QString());
        if (items)
            items->item(m_source->count() - 1)->setEnabled(false);
    }
    line->addWidget(caption);
    line->addWidget(m_source, 1);
    caption->setVisible(m_source->count() > 1);
    m_source->setVisible(m_source->count() > 1);
    layout->addLayout(line);
    connect(m_source, &QComboBox::currentIndexChanged, this, &RestoreView::refreshSnapshots);
}

std::optional<PlainView::Request> RestoreView::viewRequest() const
{
    const AppSettings &settings = m_context.store->settings();
    const QString root = m_source->currentData().toString();
    if (root.isEmpty())
        return settings.destinationEncrypted ? std::optional(PlainView::destination(settings)) : std::nullopt;
    for (const CopyTarget &target : settings.copyTargets) {
        if (target.kind == CopyTarget::Kind::folder && target.path == root && target.encrypted)
            return PlainView::copyTarget(target, settings);
    }
    return std::nullopt;
}

void RestoreView::refreshSnapshots()
{
    // An encrypted folder is read in its plaintext view, held while this view is open.
    const std::optional<PlainView::Request> request = viewRequest();
    if (!request) {
        m_view.release();
        m_viewOf.clear();
    } else if (m_viewOf != request->cipherFolder) {
        m_view.release();
        m_viewOf = request->cipherFolder;
        m_snapshots->clear();
        setStatus(tr("Opening the encrypted folder…"));
        auto *watcher = new QFutureWatcher<PlainView::Opened>(this);
        connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, cipher = request->cipherFolder] {
            watcher->deleteLater();
            const PlainView::Opened opened = watcher->result();
            if (m_viewOf != cipher)
                return; // another source was chosen meanwhile
            if (!opened) {
                m_viewOf.clear();
                setStatus(tr("The encrypted folder cannot be opened: %1").arg(opened.error().message));
                return;
            }
            m_view = *opened;
            listSnapshots();
        });
        watcher->setFuture(PlainView::openInBackground(*request));
        return;
    }
    listSnapshots();
}

void RestoreView::listSnapshots()
{
    {
        // The list may make its first row current by itself: the snapshot is shown below either way.
        const QSignalBlocker quiet(m_snapshots);
        m_snapshots->clear();
        for (const Snapshots::Backup &backup : Snapshots::list(serverFolder())) {
            auto *item = new QListWidgetItem(backup.complete ? backup.name : tr("%1 (incomplete)").arg(backup.name),
                                             m_snapshots);
            item->setData(Qt::UserRole, backup.name);
            item->setData(Qt::UserRole + 1, backup.path);
            item->setData(Qt::UserRole + 2, backup.complete);
        }
        if (m_snapshots->count() > 0)
            m_snapshots->setCurrentRow(0);
    }
    showSnapshot();
    if (m_snapshots->count() == 0)
        setStatus(tr("There are no dated backups of this server in %1 yet.").arg(serverFolder()));
}

bool RestoreView::selectSnapshot(const QString &date)
{
    for (int row = 0; row < m_snapshots->count(); ++row) {
        if (m_snapshots->item(row)->data(Qt::UserRole).toString() == date) {
            m_snapshots->setCurrentRow(row);
            return true;
        }
    }
    return false;
}

QString RestoreView::selectedSnapshot() const
{
    const QListWidgetItem *item = m_snapshots->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void RestoreView::showSnapshot()
{
    const QListWidgetItem *item = m_snapshots->currentItem();
    m_model->setSnapshot(server(), item ? item->data(Qt::UserRole + 1).toString() : QString());
    // A search of every backup stays as it is.
    if (!m_find->text().isEmpty() && !m_everyBackup->isChecked())
        search(m_find->text());
    if (item && !item->data(Qt::UserRole + 2).toBool())
        setStatus(tr("This backup is incomplete: its run did not finish, so files may be missing or older."));
    else
        setStatus(QString());
}

void RestoreView::search(const QString &text)
{
    m_results->clear();
    if (text.trimmed().isEmpty()) {
        m_search->cancel();
        m_stack->setCurrentWidget(m_tree);
        setStatus(QString());
        return;
    }
    m_stack->setCurrentWidget(m_results);
    setStatus(tr("Searching…"));
    QList<SnapshotSearch::Snapshot> snapshots;
    for (int row = 0; row < m_snapshots->count(); ++row) {
        const QListWidgetItem *item = m_snapshots->item(row);
        if (m_everyBackup->isChecked() || item == m_snapshots->currentItem())
            snapshots << SnapshotSearch::Snapshot{item->data(Qt::UserRole).toString(),
                                                  item->data(Qt::UserRole + 1).toString()};
    }
    // Newest first, as the list shows them.
    m_search->start(server(), snapshots, text.trimmed());
}

QList<RestoreView::Selected> RestoreView::selection() const
{
    QList<Selected> items;
    if (m_stack->currentWidget() == m_results) {
        for (const QTreeWidgetItem *item : m_results->selectedItems())
            items << Selected{item->data(0, Qt::UserRole).toString(), item->data(0, Qt::UserRole + 1).toString(),
                              item->data(0, Qt::UserRole + 2).toBool(), item->data(0, Qt::UserRole + 3).toString()};
        return items;
    }
    const QModelIndexList rows = m_tree->selectionModel()->selectedRows(SnapshotTreeModel::nameColumn);
    for (const QModelIndex &row : rows)
        items << Selected{row.data(SnapshotTreeModel::localPathRole).toString(),
                          row.data(SnapshotTreeModel::remotePathRole).toString(),
                          row.data(SnapshotTreeModel::isDirectoryRole).toBool(), selectedSnapshot()};
    // A folder and something inside it: the folder brings it along.
    items.removeIf([&items](const Selected &item) {
        return std::any_of(items.begin(), items.end(), [&item](const Selected &other) {
            return item.localPath.startsWith(other.localPath + u'/');
        });
    });
    return items;
}

QStringList RestoreView::selectedItems() const
{
    QStringList names;
    for (const Selected &item : selection())
        names << (item.remotePath.isEmpty() ? item.localPath : item.remotePath);
    return names;
}

QStringList RestoreView::topLevelNames() const
{
    QStringList names;
    for (int row = 0; row < m_model->rowCount(); ++row)
        names << m_model->index(row, 0).data().toString();
    return names;
}

QStringList RestoreView::searchResults() const
{
    QStringList found;
    for (int i = 0; i < m_results->topLevelItemCount(); ++i)
        found << m_results->topLevelItem(i)->text(0);
    return found;
}

QString RestoreView::statusText() const
{
    return m_status->text();
}

void RestoreView::setStatus(const QString &text)
{
    m_status->setText(text);
    m_status->setVisible(!text.isEmpty());
}

std::optional<QString> RestoreView::snapshotOf(const QList<Selected> &items)
{
    const QString first = items.isEmpty() ? selectedSnapshot() : items.first().snapshot;
    if (std::any_of(items.begin(), items.end(), [&first](const Selected &item) { return item.snapshot != first; })) {
        setStatus(tr("These come from several backups: restore those of one backup at a time."));
        return std::nullopt;
    }
    return first;
}

bool RestoreView::confirmIncomplete(const QString &snapshot)
{
    const QListWidgetItem *item = nullptr;
    for (int row = 0; row < m_snapshots->count() && !item; ++row) {
        if (m_snapshots->item(row)->data(Qt::UserRole).toString() == snapshot)
            item = m_snapshots->item(row);
    }
    if (!item || item->data(Qt::UserRole + 2).toBool())
        return true;
    return m_context.dialogs->confirm(
        this, tr("Restore from an incomplete backup?"),
        tr("The backup of %1 is incomplete.").arg(item->data(Qt::UserRole).toString()),
        tr("Its run did not finish: some files may be missing, or be older than the server's were that day."),
        tr("Restore anyway"));
}

void RestoreView::openVersions()
{
    const QList<Selected> items = selection();
    if (items.size() != 1 || items.first().remotePath.isEmpty()) {
        setStatus(tr("Choose one file or folder that a path of this server backs up."));
        return;
    }
    auto *dialog = new VersionsDialog(server(), serverFolder(), items.first().remotePath, this);
    connect(dialog, &VersionsDialog::restoreRequested, this, &RestoreView::restoreVersion);
    dialog->open();
}

void RestoreView::restoreVersion(const QString &date, const QString &localPath, const QString &remotePath,
                                 bool toServer)
{
    const Selected item{localPath, remotePath, QFileInfo(localPath).isDir() && !QFileInfo(localPath).isSymLink(), date};
    if (toServer)
        startServerRestore({item}, std::nullopt, date);
    else
        askLocalTarget({item}, date);
}

void RestoreView::openCompare()
{
    auto *dialog = new CompareDialog(server(), serverFolder(), this);
    connect(dialog, &CompareDialog::restoreRequested, this, &RestoreView::restoreVersion);
    dialog->open();
}

void RestoreView::restoreToComputer()
{
    const QList<Selected> items = selection();
    if (items.isEmpty()) {
        setStatus(tr("Choose the files and folders to restore first."));
        return;
    }
    const std::optional<QString> snapshot = snapshotOf(items);
    if (!snapshot || !confirmIncomplete(*snapshot))
        return;
    askLocalTarget(items, *snapshot);
}

void RestoreView::restoreToServer()
{
    const QList<Selected> items = selection();
    if (items.isEmpty()) {
        setStatus(tr("Choose the files and folders to restore first."));
        return;
    }
    if (std::any_of(items.begin(), items.end(), [](const Selected &item) { return item.remotePath.isEmpty(); })) {
        setStatus(tr("Only files that a path of this server backs up can go back to it."));
        return;
    }
    const std::optional<QString> snapshot = snapshotOf(items);
    if (!snapshot || !confirmIncomplete(*snapshot))
        return;
    const auto folder = m_context.dialogs->text(
        this, tr("Restore to the server"),
        tr("Put them back where they came from, or into this folder of the server (leave it empty for where they "
           "came from):"),
        QString());
    if (!folder)
        return;
    startServerRestore(items, folder->trimmed().isEmpty() ? std::nullopt : std::optional<QString>(folder->trimmed()),
                       *snapshot);
}

void RestoreView::askLocalTarget(const QList<Selected> &items, const QString &date)
{
    const Server subject = server();
    const RsyncProbe probe = m_context.runs->rsyncProbe();
    LocalRestore::Options options;
    options.rsync = probe.executable;
    options.hardLinks = subject.preserveHardLinks;
    options.acls = subject.preserveACLs && probe.supportsACLs;
    options.xattrs = subject.preserveXattrs && probe.supportsXattrs;
    options.sparse = subject.sparseFiles;
    options.ioTimeoutSeconds = int(std::clamp<qint64>(m_context.store->settings().ioTimeoutSeconds, 0, 86400));
    const QString suggested = LocalRestore::defaultFolder(subject.shownName(), date);
    const auto target = m_context.dialogs->restoreTarget(this, suggested, KeepOptions::Local::current().isRoot);
    if (!target || target->folder.isEmpty())
        return;
    const QString folder = QDir::cleanPath(AppPaths::expandTilde(target->folder));
    options.keepSpecial = target->keepSpecial;
    // Never while a backup of this server changes its snapshots: the lock
    // is held until the copy has ended.
    auto lock = FileLock::tryLock(AppPaths::runLockFile(subject.id));
    if (!lock) {
        setStatus(lock.error().code == Error::Code::busy
                      ? tr("A backup of this server is running; restore after it has finished.")
                      : TransferRunner::lockFailure(subject, lock.error().message));
        return;
    }
    m_localLock = std::make_shared<FileLock>(std::move(*lock));
    QList<LocalRestore::Item> sources;
    for (const Selected &item : items) {
        const QString name = item.remotePath.isEmpty()
                                 ? QFileInfo(item.localPath).fileName()
                                 : item.remotePath.section(u'/', -1, -1, QString::SectionSkipEmpty);
        sources << LocalRestore::Item{item.localPath, name.isEmpty() ? QStringLiteral("root") : name};
    }
    QCoro::connect(planLocal(sources, folder, options, date), this, [] {});
}

QCoro::Task<> RestoreView::planLocal(QList<LocalRestore::Item> sources, QString folder, LocalRestore::Options options,
                                     QString date)
{
    QPointer<RestoreView> self(this);
    setStatus(tr("Looking at what is there…"));
    auto planned = Background::run([sources, folder, options] { return LocalRestore::plan(sources, folder, options); });
    const LocalRestore::Plan plan = co_await planned;
    if (!self)
        co_return;
    // The questions come once this coroutine has ended.
    QMetaObject::invokeMethod(
        this, [this, plan, date] { askConflicts(plan, date); }, Qt::QueuedConnection);
}

void RestoreView::askConflicts(const LocalRestore::Plan &plan, const QString &date)
{
    QHash<QString, LocalRestore::Choice> choices;
    std::optional<LocalRestore::Choice> forAll;
    for (const QString &conflict : plan.conflicts) {
        if (forAll) {
            choices.insert(conflict, *forAll);
            continue;
        }
        const Dialogs::ConflictAnswer answer = m_context.dialogs->conflict(this, conflict);
        if (answer.cancelled) {
            m_localLock.reset();
            setStatus(tr("Nothing was restored."));
            return;
        }
        choices.insert(conflict, answer.choice);
        if (answer.forAll)
            forAll = answer.choice;
    }
    QCoro::connect(copyLocal(plan, choices, date), this, [] {});
}

QCoro::Task<> RestoreView::copyLocal(LocalRestore::Plan plan, QHash<QString, LocalRestore::Choice> choices,
                                     QString date)
{
    QPointer<RestoreView> self(this);
    auto done = std::make_shared<std::atomic<qint64>>(0);
    auto stop = std::make_shared<std::atomic<bool>>(false);
    // On the heap with a guard: the window may close while the copy runs.
    QPointer<QProgressDialog> progress =
        new QProgressDialog(tr("Restoring to %1…").arg(plan.targetFolder), tr("Cancel"), 0, 1000, this);
    progress->setObjectName(QStringLiteral("restoreProgress"));
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(300);
    connect(progress, &QProgressDialog::canceled, this, [stop] { *stop = true; });
    QTimer tick;
    connect(&tick, &QTimer::timeout, this, [progress, done, bytes = plan.bytes] {
        if (progress)
            progress->setValue(bytes > 0 ? int(std::min<qint64>(1000, *done * 1000 / bytes)) : 0);
    });
    tick.start(100);
    const QDate day = Snapshots::dateOf(date);
    auto copied = Background::run(
        [plan, choices, day, done, stop] { return LocalRestore::copy(plan, choices, day, done.get(), stop.get()); });
    const LocalRestore::Outcome outcome = co_await copied;
    tick.stop();
    if (!self)
        co_return;
    m_localLock.reset();
    if (progress)
        progress->deleteLater();
    setStatus(localOutcomeText(outcome, plan.targetFolder));
}

QString RestoreView::localOutcomeText(const LocalRestore::Outcome &outcome, const QString &folder)
{
    QString said = outcome.cancelled
                       ? tr("Cancelled: %n file(s) had been restored to %1.", nullptr, outcome.copied).arg(folder)
                       : tr("Restored %n file(s) to %1.", nullptr, outcome.copied).arg(folder);
    if (outcome.skipped > 0)
        said += u' ' + tr("%n left as they were.", nullptr, outcome.skipped);
    if (!outcome.keptBoth.isEmpty())
        said += u' ' + tr("Kept both: %1.").arg(outcome.keptBoth.join(QStringLiteral(", ")));
    if (!outcome.skippedSpecial.isEmpty())
        said += u' '
                + tr("Skipped %n special file(s): %1.", nullptr, int(outcome.skippedSpecial.size()))
                      .arg(outcome.skippedSpecial.mid(0, 5).join(QStringLiteral(", ")));
    for (const QString &note : outcome.notes)
        said += u' ' + note;
    if (!outcome.failures.isEmpty())
        said += u' ' + tr("Not restored: %1").arg(outcome.failures.join(QStringLiteral("; ")));
    return said;
}

void RestoreView::startServerRestore(const QList<Selected> &items, const std::optional<QString> &folder,
                                     const QString &date)
{
    ServerRestore::Request request;
    request.server = server();
    request.settings = m_context.store->settings();
    request.probe = m_context.runs->rsyncProbe();
    request.otherFolder = folder;
    request.snapshotName = date;
    for (const Selected &item : items)
        request.items << ServerRestore::Item{item.localPath, item.remotePath, item.isDirectory};
    auto *restore = new ServerRestore(this);
    m_restore = restore;
    QCoro::connect(previewOnServer(request, restore), this, [] {});
}

QCoro::Task<> RestoreView::previewOnServer(ServerRestore::Request request, ServerRestore *restore)
{
    QPointer<RestoreView> self(this);
    QPointer<ServerRestore> guard(restore);
    setStatus(tr("Asking the server what the restore would change (a dry run: nothing is written)…"));
    const ServerRestore::Preview preview = co_await restore->preview(request);
    if (!self || !guard)
        co_return;
    if (preview.exitCode != 0) {
        setStatus(tr("The dry run failed (exit %1): %2").arg(preview.exitCode).arg(preview.errors.join(u' ')));
        restore->deleteLater();
        co_return;
    }
    // The question comes once this coroutine has ended.
    QMetaObject::invokeMethod(
        this, [this, request, preview, guard] { confirmOnServer(request, preview, guard); }, Qt::QueuedConnection);
}

void RestoreView::confirmOnServer(const ServerRestore::Request &request, const ServerRestore::Preview &preview,
                                  QPointer<ServerRestore> restore)
{
    if (!restore)
        return;
    const bool go = m_context.dialogs->confirm(
        this, tr("Restore to the server?"), ServerRestore::summary(preview) + u'.',
        tr("Files the restore replaces are kept on the server in a .tidewell-replaced folder beside them; nothing is "
           "deleted there."),
        tr("Restore"), false);
    if (!go || !restore) {
        setStatus(tr("Nothing was restored."));
        if (restore)
            restore->deleteLater();
        return;
    }
    auto *sheet = new BackupRunView(restore, m_context.desktop, this, BackupRunView::Kind::restore);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->open();
    connect(sheet, &QObject::destroyed, restore, &QObject::deleteLater);
    QCoro::connect(runOnServer(request, restore), this, [] {});
}

QCoro::Task<> RestoreView::runOnServer(ServerRestore::Request request, ServerRestore *restore)
{
    QPointer<RestoreView> self(this);
    QPointer<ServerRestore> guard(restore);
    const int status = co_await restore->run(request);
    if (!self || !guard)
        co_return;
    if (request.settings.notificationsEnabled && !restore->wasRefused())
        NotificationService::post(NotificationService::restoreContent(NotificationService::forNotice(request.server),
                                                                      status, restore->wasCancelled()));
    if (status == 0)
        setStatus(restore->replacedFolders().isEmpty()
                      ? tr("Restored; nothing on the server was replaced.")
                      : tr("Restored; replaced files are kept on the server in %1.")
                            .arg(restore->replacedFolders().join(QStringLiteral(", "))));
    else
        setStatus(restore->logLines().isEmpty() ? QString() : restore->logLines().last());
}
