// SPDX-License-Identifier: GPL-3.0-or-later
// Installing and removing daily schedules with systemctl or launchctl.
#include "core/schedule/Scheduler.h"

#include "core/model/Schedule.h"
#include "core/model/ServerId.h"
#include "core/schedule/DriveUnit.h"
#include "core/schedule/LaunchdPlist.h"
#include "core/schedule/ScheduleCalendar.h"
#include "core/schedule/SystemdManager.h"
#include "core/schedule/SystemdUnits.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/FileUtil.h"
#include "core/system/Subprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <array>

#include <unistd.h>

namespace {

const QString labelPrefix = QStringLiteral("org.tidewell.backup.");

tl::expected<void, SchedulerError> writeFile(const QString &path, const QString &text)
{
    // A unit that is a link (to a dotfiles folder, say) is replaced by a file
    // of its own: what it points to is never written through.
    if (QFileInfo(path).isSymLink() && !QFile::remove(path))
        return tl::unexpected(SchedulerErrors::fileSystem(
            QCoreApplication::translate("Scheduler", "Could not replace the link %1").arg(path)));
    if (const auto written = FileUtil::writeAtomically(path, text.toUtf8(), FileUtil::Access::shared); !written)
        return tl::unexpected(SchedulerErrors::fileSystem(
            QCoreApplication::translate("Scheduler", "Could not write %1: %2").arg(path, written.error().message)));
    return {};
}

tl::expected<void, SchedulerError> removeFile(const QString &path)
{
    QFile file(path);
    if (file.exists() && !file.remove())
        return tl::unexpected(SchedulerErrors::fileSystem(
            QCoreApplication::translate("Scheduler", "Could not delete %1: %2").arg(path, file.errorString())));
    return {};
}

std::optional<QByteArray> readIfExists(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// Puts a file back as it was: its old bytes, or no file.
void restoreFile(const QString &path, const std::optional<QByteArray> &bytes)
{
    if (!bytes) {
        QFile::remove(path);
    } else if (const auto written = FileUtil::writeAtomically(path, *bytes, FileUtil::Access::shared); !written) {
        DiagnosticLog::write(QStringLiteral("Could not restore ") + path + QStringLiteral(": ")
                             + written.error().message);
    }
}

// Counts an operation as under way for as long as it lives.
class InFlight
{
public:
    explicit InFlight(std::shared_ptr<int> count)
        : m_count(std::move(count))
    {
        ++*m_count;
    }
    ~InFlight() { --*m_count; }
    InFlight(const InFlight &) = delete;
    InFlight &operator=(const InFlight &) = delete;

private:
    std::shared_ptr<int> m_count;
};

tl::expected<void, SchedulerError> makeFolder(const QString &path)
{
    if (const auto made = FileUtil::makeFolder(path); !made)
        return tl::unexpected(
            SchedulerErrors::fileSystem(QCoreApplication::translate("Scheduler", "Could not create the folder %1: %2")
                                            .arg(path, made.error().message)));
    return {};
}

// launchd's form of a schedule other than a custom calendar.
QList<LaunchdPlist::Interval> launchdIntervals(const Server &server, Scheduler::Time time)
{
    QList<LaunchdPlist::Interval> when;
    switch (Schedule::kind(server)) {
    case Schedule::Kind::hours:
        for (int hour = int(time.hour % server.scheduleEveryHours); hour < 24; hour += int(server.scheduleEveryHours))
            when.append({std::nullopt, hour, time.minute});
        break;
    case Schedule::Kind::weekdays:
        for (int day = 1; day <= 5; ++day)
            when.append({day, time.hour, time.minute});
        break;
    case Schedule::Kind::weekly:
        when.append({int(server.scheduleWeekday), time.hour, time.minute});
        break;
    case Schedule::Kind::daily:
    case Schedule::Kind::custom:
        when.append({std::nullopt, time.hour, time.minute});
        break;
    }
    return when;
}

} // namespace

Scheduler::Scheduler(Backend backend)
    : m_backend(backend)
    , m_toolPath(backend == Backend::systemd ? QStringLiteral("/usr/bin/systemctl") : QStringLiteral("/bin/launchctl"))
{ }

QString Scheduler::label(const QUuid &serverID)
{
    return labelPrefix + ServerId::text(serverID);
}

std::optional<Scheduler::Time> Scheduler::parseTime(const QString &text)
{
    const auto time = Schedule::parseTime(text);
    if (!time)
        return std::nullopt;
    return Time{time->hour, time->minute};
}

QString Scheduler::scheduledStdoutLog(const QUuid &serverID)
{
    return LogStore::directory() + u'/' + ServerId::text(serverID) + QStringLiteral(".scheduled.stdout.log");
}

QString Scheduler::scheduledStderrLog(const QUuid &serverID)
{
    return LogStore::directory() + u'/' + ServerId::text(serverID) + QStringLiteral(".scheduled.stderr.log");
}

QString Scheduler::schedulerName() const
{
    return m_backend == Backend::systemd ? QCoreApplication::translate("Scheduler", "a systemd user timer")
                                         : QStringLiteral("launchd");
}

QString Scheduler::toolName() const
{
    return m_backend == Backend::systemd ? QStringLiteral("systemctl") : QStringLiteral("launchctl");
}

QString Scheduler::reportTemplatePath() const
{
    return unitFolder() + u'/' + SystemdUnits::reportTemplateName;
}

QString Scheduler::unitFolder() const
{
    const QStringList roots = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    const QString root = roots.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : roots.first();
    return root + QStringLiteral("/systemd/user");
}

QString Scheduler::launchAgentsFolder() const
{
    return QDir::homePath() + QStringLiteral("/Library/LaunchAgents");
}

QString Scheduler::plistURL(const QUuid &serverID) const
{
    if (m_backend == Backend::launchd)
        return launchAgentsFolder() + u'/' + label(serverID) + QStringLiteral(".plist");
    return unitFolder() + u'/' + label(serverID) + QStringLiteral(".timer");
}

QString Scheduler::serviceUnitPath(const QUuid &serverID) const
{
    return unitFolder() + u'/' + label(serverID) + QStringLiteral(".service");
}

std::optional<QString> Scheduler::currentExecutablePath() const
{
    if (!m_executablePath.isEmpty())
        return m_executablePath;
    const QString running = QCoreApplication::applicationFilePath();
    if (!running.isEmpty())
        return running;
    const QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty() && !arguments.first().isEmpty())
        return QDir::cleanPath(QFileInfo(AppPaths::expandTilde(arguments.first())).absoluteFilePath());
    return std::nullopt;
}

