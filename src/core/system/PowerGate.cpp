// SPDX-License-Identifier: GPL-3.0-or-later
// UPower's OnBattery and the display device's Percentage, before a scheduled run.
#include "core/system/PowerGate.h"

#include "core/system/DBusProperty.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDeadlineTimer>

#include <qcoro/qcorodbuspendingcall.h>
#include <qcoro/qcorotimer.h>

#include <chrono>
#include <cmath>

namespace PowerGate {

namespace {

const QString service = QStringLiteral("org.freedesktop.UPower");
constexpr int timeoutMs = 3000;

QDBusMessage propertyOf(const QString &path, const QString &interface, const QString &name)
{
    return DBusProperty::get(service, path, interface, name);
}

int wholePercent(const Reading &reading)
{
    return int(std::lround(std::clamp(reading.percent.value_or(0.0), 0.0, 100.0)));
}

} // namespace

QCoro::Task<std::optional<Reading>> read(QDBusConnection systemBus)
{
    if (!systemBus.isConnected())
        co_return std::nullopt;
    const QDBusPendingCall batteryCall = systemBus.asyncCall(
        propertyOf(QStringLiteral("/org/freedesktop/UPower"), service, QStringLiteral("OnBattery")), timeoutMs);
    const QDBusMessage battery = co_await batteryCall;
    const QVariant onBattery = DBusProperty::valueOf(battery);
    if (!onBattery.isValid())
        co_return std::nullopt;
    Reading reading;
    reading.onBattery = onBattery.toBool();
    if (!reading.onBattery)
        co_return reading;
    const QDBusPendingCall percentCall =
        systemBus.asyncCall(propertyOf(QStringLiteral("/org/freedesktop/UPower/devices/DisplayDevice"),
                                       QStringLiteral("org.freedesktop.UPower.Device"), QStringLiteral("Percentage")),
                            timeoutMs);
    const QDBusMessage percent = co_await percentCall;
    bool isNumber = false;
    const double value = DBusProperty::valueOf(percent).toDouble(&isNumber);
    if (isNumber && std::isfinite(value))
        reading.percent = value;
    co_return reading;
}

bool tooLow(const Reading &reading, qint64 minPercent)
{
    // A battery whose charge is not known is not held against the run.
    return minPercent > 0 && reading.onBattery && reading.percent && *reading.percent < double(minPercent);
}

QCoro::Task<Verdict> beforeScheduledRun(QDBusConnection systemBus, Options options)
{
    std::optional<Reading> reading = co_await read(systemBus);
    if (!reading || !tooLow(*reading, options.minPercent))
        co_return Verdict();
    if (options.waitSeconds > 0) {
        if (options.say)
            options.say(QStringLiteral("On battery (") + QString::number(wholePercent(*reading))
                        + QStringLiteral(" %): waiting for mains power…"));
        const QDeadlineTimer deadline(std::chrono::seconds(options.waitSeconds));
        const std::chrono::milliseconds poll(std::max(50, options.pollMilliseconds));
        while (!deadline.hasExpired()) {
            co_await QCoro::sleepFor(poll);
            std::optional<Reading> now = co_await read(systemBus);
            // UPower gone meanwhile: nothing is known any more, as without it.
            if (!now || !tooLow(*now, options.minPercent))
                co_return Verdict();
            reading = now;
        }
    }
    Verdict skipped;
    skipped.go = false;
    skipped.percent = wholePercent(*reading);
    co_return skipped;
}

QString skippedLine(int percent)
{
    return QStringLiteral("On battery (") + QString::number(percent)
           + QStringLiteral(" %): skipped; the next run will catch up.");
}

} // namespace PowerGate
