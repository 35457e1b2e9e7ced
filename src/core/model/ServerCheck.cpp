// SPDX-License-Identifier: GPL-3.0-or-later
// The checks that stop a run before any child starts, shared with the editor.
#include "core/model/ServerCheck.h"

#include <QRegularExpression>

#include "core/model/SafePathComponent.h"

namespace ServerCheck {

namespace {

bool isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}

bool hasControlCharacter(const QString &text)
{
    // A tab is escaped for the remote shell like a space; nothing else is.
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control && c != u'\t')
            return true;
    }
    return false;
}

bool sameFolder(const QString &a, const QString &b)
{
    return folderKey(a) == folderKey(b);
}

QString quoted(const QString &text)
{
    return QStringLiteral("“") + text + QStringLiteral("”");
}

} // namespace

QString folderKey(const QString &name)
{
    return safePathComponent(name).toCaseFolded();
}

QString pathLabel(const BackupPath &path)
{
    return path.name.isEmpty() ? QStringLiteral("(untitled)") : path.name;
}

namespace {

QString nameProblem(const QString &value, const QString &what, const QString &refused)
{
    const QString quoted = QStringLiteral("Refusing ") + what + QStringLiteral(" “") + value + QStringLiteral("”: ");
    if (value.startsWith(u'-'))
        return quoted + QStringLiteral("it begins with “-” and would be read as an ssh option.");
    for (const QChar c : value) {
        if (c.isSpace() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return quoted + QStringLiteral("it contains white space or control characters.");
    }
    for (const QChar c : value) {
        if (refused.contains(c))
            return quoted + QStringLiteral("no ") + what + QStringLiteral(" holds “") + c + QStringLiteral("”.");
    }
    return {};
}

} // namespace

QString hostProblem(const QString &host)
{
    // Everything but letters, digits and what addresses use: "/" would make
    // rsync take "user@host:path" for a local path, "@" another user.
    static const QString refused = [] {
        QString punctuation;
        for (char16_t c = 0x21; c < 0x7f; ++c) {
            if (!QChar(c).isLetterOrNumber() && !QStringLiteral(".-_:[]%").contains(QChar(c)))
                punctuation += QChar(c);
        }
        return punctuation;
    }();
    return nameProblem(host, QStringLiteral("host name"), refused);
}

QString userProblem(const QString &username)
{
    return nameProblem(username, QStringLiteral("user name"), QStringLiteral("/:\\,"));
}

QList<Problem> problems(const Server &server, const QList<Server> &allServers)
{
    QList<Problem> found;
    for (const Server &other : allServers) {
        if (other.id != server.id && sameFolder(other.name, server.name)) {
            found.append({Problem::Field::name,
                          {},
                          QStringLiteral("Servers ") + quoted(server.name) + QStringLiteral(" and ")
                              + quoted(other.name) + QStringLiteral(" would share the backup folder ")
                              + quoted(safePathComponent(server.name))
                              + QStringLiteral(" — give them different names.")});
            break;
        }
    }
    if (isBlank(server.host))
        found.append(
            {Problem::Field::host, {}, QStringLiteral("This server has no host — set it in this server's settings.")});
    else if (const QString problem = hostProblem(server.host); !problem.isEmpty())
        found.append({Problem::Field::host, {}, problem});
    if (isBlank(server.username))
        found.append({Problem::Field::username,
                      {},
                      QStringLiteral("This server has no user name — set it in this server's settings.")});
    else if (const QString problem = userProblem(server.username); !problem.isEmpty())
        found.append({Problem::Field::username, {}, problem});
    static const QRegularExpression cipherList(QStringLiteral("^[A-Za-z0-9@.,+-]*$"));
    if (!cipherList.match(server.sshCiphers.trimmed()).hasMatch())
        found.append({Problem::Field::ciphers,
                      {},
                      QStringLiteral("The ssh cipher list “") + server.sshCiphers
                          + QStringLiteral("” may hold only cipher names and commas.")});
    // The server's shell reads it: a path, nothing a shell would act on.
    static const QRegularExpression programPath(QStringLiteral("^[A-Za-z0-9/._+-]*$"));
    if (!programPath.match(server.remoteRsyncPath.trimmed()).hasMatch() || server.remoteRsyncPath.startsWith(u'-'))
        found.append({Problem::Field::remoteRsync,
                      {},
                      QStringLiteral("The server's rsync “") + server.remoteRsyncPath
                          + QStringLiteral("” must be a plain path such as /usr/bin/rsync.")});

    QList<const BackupPath *> earlier;
    for (const BackupPath &path : server.paths) {
        if (!path.enabled)
            continue;
        const QString label = quoted(pathLabel(path));
        if (isBlank(path.remotePath)) {
            found.append(
                {Problem::Field::path, path.id,
                 QStringLiteral("Path ") + label
                     + QStringLiteral(" has no remote path — set it in this server's settings or turn the path off.")});
        } else if (hasControlCharacter(path.remotePath)) {
            found.append({Problem::Field::path, path.id,
                          QStringLiteral("Path ") + label
                              + QStringLiteral(" has a line break or another control character in its remote path — "
                                               "remove it in this server's settings.")});
        }
        for (const BackupPath *before : std::as_const(earlier)) {
            if (sameFolder(before->name, path.name)) {
                found.append({Problem::Field::path, path.id,
                              QStringLiteral("Paths ") + quoted(pathLabel(*before)) + QStringLiteral(" and ") + label
                                  + QStringLiteral(" would both be copied into the folder ")
                                  + quoted(safePathComponent(path.name))
                                  + QStringLiteral(" — give them different names.")});
                break;
            }
        }
        earlier.append(&path);
    }
    return found;
}

} // namespace ServerCheck
