// SPDX-License-Identifier: GPL-3.0-or-later
// Children of a transfer: started, streamed into the log, watched, cancelled.
#include "core/engine/TransferRunner.h"

#include "core/engine/OutputDecoder.h"
#include "core/engine/ProcessStream.h"
#include "core/engine/StallWatch.h"
#include "core/system/AppPaths.h"
#include "core/system/Subprocess.h"

#include <QTimer>

#include <chrono>

QString TransferRunner::lockFailure(const Server &server, const QString &error)
{
    return QStringLiteral("Could not take the run lock ") + AppPaths::runLockFile(server.id) + QStringLiteral(": ")
           + error + QStringLiteral("; nothing was copied.");
}

TransferRunner::TransferRunner(QObject *parent)
    : RunnerState(parent)
{ }

TransferRunner::~TransferRunner()
{
    // A run suspended in rsync must not outlive its runner unseen.
    if (m_currentProcess)
        m_currentProcess->terminate();
}

void TransferRunner::cancel()
{
    m_wasCancelled = true;
    if (m_currentProcess)
        m_currentProcess->terminate();
}

QCoro::Task<tl::expected<int, Error>> TransferRunner::runChild(QString executable, QStringList args, OutputSink sink,
                                                               int stallSeconds, bool rsyncChild)
{
    ChildOptions options;
    options.stallSeconds = stallSeconds;
    options.rsyncChild = rsyncChild;
    co_return co_await runChildWith(executable, args, sink, options);
}

QCoro::Task<tl::expected<int, Error>> TransferRunner::runChildWith(QString executable, QStringList args,
                                                                   OutputSink sink, ChildOptions options)
{
    // A cancel that came before the child would start: it never starts.
    if (m_wasCancelled && !options.evenWhenCancelled)
        co_return cancelledExitCode;
    // Our own pipes, read in batches: rsync writes each progress update on
    // its own, and reading them one by one costs more than the copy.
    auto stream = std::make_unique<ProcessStream>(readPauseMs);
    if (options.environment)
        stream->setEnvironment(*options.environment);
    else if (options.rsyncChild)
        stream->setEnvironment(Subprocess::numbersInC());
    connect(stream.get(), &ProcessStream::outputRead, this, sink);
    m_currentProcess = stream.get();
    m_stalled = false;
    m_timedOut = false;
    QTimer limit;
    if (options.timeLimitSeconds > 0) {
        ProcessStream *limited = stream.get();
        limit.setSingleShot(true);
        connect(&limit, &QTimer::timeout, this, [this, limited] {
            m_timedOut = true;
            limited->terminate();
        });
        limit.start(std::chrono::seconds(options.timeLimitSeconds));
    }
    std::unique_ptr<StallWatch> watch;
    if (options.stallSeconds > 0) {
        // rsync's own --timeout does not end every stall (a frozen server
        // rsync behind a live ssh): this one does.
        watch = std::make_unique<StallWatch>(stream.get(), options.stallSeconds);
        ProcessStream *watched = stream.get();
        connect(watch.get(), &StallWatch::stalled, this, [this, watched](int seconds) {
            m_stalled = true;
            append(QStringLiteral("No data from the server for ") + QString::number(seconds)
                   + QStringLiteral(" s: giving up."));
            watched->terminate();
        });
    }
    const int status = co_await stream->run(executable, args);
    if (!stream->started())
        co_return tl::unexpected(Error{Error::Code::notStarted, stream->startError()});
    co_return status;
}

QCoro::Task<int> TransferRunner::runProcess(QString executable, QStringList args)
{
    co_return co_await runTransfer(executable, args, 0);
}

QCoro::Task<int> TransferRunner::runTransfer(QString executable, QStringList args, int stallSeconds)
{
    QPointer<TransferRunner> self(this);
    OutputDecoder out;
    OutputDecoder err;
    const OutputSink sink = [this, &out, &err](const QByteArray &data, bool fromStandardError) {
        const QStringList lines = (fromStandardError ? err : out).feed(data);
        if (m_outputWatch)
            m_outputWatch(lines, fromStandardError);
        appendOutput(lines, fromStandardError);
    };
    const auto status = co_await runChild(executable, args, sink, stallSeconds, true);
    if (!self)
        co_return status.value_or(-1);
    if (!status) {
        append(QStringLiteral("Failed to start rsync: ") + status.error().message);
        co_return -1;
    }
    for (const bool fromStandardError : {false, true}) {
        const QStringList lines = (fromStandardError ? err : out).finish();
        if (m_outputWatch)
            m_outputWatch(lines, fromStandardError);
        appendOutput(lines, fromStandardError);
    }
    co_return m_stalled ? stalledExitCode : *status;
}
