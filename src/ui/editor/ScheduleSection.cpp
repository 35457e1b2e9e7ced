// SPDX-License-Identifier: GPL-3.0-or-later
// Installing a server's schedule and showing its real state.
#include "ui/editor/ScheduleSection.h"

#include "core/model/Schedule.h"
#include "core/presentation/Formatting.h"
#include "core/schedule/ScheduleCalendar.h"
#include "core/schedule/ScheduleStatus.h"
#include "core/schedule/Scheduler.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
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
    buildKindControls();
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
    layout->addWidget(field(tr("How often"), m_kind));
    m_hoursRow = field(tr("Interval"), m_everyHours);
    m_weekdayRow = field(tr("Day"), m_weekday);
    m_timeRow = field(tr("Time (HH:mm)"), timeBox, m_time);
    m_calendarRow = field(tr("Calendar"), m_calendar);
    layout->addWidget(m_hoursRow);
    layout->addWidget(m_weekdayRow);
    layout->addWidget(m_timeRow);
    layout->addWidget(m_calendarRow);
    layout->addWidget(m_calendarNote);
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
    connectKindControls();
    if (Schedule::kind(server()) == Schedule::Kind::custom)
        QCoro::connect(previewCalendar(), this, [] {});
    if (m_schedules) {
        connect(m_schedules, &ScheduleStatus::changed, this, [this](const QUuid &id) {
            if (id == m_id)
                refresh(server());
        });
    }
}

void ScheduleSection::buildKindControls()
{
    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("scheduleKind"));
    m_kind->addItem(tr("Every day"), Schedule::kindName(Schedule::Kind::daily));
    m_kind->addItem(tr("Every few hours"), Schedule::kindName(Schedule::Kind::hours));
    m_kind->addItem(tr("On weekdays"), Schedule::kindName(Schedule::Kind::weekdays));
    m_kind->addItem(tr("Once a week"), Schedule::kindName(Schedule::Kind::weekly));
    m_kind->addItem(tr("Custom calendar"), Schedule::kindName(Schedule::Kind::custom));
    m_everyHours = new QComboBox(this);
    m_everyHours->setObjectName(QStringLiteral("scheduleEveryHours"));
    for (const qint64 hours : Schedule::everyHoursChoices)
        m_everyHours->addItem(tr("every %n hour(s)", nullptr, int(hours)), hours);
    m_weekday = new QComboBox(this);
    m_weekday->setObjectName(QStringLiteral("scheduleWeekday"));
    for (int day = 1; day <= 7; ++day)
        m_weekday->addItem(QLocale().dayName(day), day);
    m_calendar = new QLineEdit(this);
    m_calendar->setObjectName(QStringLiteral("scheduleCalendar"));
    m_calendar->setPlaceholderText(QStringLiteral("Sat *-*-* 04:00"));
    m_calendar->setToolTip(tr("A systemd calendar expression (see “man systemd.time”)"));
    m_calendarNote = Style::note(QString(), this);
    m_calendarNote->setObjectName(QStringLiteral("scheduleCalendarNote"));
    m_calendarNote->setTextFormat(Qt::PlainText);
}

void ScheduleSection::connectKindControls()
{
    connect(m_calendar, &QLineEdit::editingFinished, this, &ScheduleSection::applyCalendar);
    connect(m_kind, &QComboBox::activated, this, [this] {
        const QString kind = m_kind->currentData().toString();
        applySchedule([&](Server &s) { s.scheduleKind = kind; });
        if (Schedule::kind(server()) == Schedule::Kind::custom)
            QCoro::connect(previewCalendar(), this, [] {});
    });
    connect(m_everyHours, &QComboBox::activated, this, [this] {
        const qint64 hours = m_everyHours->currentData().toLongLong();
        applySchedule([&](Server &s) { s.scheduleEveryHours = hours; });
    });
    connect(m_weekday, &QComboBox::activated, this, [this] {
        const qint64 day = m_weekday->currentData().toLongLong();
        applySchedule([&](Server &s) { s.scheduleWeekday = day; });
    });
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

void ScheduleSection::applySchedule(const std::function<void(Server &)> &change)
{
    const Server before = server();
    edit(change);
    if (server().scheduleEnabled && !Schedule::sameTimes(before, server()))
        syncSchedule();
    else
        refresh(server());
}

void ScheduleSection::applyCalendar()
{
    const QString text = m_calendar->text().simplified();
    if (text == server().scheduleCalendar)
        return;
    applySchedule([&](Server &s) { s.scheduleCalendar = text; });
    QCoro::connect(previewCalendar(), this, [] {});
}

QCoro::Task<> ScheduleSection::previewCalendar()
{
    QPointer<ScheduleSection> self(this);
    const QString expression = server().scheduleCalendar;
    if (expression.isEmpty()) {
        m_calendarNote->clear();
        co_return;
    }
    const ScheduleCalendar calendar;
    const auto read = co_await calendar.read(expression);
    if (!self || server().scheduleCalendar != expression)
        co_return;
    if (read) {
        QStringList times;
        for (const QDateTime &next : read->next)
            times << Formatting::shortDateTime(next.toLocalTime());
        m_calendarNote->setText(tr("Next: %1").arg(times.join(QStringLiteral(" · "))));
    } else {
        m_calendarNote->setText(read.error().message);
    }
    showKind(server());
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
    showKind(server);
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

void ScheduleSection::showKind(const Server &server)
{
    const Schedule::Kind kind = Schedule::kind(server);
    const auto select = [](QComboBox *box, const QVariant &value) {
        const int index = box->findData(value);
        if (index >= 0 && index != box->currentIndex())
            box->setCurrentIndex(index);
    };
    select(m_kind, Schedule::kindName(kind));
    select(m_everyHours, server.scheduleEveryHours);
    select(m_weekday, server.scheduleWeekday);
    showText(m_calendar, server.scheduleCalendar);
    m_switch->setText(kind == Schedule::Kind::daily ? tr("Run automatically every day") : tr("Run automatically"));
    m_hoursRow->setVisible(kind == Schedule::Kind::hours);
    m_weekdayRow->setVisible(kind == Schedule::Kind::weekly);
    m_timeRow->setVisible(kind != Schedule::Kind::custom);
    m_calendarRow->setVisible(kind == Schedule::Kind::custom);
    m_calendarNote->setVisible(kind == Schedule::Kind::custom && !m_calendarNote->text().isEmpty());
    for (QWidget *control : {static_cast<QWidget *>(m_kind), static_cast<QWidget *>(m_everyHours),
                             static_cast<QWidget *>(m_weekday), static_cast<QWidget *>(m_calendar)})
        control->setEnabled(server.scheduleEnabled);
}
