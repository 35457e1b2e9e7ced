// SPDX-License-Identifier: GPL-3.0-or-later
// The live configuration of the process and its file.
#pragma once

#include "core/model/AppSettings.h"
#include "core/storage/StoreError.h"

#include <QFileSystemWatcher>
#include <QObject>
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
    // Stamps scheduledSince on scheduled servers that have none (files from
    // before it was kept) and saves them; headless runs never call it, as they
    // write nothing but run results.
    void startScheduleClocks();
    // Removes every server with that id. Its schedule is the caller's to remove.
    void deleteServer(const QUuid &id);

    QString url() const { return m_filePath; }
    // Why the file could not be read at start (the settings are the
    // defaults then); empty when it was read, or was not there.
    QString loadProblem() const { return m_loadProblem; }
    // Members of the file that had a wrong type and were left at their defaults.
    QStringList loadWarnings() const { return m_loadWarnings; }
    // Keeps a copy of a file that could not be read beside it, at once,
    // and returns where (empty when there was nothing to keep).
    tl::expected<QString, StoreError> keepUnreadableFile();

    // Writes at once, atomically, holding the file's lock (see recordRunResult):
    // results that other processes recorded meanwhile are merged in first,
    // and a file that went bad under us is kept aside before it is replaced.
    // On failure logs one line and keeps the settings.
    tl::expected<void, StoreError> save();
    bool hasPendingSave() const { return m_saveTimer.isActive(); }
    // The lock file beside the configuration that every read-merge-write holds.
    QString lockPath() const { return m_filePath + QStringLiteral(".lock"); }

    // The configuration as the file has it, read under the lock, for a
    // process that only looks (defaults when there is no file); never writes it.
    static tl::expected<AppSettings, StoreError> readOnly(const QString &path);

    // Records a run's start time and exit code on that server (no exit code:
    // the run was cancelled, which is no result). Only these fields are merged into the file as it is on disk now,
    // under the lock, so changes made meanwhile by another process (the window, another run) survive.
    void recordRunResult(const QUuid &serverID, double ranAt, std::optional<qint64> exitCode);
    // Records the change a run found held (see ChangeHold), or that there is
    // none any more, merged into the file as run results are.
    void recordHeldChange(const QUuid &serverID, const std::optional<ChangeHold> &held);
    // The end of a check of the server's copies (seconds since 2001).
    void recordVerification(const QUuid &serverID, double checkedAt, qint64 damagedFiles);
    // The end of a check against the server after a scheduled run.
    void recordRemoteCheck(const QUuid &serverID, double checkedAt, qint64 differences);
    // Picks up run results that another process records in the file.
    void setWatchesFile(bool watch);

Q_SIGNALS:
    // Emitted before each change of the settings.
    void settingsAboutToChange();
    void settingsChanged();
    // A configuration file that could not be read was kept aside at `path`
    // before it was replaced.
    void damagedFileKept(const QString &path);

private:
    struct OnDisk
    {
        bool exists = false;
        bool cannotOpen = false; // there, but no regular file or not readable
        QByteArray bytes;
        std::optional<AppSettings> settings; // absent when it does not decode
        QString problem;                     // why not
        QStringList warnings;                // members left at their defaults
    };

    void load();
    void scheduleSave();
    OnDisk readDisk() const;
    // Copies an undecodable file aside, unless it is what this store wrote last.
    // Returns where it was kept; empty when nothing was.
    tl::expected<QString, StoreError> keepIfDamaged(const OnDisk &disk);
    tl::expected<void, StoreError> write(const QByteArray &bytes);
    // One result applied to the live settings and, under the lock, to the
    // file as it is on disk now, with the server's result count raised.
    void recordResult(const QUuid &serverID, const std::function<void(Server &)> &apply);
    bool mergeRunResults(const AppSettings &onDisk);
    void mergeRunResultsFromDisk();
    void watchFile();

    AppSettings m_settings;
    QString m_filePath;
    QTimer m_saveTimer;
    QFileSystemWatcher *m_watcher = nullptr;
    // What this store last read from or wrote to the file: a file that differs
    // and no longer decodes was changed by someone else.
    QByteArray m_knownBytes;
    bool m_knownUnreadable = false;
    QString m_loadProblem;
    QStringList m_loadWarnings;
};
