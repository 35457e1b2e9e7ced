// SPDX-License-Identifier: GPL-3.0-or-later
// The checks that stop a run before any child starts, shared with the editor.
#include "core/model/ServerCheck.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include "core/model/DatabaseDump.h"
#include "core/model/LocalCommand.h"
#include "core/model/SafePathComponent.h"

namespace ServerCheck {

namespace {

bool isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}

bool sameFolder(const QString &a, const QString &b)
{
    return folderKey(a) == folderKey(b);
}

} // namespace

QString folderKey(const QString &name)
{
    return safePathComponent(name).toCaseFolded();
}

namespace {

Phrase nameProblem(const QString &value, bool host, const QString &refused)
{
    if (value.startsWith(u'-'))
        return host ? Phrase::say("ServerCheck",
                                  "Refusing host name “%1”: it begins with “-” and would be read as an ssh option.")
                          .with({value})
                    : Phrase::say("ServerCheck",
                                  "Refusing user name “%1”: it begins with “-” and would be read as an ssh option.")
                          .with({value});
    for (const QChar c : value) {
        if (c.isSpace() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return host ? Phrase::say("ServerCheck",
                                      "Refusing host name “%1”: it contains white space or control characters.")
                              .with({value})
                        : Phrase::say("ServerCheck",
                                      "Refusing user name “%1”: it contains white space or control characters.")
                              .with({value});
    }
    for (const QChar c : value) {
        if (refused.contains(c))
            return host ? Phrase::say("ServerCheck", "Refusing host name “%1”: no host name holds “%2”.")
                              .with({value, QString(c)})
                        : Phrase::say("ServerCheck", "Refusing user name “%1”: no user name holds “%2”.")
                              .with({value, QString(c)});
    }
    return {};
}

Problem problem(Problem::Field field, const QUuid &pathID, const Phrase &phrase)
{
    return {field, pathID, phrase.english, phrase.shown};
}

Phrase hostPhrase(const QString &host)
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
    return nameProblem(host, true, refused);
}

Phrase userPhrase(const QString &username)
{
    return nameProblem(username, false, QStringLiteral("/:\\,"));
}

tl::expected<void, Error> checked(const Phrase &problem)
{
    if (problem.isEmpty())
        return {};
    return tl::unexpected(Error{Error::Code::invalid, problem.english});
}

} // namespace

tl::expected<void, Error> checkHost(const QString &host)
{
    return checked(hostPhrase(host));
}

tl::expected<void, Error> checkUser(const QString &username)
{
    return checked(userPhrase(username));
}

