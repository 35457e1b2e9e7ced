// SPDX-License-Identifier: GPL-3.0-or-later
// The daily schedules made to follow a change of the configuration.
#pragma once

#include "core/model/Server.h"
#include "core/schedule/Scheduler.h"

#include <QList>
#include <QStringList>

#include <qcoro/qcorotask.h>

namespace ScheduleFollow {

// One schedule to install (again) or to remove.
struct Step
{
    Server server;
    bool install = true;
};

// What makes the user manager's schedules those of `after`: a server
// scheduled there whose schedule is new, moved to another time, or not
// installed as configured (a file missing, a timer at another time) is
// installed; one scheduled before and not any more
// (or gone) is removed.
QList<Step> steps(const QList<Server> &before, const QList<Server> &after, const Scheduler &scheduler);

// "schedule installed for web-07", "schedule removed for web-07".
QString describe(const Step &step);

// Takes the steps in order; each done is said on `out` as describe() has
// it, each failure on standard error. False when one failed.
QCoro::Task<bool> carryOut(Scheduler scheduler, QList<Step> steps, FILE *out);
// The same to its end: exit 0, or 1 when a step failed (0 for no steps).
int run(const Scheduler &scheduler, const QList<Step> &steps, FILE *out);

} // namespace ScheduleFollow
