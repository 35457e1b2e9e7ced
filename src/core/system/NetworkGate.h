// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a scheduled run may start: the network is up, and not metered.
#pragma once

#include <QString>

#include <qcoro/qcorotask.h>

#include <functional>

// Asks Qt's NetworkManager backend of QNetworkInformation before a scheduled
// run. Without the backend (no NetworkManager, no system bus) nothing is
// known, and the run goes on at once.
namespace NetworkGate {

enum class Verdict { go, skipMetered };

struct Options
{
    int waitSeconds = 300;
    bool skipMetered = true;
    // Told once when the run starts to wait.
    std::function<void(const QString &)> say;
};

// While the network is reported down, waits up to waitSeconds, then goes on
// anyway (the run then reports what fails). On a metered connection, and
// with skipMetered, the run is skipped.
QCoro::Task<Verdict> beforeScheduledRun(Options options);

} // namespace NetworkGate
