// SPDX-License-Identifier: GPL-3.0-or-later
// What the engine publishes about the current or last run.
#pragma once

#include "core/engine/RunLog.h"
#include "core/model/AppSettings.h"
#include "core/model/Server.h"

#include <QObject>
#include <QStringList>
#include <QUuid>
#include <QVariant>

#include <optional>

// The observable state of the current or last run, and its live log. The
// engine (RsyncRunner) changes it; views and the tray only read it and
// listen to its change signals. Everything happens on the main thread.
class RunnerState : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isRunning READ isRunning NOTIFY isRunningChanged)
    Q_PROPERTY(QUuid runningServerID READ runningServerIDOrNull NOTIFY runningServerIDChanged)
    Q_PROPERTY(QStringList logLines READ logLines NOTIFY logLinesChanged)
    Q_PROPERTY(QString currentItem READ currentItem NOTIFY currentItemChanged)
    Q_PROPERTY(QVariant progressPercent READ progressPercentVariant NOTIFY progressPercentChanged)
    Q_PROPERTY(QVariant exitCode READ exitCodeVariant NOTIFY exitCodeChanged)
    Q_PROPERTY(QString lastDestination READ lastDestinationOrEmpty NOTIFY lastDestinationChanged)

public:
    static constexpr qsizetype maxLogLines = RunLog::maxLines;

    using QObject::QObject;

    bool isRunning() const { return m_isRunning; }
    std::optional<QUuid> runningServerID() const { return m_runningServerID; }
    const QStringList &logLines() const { return m_log.lines(); }
    QString currentItem() const { return m_currentItem; }
    std::optional<double> progressPercent() const { return m_progressPercent; }
    std::optional<int> exitCode() const { return m_exitCode; }
    std::optional<QString> lastDestination() const { return m_lastDestination; }
    bool wasCancelled() const { return m_wasCancelled; }
    // The last run was paused: cancelled (wasCancelled() says so too) with
    // what it copied kept for the next run to go on from.
    bool wasPaused() const { return m_wasPaused; }
    // The last run did not start: another process holds the server's lock.
    bool wasRefused() const { return m_wasRefused; }
    // What went wrong after the copy itself succeeded (old snapshots that
    // could not be deleted); empty when nothing did.
    QString warning() const { return m_warning; }
    // Why the run failed, when Tidewell knows better than the exit code (a
    // host key that changed); English, as logs write it, empty otherwise.
    QString failure() const { return m_failure; }
    // The host key ssh recorded on its own during the run (a headless run
    // accepts a key on first use), as "ED25519 SHA256:…"; empty when none.
    QString hostKeyAdded() const { return m_hostKeyAdded; }
    // See RunLog::serial() and RunLog::revision().
    qint64 logLineSerial() const { return m_log.serial(); }
    qint64 logRevision() const { return m_log.revision(); }
    qint64 logDroppedLines() const { return m_log.droppedLines(); }
    // The server and the settings of the current or last run, as it started.
    const Server &runServer() const { return m_runServer; }
    const AppSettings &runSettings() const { return m_runSettings; }

    void append(const QString &line);

Q_SIGNALS:
    void isRunningChanged();
    void runningServerIDChanged();
    void logLinesChanged();
    void currentItemChanged();
    void progressPercentChanged();
    void exitCodeChanged();
    void lastDestinationChanged();

protected:
    // A new run: an empty log, no result yet.
    void begin(const Server &server, const AppSettings &settings);
    void appendOutput(const QStringList &lines, bool fromStandardError);
    void clearLog();
    void setRunning(bool running, std::optional<QUuid> serverID);
    void setCurrentItem(const QString &item);
    void setProgressPercent(std::optional<double> percent);
    void setExitCode(std::optional<int> code);
    void setLastDestination(const QString &folder);
    // Appends the lines and sets the exit code.
    void endWith(const QStringList &lines, int exitCode);
    // Ends the run after a failed (or cancelled) attempt.
    void abortRun(int status);
    // The run did not start: the log holds only `message`.
    void refuse(const QString &message, int exitCode);

    bool m_wasCancelled = false;
    bool m_wasPaused = false;
    bool m_wasRefused = false;
    QString m_warning;
    QString m_failure;
    QString m_hostKeyAdded;

private:
    QUuid runningServerIDOrNull() const { return m_runningServerID.value_or(QUuid()); }
    QVariant progressPercentVariant() const { return m_progressPercent ? QVariant(*m_progressPercent) : QVariant(); }
    QVariant exitCodeVariant() const { return m_exitCode ? QVariant(*m_exitCode) : QVariant(); }
    QString lastDestinationOrEmpty() const { return m_lastDestination.value_or(QString()); }

    bool m_isRunning = false;
    std::optional<QUuid> m_runningServerID;
    RunLog m_log;
    QString m_currentItem;
    std::optional<double> m_progressPercent;
    std::optional<int> m_exitCode;
    std::optional<QString> m_lastDestination;
    Server m_runServer;
    AppSettings m_runSettings;
};
