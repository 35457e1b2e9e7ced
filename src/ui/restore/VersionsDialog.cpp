// SPDX-License-Identifier: GPL-3.0-or-later
// Listing a file's versions and restoring one.
#include "ui/restore/VersionsDialog.h"

#include "core/presentation/Formatting.h"
#include "core/restore/VersionFinder.h"
#include "ui/restore/DiffDialog.h"
#include "ui/widgets/Style.h"
#include "ui/widgets/WindowFit.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

VersionsDialog::VersionsDialog(const Server &server, const QString &serverFolder, const QString &remotePath,
                               QWidget *parent)
    : QDialog(parent)
    , m_remotePath(remotePath)
{
    setObjectName(QStringLiteral("versionsDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Versions of %1").arg(remotePath.section(u'/', -1)));
    WindowFit::fit(this, QSize(720, 360));
    auto *layout = new QVBoxLayout(this);
    auto *path = new QLabel(remotePath, this);
    path->setTextFormat(Qt::PlainText);
    path->setWordWrap(true);
    layout->addWidget(path);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("versionsList"));
    m_list->setAccessibleName(tr("Versions"));
    m_list->setHeaderLabels({tr("Backed up"), tr("Size"), tr("Modified"), tr("Backups")});
    m_list->setRootIsDecorated(false);
    // No column is cut: the dates and sizes take what they need.
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    bool byFingerprint = false;
    for (const VersionFinder::Version &version : VersionFinder::versionsOf(server, serverFolder, remotePath)) {
        byFingerprint = byFingerprint || version.byFingerprint;
        const QString span = version.firstDate() == version.lastDate()
                                 ? version.firstDate()
                                 : tr("%1 to %2").arg(version.firstDate(), version.lastDate());
        auto *item = new QTreeWidgetItem(
            m_list, {span, version.isDirectory ? tr("folder") : QLocale().formattedDataSize(version.size),
                     Formatting::shortDateTime(version.modified), QString::number(version.snapshots.size())});
        item->setData(0, Qt::UserRole, version.lastDate());
        item->setData(0, Qt::UserRole + 1, version.localPath);
        item->setData(0, Qt::UserRole + 2, version.isDirectory);
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    layout->addWidget(m_list, 1);
    layout->addWidget(Style::note(byFingerprint ? tr("Backups that hold the same file (or one of the same size, "
                                                     "time and content fingerprint) hold one version. Incomplete "
                                                     "backups are not listed.")
                                                : tr("Backups that hold the same file (or one of the same size and "
                                                     "time) hold one version. Incomplete backups are not listed."),
                                  this));
    auto *buttons = new QHBoxLayout;
    m_changes = new QPushButton(tr("Show changes…"), this);
    m_changes->setObjectName(QStringLiteral("versionChanges"));
    m_changes->setToolTip(tr("What changed in this version since the one before it"));
    buttons->addWidget(m_changes);
    auto *toComputer = new QPushButton(tr("Restore to this computer…"), this);
    toComputer->setObjectName(QStringLiteral("versionToComputer"));
    auto *toServer = new QPushButton(tr("Restore to the server…"), this);
    toServer->setObjectName(QStringLiteral("versionToServer"));
    auto *close = new QPushButton(tr("Close"), this);
    buttons->addStretch(1);
    buttons->addWidget(toComputer);
    buttons->addWidget(toServer);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(toComputer, &QPushButton::clicked, this, [this] { requestRestore(false); });
    connect(toServer, &QPushButton::clicked, this, [this] { requestRestore(true); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_changes, &QPushButton::clicked, this, &VersionsDialog::showChanges);
    // The oldest version, and a folder, have no changes to show.
    const auto follow = [this] {
        const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
        m_changes->setEnabled(row >= 0 && row + 1 < m_list->topLevelItemCount()
                              && !m_list->currentItem()->data(0, Qt::UserRole + 2).toBool());
    };
    connect(m_list, &QTreeWidget::currentItemChanged, this, follow);
    follow();
}

void VersionsDialog::showChanges()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0 || row + 1 >= m_list->topLevelItemCount())
        return;
    const QTreeWidgetItem *newer = m_list->topLevelItem(row);
    const QTreeWidgetItem *older = m_list->topLevelItem(row + 1);
    const auto label = [this](const QTreeWidgetItem *item) -> QString {
        return m_remotePath + QStringLiteral(" (") + item->data(0, Qt::UserRole).toString() + u')';
    };
    auto *dialog = new DiffDialog(older->data(0, Qt::UserRole + 1).toString(),
                                  newer->data(0, Qt::UserRole + 1).toString(), label(older), label(newer), this);
    dialog->open();
}

QStringList VersionsDialog::rows() const
{
    QStringList rows;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_list->topLevelItem(i);
        rows << item->text(0) + QStringLiteral(" | ") + item->text(1) + QStringLiteral(" | ") + item->text(3);
    }
    return rows;
}

void VersionsDialog::selectRow(int row)
{
    m_list->setCurrentItem(m_list->topLevelItem(row));
}

void VersionsDialog::requestRestore(bool toServer)
{
    const QTreeWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    Q_EMIT restoreRequested(item->data(0, Qt::UserRole).toString(), item->data(0, Qt::UserRole + 1).toString(),
                            m_remotePath, toServer);
    accept();
}
