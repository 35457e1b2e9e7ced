// SPDX-License-Identifier: GPL-3.0-or-later
// Editing how many dated backups a server keeps.
#include "ui/editor/RetentionSection.h"

#include "core/model/Schedule.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

qint64 countIn(const QLineEdit *field)
{
    return field->text().trimmed().toLongLong();
}

} // namespace

RetentionSection::RetentionSection(const QUuid &serverID, ConfigStore *store, QWidget *parent)
    : EditorSection(tr("Retention"), serverID, store, parent)
{
    setObjectName(QStringLiteral("retentionSection"));
    auto *layout = qobject_cast<QVBoxLayout *>(this->layout());
    m_keep = countField(QStringLiteral("retentionField"), tr("0 = keep all"), &Server::retentionCount);
    m_hourly = countField(QStringLiteral("keepHourlyField"), QStringLiteral("0"), &Server::keepHourly);
    m_weekly = countField(QStringLiteral("keepWeeklyField"), QStringLiteral("0"), &Server::keepWeekly);
    m_monthly = countField(QStringLiteral("keepMonthlyField"), QStringLiteral("0"), &Server::keepMonthly);
    // One count per row: on one line they made the editor wider than a
    // small window, and longer in other languages.
    const auto row = [this](QLineEdit *edit, int width) {
        auto *box = new QWidget(this);
        auto *boxLayout = new QHBoxLayout(box);
        boxLayout->setContentsMargins(0, 0, 0, 0);
        edit->setParent(box);
        edit->setFixedWidth(width);
        boxLayout->addWidget(edit);
        boxLayout->addStretch(1);
        return box;
    };
    layout->addWidget(field(tr("Keep last N daily backups"), row(m_keep, 120), m_keep));
    m_hourlyRow = field(tr("plus hourly"), row(m_hourly, 60), m_hourly);
    layout->addWidget(m_hourlyRow);
    layout->addWidget(field(tr("plus weekly"), row(m_weekly, 60), m_weekly));
    layout->addWidget(field(tr("monthly"), row(m_monthly, 60), m_monthly));
    layout->addWidget(
        Style::note(tr("Only applies when 'Create date subfolder' is on in Settings and N is 1 or more. After each "
                       "successful run, Tidewell keeps the last N YYYY-MM-DD folders and, besides them, the newest of "
                       "each of the last W weeks (Monday to Sunday) and M months, and deletes the rest. Incomplete "
                       "folders never count as kept; folders dated after today are never touched."),
                    this));
    m_hourlyNote = Style::note(tr("Backed up several times a day, each run keeps a folder of its own "
                                  "(YYYY-MM-DD_HHMM): each of the last N days keeps its newest, and each of the "
                                  "last H hours its newest."),
                               this);
    m_hourlyNote->setObjectName(QStringLiteral("keepHourlyNote"));
    layout->addWidget(m_hourlyNote);
}

QLineEdit *RetentionSection::countField(const QString &objectName, const QString &placeholder, qint64 Server::*count)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(objectName);
    edit->setPlaceholderText(placeholder);
    edit->setValidator(new QIntValidator(0, 100000, edit));
    connect(edit, &QLineEdit::textEdited, this, [this, edit, count] {
        if (edit->hasAcceptableInput() || edit->text().trimmed().isEmpty())
            this->edit([&](Server &s) { s.*count = countIn(edit); });
    });
    return edit;
}

void RetentionSection::refresh(const Server &server)
{
    // Hours matter only to servers backed up more than once a day.
    const bool hourly = Schedule::severalADay(server) || server.keepHourly > 0;
    m_hourlyRow->setVisible(hourly);
    m_hourlyNote->setVisible(hourly);
    for (const auto &[edit, value] :
         {std::pair{m_keep, server.retentionCount}, std::pair{m_hourly, server.keepHourly},
          std::pair{m_weekly, server.keepWeekly}, std::pair{m_monthly, server.keepMonthly}}) {
        if (countIn(edit) != value)
            showText(edit, value == 0 ? QString() : QString::number(value));
    }
}
