// SPDX-License-Identifier: GPL-3.0-or-later
// One pipe for a child's output, read by the event loop in batches.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <limits>
#include <memory>

// One pipe for a child's output stream, read by the event loop in batches:
// after each read the pipe is left alone for a short pause, so a child that
// writes a line at a time (rsync's progress) does not wake us for each one.
// What arrives meanwhile waits in the pipe, which only blocks the child
// once the pipe's buffer is full.
class PipeReader : public QObject
{
    Q_OBJECT

public:
    explicit PipeReader(int pauseMs, QObject *parent = nullptr);
    ~PipeReader() override;

    bool isValid() const { return m_readFd >= 0; }
    // The end the child writes to; give it to the child, then closeWriteEnd().
    int writeFd() const { return m_writeFd; }
    void closeWriteEnd();
    static constexpr qsizetype batchLimit = 256 * 1024;
    // A read at least this large means the child is writing fast: read again at once.
    static constexpr qsizetype busyThreshold = 16 * 1024;

    // Reads what is available now, up to `limit` bytes, without waiting (after
    // the child has ended a grandchild may still hold the pipe open).
    QByteArray drain(qsizetype limit = std::numeric_limits<qsizetype>::max());

Q_SIGNALS:
    void dataRead(const QByteArray &data);

private:
    void readAvailable();

    int m_readFd = -1;
    int m_writeFd = -1;
    int m_pauseMs;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_resume;
};
