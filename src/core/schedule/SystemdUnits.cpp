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
                          // A run killed before it could report is reported for it.
                          "OnFailure=org.tidewell.report@%1.service\n"
                          "\n"
                          "[Service]\n"
                          "Type=oneshot\n"
                          "ExecStart=%2\n"
                          // Stopping the service signals Tidewell alone, which
                          // cancels the run and writes its record; whatever is
                          // left after the stop timeout is killed.
                          "KillMode=mixed\n"
                          // Its logs (and all it writes) are the user's alone.
                          "UMask=0077\n"
                          "StandardOutput=append:%3\n"
                          "StandardError=append:%4\n")
        .arg(serverID, execCommand(executable, {QStringLiteral("--run-backup"), serverID}), escapeSpecifiers(stdoutLog),
             escapeSpecifiers(stderrLog), escapeSpecifiers(executable));
}

QString reportTemplate(const QString &executable)
{
    // %i: the server's id, from the name the backup's OnFailure= gives.
    return QStringLiteral("[Unit]\n"
                          "Description=Tidewell report of a scheduled backup of server %i that could not report\n"
                          "ConditionFileIsExecutable=%2\n"
                          "\n"
                          "[Service]\n"
                          "Type=oneshot\n"
                          "ExecStart=%1 %i\n")
        .arg(execCommand(executable, {QStringLiteral("--report-failure")}), escapeSpecifiers(executable));
}

QString checkService(const QString &executable)
{
    return QStringLiteral("[Unit]\n"
                          "Description=Tidewell check for overdue backups\n"
                          "ConditionFileIsExecutable=%2\n"
                          "\n"
                          "[Service]\n"
                          "Type=oneshot\n"
                          "UMask=0077\n"
                          "ExecStart=%1\n")
        .arg(execCommand(executable, {QStringLiteral("--check")}), escapeSpecifiers(executable));
}

QString checkTimer()
{
    // Notices and reports go out once a day per server; the hour only
    // makes them timely.
    return QStringLiteral("[Unit]\n"
                          "Description=Hourly Tidewell check for overdue backups\n"
                          "\n"
                          "[Timer]\n"
                          "OnCalendar=hourly\n"
                          "RandomizedDelaySec=5min\n"
                          "Persistent=true\n"
                          "Unit=%1\n"
                          "\n"
                          "[Install]\n"
                          "WantedBy=timers.target\n")
        .arg(checkServiceName);
}

QString randomizedDelay(int spreadMinutes)
{
    return spreadMinutes > 0 ? QString::number(spreadMinutes) + QStringLiteral("min") : QStringLiteral("0");
}

QString timer(const QString &label, const QString &calendar, int spreadMinutes, bool daily)
{
    // Persistent: a run missed while the machine was off or asleep happens
    // at the next start. No OnActiveSec, so loading never starts a run.
    // RandomizedDelaySec spreads a fleet's runs (0: on time).
    return QStringLiteral("[Unit]\n"
                          "Description=%1 (%2)\n"
                          "\n"
                          "[Timer]\n"
                          "OnCalendar=%3\n"
                          "RandomizedDelaySec=%4\n"
                          "Persistent=true\n"
                          "Unit=%2.service\n"
                          "\n"
                          "[Install]\n"
                          "WantedBy=timers.target\n")
        .arg(daily ? QStringLiteral("Daily Tidewell backup") : QStringLiteral("Scheduled Tidewell backup"), label,
             escapeSpecifiers(calendar), randomizedDelay(spreadMinutes));
}

std::optional<QString> timerValue(const QString &timerText, const QString &key)
{
    const QString prefix = key + u'=';
    for (const QString &line : timerText.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(prefix))
            return trimmed.mid(prefix.size()).trimmed();
    }
    return std::nullopt;
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

namespace {

struct Section
{
    QString header; // "[Service]"; empty for lines before the first header
    QStringList lines;
};

QList<Section> sections(const QString &text)
{
    QList<Section> result{Section{}};
    for (const QString &line : text.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']'))
            result.append(Section{trimmed, {}});
        else
            result.last().lines << line;
    }
    return result;
}

// The key of a "Key=value" line; empty for comments, blanks and the rest.
QString keyOf(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u'#') || trimmed.startsWith(u';'))
        return {};
    const qsizetype equals = trimmed.indexOf(u'=');
    return equals > 0 ? trimmed.left(equals).trimmed() : QString();
}

} // namespace

QString merge(const QString &existing, const QString &generated)
{
    QList<Section> merged = sections(existing);
    for (const Section &ours : sections(generated)) {
        auto theirs = std::find_if(merged.begin(), merged.end(),
                                   [&](const Section &section) { return section.header == ours.header; });
        if (theirs == merged.end()) {
            merged.append(Section{ours.header, {}});
            theirs = merged.end() - 1;
        }
        for (const QString &line : ours.lines) {
            const QString key = keyOf(line);
            if (key.isEmpty())
                continue;
            const auto same = std::find_if(theirs->lines.begin(), theirs->lines.end(),
                                           [&](const QString &their) { return keyOf(their) == key; });
            if (same != theirs->lines.end()) {
                *same = line;
                continue;
            }
            // At the end of the section, before the blank lines that part it from the next.
            qsizetype at = theirs->lines.size();
            while (at > 0 && theirs->lines.at(at - 1).trimmed().isEmpty())
                --at;
            theirs->lines.insert(at, line);
        }
    }
    QStringList out;
    for (const Section &section : std::as_const(merged)) {
        if (!section.header.isEmpty())
            out << section.header;
        out << section.lines;
    }
    return out.join(u'\n');
}

} // namespace SystemdUnits
