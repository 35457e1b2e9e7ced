// SPDX-License-Identifier: GPL-3.0-or-later
// Showing a server's last run in the editor.
#include "ui/editor/LastRunSection.h"

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
