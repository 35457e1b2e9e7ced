// SPDX-License-Identifier: GPL-3.0-or-later
// Running rsync (and ssh) children into a published live log.
#pragma once

#include "core/engine/RunnerState.h"
#include "core/model/Error.h"
#include "core/model/ExitCode.h"

#include <QPointer>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <tl/expected.hpp>

#include <functional>
#include <optional>

class ProcessStream;

// What a backup and a restore share: children started in their own process
// group and reachable by cancel(), their output streamed into the live log
// (RunnerState), and transfers given up when nothing moves.
class TransferRunner : public RunnerState
{
    Q_OBJECT

public:
    // Output is read at most this often; see PipeReader.
    static constexpr int readPauseMs = 20;
    // See ExitCode.
    static constexpr int cancelledExitCode = ExitCode::cancelled;
    static constexpr int stalledExitCode = ExitCode::stalled;
    static constexpr int alreadyRunningExitCode = ExitCode::alreadyRunning;

    // Why a run or restore of the server does not start when its run lock
    // cannot be taken for a reason other than another holder.
    static QString lockFailure(const Server &server, const QString &error);

    explicit TransferRunner(QObject *parent = nullptr);
    ~TransferRunner() override;

    // The running child is asked to terminate (and its process group killed
    // after 10 s); the run ends as cancelled.
    virtual void cancel();
    // Starts the program, streams its output into the log and returns its
    // exit status, or -1 when it could not be started.
    QCoro::Task<int> runProcess(QString executable, QStringList args);

protected:
    using OutputSink = std::function<void(const QByteArray &data, bool fromStandardError)>;
    // A child in its own process group, reachable by cancel(): its exit
    // status, or why it could not be started. `stallSeconds` > 0: the child
    // is ended like a cancel when nothing moves for that long (see
    // StallWatch), and m_stalled says so. An rsync child writes numbers as
    // the C locale does (Subprocess::numbersInC), which its statistics need.
    QCoro::Task<tl::expected<int, Error>> runChild(QString executable, QStringList args, OutputSink sink,
                                                   int stallSeconds, bool rsyncChild);
    struct ChildOptions
    {
        int stallSeconds = 0;
        bool rsyncChild = false;
        // The child's environment; unset: this process's.
        std::optional<QProcessEnvironment> environment;
        // > 0: the child is ended like a cancel after this long, and
        // m_timedOut says so.
        int timeLimitSeconds = 0;
        // Started after a cancel all the same (what must undo a preparation);
        // a cancel while it runs still ends it.
        bool evenWhenCancelled = false;
    };
    QCoro::Task<tl::expected<int, Error>> runChildWith(QString executable, QStringList args, OutputSink sink,
                                                       ChildOptions options);
    // runChild() for rsync: its output into the log, "Failed to start rsync: "
    // when it cannot start (-1), stalledExitCode when it was given up.
    QCoro::Task<int> runTransfer(QString executable, QStringList args, int stallSeconds);

    bool m_stalled = false;
    bool m_timedOut = false;
    // Sees each line of a transfer's output as it goes into the log.
    std::function<void(const QStringList &lines, bool fromStandardError)> m_outputWatch;

private:
    QPointer<ProcessStream> m_currentProcess;
};
