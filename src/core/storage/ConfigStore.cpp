// Loading, debounced saving and merging of the configuration file.
#include "core/storage/ConfigStore.h"

#include "core/system/AppPaths.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/FileUtil.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

ConfigStore::ConfigStore(QObject *parent)
    : ConfigStore(AppPaths::configFile(), parent)
{
}

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
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    load();
}

ConfigStore::~ConfigStore()
{
    if (m_saveTimer.isActive())
        save();
}

void ConfigStore::load()
{
    QFile file(m_filePath);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        m_keepOldFileBeforeSave = true;
        return;
    }
    if (auto decoded = AppSettings::decode(file.readAll()))
        m_settings = std::move(*decoded);
    else
        m_keepOldFileBeforeSave = true;
}

void ConfigStore::setSettings(const AppSettings &settings)
{
    Q_EMIT settingsAboutToChange();
    m_settings = settings;
    Q_EMIT settingsChanged();
    scheduleSave();
}

void ConfigStore::update(const std::function<void(AppSettings &)> &change)
{
    Q_EMIT settingsAboutToChange();
    change(m_settings);
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
    update([&](AppSettings &settings) {
        settings.servers.removeIf([&](const Server &s) { return s.id == id; });
    });
}

void ConfigStore::scheduleSave()
{
    m_saveTimer.start();
}

bool ConfigStore::keepUndecodableFile()
{
    if (!QFile::exists(m_filePath))
        return true;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString keptPath = m_filePath + QStringLiteral(".corrupt-") + stamp;
    for (int n = 2; QFile::exists(keptPath); ++n)
        keptPath = m_filePath + QStringLiteral(".corrupt-%1-%2").arg(stamp).arg(n);
    QFile original(m_filePath);
    if (!original.copy(keptPath)) {
        DiagnosticLog::write(QStringLiteral("ConfigStore save error: could not keep the unreadable configuration file before replacing it: ")
                             + original.errorString());
        return false;
    }
    DiagnosticLog::write(QStringLiteral("ConfigStore: the configuration file could not be read; its old contents were kept in ") + keptPath);
    return true;
}

bool ConfigStore::save()
{
    if (m_keepOldFileBeforeSave) {
        if (!keepUndecodableFile())
            return false;
        m_keepOldFileBeforeSave = false;
    }
    if (const auto written = FileUtil::writeAtomically(m_filePath, m_settings.encode()); !written) {
        DiagnosticLog::write(QStringLiteral("ConfigStore save error: ") + written.error());
        return false;
    }
    return true;
}

std::optional<AppSettings> ConfigStore::readFile() const
{
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    auto decoded = AppSettings::decode(file.readAll());
    if (!decoded)
        return std::nullopt;
    return std::move(*decoded);
}

void ConfigStore::recordRunResult(const QUuid &serverID, double ranAt, std::optional<qint64> exitCode)
{
    if (!m_settings.server(serverID))
        return;
    Q_EMIT settingsAboutToChange();
    Server *server = m_settings.server(serverID);
    server->lastRunAt = ranAt;
    server->lastExitCode = exitCode;
    Q_EMIT settingsChanged();

    std::optional<AppSettings> onDisk = readFile();
    if (!onDisk || m_keepOldFileBeforeSave) {
        // Nothing usable on disk to merge into: write ours whole.
        save();
        return;
    }
    Server *stored = onDisk->server(serverID);
    if (!stored)
        return; // deleted elsewhere meanwhile, or not saved yet (a pending save carries it)
    stored->lastRunAt = ranAt;
    stored->lastExitCode = exitCode;
    if (const auto written = FileUtil::writeAtomically(m_filePath, onDisk->encode()); !written)
        DiagnosticLog::write(QStringLiteral("ConfigStore save error: ") + written.error());
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

void ConfigStore::mergeRunResultsFromDisk()
{
    watchFile();
    const std::optional<AppSettings> onDisk = readFile();
    if (!onDisk)
        return;
    AppSettings merged = m_settings;
    for (Server &server : merged.servers) {
        const Server *stored = onDisk->server(server.id);
        if (!stored || !stored->lastRunAt)
            continue;
        // The newer run wins; nothing but the two result fields is taken.
        if (server.lastRunAt && *server.lastRunAt > *stored->lastRunAt)
            continue;
        server.lastRunAt = stored->lastRunAt;
        server.lastExitCode = stored->lastExitCode;
    }
    if (merged == m_settings)
        return;
    Q_EMIT settingsAboutToChange();
    m_settings = std::move(merged);
    Q_EMIT settingsChanged();
}
