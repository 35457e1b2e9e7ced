// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a scheduled run may start on battery, as UPower tells it.
#pragma once

#include <QDBusConnection>
#include <QString>

#include <qcoro/qcorotask.h>

#include <functional>
#include <optional>

// Reads UPower on the system bus before a scheduled run. Without UPower (a
// desktop without it, no system bus) nothing is known, and the run goes on.
namespace PowerGate {

struct Reading
{
    bool onBattery = false;
    // The display device's charge, 0–100; unknown without one.
    std::optional<double> percent;
};

// What UPower says now; nothing when it does not answer.
QCoro::Task<std::optional<Reading>> read(QDBusConnection systemBus);

// True when a reading is on battery below `minPercent` (0: never).
bool tooLow(const Reading &reading, qint64 minPercent);

struct Options
{
    qint64 minPercent = 30;
    int waitSeconds = 300;
    // Told once when the run starts to wait.
    std::function<void(const QString &)> say;
    // How often UPower is asked again while the run waits.
    int pollMilliseconds = 1000;
};

struct Verdict
{
    bool go = true;
    // The charge when the run is skipped.
    int percent = 0;
};

// On battery below the threshold, waits up to waitSeconds for mains power
// (or a charge above it); still low after that, the run is skipped.
QCoro::Task<Verdict> beforeScheduledRun(QDBusConnection systemBus, Options options);

// The one line of a skipped run: "On battery (18 %): skipped; …".
QString skippedLine(int percent);

} // namespace PowerGate
