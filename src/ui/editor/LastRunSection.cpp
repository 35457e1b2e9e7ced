// SPDX-License-Identifier: GPL-3.0-or-later
// Showing a server's last run in the editor.
#include "ui/editor/LastRunSection.h"

#include "core/engine/MassChange.h"
#include "core/presentation/Formatting.h"
#include "core/storage/LogStore.h"
#include "ui/widgets/Icons.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

LastRunSection::LastRunSection(const QUuid &serverID, ConfigStore *store, QWidget *parent)
    : EditorSection(tr("Last run"), serverID, store, parent)
{
    setObjectName(QStringLiteral("lastRunSection"));
    auto *layout = qobject_cast<QVBoxLayout *>(this->layout());
    m_when = new QLabel(this);
    m_when->setObjectName(QStringLiteral("lastRunWhen"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lastRunStatus"));
    m_status->setTextFormat(Qt::RichText);
    layout->addWidget(field(tr("When"), m_when));
    layout->addWidget(field(tr("Status"), m_status));
    m_held = new QLabel(this);
    m_held->setObjectName(QStringLiteral("heldChange"));
    m_held->setWordWrap(true);
    m_accept = new QPushButton(tr("These changes are expected"), this);
    m_accept->setObjectName(QStringLiteral("acceptChanges"));
    m_accept->setToolTip(tr("Old backups are pruned again from the next run"));
    auto *held = new QVBoxLayout;
    held->addWidget(m_held);
    auto *acceptLine = new QHBoxLayout;
    acceptLine->addWidget(m_accept);
    acceptLine->addStretch(1);
    held->addLayout(acceptLine);
    layout->addLayout(held);
    connect(m_accept, &QPushButton::clicked, this, &LastRunSection::acceptChanges);
    m_viewLog = new QPushButton(Icons::get(QStringLiteral("text-x-generic")), tr("View full log"), this);
    m_viewLog->setObjectName(QStringLiteral("viewFullLog"));
    auto *line = new QHBoxLayout;
    line->addWidget(m_viewLog);
    line->addStretch(1);
    layout->addLayout(line);
    connect(m_viewLog, &QPushButton::clicked, this, &LastRunSection::viewLogRequested);
}

void LastRunSection::refresh(const Server &server)
{
    setVisible(server.lastRunAt.has_value());
    m_viewLog->setEnabled(QFile::exists(LogStore::logFile(server.id)));
    m_held->setVisible(server.heldChange.has_value());
    m_accept->setVisible(server.heldChange.has_value());
    if (server.heldChange)
        m_held->setText(server.heldChange->shownText());
    if (!server.lastRunAt)
        return;
    m_when->setText(Formatting::shortDateTime(*server.lastRunAt));
    if (!server.lastExitCode)
        m_status->setText(tr("Cancelled"));
    else if (*server.lastExitCode == 0)
        m_status->setText(QStringLiteral("<span style='color:") + Icons::green().name() + QStringLiteral("'>●</span> ")
                          + tr("Success"));
    else
        m_status->setText(QStringLiteral("<span style='color:") + Icons::red().name() + QStringLiteral("'>●</span> ")
                          + tr("Failed (exit %1)").arg(*server.lastExitCode));
}

void LastRunSection::acceptChanges()
{
    const auto accepted = MassChange::accept(*m_store, m_id);
    if (!accepted)
        m_held->setText(tr("The old backups stay kept: %1").arg(accepted.error().message));
}
