// SPDX-License-Identifier: GPL-3.0-or-later
// Editing how many dated backups a server keeps.
#include "ui/RetentionSection.h"

#include "ui/Icons.h"
#include "ui/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

RetentionSection::RetentionSection(const QUuid &serverID, ConfigStore *store, QWidget *parent)
    : EditorSection(tr("Retention"), serverID, store, parent)
{
    setObjectName(QStringLiteral("retentionSection"));
    auto *layout = qobject_cast<QVBoxLayout *>(this->layout());
    auto *box = new QWidget(this);
    auto *boxLayout = new QHBoxLayout(box);
    boxLayout->setContentsMargins(0, 0, 0, 0);
    m_keep = new QLineEdit(box);
    m_keep->setObjectName(QStringLiteral("retentionField"));
    m_keep->setPlaceholderText(tr("0 = keep all"));
    m_keep->setFixedWidth(120);
    boxLayout->addWidget(m_keep);
    boxLayout->addStretch(1);
    layout->addWidget(field(tr("Keep last N daily backups"), box, m_keep));
    layout->addWidget(Style::note(tr("Only applies when 'Create date subfolder' is on in Settings. Older YYYY-MM-DD folders are deleted "
                                     "after each successful run; incomplete ones never count as kept."),
                                  this));
    connect(m_keep, &QLineEdit::textEdited, this, [this](const QString &text) {
        bool ok = false;
        const qint64 keep = text.trimmed().isEmpty() ? 0 : text.trimmed().toLongLong(&ok);
        if (ok || text.trimmed().isEmpty())
            edit([&](Server &s) { s.retentionCount = keep; });
    });
}

void RetentionSection::refresh(const Server &server)
{
    bool ok = false;
    const qint64 shown = m_keep->text().trimmed().isEmpty() ? 0 : m_keep->text().trimmed().toLongLong(&ok);
    if (shown != server.retentionCount)
        showText(m_keep, server.retentionCount == 0 ? QString() : QString::number(server.retentionCount));
}
