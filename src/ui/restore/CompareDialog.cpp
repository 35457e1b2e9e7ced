// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing two days and showing what changed between them.
#include "ui/restore/CompareDialog.h"

#include "core/engine/Snapshots.h"
#include "core/restore/SnapshotCompare.h"
#include "core/restore/SnapshotMap.h"
#include "core/system/Background.h"
#include "ui/restore/DiffDialog.h"
#include "ui/widgets/Style.h"
#include "ui/widgets/WindowFit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <qcoro/qcorofuture.h>

CompareDialog::CompareDialog(const Server &server, const QString &serverFolder, QWidget *parent)
    : QDialog(parent)
    , m_server(server)
    , m_serverFolder(serverFolder)
{
    setObjectName(QStringLiteral("compareDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Compare two backups"));
    WindowFit::fit(this, QSize(760, 480));
    auto *layout = new QVBoxLayout(this);
    auto *choose = new QHBoxLayout;
    m_older = new QComboBox(this);
    m_older->setObjectName(QStringLiteral("compareOlder"));
    m_newer = new QComboBox(this);
    m_newer->setObjectName(QStringLiteral("compareNewer"));
    for (const Snapshots::Backup &backup : Snapshots::list(serverFolder)) {
        m_older->addItem(backup.name, backup.path);
        m_newer->addItem(backup.name, backup.path);
    }
    m_older->setCurrentIndex(std::min(1, m_older->count() - 1));
    m_start = new QPushButton(tr("Compare"), this);
    m_start->setObjectName(QStringLiteral("compareStart"));
    // Named for screen readers and reached by their mnemonics.
    auto *from = new QLabel(tr("From"), this);
    from->setBuddy(m_older);
    auto *to = new QLabel(tr("to"), this);
    to->setBuddy(m_newer);
    choose->addWidget(from);
    choose->addWidget(m_older);
    choose->addWidget(to);
    choose->addWidget(m_newer);
    choose->addWidget(m_start);
    choose->addStretch(1);
    layout->addLayout(choose);
    m_changes = new QTreeWidget(this);
    m_changes->setObjectName(QStringLiteral("compareChanges"));
    m_changes->setAccessibleName(tr("Changes between the two backups"));
    m_changes->setHeaderLabels({tr("Change"), tr("File")});
    m_changes->setRootIsDecorated(false);
    m_changes->header()->setStretchLastSection(false);
    m_changes->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_changes->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    layout->addWidget(m_changes, 1);
    m_summary = Style::note(QString(), this);
    m_summary->setObjectName(QStringLiteral("compareSummary"));
    m_summary->setTextFormat(Qt::PlainText);
    layout->addWidget(m_summary);
    buildActions(layout);
    connect(m_start, &QPushButton::clicked, this, [this] {
        if (m_comparing && m_stop)
            *m_stop = true;
        else
            compare();
    });
}

void CompareDialog::buildActions(QVBoxLayout *layout)
{
    m_showChanges = new QPushButton(tr("Show changes…"), this);
    m_showChanges->setObjectName(QStringLiteral("compareShowChanges"));
    m_toComputer = new QPushButton(tr("Restore to this computer…"), this);
    m_toComputer->setObjectName(QStringLiteral("compareToComputer"));
    m_toServer = new QPushButton(tr("Restore to the server…"), this);
    m_toServer->setObjectName(QStringLiteral("compareToServer"));
    auto *close = new QPushButton(tr("Close"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_showChanges);
    buttons->addStretch(1);
    buttons->addWidget(m_toComputer);
    buttons->addWidget(m_toServer);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_showChanges, &QPushButton::clicked, this, &CompareDialog::showChanges);
    connect(m_toComputer, &QPushButton::clicked, this, [this] { requestRestore(false); });
    connect(m_toServer, &QPushButton::clicked, this, [this] { requestRestore(true); });
    connect(m_changes, &QTreeWidget::currentItemChanged, this, &CompareDialog::followSelection);
    followSelection();
}

void CompareDialog::followSelection()
{
    const QTreeWidgetItem *item = m_changes->currentItem();
    const bool changed = item && item->data(0, Qt::UserRole).toInt() == int(SnapshotCompare::Change::Kind::changed);
    m_showChanges->setEnabled(changed);
    m_toComputer->setEnabled(item != nullptr);
    m_toServer->setEnabled(item != nullptr);
}

