// Adapter from the end of a run to a desktop notification.
#pragma once

#include <QObject>
#include <QUuid>

#include <optional>

class RsyncRunner;

// Posts a desktop notification when the runner reports the end of a run,
// if the run's settings ask for one.
class RunNotifier : public QObject
{
    Q_OBJECT

public:
    explicit RunNotifier(RsyncRunner *runner, QObject *parent = nullptr);

private:
    void runFinished(const QUuid &serverID, std::optional<int> exitCode);

    RsyncRunner *m_runner;
};
