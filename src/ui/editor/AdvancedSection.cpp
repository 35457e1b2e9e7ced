// SPDX-License-Identifier: GPL-3.0-or-later
// Editing what a server's copies keep and how its rsync runs.
#include "ui/editor/AdvancedSection.h"

#include "core/engine/KeepOptions.h"
#include "core/engine/Retention.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/Btrfs.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <qcoro/qcorotask.h>

AdvancedSection::AdvancedSection(const QUuid &serverID, ConfigStore *store, QWidget *parent)
    : EditorSection(tr("Advanced"), serverID, store, parent)
{
    setObjectName(QStringLiteral("advancedSection"));
    auto *layout = qobject_cast<QVBoxLayout *>(this->layout());
    layout->addWidget(Style::note(tr("What the copies keep besides contents, times and permissions:"), this));
    QCheckBox *owners =
        keepSwitch(QStringLiteral("keepOwnersSwitch"), tr("Owners and groups"), &Server::preserveOwnership);
    // Said under the switch, where it wraps: beside it, it made the editor
    // wider than a small window.
    auto *ownersNote = Style::note(tr("Kept in extended attributes of the copies when Tidewell is not root."), this);
    ownersNote->setContentsMargins(owners->iconSize().width() + 8, 0, 0, 0);
    layout->addWidget(ownersNote);
    keepSwitch(QStringLiteral("keepHardLinksSwitch"), tr("Hard links (-H)"), &Server::preserveHardLinks);
    keepSwitch(QStringLiteral("keepACLsSwitch"), tr("ACLs (-A)"), &Server::preserveACLs);
    keepSwitch(QStringLiteral("keepXattrsSwitch"), tr("Extended attributes (-X)"), &Server::preserveXattrs);
    keepSwitch(QStringLiteral("numericIdsSwitch"), tr("Owners by number, not by name (--numeric-ids)"),
               &Server::numericIds);
    keepSwitch(QStringLiteral("sparseSwitch"), tr("Sparse files stay sparse (--sparse)"), &Server::sparseFiles);

    buildSnapshots(layout);
    buildRemoteRsync(layout);
    showSudo({});
    m_sudoMessage->hide();
}

// How a day shares what did not change, and what the last run used.
void AdvancedSection::buildSnapshots(QVBoxLayout *layout)
{
    m_snapshots = new QComboBox(this);
    m_snapshots->setObjectName(QStringLiteral("snapshotMethodChoice"));
    m_snapshots->addItem(tr("Automatic"), QStringLiteral("auto"));
    m_snapshots->addItem(tr("Hard links"), QStringLiteral("hardlinks"));
    m_snapshots->addItem(tr("btrfs subvolumes"), QStringLiteral("btrfs"));
    m_snapshots->setToolTip(
        tr("Automatic: btrfs subvolumes where the backup folder allows them, hard links elsewhere. On btrfs a "
           "day is a snapshot of the day before, and rsync rewrites only what "
           "changed: an unchanged day and an edit inside a large file cost almost nothing."));
    connect(m_snapshots, &QComboBox::activated, this, [this](int index) {
        const QString method = m_snapshots->itemData(index).toString();
        edit([&](Server &s) { s.snapshotMethod = method; });
    });
    layout->addWidget(field(tr("Snapshots"), m_snapshots));
    m_snapshotsInUse = Style::note(QString(), this);
    m_snapshotsInUse->setObjectName(QStringLiteral("snapshotsInUse"));
    m_snapshotsInUse->setTextFormat(Qt::PlainText);
    layout->addWidget(m_snapshotsInUse);
}

