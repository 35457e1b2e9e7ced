// SPDX-License-Identifier: GPL-3.0-or-later
// Turns the end of a run into a desktop notification.
#include "core/report/RunNotifier.h"

#include "core/engine/RsyncRunner.h"
#include "core/system/NotificationService.h"

#include <QDBusConnection>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

RunNotifier::RunNotifier(RsyncRunner *runner, Actions actions, QObject *parent)
    : QObject(parent)
    , m_runner(runner)
    , m_actions(actions)
{
    connect(runner, &RsyncRunner::runFinished, this, &RunNotifier::runFinished);
    if (m_actions == Actions::offered) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.connect(service, path, service, QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString)));
        bus.connect(service, path, service, QStringLiteral("NotificationClosed"), this,
                    SLOT(notificationClosed(uint, uint)));
    }
}

void RunNotifier::runFinished(const QUuid &serverID, std::optional<int> exitCode)
{
    // A pause is the user's own doing, and no result.
    if (!m_runner->runSettings().notificationsEnabled || m_runner->wasPaused())
        return;
    // The server as the run started with it: it may be gone from the settings by now.
    NotificationService::Content content =
        NotificationService::contentFor(NotificationService::forNotice(m_runner->runServer()),
                                        exitCode ? std::optional<qint64>(*exitCode) : std::nullopt,
                                        m_runner->wasCancelled(), m_runner->warning(), m_runner->failure());
    // A key ssh recorded by itself is news: the user may want to compare it.
    if (!m_runner->hostKeyAdded().isEmpty())
        content.body +=
            u'\n'
            + tr("Host key of %1 added on first use: %2").arg(m_runner->runServer().host, m_runner->hostKeyAdded());
    if (m_actions == Actions::none) {
        m_lastPost = NotificationService::post(content);
        return;
    }
    content.actions = {QStringLiteral("default"), tr("Show"), viewLogAction, tr("View log")};
    QCoro::connect(NotificationService::postForId(content), this, [this, serverID](std::optional<uint> id) {
        if (id)
            m_posted.insert(*id, serverID);
    });
}

void RunNotifier::actionInvoked(uint id, const QString &action)
{
    const auto found = m_posted.constFind(id);
    if (found == m_posted.cend())
        return; // another program's notification
    if (action == viewLogAction)
        Q_EMIT logRequested(*found);
    else if (action == QStringLiteral("default"))
        Q_EMIT serverRequested(*found);
}

void RunNotifier::notificationClosed(uint id, uint)
{
    m_posted.remove(id);
}
