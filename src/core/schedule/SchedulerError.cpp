// SPDX-License-Identifier: GPL-3.0-or-later
// The user-facing descriptions of schedule errors.
#include "core/schedule/SchedulerError.h"

QString SchedulerError::description() const
{
    switch (kind) {
    case Kind::invalidTime:
        return QStringLiteral("Invalid schedule time '") + text + QStringLiteral("'. Use HH:mm (24h).");
    case Kind::launchctlFailed:
        return tool + QStringLiteral(" failed (") + QString::number(status) + QStringLiteral("): ") + output;
    case Kind::appBundleNotFound:
        return QStringLiteral("Could not locate the app executable to schedule.");
    case Kind::fileSystem:
        return text;
    case Kind::managerFailed:
        return QStringLiteral("The systemd user manager refused: ") + text;
    }
    return text;
}
