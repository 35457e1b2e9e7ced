// SPDX-License-Identifier: GPL-3.0-or-later
// The retry rules of a run: transient statuses, attempts and growing delays.
#include "core/engine/RetryPolicy.h"

#include <algorithm>

const QSet<int> RetryPolicy::transientExitCodes = {10, 11, 12, 20, 23, 24, 30, 35, 255};

RetryPolicy::RetryPolicy(qint64 retryAttempts)
    : m_maxAttempts(std::max<qint64>(retryAttempts + 1, 1))
{ }

qint64 RetryPolicy::delaySeconds(qint64 attempt)
{
    return std::min<qint64>(qint64(1) << std::clamp<qint64>(attempt, 0, 5), 30);
}
