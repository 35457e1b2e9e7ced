// SPDX-License-Identifier: GPL-3.0-or-later
// Checking, showing and reading back a program with its arguments.
#include "core/model/LocalCommand.h"

#include <QFileInfo>
#include <QProcess>

#include <algorithm>

namespace LocalCommand {

Phrase problem(const QStringList &command, When when)
{
    if (command.isEmpty())
        return {};
    const QString &program = command.constFirst();
    const bool absolute = QFileInfo(program).isAbsolute() && !program.contains(u'\n');
    const QFileInfo file(program);
    if (absolute && file.isFile() && file.isExecutable())
        return {};
    switch (when) {
    case When::beforeRun:
        return (absolute ? Phrase::say("LocalCommand", "The command before the run names “%1”, which is not an "
                                                       "executable file.")
                         : Phrase::say("LocalCommand", "The command before the run must start with the program's "
                                                       "absolute path, not “%1”."))
            .with({program});
    case When::afterSuccess:
        return (absolute ? Phrase::say("LocalCommand", "The command after a successful run names “%1”, which is not "
                                                       "an executable file.")
                         : Phrase::say("LocalCommand", "The command after a successful run must start with the "
                                                       "program's absolute path, not “%1”."))
            .with({program});
    case When::afterFailure:
        break;
    }
    return (absolute ? Phrase::say("LocalCommand", "The command after a failed run names “%1”, which is not an "
                                                   "executable file.")
                     : Phrase::say("LocalCommand", "The command after a failed run must start with the program's "
                                                   "absolute path, not “%1”."))
        .with({program});
}

QString shown(const QStringList &command)
{
    QStringList words;
    for (const QString &word : command) {
        const bool plain = !word.isEmpty() && std::none_of(word.begin(), word.end(), [](QChar c) {
            return c.isSpace() || c == u'"' || c == u'\'' || c == u'\\';
        });
        if (plain) {
            words << word;
            continue;
        }
        // QProcess::splitCommand reads "" inside quotes as one quote.
        QString quoted = word;
        quoted.replace(u'"', QStringLiteral("\"\"\""));
        words << u'"' + quoted + u'"';
    }
    return words.join(u' ');
}

QStringList parsed(const QString &line)
{
    return QProcess::splitCommand(line);
}

} // namespace LocalCommand