namespace {

// The members that say where or as whom to connect, as the file got them wrong.
void addUnreadable(QList<Problem> &found, const Server &server)
{
    for (auto it = server.unreadable.begin(); it != server.unreadable.end(); ++it) {
        const QString key = it.key();
        const QString shown =
            QString::fromUtf8(QJsonDocument(QJsonArray{it.value()}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
        Problem::Field field = Problem::Field::key;
        Phrase said;
        if (key == QStringLiteral("port")) {
            field = Problem::Field::port;
            said = Phrase::say("ServerCheck", "The port in the configuration file is %1, not a whole number from 1 to "
                                              "65535: this server is not backed up until it is corrected.")
                       .with({shown});
        } else if (key == QStringLiteral("useSSHAgent")) {
            said = Phrase::say("ServerCheck", "“Use ssh-agent” in the configuration file is %1, not true or false: "
                                              "this server is not backed up until it is corrected.")
                       .with({shown});
        } else {
            field = key == QStringLiteral("host")       ? Problem::Field::host
                    : key == QStringLiteral("username") ? Problem::Field::username
                                                        : Problem::Field::key;
            said = Phrase::say("ServerCheck", "“%1” in the configuration file is %2, not a text: this server is not "
                                              "backed up until it is corrected.")
                       .with({key, shown});
        }
        Problem wrong = problem(field, {}, said);
        wrong.inFile = true;
        found.append(wrong);
    }
}

// A blank host or user name, or one ssh would misread.
void addNameProblems(QList<Problem> &found, Problem::Field field, const QString &value)
{
    const bool host = field == Problem::Field::host;
    if (isBlank(value))
        found.append(problem(
            field, {},
            host ? Phrase::say("ServerCheck", "This server has no host — set it in this server's settings.")
                 : Phrase::say("ServerCheck", "This server has no user name — set it in this server's settings.")));
    else if (const Phrase said = host ? hostPhrase(value) : userPhrase(value); !said.isEmpty())
        found.append(problem(field, {}, said));
}

// "host keytype key [comment]", or "@cert-authority|@revoked pattern keytype
// key [comment]": one line, nothing a file of lines could misread.
bool isKnownHostsLine(const QString &line)
{
    for (const QChar c : line) {
        if (c != u'\t' && (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format))
            return false;
    }
    static const QRegularExpression space(QStringLiteral("\\s+"));
    const QStringList fields = line.split(space, Qt::SkipEmptyParts);
    if (fields.isEmpty())
        return false;
    const bool marked = line.startsWith(u'@');
    if (marked && fields.constFirst() != QStringLiteral("@cert-authority")
        && fields.constFirst() != QStringLiteral("@revoked"))
        return false;
    static const QRegularExpression base64(QStringLiteral("^[A-Za-z0-9+/]+=*$"));
    const qsizetype keyField = marked ? 3 : 2;
    return fields.size() > keyField && !fields.at(keyField - 1).startsWith(u'#')
           && base64.match(fields.at(keyField)).hasMatch();
}

} // namespace

QList<Problem> problems(const Server &server, const QList<Server> &allServers)
{
    QList<Problem> found;
    addUnreadable(found, server);
    for (const Server &other : allServers) {
        if (other.id != server.id && sameFolder(other.name, server.name)) {
            found.append(problem(
                Problem::Field::name, {},
                Phrase::say("ServerCheck",
                            "Servers “%1” and “%2” would share the backup folder “%3” — give them different names.")
                    .with({server.name, other.name, safePathComponent(server.name)})));
            break;
        }
    }
    // A member the file got wrong is said once, above.
    if (!server.unreadable.contains(QStringLiteral("host")))
        addNameProblems(found, Problem::Field::host, server.host);
    if (!server.unreadable.contains(QStringLiteral("username")))
        addNameProblems(found, Problem::Field::username, server.username);
    static const QRegularExpression cipherList(QStringLiteral("^[A-Za-z0-9@.,+-]*$"));
    if (!cipherList.match(server.sshCiphers.trimmed()).hasMatch())
        found.append(
            problem(Problem::Field::ciphers, {},
                    Phrase::say("ServerCheck", "The ssh cipher list “%1” may hold only cipher names and commas.")
                        .with({server.sshCiphers})));
    // The server's shell reads it: a path, nothing a shell would act on.
    static const QRegularExpression programPath(QStringLiteral("^[A-Za-z0-9/._+-]*$"));
    if (!programPath.match(server.remoteRsyncPath).hasMatch() || server.remoteRsyncPath.startsWith(u'-'))
        found.append(
            problem(Problem::Field::remoteRsync, {},
                    Phrase::say("ServerCheck", "The server's rsync “%1” must be a plain path such as /usr/bin/rsync.")
                        .with({server.remoteRsyncPath})));

    for (const auto &[command, when] :
         {std::pair{&server.localBeforeCommand, LocalCommand::When::beforeRun},
          std::pair{&server.localAfterSuccessCommand, LocalCommand::When::afterSuccess},
          std::pair{&server.localAfterFailureCommand, LocalCommand::When::afterFailure}}) {
        if (const Phrase trouble = LocalCommand::problem(*command, when); !trouble.isEmpty())
            found.append(problem(Problem::Field::localCommand, {}, trouble));
    }

    for (const QString &line : server.knownHostKeys) {
        if (!isKnownHostsLine(line)) {
            found.append(problem(Problem::Field::host, {},
                                 Phrase::say("ServerCheck", "The known host key “%1” is not one line of known_hosts "
                                                            "(host, key type and key, as ssh-keyscan prints them).")
                                     .with({line})));
            break;
        }
    }
    QList<const BackupPath *> earlier;
    for (const BackupPath &path : server.paths) {
        if (!path.enabled)
            continue;
        const QString label = path.logName();
        if (isBlank(path.remotePath)) {
            found.append(problem(
                Problem::Field::path, path.id,
                Phrase::say("ServerCheck",
                            "Path “%1” has no remote path — set it in this server's settings or turn the path off.")
                    .with({label})));
        }
        if (const Phrase dump = DatabaseDump::problem(path); !dump.isEmpty())
            found.append(problem(Problem::Field::path, path.id, dump));
        for (const BackupPath *before : std::as_const(earlier)) {
            if (sameFolder(before->name, path.name)) {
                found.append(problem(
                    Problem::Field::path, path.id,
                    Phrase::say(
                        "ServerCheck",
                        "Paths “%1” and “%2” would both be copied into the folder “%3” — give them different names.")
                        .with({before->logName(), label, safePathComponent(path.name)})));
                break;
            }
        }
        earlier.append(&path);
    }
    return found;
}

QStringList introducedProblems(const Server *before, const QList<Server> &allBefore, const Server &after,
                               const QList<Server> &allAfter)
{
    QStringList had;
    if (before) {
        for (const Problem &problem : problems(*before, allBefore))
            had << problem.shown;
    }
    QStringList found;
    for (const Problem &problem : problems(after, allAfter)) {
        if (!had.contains(problem.shown))
            found << problem.shown;
    }
    return found;
}

} // namespace ServerCheck
