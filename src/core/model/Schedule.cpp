// SPDX-License-Identifier: GPL-3.0-or-later
// The kinds of schedule and the calendars they give.
#include "core/model/Schedule.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace Schedule {

namespace {

struct Named
{
    Kind kind;
    const char *name;
};

constexpr Named names[] = {{Kind::daily, "daily"},
                           {Kind::hours, "hours"},
                           {Kind::weekdays, "weekdays"},
                           {Kind::weekly, "weekly"},
                           {Kind::custom, "custom"}};

// systemd's and this file's weekday names, Monday first.
constexpr const char *weekdayNames[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

QString tr(const char *text)
{
    return QCoreApplication::translate("Schedule", text);
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

tl::expected<Time, Error> timeOf(const Server &server)
{
    const auto time = parseTime(server.scheduleTime);
    if (!time)
        return tl::unexpected(
            Error{Error::Code::invalid,
                  QCoreApplication::translate("SchedulerError", "Invalid schedule time '%1'. Use HH:mm (24h).")
                      .arg(server.scheduleTime)});
    return *time;
}

} // namespace

QString kindName(Kind kind)
{
    for (const Named &named : names) {
        if (named.kind == kind)
            return QLatin1String(named.name);
    }
    return QStringLiteral("daily");
}

std::optional<Kind> kindFromName(const QString &name)
{
    for (const Named &named : names) {
        if (name == QLatin1String(named.name))
            return named.kind;
    }
    return std::nullopt;
}

Kind kind(const Server &server)
{
    return kindFromName(server.scheduleKind).value_or(Kind::daily);
}

bool isEveryHoursChoice(qint64 hours)
{
    return std::find(everyHoursChoices.begin(), everyHoursChoices.end(), hours) != everyHoursChoices.end();
}

std::optional<Time> parseTime(const QString &text)
{
    const QStringList pieces = text.split(u':', Qt::SkipEmptyParts);
    if (pieces.size() != 2)
        return std::nullopt;
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    int values[2];
    for (int i = 0; i < 2; ++i) {
        if (!integer.match(pieces.at(i)).hasMatch())
            return std::nullopt;
        bool ok = false;
        values[i] = pieces.at(i).toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (values[0] < 0 || values[0] > 23 || values[1] < 0 || values[1] > 59)
        return std::nullopt;
    return Time{values[0], values[1]};
}

bool isCalendarText(const QString &expression)
{
    static const QRegularExpression allowed(QStringLiteral("^[A-Za-z0-9 *,.:/~+_-]{1,200}$"));
    return !expression.trimmed().isEmpty() && allowed.match(expression).hasMatch();
}

tl::expected<QString, Error> onCalendar(const Server &server)
{
    const Kind k = kind(server);
    if (k == Kind::custom) {
        if (!isCalendarText(server.scheduleCalendar))
            return tl::unexpected(
                Error{Error::Code::invalid,
                      tr("Invalid calendar '%1': use a systemd calendar expression such as “Sat *-*-* 04:00”.")
                          .arg(server.scheduleCalendar)});
        return server.scheduleCalendar.simplified();
    }
    const auto time = timeOf(server);
    if (!time)
        return tl::unexpected(time.error());
    const QString clock = twoDigits(time->minute) + QStringLiteral(":00");
    switch (k) {
    case Kind::hours: {
        if (!isEveryHoursChoice(server.scheduleEveryHours))
            return tl::unexpected(Error{
                Error::Code::invalid,
                tr("Invalid schedule: every %1 hours; use 1, 2, 3, 4, 6, 8 or 12.").arg(server.scheduleEveryHours)});
        // From the first such hour of the day, so every day has the same hours.
        const int first = int(time->hour % server.scheduleEveryHours);
        return QStringLiteral("*-*-* %1/%2:").arg(twoDigits(first)).arg(server.scheduleEveryHours) + clock;
    }
    case Kind::weekdays:
        return QStringLiteral("Mon..Fri *-*-* ") + twoDigits(time->hour) + u':' + clock;
    case Kind::weekly:
        if (server.scheduleWeekday < 1 || server.scheduleWeekday > 7)
            return tl::unexpected(
                Error{Error::Code::invalid,
                      tr("Invalid schedule: weekday %1; use 1 (Monday) to 7 (Sunday).").arg(server.scheduleWeekday)});
        return QLatin1String(weekdayNames[server.scheduleWeekday - 1]) + QStringLiteral(" *-*-* ")
               + twoDigits(time->hour) + u':' + clock;
    case Kind::daily:
    case Kind::custom:
        break;
    }
    return QStringLiteral("*-*-* ") + twoDigits(time->hour) + u':' + clock;
}

std::optional<qint64> overdueAfterSeconds(const Server &server)
{
    constexpr qint64 hour = 3600;
    switch (kind(server)) {
    case Kind::daily:
        return 26 * hour;
    case Kind::hours:
        return (2 * std::clamp<qint64>(server.scheduleEveryHours, 1, 24) + 1) * hour;
    case Kind::weekdays:
        return 74 * hour;
    case Kind::weekly:
        return 170 * hour;
    case Kind::custom:
        break;
    }
    return std::nullopt;
}

bool severalADay(const Server &server)
{
    switch (kind(server)) {
    case Kind::hours:
        return server.scheduleEveryHours < 24;
    case Kind::custom:
        break;
    case Kind::daily:
    case Kind::weekdays:
    case Kind::weekly:
        return false;
    }
    const QString expression = server.scheduleCalendar.trimmed().toLower();
    if (expression == u"hourly" || expression == u"minutely")
        return true;
    // The time is the last blank-separated field with a colon: hour[:minute[:second]].
    QString time;
    for (const QString &field : expression.split(u' ', Qt::SkipEmptyParts)) {
        if (field.contains(u':'))
            time = field;
    }
    const QString hour = time.section(u':', 0, 0);
    return hour.contains(u'*') || hour.contains(u',') || hour.contains(u'/') || hour.contains(QStringLiteral(".."));
}

bool sameTimes(const Server &a, const Server &b)
{
    if (a.scheduleEnabled != b.scheduleEnabled || kind(a) != kind(b))
        return false;
    switch (kind(a)) {
    case Kind::custom:
        return a.scheduleCalendar == b.scheduleCalendar;
    case Kind::hours:
        return a.scheduleTime == b.scheduleTime && a.scheduleEveryHours == b.scheduleEveryHours;
    case Kind::weekly:
        return a.scheduleTime == b.scheduleTime && a.scheduleWeekday == b.scheduleWeekday;
    case Kind::daily:
    case Kind::weekdays:
        break;
    }
    return a.scheduleTime == b.scheduleTime;
}

QString described(const Server &server)
{
    switch (kind(server)) {
    case Kind::hours:
        return QStringLiteral("every %1 hours from %2").arg(server.scheduleEveryHours).arg(server.scheduleTime);
    case Kind::weekdays:
        return QStringLiteral("weekdays ") + server.scheduleTime;
    case Kind::weekly: {
        const qint64 day = std::clamp<qint64>(server.scheduleWeekday, 1, 7);
        return QStringLiteral("weekly ") + QLatin1String(weekdayNames[day - 1]) + u' ' + server.scheduleTime;
    }
    case Kind::custom:
        return QStringLiteral("custom ") + server.scheduleCalendar;
    case Kind::daily:
        break;
    }
    return QStringLiteral("daily ") + server.scheduleTime;
}

} // namespace Schedule
