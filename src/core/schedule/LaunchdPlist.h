// SPDX-License-Identifier: GPL-3.0-or-later
// The property list of one server's LaunchAgent (macOS builds).
#pragma once

#include <QString>

#include <optional>

// The property list of one server's LaunchAgent.
namespace LaunchdPlist {

QString xmlEscaped(const QString &text);
QString text(const QString &label, const QString &executable, const QString &serverID, int hour, int minute,
             const QString &stdoutLog, const QString &stderrLog);
// The program a property list starts: the first of its ProgramArguments.
std::optional<QString> executable(const QString &plistText);

} // namespace LaunchdPlist
