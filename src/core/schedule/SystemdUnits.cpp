// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the service and timer units of a daily backup.
#include "core/schedule/SystemdUnits.h"

#include <QStringList>

#include <algorithm>

namespace SystemdUnits {

QString escapeSpecifiers(const QString &text)
{
    return QString(text).replace(u'%', QStringLiteral("%%"));
}

QString quoteExecArgument(const QString &argument)
{
    QString escaped;
    for (const QChar c : argument) {
        if (c == u'\\' || c == u'"')
            escaped += u'\\';
        if (c == u'%' || c == u'$')
            escaped += c;
        escaped += c;
    }
    return u'"' + escaped + u'"';
}

QString execCommand(const QString &executable, const QStringList &arguments)
{
    QStringList words;
    // systemd refuses an executable whose name holds quotes or backslashes;
    // env starts it as an ordinary (escaped) argument instead.
    static const QString refused = QStringLiteral("\"'\\");
    const bool viaEnv = std::any_of(executable.begin(), executable.end(), [](QChar c) { return refused.contains(c); });
    if (viaEnv)
        words << QStringLiteral("/usr/bin/env") << quoteExecArgument(executable);
    else // the executable name itself is not subject to "$" expansion
        words << u'"' + escapeSpecifiers(executable) + u'"';
    for (const QString &argument : arguments)
        words << quoteExecArgument(argument);
    return words.join(u' ');
}

QString service(const QString &executable, const QString &serverID, const QString &stdoutLog, const QString &stderrLog)
{
    // A unit left behind by a copy of Tidewell that was removed does nothing
    // instead of failing every day.
    return QStringLiteral("[Unit]\n"
                          "Description=Tidewell daily backup of server %1\n"
                          "ConditionFileIsExecutable=%5\n"
                          "\n"
                          "[Service]\n"
                          "Type=oneshot\n"
                          "ExecStart=%2\n"
                          // Stopping the service signals Tidewell alone, which
                          // cancels the run and writes its record; whatever is
                          // left after the stop timeout is killed.
                          "KillMode=mixed\n"
                          "StandardOutput=append:%3\n"
                          "StandardError=append:%4\n")
        .arg(serverID, execCommand(executable, {QStringLiteral("--run-backup"), serverID}), escapeSpecifiers(stdoutLog),
             escapeSpecifiers(stderrLog), escapeSpecifiers(executable));
}

QString timer(const QString &label, int hour, int minute)
{
    // Persistent: a run missed while the machine was off or asleep happens
    // at the next start. No OnActiveSec, so loading never starts a run.
    return QStringLiteral("[Unit]\n"
                          "Description=Daily Tidewell backup (%1)\n"
                          "\n"
                          "[Timer]\n"
                          "OnCalendar=*-*-* %2:%3:00\n"
                          "Persistent=true\n"
                          "Unit=%1.service\n"
                          "\n"
                          "[Install]\n"
                          "WantedBy=timers.target\n")
        .arg(label)
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(minute, 2, 10, QLatin1Char('0'));
}

namespace {

// The words of an ExecStart= value as execCommand() writes them: each one in
// double quotes, with backslash escapes inside.
QStringList quotedWords(const QString &value)
{
    QStringList words;
    qsizetype i = 0;
    while (i < value.size()) {
        if (value.at(i) == u' ') {
            ++i;
            continue;
        }
        if (value.at(i) != u'"')
            return {};
        QString word;
        ++i;
        bool closed = false;
        while (i < value.size()) {
            const QChar c = value.at(i++);
            if (c == u'\\' && i < value.size()) {
                word += value.at(i++);
            } else if (c == u'"') {
                closed = true;
                break;
            } else {
                word += c;
            }
        }
        if (!closed)
            return {};
        words << word;
    }
    return words;
}

} // namespace

std::optional<QString> executable(const QString &serviceText)
{
    static const QString key = QStringLiteral("ExecStart=");
    static const QString env = QStringLiteral("/usr/bin/env ");
    for (const QString &line : serviceText.split(u'\n')) {
        if (!line.startsWith(key))
            continue;
        QString value = line.mid(key.size());
        // A name that systemd refuses is started through env as an argument,
        // with "$" escaped too.
        const bool viaEnv = value.startsWith(env);
        if (viaEnv)
            value = value.mid(env.size());
        const QStringList words = quotedWords(value);
        if (words.isEmpty())
            return std::nullopt;
        QString program = words.first();
        program.replace(QStringLiteral("%%"), QStringLiteral("%"));
        if (viaEnv)
            program.replace(QStringLiteral("$$"), QStringLiteral("$"));
        return program;
    }
    return std::nullopt;
}

} // namespace SystemdUnits