bool Scheduler::isInstalledAsConfigured(const Server &server) const
{
    if (!scheduledExecutable(server.id))
        return false;
    if (m_backend == Backend::launchd)
        return true;
    QFile timer(plistURL(server.id));
    const auto calendar = Schedule::onCalendar(server);
    if (!calendar || !timer.open(QIODevice::ReadOnly))
        return false;
    const auto installed = SystemdUnits::timerValue(QString::fromUtf8(timer.readAll()), QStringLiteral("OnCalendar"));
    return installed == SystemdUnits::escapeSpecifiers(*calendar);
}

std::optional<QString> Scheduler::scheduledExecutable(const QUuid &serverID) const
{
    const bool launchd = m_backend == Backend::launchd;
    QFile file(launchd ? plistURL(serverID) : serviceUnitPath(serverID));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = QString::fromUtf8(file.readAll());
    return launchd ? LaunchdPlist::executable(text) : SystemdUnits::executable(text);
}

QCoro::Task<Scheduler::Repair> Scheduler::repointJobs(QList<Server> servers) const
{
    // A copy in this frame: the work goes on when the caller's scheduler is gone.
    const Scheduler self = *this;
    co_return co_await self.repoint(servers);
}

QCoro::Task<Scheduler::Repair> Scheduler::repoint(QList<Server> servers) const
{
    Repair repair;
    const auto executable = currentExecutablePath();
    if (!executable)
        co_return repair;
    repair.executable = *executable;
    for (const Server &server : std::as_const(servers)) {
        if (!server.scheduleEnabled)
            continue;
        const auto scheduled = scheduledExecutable(server.id);
        // No job at all is shown where the schedule is; only jobs that exist are rewritten.
        if (!scheduled)
            continue;
        const bool moved = *scheduled != *executable || !QFileInfo(*scheduled).isExecutable();
        if (!moved && !spreadDiffers(server.id))
            continue;
        const auto installed = co_await install(server);
        if (!installed)
            repair.errors << installed.error().message;
        else if (moved)
            ++repair.updated;
        else
            ++repair.respread;
    }
    co_return repair;
}

