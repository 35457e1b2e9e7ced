// SPDX-License-Identifier: GPL-3.0-or-later
// The second copies of a server's new day, after a good backup.
#pragma once

#include "core/model/AppSettings.h"

#include <QDBusPendingCall>
#include <QList>
#include <QObject>
#include <QUuid>

#include <qcoro/qcorotask.h>

#include <optional>

class ConfigStore;
class CopyRunner;
class RsyncRunner;
class RunReporter;

namespace CopyAfterRun {

// The server's new days go to every enabled target that takes it, one
// after another. Their lines go to the end of the server's run log; a copy
// that failed is notified (the notification is returned), one that found
// its target missing is not. What they did goes to `reporter` (see
// RunReporter::reportCopies()). The backup's own result is never changed by
// a copy.
QCoro::Task<std::optional<QDBusPendingCall>> copy(AppSettings settings, Server server, CopyRunner &runner,
                                                  RunReporter &reporter);

} // namespace CopyAfterRun

// For runs started in the window: after each good run of a followed runner
// (not cancelled, exit 0), the server's copies, one server at a time, with
// the settings as they are then.
class CopyFollower : public QObject
{
    Q_OBJECT

public:
    explicit CopyFollower(ConfigStore *store, QObject *parent = nullptr);
    ~CopyFollower() override;

    void follow(RsyncRunner *runner);

    bool isCopying() const { return m_copying; }
    // Stops the copy under way; the ones waiting are dropped.
    void cancel();

Q_SIGNALS:
    // The copies of every server waiting are done.
    void idle();

private:
    void runEnded(const RsyncRunner *runner, const QUuid &serverID, std::optional<int> exitCode);
    QCoro::Task<> copyWaiting();

    ConfigStore *m_store;
    CopyRunner *m_copier;
    RunReporter *m_reporter;
    QList<QUuid> m_waiting;
    bool m_copying = false;
};
