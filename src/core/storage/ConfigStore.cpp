// SPDX-License-Identifier: GPL-3.0-or-later
// Loading, debounced saving and merging of the configuration file.
#include "core/storage/ConfigStore.h"

#include "core/model/ReferenceDate.h"

#include "core/system/AppPaths.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/FileLock.h"
#include "core/system/FileUtil.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <unistd.h>

namespace {

// Holds the configuration's lock for a read-merge-write; without a lock (a
// read-only folder, a holder stuck for longer than FileLock::waitLimitMs) the
// write goes on and fails or succeeds by itself.
FileLock lockFile(const QString &path)
{
    auto lock = FileLock::lock(path);
    if (!lock) {
        DiagnosticLog::write(QStringLiteral("ConfigStore: going on without the lock ") + path + QStringLiteral(": ")
                             + lock.error().message);
    }
    return lock ? std::move(*lock) : FileLock();
}

void logWarnings(const QString &path, const QStringList &warnings)
{
    for (const QString &warning : warnings)
        DiagnosticLog::write(QFileInfo(path).fileName() + QStringLiteral(": ") + warning);
}

} // namespace

ConfigStore::ConfigStore(QObject *parent)
    : ConfigStore(AppPaths::configFile(), parent)
{ }

ConfigStore::ConfigStore(const QString &filePath, QObject *parent)
    : QObject(parent)
    , m_filePath(filePath)
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(saveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &ConfigStore::save);
    // A change made just before the program ends must still reach the disk.
    if (auto *app = QCoreApplication::instance()) {
        connect(app, &QCoreApplication::aboutToQuit, this, [this] {
            if (m_saveTimer.isActive())
                save();
        });
    }
    // Pre-backup commands in the settings may hold secrets.
    FileUtil::makePrivateFolder(QFileInfo(m_filePath).absolutePath());
    load();
}

ConfigStore::~ConfigStore()
{
    if (m_saveTimer.isActive())
        save();
}

tl::expected<AppSettings, StoreError> ConfigStore::readOnly(const QString &path)
{
    // Without the file's folder there is nothing to read, nor to lock.
    if (!QFileInfo(path).absoluteDir().exists())
        return AppSettings();
    const auto lock = FileLock::lock(path + QStringLiteral(".lock"));
    if (!lock && lock.error().code == Error::Code::busy)
        return tl::unexpected(StoreError{StoreError::Code::locked, lock.error().message});
    const auto bytes = FileUtil::readRegularFile(path);
    if (!bytes)
        return tl::unexpected(StoreError{StoreError::Code::unreadable, bytes.error().message});
    if (!*bytes)
        return AppSettings();
    QStringList warnings;
    auto settings = AppSettings::decode(**bytes, &warnings);
    if (!settings)
        return tl::unexpected(StoreError{StoreError::Code::damaged, settings.error().message});
    logWarnings(path, warnings);
    return std::move(*settings);
}

ConfigStore::OnDisk ConfigStore::readDisk() const
{
    OnDisk disk;
    const auto bytes = FileUtil::readRegularFile(m_filePath);
    if (!bytes) {
        disk.exists = true;
        disk.cannotOpen = true;
        disk.problem = bytes.error().message;
        return disk;
    }
    disk.exists = bytes->has_value();
    if (!disk.exists)
        return disk;
    disk.bytes = **bytes;
    if (auto decoded = AppSettings::decode(disk.bytes, &disk.warnings))
        disk.settings = std::move(*decoded);
    else
        disk.problem = decoded.error().message;
    return disk;
}

void ConfigStore::load()
{
    // Read under the lock too: a lookup that races a writer's rename can miss
    // the file for a moment, and a missing file means default settings.
    const FileLock lock = lockFile(lockPath());
    const OnDisk disk = readDisk();
    m_knownBytes = disk.bytes;
    // A file read with members left at their defaults is kept as it was
    // too, before the first write replaces those members.
    m_knownUnreadable = disk.exists && (!disk.settings || !disk.warnings.isEmpty());
    // A file made by hand (or by an older Tidewell) under a lax umask is
    // made private now, not only at its next save.
    if (disk.exists && !disk.cannotOpen) {
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                          | QFile::WriteOther | QFile::ExeOther;
        const QFileInfo info(m_filePath);
        if ((info.permissions() & others) && info.ownerId() == ::geteuid())
            QFile::setPermissions(m_filePath, QFile::ReadOwner | QFile::WriteOwner);
    }
    logWarnings(m_filePath, disk.warnings);
    m_loadWarnings = disk.warnings;
    if (!disk.settings) {
        if (disk.exists) {
            m_loadProblem = disk.problem;
            DiagnosticLog::write(QFileInfo(m_filePath).fileName() + QStringLiteral(" could not be read: ")
                                 + disk.problem);
        }
        return;
    }
    m_settings = *disk.settings;
    if (const int reassigned = m_settings.reassignDuplicateIds(); reassigned > 0) {
        DiagnosticLog::write(
            QStringLiteral("ConfigStore: ") + QString::number(reassigned)
            + QStringLiteral(" server(s) repeated an id that another server has; they were given new ids."));
        scheduleSave();
    }
}

