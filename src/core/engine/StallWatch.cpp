// SPDX-License-Identifier: GPL-3.0-or-later
// A transfer's signs of life: its output and its processes' I/O counters.
#include "core/engine/StallWatch.h"

#include "core/engine/ProcessStream.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

QByteArray readSmallFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(4096) : QByteArray();
}

// The command name and process group from /proc/<pid>/stat ("pid (comm) state ppid pgrp …").
bool readStat(const QString &pid, QByteArray *command, pid_t *group)
{
    const QByteArray stat = readSmallFile(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
    const qsizetype open = stat.indexOf('(');
    const qsizetype close = stat.lastIndexOf(')');
    if (open < 0 || close < open)
        return false;
    *command = stat.mid(open + 1, close - open - 1);
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    if (fields.size() < 3)
        return false;
    bool ok = false;
    *group = pid_t(fields.at(2).toLongLong(&ok));
    return ok;
}

qint64 ioBytes(const QString &pid)
{
    qint64 total = 0;
    const QList<QByteArray> lines = readSmallFile(QStringLiteral("/proc/") + pid + QStringLiteral("/io")).split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("rchar:") || line.startsWith("wchar:"))
            total += line.mid(6).trimmed().toLongLong();
    }
    return total;
}

} // namespace

StallWatch::StallWatch(const ProcessStream *stream, int timeoutSeconds, QObject *parent)
    : QObject(parent)
    , m_stream(stream)
    , m_timeoutSeconds(timeoutSeconds)
{
    connect(stream, &ProcessStream::outputRead, this, [this] { m_quiet.restart(); });
    m_quiet.start();
    // Often enough that a stall ends close to the time-out, seldom enough to cost nothing.
    m_timer.setInterval(std::clamp(timeoutSeconds * 250, 100, 1000));
    connect(&m_timer, &QTimer::timeout, this, &StallWatch::check);
    m_timer.start();
}

qint64 StallWatch::groupIoBytes(pid_t group, const QByteArray &command)
{
    qint64 total = 0;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        if (pid.isEmpty() || !pid.at(0).isDigit())
            continue;
        QByteArray name;
        pid_t pgrp = 0;
        if (readStat(pid, &name, &pgrp) && pgrp == group && name == command)
            total += ioBytes(pid);
    }
    return total;
}

void StallWatch::check()
{
    if (m_fired)
        return;
    const qint64 pid = m_stream->processId();
    if (pid <= 0) {
        m_quiet.restart(); // not started yet
        return;
    }
    if (m_command.isEmpty()) {
        pid_t group = 0;
        readStat(QString::number(pid), &m_command, &group);
    }
    // rsync's keep-alive messages move the counters by a few bytes every
    // few seconds even when the server sends nothing: only more counts.
    const qint64 io = groupIoBytes(pid_t(pid), m_command);
    if (m_lastIo < 0 || io - m_lastIo >= minimumProgressBytes) {
        m_lastIo = io;
        m_quiet.restart();
        return;
    }
    if (m_quiet.elapsed() < qint64(m_timeoutSeconds) * 1000)
        return;
    m_fired = true;
    m_timer.stop();
    Q_EMIT stalled(m_timeoutSeconds);
}
