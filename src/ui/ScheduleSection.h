// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's daily schedule: the switch, the time, and what the schedule really is.
#pragma once

#include "ui/EditorSection.h"

class QCheckBox;
class Scheduler;
class ScheduleStatus;

// Switching the schedule on or changing its time installs the timer at
// once; switching it off removes it. Below, the next run as the system
// reports it, or, in red, why the schedule does not work and what to do;
// that message stays until the schedule works.
class ScheduleSection : public EditorSection
{
    Q_OBJECT

public:
    ScheduleSection(const QUuid &serverID, ConfigStore *store, const Scheduler *scheduler, ScheduleStatus *schedules,
                    QWidget *parent);

    void refresh(const Server &server) override;
    void syncSchedule();
    QString installError() const { return m_installError; }

private:
    const Scheduler *m_scheduler;
    ScheduleStatus *m_schedules;
    QString m_installError;
    QCheckBox *m_switch;
    QLineEdit *m_time;
    QLabel *m_error;
    QLabel *m_status;
};