QString AdvancedSection::snapshotsInUse(const Server &server) const
{
    // What the last run made, in its log's header; before a run, what the next one makes.
    QFile log(LogStore::logFile(server.id));
    if (log.open(QIODevice::ReadOnly)) {
        const QByteArray head = log.read(16 * 1024);
        if (head.contains("\nSnapshots: btrfs subvolumes\n"))
            return tr("In use: btrfs subvolumes (the last backup made its day as one).");
        if (head.contains("\nSnapshots: hard links\n"))
            return tr("In use: hard links (the last backup linked its day's unchanged files).");
    }
    // Days in an encrypted folder live in its view, which is no btrfs.
    if (m_store->settings().destinationEncrypted)
        return tr("The backups are encrypted: days are made with hard links.");
    const QString folder = Retention::serverFolder(m_store->settings().destinationPath, server);
    if (server.snapshotMethod != QStringLiteral("hardlinks") && Btrfs::isBtrfs(folder))
        return tr("The backup folder is on btrfs: the next day becomes a btrfs subvolume.");
    if (server.snapshotMethod == QStringLiteral("btrfs"))
        return tr("The backup folder is not on btrfs: days are made with hard links.");
    return tr("In use: hard links.");
}

// The server's rsync, sudo and its check, and the sudoers line to copy.
void AdvancedSection::buildRemoteRsync(QVBoxLayout *layout)
{
    m_rsync = new QLineEdit(this);
    m_rsync->setObjectName(QStringLiteral("remoteRsyncField"));
    m_rsync->setPlaceholderText(QStringLiteral("rsync"));
    connect(m_rsync, &QLineEdit::textEdited, this,
            [this](const QString &text) { edit([&](Server &s) { s.remoteRsyncPath = text.trimmed(); }); });
    layout->addWidget(field(tr("Server's rsync"), m_rsync));
    auto *sudoLine = new QHBoxLayout;
    m_sudo = new QCheckBox(tr("Run with sudo on the server"), this);
    m_sudo->setObjectName(QStringLiteral("remoteSudoSwitch"));
    m_sudo->setToolTip(tr("rsync runs as root there (sudo -n: it never asks for a password), so root-only files "
                          "are copied and a restore can set owners"));
    connect(m_sudo, &QCheckBox::toggled, this, [this](bool on) { edit([on](Server &s) { s.remoteSudo = on; }); });
    m_checkSudo = new QPushButton(tr("Check sudo"), this);
    m_checkSudo->setObjectName(QStringLiteral("checkSudo"));
    connect(m_checkSudo, &QPushButton::clicked, this, &AdvancedSection::checkSudo);
    sudoLine->addWidget(m_sudo);
    sudoLine->addWidget(m_checkSudo);
    sudoLine->addStretch(1);
    layout->addLayout(sudoLine);
    m_sudoMessage = Style::note(QString(), this);
    m_sudoMessage->setObjectName(QStringLiteral("sudoMessage"));
    m_sudoMessage->setTextFormat(Qt::PlainText);
    layout->addWidget(m_sudoMessage);
    auto *sudoersLine = new QHBoxLayout;
    m_sudoers = new QLabel(this);
    m_sudoers->setObjectName(QStringLiteral("sudoersLine"));
    m_sudoers->setTextFormat(Qt::PlainText);
    m_sudoers->setFont(Style::monospace(0.9));
    m_sudoers->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_copy = new QPushButton(Icons::get(QStringLiteral("edit-copy")), tr("Copy"), this);
    m_copy->setObjectName(QStringLiteral("copySudoers"));
    connect(m_copy, &QPushButton::clicked, this, [this] { QGuiApplication::clipboard()->setText(m_sudoers->text()); });
    sudoersLine->addWidget(m_sudoers, 1);
    sudoersLine->addWidget(m_copy);
    layout->addLayout(sudoersLine);
    m_problems = Style::note(QString(), this, Icons::red());
    m_problems->setObjectName(QStringLiteral("keepProblems"));
    m_problems->setTextFormat(Qt::PlainText);
    layout->addWidget(m_problems);
}

QCheckBox *AdvancedSection::keepSwitch(const QString &objectName, const QString &text, bool Server::*setting)
{
    auto *box = new QCheckBox(text, this);
    box->setObjectName(objectName);
    connect(box, &QCheckBox::toggled, this, [this, setting](bool on) { edit([&](Server &s) { s.*setting = on; }); });
    layout()->addWidget(box);
    m_switches.append({box, setting});
    return box;
}