bool Scheduler::spreadDiffers(const QUuid &serverID) const
{
    if (m_backend != Backend::systemd)
        return false;
    QFile file(plistURL(serverID));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const auto value =
        SystemdUnits::timerValue(QString::fromUtf8(file.readAll()), QStringLiteral("RandomizedDelaySec"));
    return value.value_or(QStringLiteral("0")) != SystemdUnits::randomizedDelay(m_spreadMinutes);
}

QCoro::Task<Scheduler::ToolResult> Scheduler::runTool(QStringList arguments) const
{
    const Subprocess::Result result = co_await Subprocess::run(m_toolPath, arguments);
    if (!result)
        co_return ToolResult{-1, result.error().message};
    co_return ToolResult{result->status, Subprocess::strictUtf8(result->err).trimmed()};
}

QCoro::Task<tl::expected<void, SchedulerError>> Scheduler::systemd(Step step, QString unit) const
{
    const SystemdManager manager(m_bus);
    if (co_await manager.isReachable()) {
        tl::expected<void, Error> done;
        switch (step) {
        case Step::reload:
            done = co_await manager.reload();
            break;
        case Step::enable:
            done = co_await manager.enableUnitFile(unit);
            break;
        case Step::restart:
            done = co_await manager.restartUnit(unit);
            break;
        case Step::disableNow:
            done = co_await manager.disableUnitFile(unit);
            if (done)
                done = co_await manager.stopUnit(unit);
            break;
        case Step::start:
            done = co_await manager.startUnit(unit);
            break;
        }
        if (!done)
            co_return tl::unexpected(SchedulerErrors::managerFailed(done.error().message));
        co_return tl::expected<void, SchedulerError>();
    }
    // No manager on the bus (a session without one, or none at all):
    // systemctl may still reach it through its own socket.
    QStringList arguments{QStringLiteral("--user")};
    switch (step) {
    case Step::reload:
        arguments << QStringLiteral("daemon-reload");
        break;
    case Step::enable:
        arguments << QStringLiteral("enable") << unit;
        break;
    case Step::restart:
        arguments << QStringLiteral("restart") << unit;
        break;
    case Step::disableNow:
        arguments << QStringLiteral("disable") << QStringLiteral("--now") << unit;
        break;
    case Step::start:
        arguments << QStringLiteral("start") << QStringLiteral("--no-block") << unit;
        break;
    }
    const ToolResult result = co_await runTool(arguments);
    if (result.status != 0)
        co_return tl::unexpected(SchedulerErrors::toolFailed(toolName(), result.status, result.output));
    co_return tl::expected<void, SchedulerError>();
}

QCoro::Task<tl::expected<void, SchedulerError>> Scheduler::install(Server server) const
{
    const bool custom = Schedule::kind(server) == Schedule::Kind::custom;
    const auto time = parseTime(server.scheduleTime);
    if (!time && !custom)
        co_return tl::unexpected(SchedulerErrors::invalidTime(server.scheduleTime));
    const auto calendar = Schedule::onCalendar(server);
    if (!calendar)
        co_return tl::unexpected(calendar.error());
    if (custom && m_backend == Backend::launchd)
        co_return tl::unexpected(SchedulerErrors::customNeedsSystemd());
    if (custom) {
        // Refused here with systemd's reason, not later by the manager with none.
        const ScheduleCalendar systemdCalendar;
        const QString &expression = *calendar;
        const auto read = co_await systemdCalendar.read(expression);
        if (!read)
            co_return tl::unexpected(read.error());
    }
    const auto executable = currentExecutablePath();
    if (!executable)
        co_return tl::unexpected(SchedulerErrors::noExecutable());
    // A copy in this frame: the work goes on when the caller's scheduler is gone.
    const Scheduler self = *this;
    const InFlight busy(self.m_inFlight);
    if (self.m_backend == Backend::systemd)
        co_return co_await self.installSystemd(server, *calendar, *executable);
    co_return co_await self.installLaunchd(server, *time, *executable);
}

QCoro::Task<tl::expected<void, SchedulerError>> Scheduler::uninstall(QUuid serverID) const
{
    const Scheduler self = *this;
    const InFlight busy(self.m_inFlight);
    if (self.m_backend == Backend::systemd)
        co_return co_await self.uninstallSystemd(serverID);
    co_return co_await self.uninstallLaunchd(serverID);
}

