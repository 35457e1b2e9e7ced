// SPDX-License-Identifier: GPL-3.0-or-later
// A child process in its own group, with both output streams read as they arrive.
#pragma once

#include "core/engine/PipeReader.h"

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <qcoro/qcorotask.h>

// One child process whose standard output and standard error go to pipes of
// our own, read by the event loop in batches (see PipeReader). The child runs
// in a process group of its own, so that terminating it also reaches the ssh
// it started, and it reads /dev/null as its standard input. Used once.
class ProcessStream : public QObject
{
    Q_OBJECT

public:
    explicit ProcessStream(int readPauseMs, QObject *parent = nullptr);
    // A child still running is terminated with its group.
    ~ProcessStream() override;

    // Starts the program and resumes once it has ended and both pipes are
    // drained, with its exit status; -1 when it could not be started.
    QCoro::Task<int> run(QString executable, QStringList arguments);
    // The child's environment (unset: this process's); before run().
    void setEnvironment(const QProcessEnvironment &environment) { m_process.setProcessEnvironment(environment); }
    bool started() const { return m_started; }
    QString startError() const { return m_startError; }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    // The child's pid, which is also its process group; 0 when not running.
    qint64 processId() const { return m_process.processId(); }
    // SIGTERM to the child, which ends what it started itself (rsync its
    // ssh), so it reports its own status for a stop by a signal. Whatever of
    // its process group is left when it ends is asked to end (SIGTERM) and
    // killed after groupGraceMs, and the whole group after killAfterMs if
    // the child does not end.
    void terminate();
    static constexpr int killAfterMs = 10000;
    // How long what is left of a terminated child's group may take to end
    // after the child itself did, before it is killed.
    static constexpr int groupGraceMs = 3000;

Q_SIGNALS:
    void outputRead(const QByteArray &data, bool fromStandardError);

private:
    void killGroup(int signalNumber);

    PipeReader m_out;
    PipeReader m_err;
    QProcess m_process;
    QTimer m_kill;
    bool m_started = false;
    bool m_terminating = false;
    QString m_startError;
};
