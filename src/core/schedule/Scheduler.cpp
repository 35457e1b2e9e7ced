// SPDX-License-Identifier: GPL-3.0-or-later
// Installing and removing daily schedules with systemctl or launchctl.
#include "core/schedule/Scheduler.h"

#include "core/model/ServerId.h"
#include "core/schedule/LaunchdPlist.h"
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

#include <unistd.h>

namespace {

const QString labelPrefix = QStringLiteral("org.tidewell.backup.");

tl::expected<void, SchedulerError> writeFile(const QString &path, const QString &text)
{
    if (const auto written = FileUtil::writeAtomically(path, text.toUtf8()); !written)
        return tl::unexpected(SchedulerError::fileSystem(QStringLiteral("Could not write ") + path
                                                         + QStringLiteral(": ") + written.error()));
    return {};
}

tl::expected<void, SchedulerError> removeFile(const QString &path)
{
    QFile file(path);
    if (file.exists() && !file.remove())
        return tl::unexpected(SchedulerError::fileSystem(QStringLiteral("Could not delete ") + path
                                                         + QStringLiteral(": ") + file.errorString()));
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
    } else if (const auto written = FileUtil::writeAtomically(path, *bytes); !written) {
        DiagnosticLog::write(QStringLiteral("Could not restore ") + path + QStringLiteral(": ") + written.error());
    }
}

