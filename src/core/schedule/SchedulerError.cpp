// SPDX-License-Identifier: GPL-3.0-or-later
// The user-facing descriptions of schedule errors.
#include "core/schedule/SchedulerError.h"

#include <QCoreApplication>

namespace SchedulerErrors {

SchedulerError invalidTime(const QString &time)
{
    return {Error::Code::invalid,
            QCoreApplication::translate("SchedulerError", "Invalid schedule time '%1'. Use HH:mm (24h).").arg(time)};
}

SchedulerError toolFailed(const QString &tool, int status, const QString &output)
{
    return {
        Error::Code::toolFailed,
        QCoreApplication::translate("SchedulerError", "%1 failed (%2): %3").arg(tool, QString::number(status), output)};
}

SchedulerError noExecutable()
{
    return {Error::Code::noExecutable,
            QCoreApplication::translate("SchedulerError", "Could not locate the app executable to schedule.")};
}

SchedulerError customNeedsSystemd()
{
    return {Error::Code::invalid,
            QCoreApplication::translate("SchedulerError", "A custom calendar needs systemd; choose another schedule.")};
}

SchedulerError driveNeedsSystemd()
{
    return {Error::Code::invalid,
            QCoreApplication::translate("SchedulerError", "Backing up when the drive is connected needs systemd.")};
}

SchedulerError fileSystem(const QString &message)
{
    return {Error::Code::notWritten, message};
}

SchedulerError managerFailed(const QString &message)
{
    return {Error::Code::managerFailed,
            QCoreApplication::translate("SchedulerError", "The systemd user manager refused: %1").arg(message)};
}

} // namespace SchedulerErrors
