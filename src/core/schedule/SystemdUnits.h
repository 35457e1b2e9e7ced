// SPDX-License-Identifier: GPL-3.0-or-later
// The text of the two systemd user units of one server's scheduled backup.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The text of the two user units that run one server's daily backup.
namespace SystemdUnits {

// An argument that systemd takes literally in ExecStart=: quoted, with its
// backslashes, quotes, "%" specifiers and "$" variables escaped.
QString quoteExecArgument(const QString &argument);
// The whole ExecStart= value.
QString execCommand(const QString &executable, const QStringList &arguments);
// A path for StandardOutput=append:… ("%" escaped).
QString escapeSpecifiers(const QString &text);

QString service(const QString &executable, const QString &serverID, const QString &stdoutLog, const QString &stderrLog);
// The timer's RandomizedDelaySec= value for runs spread over this many minutes.
QString randomizedDelay(int spreadMinutes);
// The timer of a backup at `calendar` (an OnCalendar= value, see
// Schedule::onCalendar); `daily` only names it so.
QString timer(const QString &label, const QString &calendar, int spreadMinutes = 0, bool daily = true);
// The value of the first `key=` line of a unit; none without one.
std::optional<QString> timerValue(const QString &timerText, const QString &key);
// org.tidewell.report@.service: `tidewell --report-failure <server id>`, started
// by a backup service that failed (see --report-failure).
inline const QString reportTemplateName = QStringLiteral("org.tidewell.report@.service");
QString reportTemplate(const QString &executable);
// org.tidewell.check.service and .timer: `tidewell --check` every hour,
// installed with the first schedule, so that an overdue backup is reported
// without the window.
inline const QString checkServiceName = QStringLiteral("org.tidewell.check.service");
inline const QString checkTimerName = QStringLiteral("org.tidewell.check.timer");
QString checkService(const QString &executable);
QString checkTimer();
// The program a service unit written by service() starts; none when the text
// has no ExecStart= of that form.
std::optional<QString> executable(const QString &serviceText);
// A unit file that exists (the user may have added lines to it, such as
// AccuracySec=) with the settings Tidewell writes put in: each key
// of `generated` replaces its first line in the same section, or is added
// at the end of that section; every other line stays as it was.
QString merge(const QString &existing, const QString &generated);

} // namespace SystemdUnits
