// Turns the end of a run into a desktop notification.
#include "core/RunNotifier.h"

#include "core/engine/RsyncRunner.h"
#include "core/system/NotificationService.h"

RunNotifier::RunNotifier(RsyncRunner *runner, QObject *parent)
    : QObject(parent)
    , m_runner(runner)
{
    connect(runner, &RsyncRunner::runFinished, this, &RunNotifier::runFinished);
}

void RunNotifier::runFinished(const QUuid &, std::optional<int> exitCode)
{
    if (!m_runner->runSettings().notificationsEnabled)
        return;
    // The server as the run started with it: it may be gone from the settings by now.
    NotificationService::postBackupResult(m_runner->runServer(), exitCode ? std::optional<qint64>(*exitCode) : std::nullopt,
                                          m_runner->wasCancelled());
}
