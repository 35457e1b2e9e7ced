// SPDX-License-Identifier: GPL-3.0-or-later
// A child process in its own group, its two output streams read in batches.
#include "core/engine/ProcessStream.h"

#include "core/system/Subprocess.h"

#include <QDeadlineTimer>

#include <qcoro/qcorotimer.h>

#include <csignal>
#include <unistd.h>

ProcessStream::ProcessStream(int readPauseMs, QObject *parent)
    : QObject(parent)
    , m_out(readPauseMs)
    , m_err(readPauseMs)
{
    connect(&m_out, &PipeReader::dataRead, this, [this](const QByteArray &data) { Q_EMIT outputRead(data, false); });
    connect(&m_err, &PipeReader::dataRead, this, [this](const QByteArray &data) { Q_EMIT outputRead(data, true); });
    m_kill.setSingleShot(true);
    m_kill.setInterval(killAfterMs);
    connect(&m_kill, &QTimer::timeout, this, [this] {
        if (isRunning())
            killGroup(SIGKILL);
    });
}

ProcessStream::~ProcessStream()
{
    terminate();
    // QProcess waits for its child when it goes away; make that short.
    if (isRunning() && !m_process.waitForFinished(1000))
        killGroup(SIGKILL);
}

QCoro::Task<int> ProcessStream::run(QString executable, QStringList arguments)
{
    m_process.setProgram(executable);
    m_process.setArguments(arguments);
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    const int outFd = m_out.writeFd();
    const int errFd = m_err.writeFd();
    const pid_t parent = ::getpid();
    m_process.setChildProcessModifier([outFd, errFd, parent] {
        Subprocess::dieWithParent(parent);
        ::setpgid(0, 0);
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
    });
    if (!m_out.isValid() || !m_err.isValid() || !Subprocess::start(&m_process)) {
        m_startError = m_process.errorString();
        co_return -1;
    }
    m_started = true;
    m_out.closeWriteEnd();
    m_err.closeWriteEnd();
    const pid_t group = pid_t(m_process.processId());
    co_await Subprocess::waitForExit(&m_process);
    // A stopped child may leave some of its group behind (an ssh in connect).
    // What is left is asked to end first and given a moment: rsync's
    // receiver keeps a file it was receiving (--partial-dir) as it ends.
    if (m_terminating) {
        ::kill(-group, SIGTERM);
        QDeadlineTimer grace(groupGraceMs);
        while (Subprocess::groupRuns(group) && !grace.hasExpired()) {
            QTimer poll;
            poll.setSingleShot(true);
            poll.start(20);
            co_await qCoro(poll).waitForTimeout();
        }
        ::kill(-group, SIGKILL);
    }
    // What is still in the pipes (rsync's closing summary) is handed on
    // before the caller resumes.
    if (const QByteArray rest = m_out.drain(); !rest.isEmpty())
        Q_EMIT outputRead(rest, false);
    if (const QByteArray rest = m_err.drain(); !rest.isEmpty())
        Q_EMIT outputRead(rest, true);
    co_return Subprocess::exitStatus(m_process);
}

void ProcessStream::terminate()
{
    if (!isRunning())
        return;
    m_terminating = true;
    m_process.terminate();
    if (!m_kill.isActive())
        m_kill.start();
}

void ProcessStream::killGroup(int signalNumber)
{
    if (const qint64 pid = m_process.processId(); pid > 0)
        ::kill(-pid_t(pid), signalNumber);
}
