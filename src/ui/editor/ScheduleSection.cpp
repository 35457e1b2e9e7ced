// SPDX-License-Identifier: GPL-3.0-or-later
// Installing a server's daily schedule and showing its real state.
#include "ui/editor/ScheduleSection.h"

#include "core/presentation/Formatting.h"
#include "core/schedule/ScheduleStatus.h"
#include "core/schedule/Scheduler.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>

ScheduleSection::ScheduleSection(const QUuid &serverID, ConfigStore *store, const Scheduler *scheduler,
                                 ScheduleStatus *schedules, QWidget *parent)
    : EditorSection(tr("Schedule"), serverID, store, parent)
    , m_scheduler(scheduler)
    , m_schedules(schedules)
{
    setObjectName(QStringLiteral("scheduleSection"));
    auto *layout = qobject_cast<QVBoxLayout *>(this->layout());
    m_switch = new QCheckBox(tr("Run automatically every day"), this);
    m_switch->setObjectName(QStringLiteral("scheduleSwitch"));
    m_time = new QLineEdit(this);
    m_time->setObjectName(QStringLiteral("timeField"));
    m_time->setPlaceholderText(QStringLiteral("03:00"));
    m_time->setFixedWidth(100);
    auto *timeBox = new QWidget(this);
    auto *timeLayout = new QHBoxLayout(timeBox);
    timeLayout->setContentsMargins(0, 0, 0, 0);
    m_time->setParent(timeBox);
    timeLayout->addWidget(m_time);
    timeLayout->addStretch(1);
    m_error = Style::note(QString(), this, Icons::red());
    m_error->setObjectName(QStringLiteral("scheduleError"));
    m_status = Style::note(QString(), this);
    m_status->setObjectName(QStringLiteral("scheduleStatus"));
    m_status->setTextFormat(Qt::PlainText);
    layout->addWidget(m_switch);
    layout->addWidget(field(tr("Time (HH:mm)"), timeBox, m_time));
    layout->addWidget(m_error);
    layout->addWidget(m_status);
    m_healthCheck = new QLineEdit(this);
    m_healthCheck->setObjectName(QStringLiteral("serverHealthCheckField"));
    m_healthCheck->setPlaceholderText(tr("the one in Settings"));
    m_healthCheck->setToolTip(tr("Pinged with /start, then itself after a success or /<exit code> after a failure"));
    layout->addWidget(field(tr("Health-check URL"), m_healthCheck));
    layout->addWidget(
        Style::note(tr("Scheduling uses %1. When the scheduled time arrives, Tidewell runs in the background (no "
                       "window shown).")
                        .arg(m_scheduler->schedulerName()),
                    this));
    connect(m_switch, &QCheckBox::toggled, this, [this](bool on) {
        edit([&](Server &s) { s.scheduleEnabled = on; });
        syncSchedule();
    });
    connect(m_healthCheck, &QLineEdit::textEdited, this,
            [this](const QString &text) { edit([&](Server &s) { s.healthCheckURL = text.trimmed(); }); });
    // A time is applied once it is typed whole: "7:30" never installs 07:03 on the way.
    connect(m_time, &QLineEdit::editingFinished, this, &ScheduleSection::applyTime);
    if (m_schedules) {
        connect(m_schedules, &ScheduleStatus::changed, this, [this](const QUuid &id) {
            if (id == m_id)
                refresh(server());
        });
    }
}

void ScheduleSection::applyTime()
{
    const QString text = m_time->text();
    if (text == server().scheduleTime)
        return;
    edit([&](Server &s) { s.scheduleTime = text; });
    if (server().scheduleEnabled)
        syncSchedule();
}

void ScheduleSection::syncSchedule()
{
    if (m_syncing) {
        m_syncAgain = true;
        return;
    }
    m_syncing = true;
    QCoro::connect(sync(), this, [] {});
}

QCoro::Task<> ScheduleSection::sync()
{
    QPointer<ScheduleSection> self(this);
    QString error;
    do {
        m_syncAgain = false;
        const Server s = server();
        tl::expected<void, SchedulerError> synced;
        if (s.scheduleEnabled)
            synced = co_await m_scheduler->install(s);
        else
            synced = co_await m_scheduler->uninstall(s.id);
        if (!self)
            co_return;
        error = synced ? QString() : synced.error().message;
    } while (m_syncAgain);
    m_syncing = false;
    m_installError = error;
    if (m_schedules)
        m_schedules->refresh(m_id);
    refresh(server());
    Q_EMIT syncFinished();
}

void ScheduleSection::refresh(const Server &server)
{
    if (m_switch->isChecked() != server.scheduleEnabled) {
        const QSignalBlocker block(m_switch);
        m_switch->setChecked(server.scheduleEnabled);
    }
    showText(m_time, server.scheduleTime);
    showText(m_healthCheck, server.healthCheckURL);
    m_time->setEnabled(server.scheduleEnabled);
    m_error->setVisible(!m_installError.isEmpty());
    m_error->setText(m_installError);

    QString status;
    bool broken = false;
    if (m_schedules && server.scheduleEnabled) {
        const ScheduleStatus::State state = m_schedules->state(m_id);
        broken = state.kind == ScheduleStatus::State::Kind::broken;
        if (broken)
            status = state.message;
        else if (state.next.isValid())
            status = tr("Next run: %1").arg(Formatting::shortDateTime(state.next));
    }
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::WindowText, Icons::red());
    m_status->setPalette(palette);
    m_status->setForegroundRole(broken ? QPalette::WindowText : QPalette::PlaceholderText);
    m_status->setText(status);
    m_status->setVisible(!status.isEmpty());
}
