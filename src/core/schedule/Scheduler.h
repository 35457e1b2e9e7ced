// SPDX-License-Identifier: GPL-3.0-or-later
// Daily schedules: systemd user timers on Linux, LaunchAgents on macOS.
#pragma once

#include "core/model/Server.h"
#include "core/schedule/SchedulerError.h"

#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <qcoro/qcorotask.h>

#include <tl/expected.hpp>

#include <memory>
#include <optional>

// Daily runs of a server without the window open: a systemd user timer on
// Linux, a LaunchAgent on macOS. Each job starts this executable with
// "--run-backup <ID>" at the server's local time.
#ifdef Q_OS_MACOS
inline constexpr bool buildsForMacOS = true;
#else
inline constexpr bool buildsForMacOS = false;
#endif

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

    static constexpr Backend defaultBackend = buildsForMacOS ? Backend::launchd : Backend::systemd;

    explicit Scheduler(Backend backend = defaultBackend);

    // Writes the job definition and loads it, replacing an earlier one. When
    // a step fails, an earlier definition is put back as it was. The systemd
    // user manager is asked over D-Bus (systemctl only where no manager is on
    // the bus); the caller is suspended, never blocked, meanwhile.
    QCoro::Task<tl::expected<void, SchedulerError>> install(Server server) const;
    // Unloads and deletes the job definition; nothing to do when there is none.
    QCoro::Task<tl::expected<void, SchedulerError>> uninstall(QUuid serverID) const;
    // Whether the server's job is there (both its files) and, for a systemd
    // timer, starts at the server's time: what a changed configuration
    // must install again when not.
    bool isInstalledAsConfigured(const Server &server) const;
    // The program an installed job starts; none when there is no job.
    std::optional<QString> scheduledExecutable(const QUuid &serverID) const;

    // Scheduled runs start at a random moment within this many minutes of
    // their time (systemd timers; 0: on time).
    void setSpreadMinutes(int minutes) { m_spreadMinutes = std::max(0, minutes); }
    int spreadMinutes() const { return m_spreadMinutes; }

    struct Repair
    {
        int updated = 0;
        int respread = 0;   // jobs written again for a new spread only
        QString executable; // what the updated jobs start now
        QStringList errors;
    };
    // Installs again the job of each scheduled server that starts another
    // program than this one, or one that is gone (a moved or deleted build,
    // an uninstalled copy): such a job fails before Tidewell could report it.
    // Timers spread otherwise than spreadMinutes() are installed again too.
    QCoro::Task<Repair> repointJobs(QList<Server> servers) const;

    // The unit that starts the due backups when the drive mounted at
    // `mountPoint` appears (see DriveUnit): written and enabled, replacing
    // one for another drive. systemd only.
    QCoro::Task<tl::expected<void, SchedulerError>> installDriveUnit(QString mountPoint) const;
    // Disabled and removed; nothing to do when there is none.
    QCoro::Task<tl::expected<void, SchedulerError>> uninstallDriveUnit() const;
    // The mount unit the installed drive unit is wanted by; none without one.
    std::optional<QString> installedDriveMount() const;
    // Starts the server's scheduled backup service now, unless it runs already.
    QCoro::Task<tl::expected<void, SchedulerError>> startScheduledRun(QUuid serverID) const;

    // The job's definition file: the .plist, or the .timer unit.
    QString plistURL(const QUuid &serverID) const;
    QString serviceUnitPath(const QUuid &serverID) const;

    static QString label(const QUuid &serverID);
    static std::optional<Time> parseTime(const QString &text);
    static QString scheduledStdoutLog(const QUuid &serverID);
    static QString scheduledStderrLog(const QUuid &serverID);
    // Human name of what runs the jobs, for the user interface.
    QString schedulerName() const;
    Backend backend() const { return m_backend; }

    // Test seams: the tool that loads jobs where no manager is on the bus, the
    // executable to schedule, and the bus of the systemd user manager (the
    // session bus by default).
    void setToolPath(const QString &path) { m_toolPath = path; }
    void setExecutablePath(const QString &path) { m_executablePath = path; }
    void setBus(const QDBusConnection &bus) { m_bus = bus; }

    // Whether an install or uninstall (of this scheduler or a copy) is still
    // under way: a program about to end lets it finish, so no schedule is
    // left half made.
    bool isBusy() const { return *m_inFlight > 0; }
    const QDBusConnection &bus() const { return m_bus; }

private:
    // The private coroutines run on a copy that the public ones keep in their
    // frame, never on the object the caller may destroy meanwhile.
    std::optional<QString> currentExecutablePath() const;
    QCoro::Task<Repair> repoint(QList<Server> servers) const;
    QCoro::Task<ToolResult> runTool(QStringList arguments) const;
    // One step of the user manager's: over D-Bus when a manager is on the
    // bus, else through systemctl.
    enum class Step { reload, enable, restart, disableNow, start };
    QCoro::Task<tl::expected<void, SchedulerError>> systemd(Step step, QString unit) const;
    // The hourly check for overdue backups, enabled and started.
    QCoro::Task<tl::expected<void, SchedulerError>> startCheckTimer() const;
    QCoro::Task<tl::expected<void, SchedulerError>> installSystemd(Server server, QString calendar,
                                                                   QString executable) const;
    QCoro::Task<tl::expected<void, SchedulerError>> installLaunchd(Server server, Time time, QString executable) const;
    QCoro::Task<tl::expected<void, SchedulerError>> uninstallSystemd(QUuid serverID) const;
    QCoro::Task<tl::expected<void, SchedulerError>> uninstallLaunchd(QUuid serverID) const;
    QString unitFolder() const;
    // The shared report template unit (see SystemdUnits::reportTemplate).
    QString reportTemplatePath() const;
    QString launchAgentsFolder() const;
    QString toolName() const;
    // The job's timer is spread otherwise than spreadMinutes() says.
    bool spreadDiffers(const QUuid &serverID) const;

    Backend m_backend;
    int m_spreadMinutes = 0;
    QString m_toolPath;
    QString m_executablePath;
    QDBusConnection m_bus = QDBusConnection::sessionBus();
    // Shared by every copy: the coroutines run on copies of the scheduler.
    std::shared_ptr<int> m_inFlight = std::make_shared<int>(0);
};
