// SPDX-License-Identifier: GPL-3.0-or-later
// ssh-keygen, ssh-copy-id and ssh-add for the editor's key set-up.
#include "core/ssh/KeySetup.h"

#include "core/ssh/AskpassServer.h"
#include "core/ssh/HostKeyChecker.h"
#include "core/ssh/TargetCheck.h"
#include "core/system/AppPaths.h"
#include "core/system/Subprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QPointer>
#include <QProcess>
#include <QTimer>

#include <chrono>

namespace KeySetup {

namespace {

// The last few lines a tool wrote, for a message.
QString tail(const QByteArray &bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts);
    for (QString &line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    return lines.mid(std::max<qsizetype>(0, lines.size() - 3)).join(u'\n');
}

} // namespace

QCoro::Task<Inspection> inspect(QString keyPath)
{
    const QString path = AppPaths::expandTilde(keyPath);
    if (path.isEmpty() || !QFileInfo::exists(path))
        co_return Inspection{KeyState::missing, {}};
    // An empty passphrase opens a key that has none; any other fails.
    const QStringList arguments{QStringLiteral("-y"), QStringLiteral("-P"), QString(), QStringLiteral("-f"), path};
    const Subprocess::Result result = co_await Subprocess::run(keygenExecutable, arguments);
    if (!result)
        co_return Inspection{KeyState::unreadable, result.error().message};
    if (result->status == 0)
        co_return Inspection{KeyState::ready, {}};
    const QString said = tail(result->err);
    if (said.contains(QLatin1String("passphrase"), Qt::CaseInsensitive))
        co_return Inspection{KeyState::passphrase, said};
    co_return Inspection{KeyState::unreadable, said};
}

QCoro::Task<AgentState> agentState()
{
    const QStringList arguments{QStringLiteral("-l")};
    const Subprocess::Result result = co_await Subprocess::run(addExecutable, arguments);
    if (!result || result->status >= 2)
        co_return AgentState::absent;
    co_return result->status == 0 ? AgentState::hasKeys : AgentState::empty;
}

QString keyComment()
{
    const QString host = QHostInfo::localHostName();
    return QStringLiteral("tidewell@") + (host.isEmpty() ? QStringLiteral("localhost") : host);
}

QCoro::Task<tl::expected<void, Error>> createKey(QString keyPath)
{
    const QString path = AppPaths::expandTilde(keyPath);
    if (path.isEmpty())
        co_return tl::unexpected(
            Error{Error::Code::invalid, QCoreApplication::translate("KeySetup", "no path for the key")});
    const QStringList files{path, path + QStringLiteral(".pub")};
    for (const QString &file : files) {
        if (QFileInfo(file).exists() || QFileInfo(file).isSymLink())
            co_return tl::unexpected(Error{
                Error::Code::exists,
                QCoreApplication::translate("KeySetup", "a file is already at %1; nothing was changed").arg(file)});
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo::exists(folder)) {
        if (!QDir().mkpath(folder))
            co_return tl::unexpected(
                Error::failed(QCoreApplication::translate("KeySetup", "could not make the folder %1").arg(folder)));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QStringList arguments{QStringLiteral("-q"),
                                QStringLiteral("-t"),
                                QStringLiteral("ed25519"),
                                QStringLiteral("-N"),
                                QString(),
                                QStringLiteral("-C"),
                                keyComment(),
                                QStringLiteral("-f"),
                                path};
    const Subprocess::Result result = co_await Subprocess::run(keygenExecutable, arguments);
    if (!result)
        co_return tl::unexpected(result.error());
    if (result->status != 0 || !QFileInfo::exists(path)) {
        const QString said = tail(result->err + result->out);
        co_return tl::unexpected(
            Error{Error::Code::toolFailed,
                  said.isEmpty()
                      ? QCoreApplication::translate("KeySetup", "ssh-keygen ended with code %1").arg(result->status)
                      : said});
    }
    co_return {};
}

QStringList copyIdArguments(const Server &server, const QString &publicKey)
{
    QStringList arguments{QStringLiteral("-i"), publicKey,
                          QStringLiteral("-p"), QString::number(server.port),
                          QStringLiteral("-o"), QStringLiteral("StrictHostKeyChecking=yes"),
                          QStringLiteral("-o"), QStringLiteral("NumberOfPasswordPrompts=1"),
                          QStringLiteral("-o"), QStringLiteral("ConnectTimeout=10")};
    arguments << HostKeyChecker::knownHostsOptions() << QStringLiteral("--") << server.username + u'@' + server.host;
    return arguments;
}

QCoro::Task<tl::expected<void, Error>> installKey(Server server, QString password, QString askpassProgram)
{
    if (const auto safe = TargetCheck::target(server.host, server.username); !safe)
        co_return tl::unexpected(safe.error());
    const QString key = AppPaths::expandTilde(server.privateKeyPath);
    const QString publicKey = key + QStringLiteral(".pub");
    if (!QFileInfo::exists(publicKey)) {
        // ssh-copy-id sends the .pub: it is made from the private key.
        const QStringList derive{QStringLiteral("-y"), QStringLiteral("-P"), QString(), QStringLiteral("-f"), key};
        const Subprocess::Result made = co_await Subprocess::run(keygenExecutable, derive);
        if (!made || made->status != 0)
            co_return tl::unexpected(Error::failed(
                QCoreApplication::translate("KeySetup", "the public key could not be made from %1").arg(key)));
        QFile file(publicKey);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(made->out) != made->out.size())
            co_return tl::unexpected(Error::failed(
                QCoreApplication::translate("KeySetup", "could not write %1: %2").arg(publicKey, file.errorString())));
    }

    // One password prompt is asked for (NumberOfPasswordPrompts=1); a
    // second answer covers keyboard-interactive servers asking again.
    AskpassServer askpass(password, 2);
    password.fill(u'\0');
    if (!askpass.listen())
        co_return tl::unexpected(
            Error::failed(QCoreApplication::translate("KeySetup", "could not prepare the password hand-over: %1")
                              .arg(askpass.errorString())));
    QProcess process;
    process.setProgram(copyIdExecutable);
    process.setArguments(copyIdArguments(server, publicKey));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SSH_ASKPASS"), askpassProgram);
    environment.insert(QStringLiteral("SSH_ASKPASS_REQUIRE"), QStringLiteral("force"));
    environment.insert(QString::fromLatin1(AskpassServer::environmentName), askpass.socketPath());
    process.setProcessEnvironment(environment);
    if (!Subprocess::start(&process))
        co_return tl::unexpected(Error{Error::Code::notStarted,
                                       QCoreApplication::translate("KeySetup", "ssh-copy-id could not be started: %1")
                                           .arg(process.errorString())});
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &process, &QProcess::kill);
    limit.start(std::chrono::minutes(1));
    co_await Subprocess::waitForExit(&process);
    if (!limit.isActive())
        co_return tl::unexpected(
            Error{Error::Code::timedOut,
                  QCoreApplication::translate("KeySetup", "ssh-copy-id did not finish within a minute")});
    const int status = Subprocess::exitStatus(process);
    if (status == 0)
        co_return {};
    const QString said = tail(process.readAllStandardError() + process.readAllStandardOutput());
    if (said.contains(QLatin1String("Permission denied"))) {
        co_return tl::unexpected(
            Error{Error::Code::denied,
                  askpass.answersGiven() > 0
                      ? QCoreApplication::translate("KeySetup", "the server did not accept the password")
                      : QCoreApplication::translate(
                            "KeySetup", "the server asked for no password (it may allow key log-ins only): %1")
                            .arg(said)});
    }
    if (said.contains(QLatin1String("Host key verification failed")))
        co_return tl::unexpected(Error::failed(
            QCoreApplication::translate("KeySetup", "the server's host key is not trusted yet: check it first")));
    co_return tl::unexpected(Error{
        Error::Code::toolFailed,
        said.isEmpty() ? QCoreApplication::translate("KeySetup", "ssh-copy-id ended with code %1").arg(status) : said});
}

} // namespace KeySetup