namespace {

// A schedule's clock starts when it is switched on, and stops when it is off.
// True when a server changed.
bool stampSchedules(AppSettings &settings)
{
    bool changed = false;
    for (Server &server : settings.servers) {
        if (server.scheduleEnabled && !server.scheduledSince) {
            server.scheduledSince = ReferenceDate::now();
            changed = true;
        } else if (!server.scheduleEnabled && server.scheduledSince) {
            server.scheduledSince.reset();
            changed = true;
        }
    }
    return changed;
}

} // namespace

void ConfigStore::startScheduleClocks()
{
    AppSettings stamped = m_settings;
    if (stampSchedules(stamped))
        setSettings(stamped);
}

void ConfigStore::setSettings(const AppSettings &settings)
{
    Q_EMIT settingsAboutToChange();
    m_settings = settings;
    stampSchedules(m_settings);
    Q_EMIT settingsChanged();
    scheduleSave();
}

void ConfigStore::update(const std::function<void(AppSettings &)> &change)
{
    Q_EMIT settingsAboutToChange();
    change(m_settings);
    stampSchedules(m_settings);
    Q_EMIT settingsChanged();
    scheduleSave();
}

bool ConfigStore::updateServer(const QUuid &id, const std::function<void(Server &)> &change)
{
    bool found = false;
    update([&](AppSettings &settings) {
        if (Server *server = settings.server(id)) {
            change(*server);
            found = true;
        }
    });
    return found;
}

void ConfigStore::deleteServer(const QUuid &id)
{
    update([&](AppSettings &settings) { settings.servers.removeIf([&](const Server &s) { return s.id == id; }); });
}

void ConfigStore::scheduleSave()
{
    m_saveTimer.start();
}

tl::expected<QString, StoreError> ConfigStore::keepUnreadableFile()
{
    const FileLock lock = lockFile(lockPath());
    return keepIfDamaged(readDisk());
}

tl::expected<QString, StoreError> ConfigStore::keepIfDamaged(const OnDisk &disk)
{
    const bool whole = disk.settings && disk.warnings.isEmpty();
    if (!disk.exists || whole || (disk.bytes == m_knownBytes && !m_knownUnreadable))
        return QString();
    if (disk.cannotOpen) {
        // Not a file that can be read (a FIFO, a folder): nothing to copy, and
        // nothing that a write could replace without harm.
        return tl::unexpected(StoreError{StoreError::Code::notKept, disk.problem});
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString keptPath = m_filePath + QStringLiteral(".corrupt-") + stamp;
    for (int n = 2; QFile::exists(keptPath); ++n)
        keptPath = m_filePath + QStringLiteral(".corrupt-") + stamp + u'-' + QString::number(n);
    if (const auto kept = FileUtil::writeAtomically(keptPath, disk.bytes); !kept) {
        DiagnosticLog::write(
            QStringLiteral(
                "ConfigStore save error: could not keep the unreadable configuration file before replacing it: ")
            + kept.error().message);
        return tl::unexpected(StoreError{StoreError::Code::notKept, kept.error().message});
    }
    DiagnosticLog::write(
        QStringLiteral(
            "ConfigStore: the configuration file could not be read as it was; its old contents were kept in ")
        + keptPath);
    m_knownUnreadable = false;
    m_knownBytes = disk.bytes;
    Q_EMIT damagedFileKept(keptPath);
    return keptPath;
}

tl::expected<void, StoreError> ConfigStore::write(const QByteArray &bytes)
{
    // Every writer holds the lock here, so no other write is in progress.
    FileUtil::removeStaleTemporaries(m_filePath);
    if (const auto written = FileUtil::writeAtomically(m_filePath, bytes); !written) {
        DiagnosticLog::write(QStringLiteral("ConfigStore save error: ") + written.error().message);
        return tl::unexpected(StoreError{StoreError::Code::notWritten, written.error().message});
    }
    m_knownBytes = bytes;
    m_knownUnreadable = false;
    return {};
}

tl::expected<void, StoreError> ConfigStore::save()
{
    const FileLock lock = lockFile(lockPath());
    const OnDisk disk = readDisk();
    if (auto kept = keepIfDamaged(disk); !kept)
        return tl::unexpected(kept.error());
    if (disk.settings)
        mergeRunResults(*disk.settings);
    return write(m_settings.encode());
}

namespace {

// One run's result on the server's record; `exitCode` absent for a cancelled run.
void applyRunResult(Server &server, double ranAt, std::optional<qint64> exitCode)
{
    // A file from before lastSuccessAt was kept knows the last success only
    // from the last run: keep it before that run is replaced.
    if (!server.lastSuccessAt && server.lastExitCode == 0 && server.lastRunAt)
        server.lastSuccessAt = server.lastRunAt;
    server.lastRunAt = ranAt;
    server.lastExitCode = exitCode;
    if (exitCode == 0)
        server.lastSuccessAt = ranAt;
}

} // namespace

void ConfigStore::recordRunResult(const QUuid &serverID, double ranAt, std::optional<qint64> exitCode)
{
    recordResult(serverID, [ranAt, exitCode](Server &server) { applyRunResult(server, ranAt, exitCode); });
}

void ConfigStore::recordHeldChange(const QUuid &serverID, const std::optional<ChangeHold> &held)
{
    recordResult(serverID, [held](Server &server) { server.heldChange = held; });
}

void ConfigStore::recordVerification(const QUuid &serverID, double checkedAt, qint64 damagedFiles)
{
    recordResult(serverID, [checkedAt, damagedFiles](Server &server) {
        server.lastVerifiedAt = checkedAt;
        server.damagedFiles = damagedFiles;
    });
}

void ConfigStore::recordRemoteCheck(const QUuid &serverID, double checkedAt, qint64 differences)
{
    recordResult(serverID, [checkedAt, differences](Server &server) {
        server.lastRemoteCheckAt = checkedAt;
        server.remoteDifferences = differences;
    });
}

void ConfigStore::recordResult(const QUuid &serverID, const std::function<void(Server &)> &apply)
{
    if (!m_settings.server(serverID))
        return;
    Q_EMIT settingsAboutToChange();
    apply(*m_settings.server(serverID));
    Q_EMIT settingsChanged();

    const FileLock lock = lockFile(lockPath());
    OnDisk disk = readDisk();
    if (!disk.settings) {
        // Nothing usable on disk to merge into: keep what is there, write ours whole.
        ++m_settings.server(serverID)->lastRunSerial;
        if (keepIfDamaged(disk))
            write(m_settings.encode());
        return;
    }
    disk.settings->reassignDuplicateIds();
    Server *stored = disk.settings->server(serverID);
    if (!stored)
        return; // deleted elsewhere meanwhile, or not saved yet (a pending save carries it)
    apply(*stored);
    if (!disk.warnings.isEmpty() && !keepIfDamaged(disk))
        return; // what the defaults would replace could not be kept: the file stays as it is
    // Counted under the lock: this result is newer than every one recorded before it.
    stored->lastRunSerial = std::max(stored->lastRunSerial, m_settings.server(serverID)->lastRunSerial) + 1;
    m_settings.server(serverID)->lastRunSerial = stored->lastRunSerial;
    write(disk.settings->encode());
}

void ConfigStore::setWatchesFile(bool watch)
{
    delete m_watcher;
    m_watcher = nullptr;
    if (!watch)
        return;
    m_watcher = new QFileSystemWatcher(this);
    // The file is replaced, not rewritten, so watch its folder too.
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &ConfigStore::mergeRunResultsFromDisk);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &ConfigStore::mergeRunResultsFromDisk);
    watchFile();
}

