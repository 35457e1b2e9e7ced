// SPDX-License-Identifier: GPL-3.0-or-later
// Why a schedule could not be installed or removed.
#pragma once

#include <QString>

// Why a schedule could not be installed or removed; description() is what
// the user is shown.
struct SchedulerError
{
    enum class Kind {
        invalidTime,
        launchctlFailed, // the scheduler's tool (systemctl or launchctl) refused
        appBundleNotFound,
        fileSystem,
        managerFailed, // the systemd user manager refused over D-Bus
    };

    Kind kind = Kind::fileSystem;
    QString text;   // invalidTime: the time as typed; fileSystem: the error
    int status = 0; // launchctlFailed
    QString output; // launchctlFailed
    QString tool = QStringLiteral("launchctl");

    static SchedulerError invalidTime(const QString &time) { return {Kind::invalidTime, time, 0, {}, {}}; }
    static SchedulerError toolFailed(const QString &tool, int status, const QString &output)
    {
        return {Kind::launchctlFailed, {}, status, output, tool};
    }
    static SchedulerError appBundleNotFound() { return {Kind::appBundleNotFound, {}, 0, {}, {}}; }
    static SchedulerError fileSystem(const QString &error) { return {Kind::fileSystem, error, 0, {}, {}}; }
    static SchedulerError managerFailed(const QString &message) { return {Kind::managerFailed, message, 0, {}, {}}; }

    QString description() const;
};