tl::expected<void, SchedulerError> makeFolder(const QString &path)
{
    if (const auto made = FileUtil::makeFolder(path); !made)
        return tl::unexpected(SchedulerError::fileSystem(QStringLiteral("Could not create the folder ") + path
                                                         + QStringLiteral(": ") + made.error()));
    return {};
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
    const QStringList pieces = text.split(u':', Qt::SkipEmptyParts);
    if (pieces.size() != 2)
        return std::nullopt;
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    int values[2];
    for (int i = 0; i < 2; ++i) {
        if (!integer.match(pieces.at(i)).hasMatch())
            return std::nullopt;
        bool ok = false;
        values[i] = pieces.at(i).toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (values[0] < 0 || values[0] > 23 || values[1] < 0 || values[1] > 59)
        return std::nullopt;
    return Time{values[0], values[1]};
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
    return m_backend == Backend::systemd ? QStringLiteral("a systemd user timer") : QStringLiteral("launchd");
}

QString Scheduler::toolName() const
{
    return m_backend == Backend::systemd ? QStringLiteral("systemctl") : QStringLiteral("launchctl");
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

std::optional<QString> Scheduler::scheduledExecutable(const QUuid &serverID) const
{
    const bool launchd = m_backend == Backend::launchd;
    QFile file(launchd ? plistURL(serverID) : serviceUnitPath(serverID));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = QString::fromUtf8(file.readAll());
    return launchd ? LaunchdPlist::executable(text) : SystemdUnits::executable(text);
}

Scheduler::Repair Scheduler::repointJobs(const QList<Server> &servers) const
{
    Repair repair;
    const auto executable = currentExecutablePath();
    if (!executable)
        return repair;
    repair.executable = *executable;
    for (const Server &server : servers) {
        if (!server.scheduleEnabled)
            continue;
        const auto scheduled = scheduledExecutable(server.id);
        // No job at all is shown where the schedule is; only jobs that exist are rewritten.
        if (!scheduled || (*scheduled == *executable && QFileInfo(*scheduled).isExecutable()))
            continue;
        if (const auto installed = install(server); installed)
            ++repair.updated;
        else
            repair.errors << installed.error().description();
    }
    return repair;
}

Scheduler::ToolResult Scheduler::runTool(const QStringList &arguments) const
{
    const Subprocess::Result result = Subprocess::runBlocking(m_toolPath, arguments);
    if (!result.started)
        return {-1, result.startError};
    return {result.status, Subprocess::strictUtf8(result.err).trimmed()};
}

tl::expected<void, SchedulerError> Scheduler::install(const Server &server) const
{
    const auto time = parseTime(server.scheduleTime);
    if (!time)
        return tl::unexpected(SchedulerError::invalidTime(server.scheduleTime));
    const auto executable = currentExecutablePath();
    if (!executable)
        return tl::unexpected(SchedulerError::appBundleNotFound());
    return m_backend == Backend::systemd ? installSystemd(server, *time, *executable)
                                         : installLaunchd(server, *time, *executable);
}

tl::expected<void, SchedulerError> Scheduler::uninstall(const QUuid &serverID) const
{
    return m_backend == Backend::systemd ? uninstallSystemd(serverID) : uninstallLaunchd(serverID);
}

tl::expected<void, SchedulerError> Scheduler::installSystemd(const Server &server, Time time,
                                                             const QString &executable) const
{
    if (auto made = makeFolder(unitFolder()); !made)
        return made;
    const QString id = ServerId::text(server.id);
    const QString timerName = label(server.id) + QStringLiteral(".timer");
    const QString servicePath = serviceUnitPath(server.id);
    const QString timerPath = plistURL(server.id);
    // Units already there (a schedule being changed or pointed elsewhere)
    // are kept aside first: if systemd refuses the new ones, they come back.
    const std::optional<QByteArray> oldService = readIfExists(servicePath);
    const std::optional<QByteArray> oldTimer = readIfExists(timerPath);
    const auto putBack = [&] {
        if (oldService || oldTimer) {
            restoreFile(servicePath, oldService);
            restoreFile(timerPath, oldTimer);
        } else {
            // Leave nothing half-installed behind.
            runTool({QStringLiteral("--user"), QStringLiteral("disable"), QStringLiteral("--now"), timerName});
            removeFile(timerPath);
            removeFile(servicePath);
        }
        runTool({QStringLiteral("--user"), QStringLiteral("daemon-reload")});
    };
    if (auto written = writeFile(servicePath, SystemdUnits::service(executable, id, scheduledStdoutLog(server.id),
                                                                    scheduledStderrLog(server.id)));
        !written) {
        putBack();
        return written;
    }
    if (auto written = writeFile(timerPath, SystemdUnits::timer(label(server.id), time.hour, time.minute)); !written) {
        putBack();
        return written;
    }

    const QStringList steps[] = {
        {QStringLiteral("--user"), QStringLiteral("daemon-reload")},
        {QStringLiteral("--user"), QStringLiteral("enable"), timerName},
        // A running timer keeps its old time until it is restarted.
        {QStringLiteral("--user"), QStringLiteral("restart"), timerName},
    };
    for (const QStringList &step : steps) {
        const ToolResult result = runTool(step);
        if (result.status != 0) {
            putBack();
            return tl::unexpected(SchedulerError::toolFailed(toolName(), result.status, result.output));
        }
    }
    return {};
}

tl::expected<void, SchedulerError> Scheduler::uninstallSystemd(const QUuid &serverID) const
{
    const bool hasTimer = QFile::exists(plistURL(serverID));
    const bool hasService = QFile::exists(serviceUnitPath(serverID));
    if (!hasTimer && !hasService)
        return {};
    runTool({QStringLiteral("--user"), QStringLiteral("disable"), QStringLiteral("--now"),
             label(serverID) + QStringLiteral(".timer")});
    if (auto removed = removeFile(plistURL(serverID)); !removed)
        return removed;
    if (auto removed = removeFile(serviceUnitPath(serverID)); !removed)
        return removed;
    runTool({QStringLiteral("--user"), QStringLiteral("daemon-reload")});
    return {};
}

tl::expected<void, SchedulerError> Scheduler::installLaunchd(const Server &server, Time time,
                                                             const QString &executable) const
{
    if (auto made = makeFolder(launchAgentsFolder()); !made)
        return made;
    const QString path = plistURL(server.id);
    const QString text = LaunchdPlist::text(label(server.id), executable, ServerId::text(server.id), time.hour,
                                            time.minute, scheduledStdoutLog(server.id), scheduledStderrLog(server.id));
    if (auto written = writeFile(path, text); !written)
        return written;
    const QString domain = QStringLiteral("gui/%1").arg(::getuid());
    runTool({QStringLiteral("bootout"), domain, path});
    const ToolResult bootstrap = runTool({QStringLiteral("bootstrap"), domain, path});
    if (bootstrap.status == 0)
        return {};
    runTool({QStringLiteral("unload"), path});
    const ToolResult load = runTool({QStringLiteral("load"), path});
    if (load.status == 0)
        return {};
    return tl::unexpected(
        SchedulerError::toolFailed(toolName(), load.status, load.output.isEmpty() ? bootstrap.output : load.output));
}

tl::expected<void, SchedulerError> Scheduler::uninstallLaunchd(const QUuid &serverID) const
{
    const QString path = plistURL(serverID);
    if (!QFile::exists(path))
        return {};
    runTool({QStringLiteral("bootout"), QStringLiteral("gui/%1").arg(::getuid()), path});
    runTool({QStringLiteral("unload"), path});
    return removeFile(path);
}
