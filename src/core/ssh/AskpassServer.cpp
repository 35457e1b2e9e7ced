// SPDX-License-Identifier: GPL-3.0-or-later
// The askpass socket and its helper.
#include "core/ssh/AskpassServer.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QString runtimeFolder()
{
    // The session's private runtime folder where there is one.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return (runtime.isEmpty() ? QDir::tempPath() : runtime) + QStringLiteral("/tidewell-askpass-XXXXXX");
}

// The peer is a process of this user (the helper that ssh started).
bool peerIsThisUser(qintptr descriptor)
{
#ifdef SO_PEERCRED
    struct ucred credentials
    { };
    socklen_t size = sizeof credentials;
    if (getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return false;
    return credentials.uid == getuid();
#else
    Q_UNUSED(descriptor);
    return true; // the socket's folder is the user's alone (0700)
#endif
}

} // namespace

AskpassServer::AskpassServer(const QString &password, int maxAnswers, QObject *parent)
    : QObject(parent)
    , m_password(password)
    , m_maxAnswers(maxAnswers)
    , m_folder(runtimeFolder())
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &AskpassServer::serve);
}

AskpassServer::~AskpassServer()
{
    m_server->close();
    m_password.fill(u'\0');
}

bool AskpassServer::listen()
{
    if (!m_folder.isValid()) {
        m_error = m_folder.errorString();
        return false;
    }
    if (!m_server->listen(socketPath())) {
        m_error = m_server->errorString();
        return false;
    }
    return true;
}

QString AskpassServer::socketPath() const
{
    return m_folder.path() + QStringLiteral("/socket");
}

void AskpassServer::serve()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!peerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            if (!socket->canReadLine())
                return;
            const QString prompt = QString::fromUtf8(socket->readLine()).trimmed();
            // A passphrase for a key, a host key question: not ours to answer.
            const bool wanted = prompt.contains(QLatin1String("password"), Qt::CaseInsensitive);
            if (wanted && m_answers < m_maxAnswers) {
                ++m_answers;
                QByteArray answer = m_password.toUtf8();
                socket->write(answer);
                answer.fill('\0');
            }
            socket->disconnectFromServer();
        });
    }
}

int AskpassServer::answerPrompt(const char *socketPath, const char *prompt)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 1;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t length = std::strlen(socketPath);
    if (length >= sizeof address.sun_path) {
        close(fd);
        return 1;
    }
    std::memcpy(address.sun_path, socketPath, length + 1);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        close(fd);
        return 1;
    }
    // The prompt on one line (a line break in it would end it early).
    std::string line(prompt);
    for (char &c : line) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    line += '\n';
    if (write(fd, line.data(), line.size()) != ssize_t(line.size())) {
        close(fd);
        return 1;
    }
    std::string answer;
    char buffer[512];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        answer.append(buffer, size_t(got));
    }
    close(fd);
    if (answer.empty())
        return 1;
    answer += '\n';
    const bool written = std::fwrite(answer.data(), 1, answer.size(), stdout) == answer.size();
    std::fill(answer.begin(), answer.end(), '\0');
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}