QCoro::Task<tl::expected<void, SchedulerError>> Scheduler::installSystemd(Server server, QString calendar,
                                                                          QString executable) const
{
    if (auto made = makeFolder(unitFolder()); !made)
        co_return made;
    const QString id = ServerId::text(server.id);
    const QString timerName = label(server.id) + QStringLiteral(".timer");
    const QString servicePath = serviceUnitPath(server.id);
    const QString timerPath = plistURL(server.id);
    // Units already there (a schedule being changed or pointed elsewhere)
    // are kept aside first: if systemd refuses the new ones, they come back.
    const std::optional<QByteArray> oldService = readIfExists(servicePath);
    const std::optional<QByteArray> oldTimer = readIfExists(timerPath);
    tl::expected<void, SchedulerError> result;
    // What the user added to units already there stays; only Tidewell's own settings change.
    const auto unitText = [](const std::optional<QByteArray> &old, const QString &generated) {
        return old ? SystemdUnits::merge(QString::fromUtf8(*old), generated) : generated;
    };
    // Shared by every schedule; written afresh so it follows the executable.
    const QString templatePath = reportTemplatePath();
    result = writeFile(templatePath, SystemdUnits::reportTemplate(executable));
    const QString checkTimerPath = unitFolder() + u'/' + SystemdUnits::checkTimerName;
    const bool firstCheck = !QFile::exists(checkTimerPath);
    if (result)
        result =
            writeFile(unitFolder() + u'/' + SystemdUnits::checkServiceName, SystemdUnits::checkService(executable));
    if (result && firstCheck)
        result = writeFile(checkTimerPath, SystemdUnits::checkTimer());
    if (result) {
        const QString service =
            SystemdUnits::service(executable, id, scheduledStdoutLog(server.id), scheduledStderrLog(server.id));
        result = writeFile(servicePath, unitText(oldService, service));
    }
    if (result) {
        const bool daily = Schedule::kind(server) == Schedule::Kind::daily;
        const QString timer = SystemdUnits::timer(label(server.id), calendar, m_spreadMinutes, daily);
        result = writeFile(timerPath, unitText(oldTimer, timer));
    }
    // A running timer keeps its old time until it is restarted.
    static constexpr std::array steps{Step::reload, Step::enable, Step::restart};
    for (const Step step : steps) {
        if (!result)
            break;
        result = co_await systemd(step, timerName);
    }
    // The check is no part of the server's schedule: without it, that still runs.
    if (result && firstCheck)
        (void)co_await startCheckTimer();
    if (result)
        co_return result;
    if (oldService || oldTimer) {
        restoreFile(servicePath, oldService);
        restoreFile(timerPath, oldTimer);
    } else {
        // Leave nothing half-installed behind.
        co_await systemd(Step::disableNow, timerName);
        removeFile(timerPath);
        removeFile(servicePath);
    }
    co_await systemd(Step::reload, QString());
    co_return result;
}

QCoro::Task<tl::expected<void, SchedulerError>> Scheduler::startCheckTimer() const
{
    auto done = co_await systemd(Step::enable, SystemdUnits::checkTimerName);
    if (done)
        done = co_await systemd(Step::restart, SystemdUnits::checkTimerName);
    if (!done)
        (void)removeFile(unitFolder() + u'/' + SystemdUnits::checkTimerName); // tried again with the next schedule
    co_return done;
}

QCoro::Task<tl::expected<void, SchedulerError>> Scheduler::uninstallSystemd(QUuid serverID) const
{
    const bool hasTimer = QFile::exists(plistURL(serverID));
    const bool hasService = QFile::exists(serviceUnitPath(serverID));
    if (!hasTimer && !hasService)
        co_return tl::expected<void, SchedulerError>();
    co_await systemd(Step::disableNow, label(serverID) + QStringLiteral(".timer"));
    if (auto removed = removeFile(plistURL(serverID)); !removed)
        co_return removed;
    if (auto removed = removeFile(serviceUnitPath(serverID)); !removed)
        co_return removed;
    co_await systemd(Step::reload, QString());
    co_return tl::expected<void, SchedulerError>();
}

