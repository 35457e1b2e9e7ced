// SPDX-License-Identifier: GPL-3.0-or-later
// When a scheduled server is backed up: the kinds of schedule and their calendars.
#pragma once

#include "core/model/Error.h"
#include "core/model/Server.h"

#include <QString>

#include <array>
#include <optional>

#include <tl/expected.hpp>

// A server's schedule: every day at scheduleTime (the kind a file without
// scheduleKind has), every scheduleEveryHours hours from scheduleTime, on
// weekdays or once a week on scheduleWeekday at scheduleTime, or a systemd
// calendar expression of the user's own (scheduleCalendar).
namespace Schedule {

enum class Kind { daily, hours, weekdays, weekly, custom };

// "daily", "hours", "weekdays", "weekly", "custom": the JSON names.
QString kindName(Kind kind);
std::optional<Kind> kindFromName(const QString &name);
// The server's kind; daily for a name this version does not know.
Kind kind(const Server &server);

// The choices of "every N hours": each divides a day.
inline constexpr std::array<qint64, 7> everyHoursChoices{1, 2, 3, 4, 6, 8, 12};
bool isEveryHoursChoice(qint64 hours);

struct Time
{
    int hour = 0;
    int minute = 0;
};
// "HH:mm" leniently: empty pieces between colons are dropped, each piece is
// a whole number (leading zeros and a sign allowed), hour 0–23, minute 0–59.
std::optional<Time> parseTime(const QString &text);

// A custom calendar may hold only what systemd's calendar expressions are
// made of (letters, digits, blanks and * , . : / ~ + - _), so that no line
// break or specifier can reach the unit file. Whether systemd understands
// it is for systemd to say.
bool isCalendarText(const QString &expression);

// The timer's OnCalendar= value: "*-*-* 03:00:00" every day,
// "*-*-* 02/6:30:00" every six hours from 14:30 (the same hours each day),
// "Mon..Fri *-*-* 03:00:00", "Mon *-*-* 03:00:00", or the custom expression.
// Fails with the reason when a field is out of its range.
tl::expected<QString, Error> onCalendar(const Server &server);

// How long a scheduled server may go without a good backup before it is
// overdue: 26 hours for a daily schedule, 2 × N + 1 hours every N hours,
// 74 hours on weekdays (Friday to Monday and two), 170 hours weekly. None
// for a custom calendar: its period is systemd's to work out.
std::optional<qint64> overdueAfterSeconds(const Server &server);

// Whether the schedule starts runs more than once a day, so that each run
// keeps a snapshot of its own: every N hours, or a custom calendar whose
// hours repeat ("hourly", "minutely", or an hour field with * , / or ..).
// A schedule that is off still counts: runs by hand follow the same form.
bool severalADay(const Server &server);

// Whether two forms of a server are scheduled alike (on, and the same times).
bool sameTimes(const Server &a, const Server &b);

// The schedule in English, as logs and scripts have it: "daily 03:00",
// "every 6 hours from 03:00", "weekdays 03:00", "weekly Mon 03:00",
// "custom Sat *-*-* 04:00".
QString described(const Server &server);

} // namespace Schedule
