// SPDX-License-Identifier: GPL-3.0-or-later
// Listing a server's backup folders in the editor.
#include "ui/editor/BackupsSection.h"

#include "core/engine/Retention.h"
#include "core/engine/Snapshots.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"

#include <QAction>
#include <QDir>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

BackupsSection::BackupsSection(const QUuid &serverID, ConfigStore *store, QWidget *parent)
    : QGroupBox(tr("Backups"), parent)
    , m_id(serverID)
    , m_store(store)
{
    setObjectName(QStringLiteral("backupsSection"));
    auto *layout = new QVBoxLayout(this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("backupList"));
    m_list->setAccessibleName(tr("Backups"));
    m_list->setColumnCount(4);
    m_list->setHeaderLabels({tr("Date"), tr("State"), QString(), QString()});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->setMaximumHeight(180);
    m_empty = Style::note(tr("No backups yet."), this);
    layout->addWidget(m_list);
    layout->addWidget(m_empty);
    const auto open = [this](QTreeWidgetItem *item) {
        // An encrypted day is seen only in Tidewell: a file manager would outlive its view.
        if (item && m_store->settings().destinationEncrypted)
            Q_EMIT browseRequested(item->text(0));
        else if (item)
            Q_EMIT openRequested(item->data(0, Qt::UserRole).toString());
    };
    connect(m_list, &QTreeWidget::itemClicked, this, [this, open](QTreeWidgetItem *item, int column) {
        if (column == 2)
            open(item);
        else if (column == 3 && item)
            Q_EMIT browseRequested(item->text(0));
    });
    connect(m_list, &QTreeWidget::itemActivated, this, [open](QTreeWidgetItem *item) { open(item); });
    // What a click in a row's columns does, from the keyboard too (the menu
    // key or Shift+F10 on the chosen backup).
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *openAction = new QAction(tr("Open"), m_list);
    auto *browseAction = new QAction(tr("Browse…"), m_list);
    browseAction->setObjectName(QStringLiteral("backupBrowse"));
    m_list->addAction(openAction);
    m_list->addAction(browseAction);
    connect(openAction, &QAction::triggered, this, [this, open] { open(m_list->currentItem()); });
    connect(browseAction, &QAction::triggered, this, [this] {
        if (m_shownDated && m_list->currentItem())
            Q_EMIT browseRequested(m_list->currentItem()->text(0));
    });
    connect(m_store, &ConfigStore::settingsChanged, this, &BackupsSection::refreshIfMoved);
    refresh();
}

void BackupsSection::refreshIfMoved()
{
    const Server *server = m_store->settings().server(m_id);
    if (!server)
        return;
    if (Retention::serverFolder(m_store->settings().destinationPath, *server) != m_shownFolder
        || m_store->settings().useDateSubfolder != m_shownDated)
        refresh();
}

bool BackupsSection::holdView()
{
    const AppSettings &settings = m_store->settings();
    if (!settings.destinationEncrypted) {
        m_view.release();
        return true;
    }
    if (m_view.isOpen() && PlainView::isHeld(QDir::cleanPath(AppPaths::expandTilde(settings.destinationPath))))
        return true;
    m_list->clear();
    m_list->setVisible(false);
    m_empty->setVisible(true);
    if (m_opening)
        return false;
    m_opening = true;
    m_empty->setText(tr("Opening the encrypted folder…"));
    auto *watcher = new QFutureWatcher<PlainView::Opened>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        m_opening = false;
        const PlainView::Opened opened = watcher->result();
        if (!opened) {
            m_empty->setText(tr("The encrypted folder cannot be opened: %1").arg(opened.error().message));
            return;
        }
        m_view = *opened;
        m_empty->setText(tr("No backups yet."));
        refresh();
    });
    watcher->setFuture(PlainView::openInBackground(PlainView::destination(settings)));
    return false;
}

void BackupsSection::refresh()
{
    const Server *server = m_store->settings().server(m_id);
    if (!server)
        return;
    // The days of an encrypted destination are listed from its view, held while this shows them.
    if (!holdView())
        return;
    m_shownFolder = Retention::serverFolder(m_store->settings().destinationPath, *server);
    m_shownDated = m_store->settings().useDateSubfolder;
    m_list->clear();
    QList<Snapshots::Backup> backups;
    if (m_shownDated)
        backups = Snapshots::list(m_shownFolder);
    else if (QDir(m_shownFolder).exists())
        backups = {{QDir(m_shownFolder).dirName(), m_shownFolder, true}};
    QFont link = font();
    link.setUnderline(true);
    QList<QTreeWidgetItem *> items;
    for (const Snapshots::Backup &backup : std::as_const(backups)) {
        const bool openable = !m_store->settings().destinationEncrypted;
        auto *item = new QTreeWidgetItem({backup.name, backup.complete ? tr("complete") : tr("incomplete"),
                                          openable ? tr("Open") : QString(), m_shownDated ? tr("Browse…") : QString()});
        item->setData(0, Qt::UserRole, backup.path);
        item->setForeground(1, backup.complete ? Icons::secondary(this) : Icons::red());
        item->setForeground(2, palette().color(QPalette::Link));
        item->setFont(2, link);
        item->setToolTip(2, tr("Show this backup in the file manager"));
        item->setForeground(3, palette().color(QPalette::Link));
        item->setFont(3, link);
        item->setToolTip(3, tr("Find files in this backup and restore them"));
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    m_list->resizeColumnToContents(1);
    m_list->resizeColumnToContents(2);
    m_list->resizeColumnToContents(3);
    m_list->setVisible(!backups.isEmpty());
    m_empty->setVisible(backups.isEmpty());
}

QStringList BackupsSection::rows() const
{
    QStringList rows;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        rows << m_list->topLevelItem(i)->text(0) + u' ' + m_list->topLevelItem(i)->text(1);
    return rows;
}
