// SPDX-License-Identifier: GPL-3.0-or-later
// The property list of one server's LaunchAgent (macOS builds).
#pragma once

#include <QList>
#include <QString>

#include <optional>

// The property list of one server's LaunchAgent.
namespace LaunchdPlist {

QString xmlEscaped(const QString &text);
// One StartCalendarInterval entry; launchd's Weekday is 1 (Monday) to 7 (Sunday).
struct Interval
{
    std::optional<int> weekday;
    int hour = 0;
    int minute = 0;
};
// A daily job has one interval and the plain form; more are written as an array.
QString text(const QString &label, const QString &executable, const QString &serverID, const QList<Interval> &when,
             const QString &stdoutLog, const QString &stderrLog);
// The program a property list starts: the first of its ProgramArguments.
std::optional<QString> executable(const QString &plistText);

} // namespace LaunchdPlist