void AdvancedSection::refresh(const Server &server)
{
    for (const auto &[box, setting] : std::as_const(m_switches)) {
        const QSignalBlocker quiet(box);
        box->setChecked(server.*setting);
    }
    {
        const QSignalBlocker quiet(m_sudo);
        m_sudo->setChecked(server.remoteSudo);
    }
    showText(m_rsync, server.remoteRsyncPath);
    {
        const QSignalBlocker quiet(m_snapshots);
        m_snapshots->setCurrentIndex(std::max(0, m_snapshots->findData(server.snapshotMethod)));
    }
    m_checkSudo->setEnabled(server.remoteSudo && !m_checking && !server.host.isEmpty());
    m_checkSudo->setText(m_checking ? tr("Checking…") : tr("Check sudo"));
    // Looked at again only when what they depend on changed, not on every
    // keystroke elsewhere in the editor.
    const QString key = QStringList{QString::number(server.preserveXattrs),
                                    QString::number(server.preserveOwnership),
                                    QString::number(server.lastRunSerial),
                                    QString::number(server.lastRunAt.value_or(0), 'f', 3),
                                    server.name,
                                    server.snapshotMethod,
                                    m_store->settings().destinationPath}
                            .join(u'\n');
    if (key == m_problemsFor)
        return;
    m_problemsFor = key;
    m_snapshotsInUse->setText(snapshotsInUse(server));
    const QString found = problems(server);
    m_problems->setText(found);
    m_problems->setVisible(!found.isEmpty());
}

QString AdvancedSection::problems(const Server &server) const
{
    QStringList lines;
    // This computer: owners and attributes need a folder that stores them.
    const bool xattrs = server.preserveXattrs || (server.preserveOwnership && !KeepOptions::Local::current().isRoot);
    if (xattrs) {
        const QString folder = Retention::serverFolder(m_store->settings().destinationPath, server);
        if (const auto kept = KeepOptions::checkXattrs(folder); !kept)
            lines << tr("The backup folder's file system does not store extended attributes (%1): owners, groups "
                        "and extended attributes are not kept.")
                         .arg(kept.error().message);
    }
    // The server: what its last run refused, in the run's own words.
    QFile log(LogStore::logFile(server.id));
    if (log.open(QIODevice::ReadOnly)) {
        if (log.size() > 64 * 1024)
            log.seek(log.size() - 64 * 1024);
        for (const QByteArray &line : log.readAll().split('\n')) {
            const QString text = QString::fromUtf8(line);
            if (text.startsWith(QStringLiteral("!! The server's rsync does not support"))
                || text.startsWith(QStringLiteral("!! The server has no sudo"))
                || text.startsWith(QStringLiteral("!! sudo on the server"))) {
                if (!lines.contains(text.mid(3)))
                    lines << tr("Last run: %1").arg(text.mid(3));
            }
        }
    }
    return lines.join(u'\n');
}

void AdvancedSection::checkSudo()
{
    if (m_checking)
        return;
    m_checking = true;
    m_sudoMessage->setText(tr("Asking the server…"));
    m_sudoMessage->show();
    refresh(server());
    QCoro::connect(SudoCheck::check(server(), 10), this, [this](const SudoCheck::Result &result) {
        m_checking = false;
        showSudo(result);
        refresh(server());
        Q_EMIT sudoCheckFinished();
    });
}

void AdvancedSection::showSudo(const SudoCheck::Result &result)
{
    m_sudoMessage->setText(result.message);
    m_sudoMessage->setVisible(!result.message.isEmpty());
    QPalette palette = m_sudoMessage->palette();
    palette.setColor(QPalette::WindowText, result.works ? Icons::green() : Icons::red());
    m_sudoMessage->setPalette(palette);
    m_sudoMessage->setForegroundRole(QPalette::WindowText);
    m_sudoers->setText(result.sudoersLine);
    m_sudoers->setVisible(!result.sudoersLine.isEmpty());
    m_copy->setVisible(!result.sudoersLine.isEmpty());
}
