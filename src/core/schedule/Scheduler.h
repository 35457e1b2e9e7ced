// SPDX-License-Identifier: GPL-3.0-or-later
// Daily schedules: systemd user timers on Linux, LaunchAgents on macOS.
#pragma once

#include "core/model/Server.h"
#include "core/schedule/SchedulerError.h"

#include <QString>
#include <QStringList>
#include <QUuid>

#include <tl/expected.hpp>

#include <optional>

// Daily runs of a server without the window open: a systemd user timer on
// Linux, a LaunchAgent on macOS. Each job starts this executable with
// "--run-backup <ID>" at the server's local time.
class Scheduler
{
public:
    enum class Backend { systemd, launchd };

    struct Time
    {
        int hour = 0;
        int minute = 0;
    };

    struct ToolResult
    {
        int status = 0;
        QString output; // standard error, trimmed
    };

#ifdef Q_OS_MACOS
    static constexpr Backend defaultBackend = Backend::launchd;
#else
    static constexpr Backend defaultBackend = Backend::systemd;
#endif

    explicit Scheduler(Backend backend = defaultBackend);

    // Writes the job definition and loads it, replacing an earlier one. When
    // a step fails, an earlier definition is put back as it was.
    tl::expected<void, SchedulerError> install(const Server &server) const;
    // Unloads and deletes the job definition; nothing to do when there is none.
    tl::expected<void, SchedulerError> uninstall(const QUuid &serverID) const;
    // The program an installed job starts; none when there is no job.
    std::optional<QString> scheduledExecutable(const QUuid &serverID) const;

    struct Repair
    {
        int updated = 0;
        QString executable; // what the updated jobs start now
        QStringList errors;
    };
    // Installs again the job of each scheduled server that starts another
    // program than this one, or one that is gone (a moved or deleted build,
    // an uninstalled copy): such a job fails before Tidewell could report it.
    Repair repointJobs(const QList<Server> &servers) const;

    // The job's definition file: the .plist, or the .timer unit.
    QString plistURL(const QUuid &serverID) const;
    QString serviceUnitPath(const QUuid &serverID) const;

    static QString label(const QUuid &serverID);
    static std::optional<Time> parseTime(const QString &text);
    static QString scheduledStdoutLog(const QUuid &serverID);
    static QString scheduledStderrLog(const QUuid &serverID);
    // Human name of what runs the jobs, for the user interface.
    QString schedulerName() const;
    Backend backend() const
    {
        return m_backend;
    }

    // Test seams: the tool that loads jobs and the executable to schedule.
    void setToolPath(const QString &path)
    {
        m_toolPath = path;
    }
    void setExecutablePath(const QString &path)
    {
        m_executablePath = path;
    }

private:
    std::optional<QString> currentExecutablePath() const;
    ToolResult runTool(const QStringList &arguments) const;
    tl::expected<void, SchedulerError> installSystemd(const Server &server, Time time, const QString &executable) const;
    tl::expected<void, SchedulerError> installLaunchd(const Server &server, Time time, const QString &executable) const;
    tl::expected<void, SchedulerError> uninstallSystemd(const QUuid &serverID) const;
    tl::expected<void, SchedulerError> uninstallLaunchd(const QUuid &serverID) const;
    QString unitFolder() const;
    QString launchAgentsFolder() const;
    QString toolName() const;

    Backend m_backend;
    QString m_toolPath;
    QString m_executablePath;
};
