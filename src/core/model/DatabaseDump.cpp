// SPDX-License-Identifier: GPL-3.0-or-later
// Which dumps there are, the dump's file name, and what makes one unsafe to run.
#include "core/model/DatabaseDump.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace DatabaseDump {

std::optional<Kind> kindOf(const BackupPath &path)
{
    for (const Kind kind : {Kind::postgresql, Kind::mysql, Kind::sqlite}) {
        if (path.dumpKind == kindName(kind))
            return kind;
    }
    return std::nullopt;
}

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::postgresql:
        return QStringLiteral("postgresql");
    case Kind::mysql:
        return QStringLiteral("mysql");
    case Kind::sqlite:
        break;
    }
    return QStringLiteral("sqlite");
}

QString fileName(const BackupPath &path)
{
    const std::optional<Kind> kind = kindOf(path);
    QString base = kind == Kind::sqlite ? QFileInfo(path.dumpDatabase).completeBaseName() : path.dumpDatabase;
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
    base.replace(unsafe, QStringLiteral("_"));
    if (base.isEmpty() || base.startsWith(u'.') || base.startsWith(u'-'))
        base.prepend(QStringLiteral("db"));
    switch (kind.value_or(Kind::sqlite)) {
    case Kind::postgresql:
        return base + QStringLiteral(".pgdump");
    case Kind::mysql:
        return base + QStringLiteral(".sql");
    case Kind::sqlite:
        break;
    }
    return base + QStringLiteral(".sqlite");
}

Phrase problem(const BackupPath &path)
{
    if (!path.isDump())
        return {};
    const QString label = path.logName();
    const std::optional<Kind> kind = kindOf(path);
    if (!kind)
        return Phrase::say("DatabaseDump", "Path “%1” is a database dump of a kind Tidewell does not know (“%2”); "
                                           "it can dump postgresql, mysql and sqlite.")
            .with({label, path.dumpKind});
    if (!path.isDirectory)
        return Phrase::say("DatabaseDump", "Path “%1” is a database dump: its remote path is the folder the dump is "
                                           "written to, not a file.")
            .with({label});
    if (path.dumpDatabase.trimmed().isEmpty())
        return Phrase::say("DatabaseDump", "Path “%1” names no database to dump.").with({label});
    if (path.dumpDatabase.startsWith(u'-') || path.dumpDatabase.contains(u'\n') || path.dumpDatabase.contains(u'\r'))
        return Phrase::say("DatabaseDump", "Path “%1”: the database “%2” cannot start with “-” or hold a line break.")
            .with({label, path.dumpDatabase});
    static const QRegularExpression account(QStringLiteral("^([A-Za-z0-9_@][A-Za-z0-9._@-]*)?$"));
    if (!account.match(path.dumpAccount).hasMatch())
        return Phrase::say("DatabaseDump", "Path “%1”: the database account “%2” may hold only letters, digits and "
                                           "“._@-”.")
            .with({label, path.dumpAccount});
    if (kind == Kind::sqlite && !path.dumpDatabase.startsWith(u'/') && !path.dumpDatabase.startsWith(u'~'))
        return Phrase::say("DatabaseDump", "Path “%1”: the SQLite database must be a path on the server such as "
                                           "/var/lib/app/app.db, not “%2”.")
            .with({label, path.dumpDatabase});
    // SQLite reads the name of the file it writes between single quotes.
    if (kind == Kind::sqlite && (path.remotePath.contains(u'\'') || path.remotePath.contains(u'\n')))
        return Phrase::say("DatabaseDump", "Path “%1”: SQLite cannot write its dump into a folder whose name holds a "
                                           "quote or a line break (“%2”).")
            .with({label, path.remotePath});
    return {};
}

} // namespace DatabaseDump
