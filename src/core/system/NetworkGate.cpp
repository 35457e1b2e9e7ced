// SPDX-License-Identifier: GPL-3.0-or-later
// Waiting for the network, and skipping metered connections, with QNetworkInformation.
#include "core/system/NetworkGate.h"

#include <QDeadlineTimer>
#include <QNetworkInformation>

#include <qcoro/qcorotimer.h>

#include <chrono>

namespace NetworkGate {

QCoro::Task<Verdict> beforeScheduledRun(Options options)
{
    // The backend reads NetworkManager on the system bus; it is loaded once
    // per process and stays.
    if (!QNetworkInformation::instance() && !QNetworkInformation::loadBackendByName(u"networkmanager"))
        co_return Verdict::go;
    QNetworkInformation *network = QNetworkInformation::instance();
    const auto offline = [network] {
        return network->reachability() == QNetworkInformation::Reachability::Disconnected;
    };
    if (offline()) {
        if (options.say)
            options.say(QStringLiteral("Waiting for the network…"));
        const QDeadlineTimer deadline(std::chrono::seconds(std::max(0, options.waitSeconds)));
        while (offline() && !deadline.hasExpired())
            co_await QCoro::sleepFor(std::chrono::milliseconds(250));
    }
    if (options.skipMetered && network->supports(QNetworkInformation::Feature::Metered) && network->isMetered())
        co_return Verdict::skipMetered;
    co_return Verdict::go;
}

} // namespace NetworkGate
