// The live configuration of the process and its file.
#pragma once

#include "core/model/AppSettings.h"

#include <QObject>
#include <QFileSystemWatcher>
#include <QString>
#include <QTimer>

#include <functional>

// Owns the live configuration of the process and keeps it in config.json.
// The settings can only be changed through setSettings()/update(), each of
// which tells observers first and then schedules the debounced save.
class ConfigStore : public QObject
{
    Q_OBJECT

public:
    static constexpr int saveDelayMs = 300;

    explicit ConfigStore(QObject *parent = nullptr);
    // Uses the given file instead of the one in the data folder.
    explicit ConfigStore(const QString &filePath, QObject *parent = nullptr);
    ~ConfigStore() override;

    const AppSettings &settings() const { return m_settings; }
    void setSettings(const AppSettings &settings);
    // Applies one change to the live settings.
    void update(const std::function<void(AppSettings &)> &change);
    // Applies a change to the server with that id; false when there is none
    // (a save is still scheduled, as for every change).
    bool updateServer(const QUuid &id, const std::function<void(Server &)> &change);
    // Removes every server with that id. Its schedule is the caller's to remove.
    void deleteServer(const QUuid &id);

    QString url() const { return m_filePath; }

    // Writes at once, atomically. On failure logs one line and keeps the settings.
    bool save();
    bool hasPendingSave() const { return m_saveTimer.isActive(); }

    // Records a run's start time and exit code on that server. Only these two
    // fields are merged into the file as it is on disk now, so changes made
    // meanwhile by another process (the window, a scheduled run) survive.
    void recordRunResult(const QUuid &serverID, double ranAt, std::optional<qint64> exitCode);
    // Picks up run results that another process records in the file.
    void setWatchesFile(bool watch);

Q_SIGNALS:
    // Emitted before each change of the settings.
    void settingsAboutToChange();
    void settingsChanged();

private:
    void load();
    void scheduleSave();
    bool keepUndecodableFile();
    std::optional<AppSettings> readFile() const;
    void mergeRunResultsFromDisk();
    void watchFile();

    AppSettings m_settings;
    QString m_filePath;
    QTimer m_saveTimer;
    QFileSystemWatcher *m_watcher = nullptr;
    // The file on disk could not be read or decoded: keep its bytes before replacing it.
    bool m_keepOldFileBeforeSave = false;
};
