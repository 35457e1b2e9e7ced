// SPDX-License-Identifier: GPL-3.0-or-later
// Escaping and quoting for remote shells and readable command lines.
#include "core/ssh/Shell.h"

namespace Shell {

static bool needsEscape(QChar c)
{
    static const QString special = QStringLiteral(" \t\"'\\$`()[]{}|&;<>*?#!~");
    return special.contains(c);
}

QString escapeRemotePath(const QString &path)
{
    QString escaped;
    escaped.reserve(path.size() + 8);
    // Per code unit: the remote shell reads bytes, so a metacharacter is one
    // whatever follows it (a combining mark, a zero-width joiner).
    // Metacharacters are ASCII, so surrogate halves never match.
    for (const QChar c : path) {
        if (needsEscape(c))
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

QString quoteForRsyncShell(const QString &argument)
{
    QString inner = argument;
    inner.replace(u'\'', QStringLiteral("''"));
    return u'\'' + inner + u'\'';
}

QString displayCommandLine(const QString &executable, const QStringList &arguments)
{
    QString line = executable;
    for (const QString &argument : arguments) {
        line += u' ';
        if (argument.contains(u' '))
            line += u'"' + argument + u'"';
        else
            line += argument;
    }
    return line;
}

} // namespace Shell
