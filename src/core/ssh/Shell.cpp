// SPDX-License-Identifier: GPL-3.0-or-later
// Quoting for remote shells and readable command lines.
#include "core/ssh/Shell.h"

namespace Shell {

QString quote(const QString &text)
{
    // Inside single quotes a POSIX shell takes every character as it is, a
    // line feed included; only a quote ends them, so each one closes the
    // quotes, stands escaped on its own and opens them again.
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted += u'\'';
    for (const QChar c : text) {
        if (c == u'\'')
            quoted += QStringLiteral("'\\''");
        else
            quoted += c;
    }
    quoted += u'\'';
    return quoted;
}

QString quotePath(const QString &path)
{
    QString relative = path;
    if (relative == u'~' || relative == QStringLiteral("~/"))
        relative = QStringLiteral("./");
    else if (relative.startsWith(QStringLiteral("~/")))
        relative = relative.mid(2);
    if (relative.startsWith(u'-'))
        relative = QStringLiteral("./") + relative;
    return quote(relative);
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
