// SPDX-License-Identifier: GPL-3.0-or-later
// Escaping and quoting for remote shells and readable command lines.
#include "core/ssh/Shell.h"

#include <QTextBoundaryFinder>

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
    // A character followed by combining marks is one unit and is left alone.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, path);
    qsizetype start = 0;
    while (start < path.size()) {
        qsizetype end = finder.toNextBoundary();
        if (end < 0)
            end = path.size();
        const QStringView unit = QStringView(path).mid(start, end - start);
        if (unit.size() == 1 && needsEscape(unit.front()))
            escaped += u'\\';
        escaped += unit;
        start = end;
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
