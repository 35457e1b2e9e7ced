// SPDX-License-Identifier: GPL-3.0-or-later
// Importing a configuration: the settings replaced, the schedules made to match.
#pragma once

#include "core/schedule/Scheduler.h"
#include "core/storage/ConfigTransfer.h"

#include <qcoro/qcorotask.h>

#include <functional>

class ConfigStore;

namespace ConfigTransfer {

// Replaces the settings at once, then removes the old schedules and installs
// the new ones, calling `progress` with how many of the scheduled servers are
// done. Schedules that could not be installed come back as one line (how
// many, and the reason most share) with each one in the details. Report
// addresses the file does not hold are kept from the settings here.
QCoro::Task<Outcome> applyImport(ConfigStore *store, Scheduler scheduler, PendingImport pending,
                                 std::function<void(int done, int total)> progress = nullptr);

} // namespace ConfigTransfer
