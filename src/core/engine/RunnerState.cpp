// SPDX-License-Identifier: GPL-3.0-or-later
// The published state of a run: each change signalled once, when it happens.
#include "core/engine/RunnerState.h"

namespace {

// Sets a published field; true when its value changed.
template<typename T>
bool assign(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

void RunnerState::append(const QString &line)
{
    m_log.append(line);
    Q_EMIT logLinesChanged();
}

void RunnerState::appendOutput(const QStringList &lines, bool fromStandardError)
{
    if (lines.isEmpty())
        return;
    if (const auto percent = m_log.appendOutput(lines, fromStandardError))
        setProgressPercent(percent);
    // One change per chunk keeps a flood of progress lines cheap to observe.
    Q_EMIT logLinesChanged();
}

void RunnerState::clearLog()
{
    m_log.clear();
    Q_EMIT logLinesChanged();
}

void RunnerState::begin(const Server &server, const AppSettings &settings)
{
    clearLog();
    setExitCode(std::nullopt);
    setProgressPercent(std::nullopt);
    m_wasCancelled = false;
    m_wasPaused = false;
    m_wasRefused = false;
    m_warning.clear();
    m_failure.clear();
    m_hostKeyAdded.clear();
    m_runServer = server;
    m_runSettings = settings;
    // Last: who hears of the start finds the run's server and settings.
    setRunning(true, server.id);
}

void RunnerState::setRunning(bool running, std::optional<QUuid> serverID)
{
    if (assign(m_isRunning, running))
        Q_EMIT isRunningChanged();
    if (assign(m_runningServerID, serverID))
        Q_EMIT runningServerIDChanged();
}

void RunnerState::setCurrentItem(const QString &item)
{
    if (assign(m_currentItem, item))
        Q_EMIT currentItemChanged();
}

void RunnerState::setProgressPercent(std::optional<double> percent)
{
    if (assign(m_progressPercent, percent))
        Q_EMIT progressPercentChanged();
}

void RunnerState::setExitCode(std::optional<int> code)
{
    if (assign(m_exitCode, code))
        Q_EMIT exitCodeChanged();
}

void RunnerState::setLastDestination(const QString &folder)
{
    if (assign(m_lastDestination, std::optional<QString>(folder)))
        Q_EMIT lastDestinationChanged();
}

void RunnerState::endWith(const QStringList &lines, int exitCode)
{
    for (const QString &line : lines)
        append(line);
    setExitCode(exitCode);
}

void RunnerState::abortRun(int status)
{
    append(QString());
    setExitCode(status);
    if (m_wasPaused)
        append(
            QStringLiteral("Paused: what was copied is kept, and the next run goes on from where this one stopped."));
    else
        append(m_wasCancelled ? QStringLiteral("Cancelled by user.")
                              : QStringLiteral("Aborting: remaining paths skipped."));
}

void RunnerState::refuse(const QString &message, int exitCode)
{
    m_wasRefused = true;
    m_wasCancelled = false;
    m_wasPaused = false;
    clearLog();
    append(message);
    setProgressPercent(std::nullopt);
    setExitCode(exitCode);
}
