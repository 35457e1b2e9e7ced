#pragma once

#include "core/model/AppSettings.h"
#include "core/engine/RsyncProbe.h"
#include "core/model/Server.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QSet>
#include <QStringList>
#include <QUuid>
#include <QVariant>

#include <qcoro/qcorotask.h>

#include <functional>
#include <optional>

class ConfigStore;

// The backup engine: runs one backup at a time and publishes its state and
// live log for the views. Lives on the main thread.
class RsyncRunner : public QObject
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
    static constexpr qsizetype maxLogLines = 4000;
    // Output is read at most this often; see PipeReader.
    static constexpr int readPauseMs = 20;
    static const QSet<int> transientExitCodes;

    explicit RsyncRunner(QObject *parent = nullptr);
    ~RsyncRunner() override;

    bool isRunning() const { return m_isRunning; }
    std::optional<QUuid> runningServerID() const { return m_runningServerID; }
    const QStringList &logLines() const { return m_logLines; }
    QString currentItem() const { return m_currentItem; }
    std::optional<double> progressPercent() const { return m_progressPercent; }
    std::optional<int> exitCode() const { return m_exitCode; }
    std::optional<QString> lastDestination() const { return m_lastDestination; }
    bool wasCancelled() const { return m_wasCancelled; }
    // Lines appended since the log was last cleared, trimmed ones included:
    // a view that showed N lines appends the last (serial - N).
    qint64 logLineSerial() const { return m_logLineSerial; }

    void append(const QString &line);
    // Stops the run at its next check and asks the running rsync (and the
    // ssh it started) to terminate.
    void cancel();
    // Starts the program, streams its output into the log and returns its
    // exit status, or -1 when it could not be started.
    QCoro::Task<int> runProcess(QString executable, QStringList args);
    // The backup of one server; a call while a run is in progress does nothing.
    QCoro::Task<> run(Server server, ConfigStore *store);

    // The rsync every run uses; probed on first use.
    RsyncProbe rsyncProbe();
    void setRsyncProbe(const RsyncProbe &probe) { m_probe = probe; }
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    // Test-only: length of the "second" used for retry delays.
    void setRetryDelayUnitForTesting(int milliseconds) { m_retryDelayUnitMs = milliseconds; }

    static std::optional<double> freeSpaceGB(const QString &folder);
    // The percentage rsync shows in a line: leftmost one to three digits before "%".
    static std::optional<double> leftmostPercent(QStringView line);

Q_SIGNALS:
    void isRunningChanged();
    void runningServerIDChanged();
    void logLinesChanged();
    void currentItemChanged();
    void progressPercentChanged();
    void exitCodeChanged();
    void lastDestinationChanged();

private:
    QCoro::Task<> performRun(Server server, AppSettings settings);
    QCoro::Task<bool> copyPath(Server server, BackupPath path, AppSettings settings, QString runFolder);
    void finish(const Server &server, const QDateTime &startedAt, const AppSettings &settings, ConfigStore *store);
    void persistLog(const QUuid &serverID, const QDateTime &startedAt);
    void appendLines(const QStringList &lines, bool fromStandardError);
    void terminateCurrentProcess();

    void setRunning(bool running, std::optional<QUuid> serverID);
    void setCurrentItem(const QString &item);
    void setProgressPercent(std::optional<double> percent);
    void setExitCode(std::optional<int> code);
    void setLastDestination(const QString &folder);

    QUuid runningServerIDOrNull() const { return m_runningServerID.value_or(QUuid()); }
    QVariant progressPercentVariant() const { return m_progressPercent ? QVariant(*m_progressPercent) : QVariant(); }
    QVariant exitCodeVariant() const { return m_exitCode ? QVariant(*m_exitCode) : QVariant(); }
    QString lastDestinationOrEmpty() const { return m_lastDestination.value_or(QString()); }

    bool m_isRunning = false;
    std::optional<QUuid> m_runningServerID;
    QStringList m_logLines;
    qint64 m_logLineSerial = 0;
    QString m_currentItem;
    std::optional<double> m_progressPercent;
    std::optional<int> m_exitCode;
    std::optional<QString> m_lastDestination;

    QPointer<QProcess> m_currentProcess;
    bool m_wasCancelled = false;
    std::optional<RsyncProbe> m_probe;
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTime(); };
    int m_retryDelayUnitMs = 1000;
};
