// SPDX-License-Identifier: GPL-3.0-or-later
// The connection test and remote commands over ssh.
#include "core/ssh/SSHTester.h"

#include "core/ssh/CipherPreference.h"
#include "core/ssh/HostKeyChecker.h"
#include "core/ssh/TargetCheck.h"
#include "core/system/AppPaths.h"
#include "core/system/Subprocess.h"

namespace SSHTester {

namespace {
HostKeyPolicy policy = HostKeyPolicy::acceptNew;
} // namespace

void setHostKeyPolicy(HostKeyPolicy newPolicy)
{
    policy = newPolicy;
}

HostKeyPolicy hostKeyPolicy()
{
    return policy;
}

QString hostKeyOption()
{
    return policy == HostKeyPolicy::strict ? QStringLiteral("StrictHostKeyChecking=yes")
                                           : QStringLiteral("StrictHostKeyChecking=accept-new");
}

QString hostKeyOption(const Server &server)
{
    return server.knownHostKeys.isEmpty() ? hostKeyOption() : QStringLiteral("StrictHostKeyChecking=yes");
}

QStringList baseArgs(const Server &server, int timeoutSeconds)
{
    QStringList args;
    if (!server.useSSHAgent) {
        args << QStringLiteral("-i") << AppPaths::expandTilde(server.privateKeyPath) << QStringLiteral("-o")
             << QStringLiteral("IdentitiesOnly=yes");
    }
    args << QStringLiteral("-p") << QString::number(server.port) << QStringLiteral("-o")
         << QStringLiteral("BatchMode=yes") << QStringLiteral("-o") << hostKeyOption(server) << QStringLiteral("-o")
         << QStringLiteral("ConnectTimeout=%1").arg(timeoutSeconds) << HostKeyChecker::knownHostsOptions(server);
    return args;
}

QString messageOf(const Report &report)
{
    return report ? *report : report.error().message;
}

Report separateReport(int status, const QString &out, const QString &err)
{
    if (status == 0)
        return out.trimmed();
    if (!err.isEmpty())
        return tl::unexpected(Failure{Error::Code::failed, err.trimmed()});
    return tl::unexpected(Failure{Error::Code::failed, QStringLiteral("ssh exited with code %1").arg(status)});
}

Report combinedReport(int status, const QString &out, const QString &err)
{
    QStringList parts;
    if (!out.isEmpty())
        parts << out;
    if (!err.isEmpty())
        parts << err;
    const QString joined = parts.join(u'\n').trimmed();
    const QString message = joined.isEmpty() ? QStringLiteral("exit %1").arg(status) : joined;
    if (status != 0)
        return tl::unexpected(Failure{Error::Code::failed, message});
    return message;
}

static QCoro::Task<Report> runSSH(QStringList args, bool combineStreams)
{
    const Subprocess::Result result = co_await Subprocess::run(executable, args);
    if (!result)
        co_return tl::unexpected(result.error());
    const QString out = Subprocess::strictUtf8(result->out);
    const QString err = Subprocess::strictUtf8(result->err);
    co_return combineStreams ? combinedReport(result->status, out, err) : separateReport(result->status, out, err);
}

QStringList runOptions()
{
    return {QStringLiteral("-o"), QStringLiteral("ConnectTimeout=30"),
            QStringLiteral("-o"), QStringLiteral("ServerAliveInterval=15"),
            QStringLiteral("-o"), QStringLiteral("ServerAliveCountMax=4")};
}

QStringList commandArgs(const Server &server, int timeoutSeconds, const QString &command)
{
    return baseArgs(server, timeoutSeconds) << QStringLiteral("--") << server.username + u'@' + server.host << command;
}

QStringList runArguments(const Server &server)
{
    // baseArgs already carries the connect time-out; the liveness check follows.
    QStringList args = baseArgs(server, 30);
    args << runOptions().mid(2) << QStringLiteral("-o")
         << QStringLiteral("Ciphers=") + CipherPreference::forServer(server) << QStringLiteral("--")
         << server.username + u'@' + server.host;
    return args;
}

QStringList runCommandArgs(const Server &server, const QString &command)
{
    return runArguments(server) << command;
}

QCoro::Task<Report> test(Server server, int timeoutSeconds)
{
    if (const auto safe = TargetCheck::target(server.host, server.username); !safe)
        co_return tl::unexpected(safe.error());
    co_return co_await runSSH(commandArgs(server, timeoutSeconds, testCommand), false);
}

QCoro::Task<Report> runRemoteCommand(Server server, QString command, int timeoutSeconds)
{
    if (const auto safe = TargetCheck::target(server.host, server.username); !safe)
        co_return tl::unexpected(safe.error());
    co_return co_await runSSH(commandArgs(server, timeoutSeconds, command), true);
}

HostKeyRefusal hostKeyRefusal(const QStringList &lines)
{
    bool failed = false;
    for (const QString &line : lines) {
        if (line.contains(QLatin1String("REMOTE HOST IDENTIFICATION HAS CHANGED")))
            return HostKeyRefusal::changed;
        failed = failed || line.contains(QLatin1String("Host key verification failed"));
    }
    return failed ? HostKeyRefusal::unknown : HostKeyRefusal::none;
}

} // namespace SSHTester
