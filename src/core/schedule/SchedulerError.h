// SPDX-License-Identifier: GPL-3.0-or-later
// Why a schedule could not be installed or removed.
#pragma once

#include "core/model/Error.h"

// Why a schedule could not be installed or removed: invalid (the time), toolFailed
// (systemctl or launchctl refused), noExecutable, notWritten (a unit file or
// its folder), managerFailed (the user manager refused over D-Bus); `message`
// is what the user is shown.
using SchedulerError = Error;

namespace SchedulerErrors {

SchedulerError invalidTime(const QString &time);
SchedulerError toolFailed(const QString &tool, int status, const QString &output);
SchedulerError noExecutable();
// launchd has no calendar expressions: a custom schedule needs systemd.
SchedulerError customNeedsSystemd();
SchedulerError driveNeedsSystemd();
SchedulerError fileSystem(const QString &message);
SchedulerError managerFailed(const QString &message);

} // namespace SchedulerErrors
