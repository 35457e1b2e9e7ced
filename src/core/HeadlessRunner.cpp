// SPDX-License-Identifier: GPL-3.0-or-later
// One backup without a window, as a daily schedule starts it.
#include "core/HeadlessRunner.h"

#include "core/engine/RsyncRunner.h"
#include "core/model/ServerId.h"
#include "core/RunNotifier.h"
#include "core/storage/ConfigStore.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/SignalWatcher.h"

#include <QCoreApplication>
#include <QTimer>

#include <qcoro/qcorotimer.h>

#include <csignal>

namespace HeadlessRunner {

QCoro::Task<int> run(QUuid serverID)
{
    ConfigStore store;
    const Server *server = store.settings().server(serverID);
    if (!server) {
        DiagnosticLog::write(QStringLiteral("Server ") + ServerId::text(serverID) + QStringLiteral(" not found in config."));
        co_return 2;
    }
    RsyncRunner runner;
    RunNotifier notifier(&runner);
    QObject::connect(&runner, &RsyncRunner::runRefused, &runner, [](const QUuid &, const QString &message) { DiagnosticLog::write(message); });
    // What systemctl stop, a shutdown or Ctrl+C send ends the run like its
    // Cancel button: children stopped, log written, result recorded.
    SignalWatcher signalWatcher({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&signalWatcher, &SignalWatcher::received, &runner, [&runner](int number) {
        if (!runner.isRunning())
            return;
        runner.append(QStringLiteral("Received ") + SignalWatcher::name(number) + QStringLiteral(": cancelling the backup."));
        runner.cancel();
    });
    co_await runner.run(*server, &store);
    co_return runner.exitCode().value_or(0);
}

int exec(const QUuid &serverID)
{
    QCoro::connect(run(serverID), QCoreApplication::instance(), [](int status) {
        QTimer::singleShot(300, QCoreApplication::instance(), [status] { QCoreApplication::exit(status); });
    });
    return QCoreApplication::exec();
}

} // namespace HeadlessRunner
