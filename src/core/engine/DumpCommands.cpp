// SPDX-License-Identifier: GPL-3.0-or-later
// pg_dump, mysqldump and sqlite3's VACUUM INTO as commands for the server's shell.
#include "core/engine/DumpCommands.h"

#include "core/model/DatabaseDump.h"
#include "core/ssh/Shell.h"

namespace DumpCommands {

namespace {

const QString partialSuffix = QStringLiteral(".tidewell-partial");

QString folderOf(const BackupPath &path)
{
    QString folder = path.remotePath;
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

// A path as the server's shell reads it from Shell::quotePath(): "~/…"
// relative to the home, where ssh commands start.
QString plainPath(const QString &path)
{
    if (path == u'~' || path == QStringLiteral("~/"))
        return QStringLiteral(".");
    if (path.startsWith(QStringLiteral("~/")))
        return path.mid(2);
    return path;
}

QString program(const BackupPath &path, DatabaseDump::Kind kind, const QString &partial)
{
    const QString account = path.dumpAccount.trimmed();
    switch (kind) {
    case DatabaseDump::Kind::postgresql:
        return QStringLiteral("pg_dump --format=custom")
               + (account.isEmpty() ? QString() : QStringLiteral(" --username=") + Shell::quote(account))
               + QStringLiteral(" --file ") + Shell::quotePath(partial) + u' ' + Shell::quote(path.dumpDatabase);
    case DatabaseDump::Kind::mysql:
        return QStringLiteral("mysqldump --single-transaction --routines --events")
               + (account.isEmpty() ? QString() : QStringLiteral(" --user=") + Shell::quote(account))
               + QStringLiteral(" --result-file ") + Shell::quotePath(partial) + u' ' + Shell::quote(path.dumpDatabase);
    case DatabaseDump::Kind::sqlite:
        break;
    }
    // Read-only: a database that is not there is an error, never a new empty
    // one. A writer holding its lock is waited for (up to a minute), not failed.
    // VACUUM INTO copies in one read transaction, a consistent database even
    // while others write; .backup starts over after every write of another
    // process, and never ends while a writer keeps writing.
    // (Folders with a quote are refused before; a quote would be doubled.)
    QString literal = plainPath(partial);
    literal.replace(u'\'', QStringLiteral("''"));
    return QStringLiteral("sqlite3 -readonly -bail -cmd '.timeout 60000' ") + Shell::quotePath(path.dumpDatabase) + u' '
           + Shell::quote(QStringLiteral("VACUUM INTO '") + literal + u'\'');
}

} // namespace

QString target(const BackupPath &path)
{
    return folderOf(path) + u'/' + DatabaseDump::fileName(path);
}

QString dump(const BackupPath &path)
{
    const std::optional<DatabaseDump::Kind> kind = DatabaseDump::kindOf(path);
    if (!kind || !DatabaseDump::problem(path).isEmpty())
        return {};
    const QString file = target(path);
    const QString partial = file + partialSuffix;
    return QStringLiteral("umask 077 && mkdir -p ") + Shell::quotePath(folderOf(path)) + QStringLiteral(" && rm -f ")
           + Shell::quotePath(partial) + QStringLiteral(" && ") + program(path, *kind, partial)
           + QStringLiteral(" && mv -f ") + Shell::quotePath(partial) + u' ' + Shell::quotePath(file);
}

QString removal(const BackupPath &path)
{
    if (!DatabaseDump::kindOf(path))
        return {};
    const QString file = target(path);
    return QStringLiteral("rm -f ") + Shell::quotePath(file) + u' ' + Shell::quotePath(file + partialSuffix);
}

} // namespace DumpCommands
