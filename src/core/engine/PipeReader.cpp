// SPDX-License-Identifier: GPL-3.0-or-later
// Batched, non-blocking reading of one pipe on the event loop.
#include "core/engine/PipeReader.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

PipeReader::PipeReader(int pauseMs, QObject *parent)
    : QObject(parent)
    , m_pauseMs(pauseMs)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return;
    m_readFd = fds[0];
    m_writeFd = fds[1];
    ::fcntl(m_readFd, F_SETFL, ::fcntl(m_readFd, F_GETFL) | O_NONBLOCK);
    m_notifier = std::make_unique<QSocketNotifier>(m_readFd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &PipeReader::readAvailable);
    m_resume.setSingleShot(true);
    connect(&m_resume, &QTimer::timeout, this, [this] { m_notifier->setEnabled(true); });
}

PipeReader::~PipeReader()
{
    m_notifier.reset();
    closeWriteEnd();
    if (m_readFd >= 0)
        ::close(m_readFd);
}

void PipeReader::closeWriteEnd()
{
    if (m_writeFd >= 0)
        ::close(m_writeFd);
    m_writeFd = -1;
}

QByteArray PipeReader::drain(qsizetype limit)
{
    QByteArray data;
    char buffer[65536];
    while (m_readFd >= 0 && data.size() < limit) {
        const ssize_t n = ::read(m_readFd, buffer, sizeof buffer);
        if (n > 0) {
            data.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 && m_notifier) // end of stream: nothing more will come
            m_notifier->setEnabled(false);
        break;
    }
    return data;
}

void PipeReader::readAvailable()
{
    // Bounded, so that a child writing faster than we read cannot grow a batch without end.
    const QByteArray data = drain(batchLimit);
    if (data.isEmpty()) {
        // End of stream: stop watching.
        m_notifier->setEnabled(false);
        return;
    }
    // A child that keeps the pipe full is never slowed down by the pause.
    if (m_pauseMs > 0 && data.size() < busyThreshold) {
        m_notifier->setEnabled(false);
        m_resume.start(m_pauseMs);
    }
    Q_EMIT dataRead(data);
}
