// SPDX-License-Identifier: GPL-3.0-or-later
// The user-facing descriptions of schedule errors.
#include "core/schedule/SchedulerError.h"

#include <QCoreApplication>

QString SchedulerError::description() const
{
    switch (kind) {
    case Kind::invalidTime:
        return QCoreApplication::translate("SchedulerError", "Invalid schedule time '%1'. Use HH:mm (24h).").arg(text);
    case Kind::launchctlFailed:
        return QCoreApplication::translate("SchedulerError", "%1 failed (%2): %3")
            .arg(tool, QString::number(status), output);
    case Kind::appBundleNotFound:
        return QCoreApplication::translate("SchedulerError", "Could not locate the app executable to schedule.");
    case Kind::fileSystem:
        return text;
    case Kind::managerFailed:
        return QCoreApplication::translate("SchedulerError", "The systemd user manager refused: %1").arg(text);
    }
    return text;
}
