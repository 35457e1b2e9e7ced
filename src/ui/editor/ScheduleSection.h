// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's schedule: the switch, how often and when, and what the schedule really is.
#pragma once

#include "ui/editor/EditorSection.h"

#include <qcoro/qcorotask.h>

class QCheckBox;
class QComboBox;
class Scheduler;
class ScheduleStatus;

// Switching the schedule on installs the timer; a changed kind, hour step or
// weekday at once, a changed time or calendar once its editing is finished
// (Enter, or focus leaving the field); switching it off
// removes it. The window never waits for systemd: a change made while one
// is being applied is applied after it, as it then stands. Below, the next
// run as the system reports it, or, in red, why the schedule does not work
// and what to do; that message stays until the schedule works.
class ScheduleSection : public EditorSection
{
    Q_OBJECT

public:
    ScheduleSection(const QUuid &serverID, ConfigStore *store, const Scheduler *scheduler, ScheduleStatus *schedules,
                    QWidget *parent);

    void refresh(const Server &server) override;
    void syncSchedule();
    QString installError() const { return m_installError; }
    bool isSyncing() const { return m_syncing; }

Q_SIGNALS:
    // The schedule on the system matches the switch and the time (or says why not).
    void syncFinished();

private:
    QCoro::Task<> sync();
    // What systemd makes of the custom calendar: its next three times, or why it refuses it.
    QCoro::Task<> previewCalendar();
    void buildKindControls();
    void connectKindControls();
    void applyTime();
    void applyCalendar();
    // Stores a changed schedule and installs it when the switch is on.
    void applySchedule(const std::function<void(Server &)> &change);
    void showKind(const Server &server);

    const Scheduler *m_scheduler;
    ScheduleStatus *m_schedules;
    QString m_installError;
    bool m_syncing = false;
    bool m_syncAgain = false;
    QCheckBox *m_switch;
    QComboBox *m_kind;
    QComboBox *m_everyHours;
    QComboBox *m_weekday;
    QLineEdit *m_calendar;
    QLabel *m_calendarNote;
    QWidget *m_timeRow;
    QWidget *m_hoursRow;
    QWidget *m_weekdayRow;
    QWidget *m_calendarRow;
    QLineEdit *m_time;
    QLineEdit *m_healthCheck;
    QLabel *m_error;
    QLabel *m_status;
};