QCoro::Task<tl::expected<void, SchedulerError>> Scheduler::installLaunchd(Server server, Time time,
                                                                          QString executable) const
{
    if (auto made = makeFolder(launchAgentsFolder()); !made)
        co_return made;
    const QString path = plistURL(server.id);
    const QString text =
        LaunchdPlist::text(label(server.id), executable, ServerId::text(server.id), launchdIntervals(server, time),
                           scheduledStdoutLog(server.id), scheduledStderrLog(server.id));
    if (auto written = writeFile(path, text); !written)
        co_return written;
    const QString domain = QStringLiteral("gui/%1").arg(::getuid());
    const QStringList bootout{QStringLiteral("bootout"), domain, path};
    const QStringList bootstrapArguments{QStringLiteral("bootstrap"), domain, path};
    const QStringList unload{QStringLiteral("unload"), path};
    const QStringList loadArguments{QStringLiteral("load"), path};
    co_await runTool(bootout);
    const ToolResult bootstrap = co_await runTool(bootstrapArguments);
    if (bootstrap.status == 0)
        co_return tl::expected<void, SchedulerError>();
    co_await runTool(unload);
    const ToolResult load = co_await runTool(loadArguments);
    if (load.status == 0)
        co_return tl::expected<void, SchedulerError>();
    co_return tl::unexpected(
        SchedulerErrors::toolFailed(toolName(), load.status, load.output.isEmpty() ? bootstrap.output : load.output));
}

QCoro::Task<tl::expected<void, SchedulerError>> Scheduler::uninstallLaunchd(QUuid serverID) const
{
    const QString path = plistURL(serverID);
    if (!QFile::exists(path))
        co_return tl::expected<void, SchedulerError>();
    const QStringList bootout{QStringLiteral("bootout"), QStringLiteral("gui/%1").arg(::getuid()), path};
    const QStringList unload{QStringLiteral("unload"), path};
    co_await runTool(bootout);
    co_await runTool(unload);
    co_return removeFile(path);
}

QCoro::Task<tl::expected<void, SchedulerError>> Scheduler::installDriveUnit(QString mountPoint) const
{
    if (m_backend != Backend::systemd)
        co_return tl::unexpected(SchedulerErrors::driveNeedsSystemd());
    const auto executable = currentExecutablePath();
    if (!executable)
        co_return tl::unexpected(SchedulerErrors::noExecutable());
    const Scheduler self = *this;
    const InFlight busy(self.m_inFlight);
    if (auto made = makeFolder(self.unitFolder()); !made)
        co_return made;
    // Another drive's unit is let go first: its link in that mount's .wants stays otherwise.
    if (self.installedDriveMount())
        co_await self.systemd(Step::disableNow, DriveUnit::serviceName);
    const QString path = self.unitFolder() + u'/' + DriveUnit::serviceName;
    tl::expected<void, SchedulerError> result =
        writeFile(path, DriveUnit::service(*executable, DriveUnit::mountUnitName(mountPoint)));
    static constexpr std::array steps{Step::reload, Step::enable};
    for (const Step step : steps) {
        if (!result)
            break;
        result = co_await self.systemd(step, DriveUnit::serviceName);
    }
    if (!result) {
        (void)removeFile(path);
        co_await self.systemd(Step::reload, QString());
    }
    co_return result;
}

QCoro::Task<tl::expected<void, SchedulerError>> Scheduler::uninstallDriveUnit() const
{
    const Scheduler self = *this;
    const InFlight busy(self.m_inFlight);
    const QString path = self.unitFolder() + u'/' + DriveUnit::serviceName;
    if (!QFile::exists(path))
        co_return tl::expected<void, SchedulerError>();
    const auto disabled = co_await self.systemd(Step::disableNow, DriveUnit::serviceName);
    if (!disabled)
        co_return disabled;
    if (auto removed = removeFile(path); !removed)
        co_return removed;
    co_return co_await self.systemd(Step::reload, QString());
}

std::optional<QString> Scheduler::installedDriveMount() const
{
    const std::optional<QByteArray> text = readIfExists(unitFolder() + u'/' + DriveUnit::serviceName);
    if (!text)
        return std::nullopt;
    return DriveUnit::wantedBy(QString::fromUtf8(*text));
}

QCoro::Task<tl::expected<void, SchedulerError>> Scheduler::startScheduledRun(QUuid serverID) const
{
    const Scheduler self = *this;
    const QString service = label(serverID) + QStringLiteral(".service");
    co_return co_await self.systemd(Step::start, service);
}