std::optional<QString> CompareDialog::localPath(bool newer) const
{
    const QTreeWidgetItem *item = m_changes->currentItem();
    if (!item)
        return std::nullopt;
    return SnapshotMap::localPathOf(m_server, newer ? m_shownNewer.second : m_shownOlder.second, item->text(1));
}

void CompareDialog::selectRow(int row)
{
    m_changes->setCurrentItem(m_changes->topLevelItem(row));
}

void CompareDialog::showChanges()
{
    const std::optional<QString> older = localPath(false);
    const std::optional<QString> newer = localPath(true);
    if (!older || !newer)
        return;
    const QString remote = m_changes->currentItem()->text(1);
    auto *dialog = new DiffDialog(*older, *newer, remote + QStringLiteral(" (") + m_shownOlder.first + u')',
                                  remote + QStringLiteral(" (") + m_shownNewer.first + u')', this);
    dialog->open();
}

void CompareDialog::requestRestore(bool toServer)
{
    const QTreeWidgetItem *item = m_changes->currentItem();
    if (!item)
        return;
    // A removed file is only in the older backup.
    const bool fromNewer = item->data(0, Qt::UserRole).toInt() != int(SnapshotCompare::Change::Kind::removed);
    const std::optional<QString> local = localPath(fromNewer);
    if (!local)
        return;
    Q_EMIT restoreRequested(fromNewer ? m_shownNewer.first : m_shownOlder.first, *local, item->text(1), toServer);
    accept();
}

CompareDialog::~CompareDialog()
{
    if (m_stop)
        *m_stop = true; // the walk ends soon; its result is dropped
}

void CompareDialog::setDates(const QString &older, const QString &newer)
{
    m_older->setCurrentIndex(m_older->findText(older));
    m_newer->setCurrentIndex(m_newer->findText(newer));
}

void CompareDialog::compare()
{
    m_shownOlder = {m_older->currentText(), m_older->currentData().toString()};
    m_shownNewer = {m_newer->currentText(), m_newer->currentData().toString()};
    QCoro::connect(run(m_shownOlder.second, m_shownNewer.second), this, [] {});
}

QCoro::Task<> CompareDialog::run(QString older, QString newer)
{
    QPointer<CompareDialog> self(this);
    m_comparing = true;
    m_stop = std::make_shared<std::atomic<bool>>(false);
    m_start->setText(tr("Stop"));
    m_changes->clear();
    m_summary->setText(tr("Comparing…"));
    const auto stop = m_stop;
    const Server server = m_server;
    auto future = Background::run(
        [server, older, newer, stop] { return SnapshotCompare::compare(server, older, newer, stop.get()); });
    const SnapshotCompare::Result result = co_await future;
    if (!self)
        co_return;
    m_comparing = false;
    m_start->setText(tr("Compare"));
    for (const SnapshotCompare::Change &change : result.changes) {
        const QString kind = change.kind == SnapshotCompare::Change::Kind::added     ? tr("added")
                             : change.kind == SnapshotCompare::Change::Kind::removed ? tr("removed")
                                                                                     : tr("changed");
        auto *item = new QTreeWidgetItem(m_changes, {kind, change.remotePath});
        item->setData(0, Qt::UserRole, int(change.kind));
    }
    QStringList counts;
    for (const SnapshotCompare::RootCounts &root : result.counts)
        counts << tr("%1: %2 added, %3 removed, %4 changed")
                      .arg(root.root)
                      .arg(root.added)
                      .arg(root.removed)
                      .arg(root.changed);
    QString summary =
        tr("%n file(s) compared.", nullptr, result.filesCompared) + u' ' + counts.join(QStringLiteral("; "));
    // Days on btrfs share no inodes: say how "changed" was told there.
    if (result.byFingerprint > 0)
        summary += u' '
                   + tr("Copies that are not one hard-linked file were compared by size, modification time and "
                        "content fingerprint.");
    else if (result.bySizeAndTime > 0)
        summary += u' ' + tr("Copies that are not one hard-linked file were compared by size and modification time.");
    m_summary->setText(result.cancelled ? tr("Stopped. So far: %1").arg(summary) : summary);
    followSelection();
}

QStringList CompareDialog::rows() const
{
    QStringList rows;
    for (int i = 0; i < m_changes->topLevelItemCount(); ++i)
        rows << m_changes->topLevelItem(i)->text(0) + u' ' + m_changes->topLevelItem(i)->text(1);
    return rows;
}

QString CompareDialog::summary() const
{
    return m_summary->text();
}
