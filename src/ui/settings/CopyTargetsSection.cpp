// SPDX-License-Identifier: GPL-3.0-or-later
// The second copies in Settings.
#include "ui/settings/CopyTargetsSection.h"

#include "core/engine/CopyRunner.h"
#include "core/engine/CopyState.h"
#include "core/storage/ConfigStore.h"
#include "ui/settings/CopyTargetDialog.h"
#include "ui/settings/EncryptDialog.h"
#include "ui/widgets/Dialogs.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

CopyTargetsSection::CopyTargetsSection(ConfigStore *store, Dialogs *dialogs, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
    , m_dialogs(dialogs)
    , m_rows(new QVBoxLayout)
    , m_runner(new CopyRunner(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    m_empty = Style::note(tr("A second copy keeps every day of the backups on another drive or host, with a history "
                             "of its own, so one lost disk loses nothing."),
                          this);
    layout->addWidget(m_empty);
    m_rows->setSpacing(8);
    layout->addLayout(m_rows);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("copyStatus"));
    m_status->setWordWrap(true);
    m_status->hide();
    layout->addWidget(m_status);
    auto *buttons = new QHBoxLayout;
    m_add = new QPushButton(Icons::get(QStringLiteral("list-add")), tr("Add a folder…"), this);
    m_add->setObjectName(QStringLiteral("addCopyFolder"));
    buttons->addWidget(m_add);
    m_addHost = new QPushButton(Icons::get(QStringLiteral("network-server")), tr("Add a host…"), this);
    m_addHost->setObjectName(QStringLiteral("addCopyHost"));
    buttons->addWidget(m_addHost);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    layout->addWidget(Style::note(tr("After each good backup, its new day is copied to every second copy "
                                     "that is on. A host is reached over ssh as a server is, its host key "
                                     "checked the same way."),
                                  this));
    connect(m_add, &QPushButton::clicked, this, &CopyTargetsSection::addFolder);
    connect(m_addHost, &QPushButton::clicked, this, [this] {
        CopyTarget target;
        target.kind = CopyTarget::Kind::ssh;
        edit(target);
    });
    refresh();
}

QString CopyTargetsSection::stateText(const CopyTarget &target) const
{
    const AppSettings &settings = m_store->settings();
    QStringList lines;
    if (!target.enabled)
        lines << tr("Off: nothing is copied after the backups.");
    for (const Server &server : settings.servers) {
        if (!target.takes(server.id))
            continue;
        const CopyState::Lag lag = CopyState::lag(target, settings, server);
        QString line = lag.newestDay.isEmpty() ? tr("%1: not copied yet").arg(server.shownName())
                                               : tr("%1: up to %2").arg(server.shownName(), lag.newestDay);
        if (lag.daysBehind > 0)
            line += u' ' + tr("(%n day(s) behind)", nullptr, int(std::min<qint64>(lag.daysBehind, 100000)));
        lines << line;
        if (!lag.lastError.isEmpty())
            lines << tr("%1: the last copy failed: %2").arg(server.shownName(), lag.lastError);
    }
    return lines.join(u'\n');
}

QWidget *CopyTargetsSection::row(const CopyTarget &target)
{
    auto *box = new QWidget(this);
    box->setObjectName(QStringLiteral("copyTarget"));
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *title = new QLabel(target.encrypted ? tr("%1 — %2 — encrypted").arg(target.shownName(), target.where())
                                              : target.shownName() + QStringLiteral(" — ") + target.where(),
                             box);
    title->setObjectName(QStringLiteral("copyTargetName"));
    title->setTextFormat(Qt::PlainText);
    title->setWordWrap(true);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    auto *state = Style::note(stateText(target), box);
    state->setObjectName(QStringLiteral("copyTargetState"));
    layout->addWidget(state);
    auto *buttons = new QHBoxLayout;
    auto *copy = new QPushButton(tr("Copy now"), box);
    copy->setObjectName(QStringLiteral("copyNow"));
    copy->setEnabled(!m_copying);
    auto *change = new QPushButton(tr("Edit…"), box);
    change->setObjectName(QStringLiteral("editCopy"));
    change->setEnabled(!m_copying);
    auto *removal = new QPushButton(tr("Remove"), box);
    removal->setObjectName(QStringLiteral("removeCopy"));
    removal->setEnabled(!m_copying);
    buttons->addWidget(copy);
    buttons->addWidget(change);
    buttons->addWidget(removal);
    const QUuid id = target.id;
    if (target.kind == CopyTarget::Kind::folder && !target.encrypted) {
        auto *encrypt = new QPushButton(tr("Encrypt…"), box);
        encrypt->setObjectName(QStringLiteral("encryptCopy"));
        encrypt->setEnabled(!m_copying);
        buttons->addWidget(encrypt);
        connect(encrypt, &QPushButton::clicked, this, [this, id] {
            auto *dialog = new EncryptDialog(m_store, m_dialogs, id.toString(QUuid::WithoutBraces), this);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->open();
        });
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(copy, &QPushButton::clicked, this, [this, id] { copyNow(id); });
    connect(removal, &QPushButton::clicked, this, [this, id] { remove(id); });
    connect(change, &QPushButton::clicked, this, [this, id] {
        for (const CopyTarget &known : m_store->settings().copyTargets) {
            if (known.id == id)
                edit(known);
        }
    });
    return box;
}

void CopyTargetsSection::refresh()
{
    // Later: the button that asked for this may be the one going.
    while (QLayoutItem *item = m_rows->takeAt(0)) {
        if (QWidget *old = item->widget()) {
            old->hide();
            old->deleteLater();
        }
        delete item;
    }
    const QList<CopyTarget> targets = m_store->settings().copyTargets;
    for (const CopyTarget &target : targets)
        m_rows->addWidget(row(target));
    m_empty->setVisible(targets.isEmpty());
    m_add->setEnabled(!m_copying);
    m_addHost->setEnabled(!m_copying);
}

void CopyTargetsSection::edit(const CopyTarget &target)
{
    if (m_editor)
        return;
    m_editor = new CopyTargetDialog(target, m_store->settings(), m_dialogs, this);
    m_editor->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_editor, &QDialog::accepted, this, [this] {
        const CopyTarget edited = m_editor->target();
        AppSettings settings = m_store->settings();
        const auto known = std::find_if(settings.copyTargets.begin(), settings.copyTargets.end(),
                                        [&edited](const CopyTarget &other) { return other.id == edited.id; });
        if (known != settings.copyTargets.end())
            *known = edited;
        else
            settings.copyTargets << edited;
        m_store->setSettings(settings);
        refresh();
    });
    m_editor->open();
}

void CopyTargetsSection::addFolder()
{
    const QString folder = m_dialogs->folderName(this, tr("Choose the folder of a second copy"), QDir::homePath());
    if (folder.isEmpty())
        return;
    AppSettings settings = m_store->settings();
    CopyTarget target;
    target.path = QDir::cleanPath(folder);
    target.name = QDir(target.path).dirName().isEmpty() ? target.path : QDir(target.path).dirName();
    settings.copyTargets << target;
    m_store->setSettings(settings);
    refresh();
}

void CopyTargetsSection::remove(const QUuid &id)
{
    AppSettings settings = m_store->settings();
    const auto found = std::find_if(settings.copyTargets.cbegin(), settings.copyTargets.cend(),
                                    [&id](const CopyTarget &target) { return target.id == id; });
    if (found == settings.copyTargets.cend())
        return;
    if (!m_dialogs->confirm(this, tr("Remove “%1”?").arg(found->shownName()),
                            tr("Remove the second copy “%1”?").arg(found->shownName()),
                            tr("Nothing more is copied there. The days it holds stay where they are."), tr("Remove")))
        return;
    settings.copyTargets.removeIf([&id](const CopyTarget &target) { return target.id == id; });
    m_store->setSettings(settings);
    refresh();
}

void CopyTargetsSection::copyNow(const QUuid &id)
{
    if (m_copying)
        return;
    for (const CopyTarget &target : m_store->settings().copyTargets) {
        if (target.id != id)
            continue;
        m_copying = id;
        refresh();
        QCoro::connect(copyAll(target), this, [] {});
        return;
    }
}

QCoro::Task<> CopyTargetsSection::copyAll(CopyTarget target)
{
    QPointer<CopyTargetsSection> self(this);
    const AppSettings settings = m_store->settings();
    // Asked for by name: a copy that is off copies too.
    target.enabled = true;
    QStringList failed;
    m_status->show();
    for (const Server &server : settings.servers) {
        if (!target.takes(server.id))
            continue;
        m_status->setText(tr("Copying %1 to %2…").arg(server.shownName(), target.shownName()));
        const QDateTime now = QDateTime::currentDateTime();
        const CopyRunner::Outcome outcome = co_await m_runner->copy(target, server, settings, now);
        if (!self)
            co_return;
        if (outcome.result == CopyRunner::Result::failed || outcome.result == CopyRunner::Result::skipped)
            failed << server.shownName() + QStringLiteral(": ") + outcome.reason;
    }
    m_status->setText(failed.isEmpty() ? tr("Copied to %1: it holds every day.").arg(target.shownName())
                                       : tr("Not copied to %1: %2").arg(target.shownName(), failed.join(u'\n')));
    m_copying.reset();
    refresh();
    Q_EMIT copyFinished();
}
