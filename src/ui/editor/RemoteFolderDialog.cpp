// SPDX-License-Identifier: GPL-3.0-or-later
// The remote folder browser.
#include "ui/editor/RemoteFolderDialog.h"

#include "core/ssh/RemoteListing.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"
#include "ui/widgets/WindowFit.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <qcoro/qcorotask.h>

namespace {

constexpr int isFolderRole = Qt::UserRole + 1;

QString parentOf(const QString &folder)
{
    const qsizetype slash = folder.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : folder.left(slash);
}

} // namespace

RemoteFolderDialog::RemoteFolderDialog(const Server &server, QWidget *parent)
    : QDialog(parent)
    , m_server(server)
{
    setObjectName(QStringLiteral("remoteFolderDialog"));
    setWindowTitle(tr("Choose a remote path on %1").arg(server.host));
    WindowFit::fit(this, QSize(560, 460));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    m_up = new QPushButton(Icons::get(QStringLiteral("go-up")), tr("Up"), this);
    m_up->setObjectName(QStringLiteral("remoteUp"));
    m_path = new QLabel(this);
    m_path->setObjectName(QStringLiteral("remoteFolder"));
    m_path->setTextFormat(Qt::PlainText);
    m_path->setFont(Style::monospace());
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(m_up);
    top->addWidget(m_path, 1);
    layout->addLayout(top);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("remoteEntries"));
    layout->addWidget(m_list, 1);
    m_message = Style::note(QString(), this);
    m_message->setObjectName(QStringLiteral("remoteMessage"));
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    layout->addWidget(m_message);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_choose = buttons->addButton(tr("Choose"), QDialogButtonBox::AcceptRole);
    m_choose->setObjectName(QStringLiteral("remoteChoose"));
    layout->addWidget(buttons);

    connect(m_up, &QPushButton::clicked, this, [this] { showFolder(parentOf(m_folder)); });
    connect(m_list, &QListWidget::itemActivated, this, &RemoteFolderDialog::enter);
    connect(buttons, &QDialogButtonBox::accepted, this, &RemoteFolderDialog::choose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void RemoteFolderDialog::showFolder(const QString &folder)
{
    const int request = ++m_request;
    m_listing = true;
    m_up->setEnabled(false);
    m_choose->setEnabled(false);
    m_message->setText(tr("Listing %1…").arg(folder.isEmpty() ? tr("the home folder") : folder));
    QCoro::connect(RemoteListing::list(m_server, folder), this,
                   [this, request](const tl::expected<RemoteListing::Listing, Error> &listing) {
                       if (request != m_request)
                           return; // a later folder was asked for meanwhile
                       m_listing = false;
                       m_up->setEnabled(!m_folder.isEmpty() && m_folder != QStringLiteral("/"));
                       m_choose->setEnabled(!m_folder.isEmpty());
                       if (!listing) {
                           m_message->setText(tr("Could not list the folder: %1").arg(listing.error().message));
                           Q_EMIT listed();
                           return;
                       }
                       m_folder = listing->folder;
                       m_path->setText(m_folder);
                       m_up->setEnabled(m_folder != QStringLiteral("/"));
                       m_choose->setEnabled(true);
                       m_list->clear();
                       for (const RemoteListing::Entry &entry : listing->entries) {
                           auto *item = new QListWidgetItem(
                               Icons::get(entry.isFolder ? QStringLiteral("folder") : QStringLiteral("text-x-generic")),
                               entry.name, m_list);
                           item->setData(isFolderRole, entry.isFolder);
                           item->setToolTip(RemoteListing::join(m_folder, entry.name));
                       }
                       m_message->setText(listing->entries.isEmpty() ? tr("This folder is empty.") : QString());
                       Q_EMIT listed();
                   });
}

void RemoteFolderDialog::enter(QListWidgetItem *item)
{
    if (item && item->data(isFolderRole).toBool())
        showFolder(RemoteListing::join(m_folder, item->text()));
}

void RemoteFolderDialog::choose()
{
    if (m_folder.isEmpty())
        return;
    const QListWidgetItem *item = m_list->currentItem();
    if (item && item->isSelected()) {
        m_chosenPath = RemoteListing::join(m_folder, item->text());
        m_chosenIsFolder = item->data(isFolderRole).toBool();
    } else {
        m_chosenPath = m_folder;
        m_chosenIsFolder = true;
    }
    accept();
}