void ConfigStore::watchFile()
{
    if (!m_watcher)
        return;
    const QString folder = QFileInfo(m_filePath).absolutePath();
    if (!m_watcher->directories().contains(folder))
        m_watcher->addPath(folder);
    if (QFile::exists(m_filePath) && !m_watcher->files().contains(m_filePath))
        m_watcher->addPath(m_filePath);
}

bool ConfigStore::mergeRunResults(const AppSettings &onDisk)
{
    AppSettings merged = m_settings;
    for (Server &server : merged.servers) {
        const Server *stored = onDisk.server(server.id);
        if (!stored)
            continue;
        if (stored->lastRunSerial > 0 || server.lastRunSerial > 0) {
            // Results are counted: the file's is newer when its count is
            // higher, whatever the clocks of the processes that wrote them said.
            if (stored->lastRunSerial > server.lastRunSerial) {
                server.lastRunAt = stored->lastRunAt;
                server.lastExitCode = stored->lastExitCode;
                server.lastSuccessAt = stored->lastSuccessAt;
                server.heldChange = stored->heldChange;
                server.lastVerifiedAt = stored->lastVerifiedAt;
                server.damagedFiles = stored->damagedFiles;
                server.lastRemoteCheckAt = stored->lastRemoteCheckAt;
                server.remoteDifferences = stored->remoteDifferences;
                server.lastRunSerial = stored->lastRunSerial;
            }
            continue;
        }
        // Files from before results were counted: by time.
        // The newer success wins, whichever run came last.
        if (stored->lastSuccessAt && (!server.lastSuccessAt || *stored->lastSuccessAt > *server.lastSuccessAt))
            server.lastSuccessAt = stored->lastSuccessAt;
        if (!stored->lastRunAt)
            continue;
        // The newer run wins; nothing but the result fields is taken.
        if (server.lastRunAt && *server.lastRunAt >= *stored->lastRunAt)
            continue;
        server.lastRunAt = stored->lastRunAt;
        server.lastExitCode = stored->lastExitCode;
    }
    if (merged == m_settings)
        return false;
    Q_EMIT settingsAboutToChange();
    m_settings = std::move(merged);
    Q_EMIT settingsChanged();
    return true;
}

void ConfigStore::mergeRunResultsFromDisk()
{
    watchFile();
    const FileLock lock = lockFile(lockPath());
    const OnDisk disk = readDisk();
    if (disk.settings)
        mergeRunResults(*disk.settings);
}
