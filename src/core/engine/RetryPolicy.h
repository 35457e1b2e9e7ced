// SPDX-License-Identifier: GPL-3.0-or-later
// Which rsync failures are retried, how often and after how long.
#pragma once

#include <QSet>
#include <QtGlobal>

// Which rsync failures a run retries, how many attempts a path gets, and how
// long it waits before each retry.
class RetryPolicy
{
public:
    // rsync's statuses for socket, file and protocol I/O, signals, partial
    // transfers, timeouts and a failed ssh: worth another attempt.
    static const QSet<int> transientExitCodes;

    explicit RetryPolicy(qint64 retryAttempts);

    static bool isTransient(int status) { return transientExitCodes.contains(status); }
    // retryAttempts + 1, at least 1.
    qint64 maxAttempts() const { return m_maxAttempts; }
    // Seconds to wait after failed attempt `attempt` (from 1): 2, 4, 8, 16, then 30.
    static qint64 delaySeconds(qint64 attempt);

private:
    qint64 m_maxAttempts;
};
