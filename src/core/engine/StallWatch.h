// SPDX-License-Identifier: GPL-3.0-or-later
// Notices a transfer that has stopped moving.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <sys/types.h>

class ProcessStream;

// Watches one running transfer: it is alive while its process writes output
// or its own processes (the child and what it forked of itself, never the
// ssh it talks through, whose keep-alives the server answers even when the
// remote rsync is frozen) read or write more than keep-alives. After `timeoutSeconds`
// without either, stalled() is emitted once.
class StallWatch : public QObject
{
    Q_OBJECT

public:
    StallWatch(const ProcessStream *stream, int timeoutSeconds, QObject *parent = nullptr);

    // What the counters must move by to count as life.
    static constexpr qint64 minimumProgressBytes = 4096;

    // Bytes read and written by the processes of `group` whose command name
    // is `command`, from /proc; 0 when none can be read.
    static qint64 groupIoBytes(pid_t group, const QByteArray &command);

Q_SIGNALS:
    void stalled(int seconds);

private:
    void check();

    const ProcessStream *m_stream;
    int m_timeoutSeconds;
    QTimer m_timer;
    QElapsedTimer m_quiet;
    qint64 m_lastIo = -1;
    QByteArray m_command;
    bool m_fired = false;
};
