// SPDX-License-Identifier: GPL-3.0-or-later
// Second copies after a good backup, headless or in the window.
#include "core/report/CopyAfterRun.h"

#include "core/engine/CopyRunner.h"
#include "core/engine/RsyncRunner.h"
#include "core/report/RunReporter.h"
#include "core/storage/ConfigStore.h"
#include "core/storage/LogStore.h"
#include "core/system/NotificationService.h"

#include <QCoreApplication>
#include <QPointer>

namespace CopyAfterRun {

namespace {

NotificationService::Content failedContent(const Server &server, const CopyTarget &target, const QString &reason)
{
    NotificationService::Content content;
    content.body = QStringLiteral("✗ ")
                   + QCoreApplication::translate("CopyCommand", "The copy of %1 to %2 failed: %3")
                         .arg(NotificationService::shortName(server.shownName()),
                              NotificationService::shortName(target.shownName()), reason);
    content.hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2)));
    return content;
}

QString resultText(CopyRunner::Result result)
{
    switch (result) {
    case CopyRunner::Result::upToDate:
        return QStringLiteral("upToDate");
    case CopyRunner::Result::copied:
        return QStringLiteral("copied");
    case CopyRunner::Result::skipped:
        return QStringLiteral("skipped");
    case CopyRunner::Result::failed:
        return QStringLiteral("failed");
    case CopyRunner::Result::cancelled:
        break;
    }
    return QStringLiteral("cancelled");
}

} // namespace

QCoro::Task<std::optional<QDBusPendingCall>> copy(AppSettings settings, Server server, CopyRunner &runner,
                                                  RunReporter &reporter)
{
    QPointer<CopyRunner> self(&runner);
    std::optional<QDBusPendingCall> posted;
    QList<RunReporter::Copy> done;
    for (const CopyTarget &target : std::as_const(settings.copyTargets)) {
        if (!target.enabled || !target.takes(server.id))
            continue;
        const QDateTime now = QDateTime::currentDateTime();
        const CopyRunner::Outcome outcome = co_await runner.copy(target, server, settings, now);
        if (!self)
            co_return posted;
        LogStore::append(server.id, runner.logLines());
        done << RunReporter::Copy{target, resultText(outcome.result), outcome.days, outcome.reason};
        if (outcome.result == CopyRunner::Result::cancelled)
            break;
        if (outcome.result == CopyRunner::Result::failed && settings.notificationsEnabled)
            posted = NotificationService::post(failedContent(server, target, outcome.reason));
    }
    reporter.reportCopies(server, settings, done);
    co_return posted;
}

} // namespace CopyAfterRun

CopyFollower::CopyFollower(ConfigStore *store, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_copier(new CopyRunner(this))
    , m_reporter(new RunReporter(nullptr, this))
{ }

CopyFollower::~CopyFollower() = default;

void CopyFollower::follow(RsyncRunner *runner)
{
    connect(
        runner, &RsyncRunner::runFinished, this,
        [this, runner](const QUuid &serverID, std::optional<int> exitCode) { runEnded(runner, serverID, exitCode); });
}

void CopyFollower::cancel()
{
    m_waiting.clear();
    m_copier->cancel();
}

void CopyFollower::runEnded(const RsyncRunner *runner, const QUuid &serverID, std::optional<int> exitCode)
{
    if (exitCode != 0 || runner->wasCancelled() || m_store->settings().copyTargets.isEmpty())
        return;
    if (!m_waiting.contains(serverID))
        m_waiting << serverID;
    if (m_copying)
        return;
    m_copying = true;
    // The run still holds the server's lock and its slot when it says it
    // ended; they are let go before the event loop turns again.
    QMetaObject::invokeMethod(
        this, [this] { QCoro::connect(copyWaiting(), this, [] {}); }, Qt::QueuedConnection);
}

QCoro::Task<> CopyFollower::copyWaiting()
{
    QPointer<CopyFollower> self(this);
    while (!m_waiting.isEmpty()) {
        const QUuid id = m_waiting.takeFirst();
        const AppSettings settings = m_store->settings();
        const Server *server = settings.server(id);
        if (!server)
            continue;
        const Server copied = *server;
        (void)co_await CopyAfterRun::copy(settings, copied, *m_copier, *m_reporter);
        if (!self)
            co_return;
    }
    m_copying = false;
    Q_EMIT idle();
}
