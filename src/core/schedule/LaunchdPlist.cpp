// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the property list of a LaunchAgent.
#include "core/schedule/LaunchdPlist.h"

#include <QStringList>
#include <QXmlStreamReader>

namespace LaunchdPlist {

QString xmlEscaped(const QString &text)
{
    QString escaped = text;
    escaped.replace(u'&', QStringLiteral("&amp;"));
    escaped.replace(u'<', QStringLiteral("&lt;"));
    escaped.replace(u'>', QStringLiteral("&gt;"));
    return escaped;
}

namespace {

QStringList intervalLines(const QList<Interval> &when)
{
    const bool one = when.size() == 1 && !when.first().weekday;
    const QString indent = one ? QStringLiteral("    ") : QStringLiteral("        ");
    QStringList lines;
    if (!one)
        lines << QStringLiteral("    <array>");
    for (const Interval &interval : when) {
        lines << indent + QStringLiteral("<dict>");
        if (interval.weekday)
            lines << indent + QStringLiteral("    <key>Weekday</key><integer>%1</integer>").arg(*interval.weekday);
        lines << indent + QStringLiteral("    <key>Hour</key><integer>%1</integer>").arg(interval.hour)
              << indent + QStringLiteral("    <key>Minute</key><integer>%1</integer>").arg(interval.minute)
              << indent + QStringLiteral("</dict>");
    }
    if (!one)
        lines << QStringLiteral("    </array>");
    return lines;
}

} // namespace

QString text(const QString &label, const QString &executable, const QString &serverID, const QList<Interval> &when,
             const QString &stdoutLog, const QString &stderrLog)
{
    QStringList lines{
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
        QStringLiteral("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                       "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"),
        QStringLiteral("<plist version=\"1.0\">"),
        QStringLiteral("<dict>"),
        QStringLiteral("    <key>Label</key><string>%1</string>").arg(xmlEscaped(label)),
        QStringLiteral("    <key>ProgramArguments</key>"),
        QStringLiteral("    <array>"),
        QStringLiteral("        <string>%1</string>").arg(xmlEscaped(executable)),
        QStringLiteral("        <string>--run-backup</string>"),
        QStringLiteral("        <string>%1</string>").arg(xmlEscaped(serverID)),
        QStringLiteral("    </array>"),
        QStringLiteral("    <key>StartCalendarInterval</key>"),
    };
    lines << intervalLines(when);
    lines << QStringList{
        QStringLiteral("    <key>RunAtLoad</key><false/>"),
        QStringLiteral("    <key>StandardOutPath</key><string>%1</string>").arg(xmlEscaped(stdoutLog)),
        QStringLiteral("    <key>StandardErrorPath</key><string>%1</string>").arg(xmlEscaped(stderrLog)),
        QStringLiteral("</dict>"),
        QStringLiteral("</plist>"),
    };
    return lines.join(u'\n');
}

std::optional<QString> executable(const QString &plistText)
{
    QXmlStreamReader xml(plistText);
    bool arguments = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("key")) {
            arguments = xml.readElementText() == QLatin1String("ProgramArguments");
        } else if (arguments && xml.name() == QLatin1String("string")) {
            return xml.readElementText();
        }
    }
    return std::nullopt;
}

} // namespace LaunchdPlist
