// SPDX-License-Identifier: GPL-3.0-or-later
// Commands around a run: the path's after-backup command on the server, and
// the server's commands on this computer before and after the run.
#include "core/engine/OutputDecoder.h"
#include "core/engine/RsyncRunner.h"
#include "core/model/LocalCommand.h"
#include "core/model/ServerId.h"
#include "core/ssh/SSHTester.h"
#include "core/system/Subprocess.h"

#include <QPointer>

namespace {

// What a command wrote, kept up to a bound: one that floods its output
// must not take the memory.
class BoundedOutput
{
public:
    static constexpr qsizetype most = 256 * 1024;

    void add(const QByteArray &data)
    {
        const qsizetype room = std::max<qsizetype>(0, most - m_bytes.size());
        m_cut = m_cut || data.size() > room;
        m_bytes.append(data.left(room));
    }
    // The output as log lines, indented under the command's own.
    QStringList lines() const
    {
        QStringList shown;
        for (const QString &line : OutputDecoder::logLines(QString::fromUtf8(Subprocess::utf8Prefix(m_bytes))))
            shown << QStringLiteral("  ") + line;
        if (m_cut)
            shown << QStringLiteral("  … (output cut at ") + QString::number(most / 1024) + QStringLiteral(" KiB)");
        return shown;
    }

private:
    QByteArray m_bytes;
    bool m_cut = false;
};

QProcessEnvironment hookEnvironment(const Server &server, const QString &snapshot, std::optional<int> exitCode)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TIDEWELL_SERVER_ID"), ServerId::text(server.id));
    environment.insert(QStringLiteral("TIDEWELL_SERVER_NAME"), server.name);
    environment.insert(QStringLiteral("TIDEWELL_SNAPSHOT"), snapshot);
    if (exitCode)
        environment.insert(QStringLiteral("TIDEWELL_EXIT_CODE"), QString::number(*exitCode));
    else
        environment.remove(QStringLiteral("TIDEWELL_EXIT_CODE"));
    return environment;
}

} // namespace

QCoro::Task<> RsyncRunner::runPostBackupCommand(QStringList sshArguments, QString command, int status)
{
    command = command.trimmed();
    if (command.isEmpty())
        co_return;
    QPointer<RsyncRunner> self(this);
    append(QStringLiteral("↳ post-backup: ") + command);
    BoundedOutput output;
    const OutputSink collect = [&output](const QByteArray &data, bool) { output.add(data); };
    // The status is a number: nothing of it can be read as more by the
    // server's shell. The command itself is the user's, as the pre-backup one.
    const QStringList arguments = sshArguments << QStringLiteral("export TIDEWELL_STATUS=") + QString::number(status)
                                                      + QStringLiteral("; ") + command;
    ChildOptions options;
    options.evenWhenCancelled = true;
    const auto ended = co_await runChildWith(SSHTester::executable, arguments, collect, options);
    if (!self)
        co_return;
    for (const QString &line : output.lines())
        append(line);
    if (!ended)
        append(QStringLiteral("!! post-backup command could not start: ") + ended.error().message);
    else if (*ended != 0)
        append(QStringLiteral("!! post-backup command failed (exit ") + QString::number(*ended) + u')');
}

QCoro::Task<std::optional<int>> RsyncRunner::runLocalCommand(QStringList command, QProcessEnvironment environment,
                                                             qint64 timeLimitSeconds)
{
    QPointer<RsyncRunner> self(this);
    append(QStringLiteral("↳ local: ") + LocalCommand::shown(command));
    BoundedOutput output;
    const OutputSink collect = [&output](const QByteArray &data, bool) { output.add(data); };
    ChildOptions options;
    options.environment = environment;
    options.timeLimitSeconds = int(std::clamp<qint64>(timeLimitSeconds, 1, 86400));
    options.evenWhenCancelled = true;
    const QString program = command.takeFirst();
    const auto ended = co_await runChildWith(program, command, collect, options);
    if (!self)
        co_return std::nullopt;
    for (const QString &line : output.lines())
        append(line);
    if (!ended) {
        append(QStringLiteral("!! local command could not start: ") + ended.error().message);
        co_return std::nullopt;
    }
    if (m_timedOut) {
        append(QStringLiteral("!! local command stopped after ") + QString::number(options.timeLimitSeconds)
               + QStringLiteral(" s (its time limit)"));
        co_return std::nullopt;
    }
    if (*ended != 0)
        append(QStringLiteral("!! local command failed (exit ") + QString::number(*ended) + u')');
    co_return *ended;
}

QCoro::Task<bool> RsyncRunner::runLocalBeforeCommand(Server server, QString snapshot)
{
    if (server.localBeforeCommand.isEmpty())
        co_return true;
    QPointer<RsyncRunner> self(this);
    // Checked again here: the file may have gone since the server was saved.
    if (const Phrase problem = LocalCommand::problem(server.localBeforeCommand, LocalCommand::When::beforeRun);
        !problem.isEmpty()) {
        endWith({QStringLiteral("!! ") + problem.english, QStringLiteral("   Nothing was copied.")}, ExitCode::refused);
        co_return false;
    }
    const QProcessEnvironment environment = hookEnvironment(server, snapshot, std::nullopt);
    const std::optional<int> status =
        co_await runLocalCommand(server.localBeforeCommand, environment, server.hookTimeoutSeconds);
    if (!self)
        co_return false;
    if (m_wasCancelled) {
        abortRun(cancelledExitCode);
        co_return false;
    }
    if (status == 0)
        co_return true;
    // Its own exit code is the run's, so a script can tell why it stopped.
    const int code = status && *status > 0 && *status < 256 ? *status : ExitCode::refused;
    endWith({QStringLiteral("!! The command before the run failed: nothing was copied.")}, code);
    co_return false;
}

QCoro::Task<> RsyncRunner::runLocalAfterCommand(Server server)
{
    const bool succeeded = exitCode() == ExitCode::success && !m_wasCancelled;
    const QStringList &command = succeeded ? server.localAfterSuccessCommand : server.localAfterFailureCommand;
    if (command.isEmpty())
        co_return;
    const LocalCommand::When when = succeeded ? LocalCommand::When::afterSuccess : LocalCommand::When::afterFailure;
    if (const Phrase problem = LocalCommand::problem(command, when); !problem.isEmpty()) {
        append(QStringLiteral("!! ") + problem.english);
        co_return;
    }
    const int code = m_wasCancelled ? cancelledExitCode : exitCode().value_or(ExitCode::unknown);
    const QProcessEnvironment environment = hookEnvironment(server, lastDestination().value_or(QString()), code);
    const QStringList program = command;
    [[maybe_unused]] const std::optional<int> status =
        co_await runLocalCommand(program, environment, server.hookTimeoutSeconds);
}
