// One backup without a window, as a daily schedule starts it.
#include "core/HeadlessRunner.h"

#include "core/engine/RsyncRunner.h"
#include "core/model/ServerId.h"
#include "core/RunNotifier.h"
#include "core/storage/ConfigStore.h"
#include "core/system/DiagnosticLog.h"

#include <QCoreApplication>
#include <QTimer>

#include <qcoro/qcorotimer.h>

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
