// SPDX-License-Identifier: GPL-3.0-or-later
// Adapter from the end of a run to a desktop notification.
#pragma once

#include <QDBusPendingCall>
#include <QHash>
#include <QObject>
#include <QUuid>

#include <optional>

class RsyncRunner;

// Posts a desktop notification when the runner reports the end of a run,
// if the run's settings ask for one. With actions offered (the window's
// runs), a click on the notification asks for the server, and its
// "View log" action for the server's log.
class RunNotifier : public QObject
{
    Q_OBJECT

public:
    enum class Actions { none, offered };

    explicit RunNotifier(RsyncRunner *runner, Actions actions = Actions::none, QObject *parent = nullptr);

    static inline const QString viewLogAction = QStringLiteral("view-log");

    // The last notification's call to the desktop, while it may still be on
    // its way (without actions only); a process about to end waits for it.
    const std::optional<QDBusPendingCall> &lastPost() const { return m_lastPost; }

Q_SIGNALS:
    void serverRequested(const QUuid &serverID);
    void logRequested(const QUuid &serverID);

private Q_SLOTS:
    void actionInvoked(uint id, const QString &action);
    void notificationClosed(uint id, uint reason);

private:
    void runFinished(const QUuid &serverID, std::optional<int> exitCode);

    RsyncRunner *m_runner;
    Actions m_actions;
    QHash<uint, QUuid> m_posted; // notifications still shown, and their server
    std::optional<QDBusPendingCall> m_lastPost;
};
