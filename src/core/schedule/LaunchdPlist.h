// The property list of one server's LaunchAgent (macOS builds).
#pragma once

#include <QString>

// The property list of one server's LaunchAgent.
namespace LaunchdPlist {

QString xmlEscaped(const QString &text);
QString text(const QString &label, const QString &executable, const QString &serverID, int hour, int minute,
             const QString &stdoutLog, const QString &stderrLog);

} // namespace LaunchdPlist
