// SPDX-License-Identifier: GPL-3.0-or-later
// Relative and short date texts in the user's locale.
#include "core/presentation/Formatting.h"

#include "core/model/ReferenceDate.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace Formatting {

QString relativeTime(const QDateTime &when, const QDateTime &now)
{
    const qint64 seconds = when.secsTo(now);
    const qint64 magnitude = std::llabs(seconds);
    struct Unit
    {
        qint64 seconds;
        const char *singular;
        const char *plural;
    };
    static const Unit units[] = {
        {365 * 86400, "year", "years"}, {30 * 86400, "month", "months"}, {7 * 86400, "week", "weeks"},
        {86400, "day", "days"},         {3600, "hour", "hours"},         {60, "minute", "minutes"},
        {1, "second", "seconds"},
    };
    qint64 count = 0;
    const Unit *unit = &units[std::size(units) - 1];
    for (const Unit &candidate : units) {
        if (magnitude >= candidate.seconds) {
            unit = &candidate;
            count = magnitude / candidate.seconds;
            break;
        }
    }
    const QString amount =
        QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? unit->singular : unit->plural));
    return seconds < 0 ? QStringLiteral("in ") + amount : amount + QStringLiteral(" ago");
}

QString shortDateTime(const QDateTime &when)
{
    const QLocale locale;
    const QDateTime local = when.toLocalTime();
    // Short time without seconds, whatever the locale's short form holds.
    QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("[:.]ss")));
    return locale.toString(local.date(), QLocale::ShortFormat) + QStringLiteral(", ")
           + locale.toString(local.time(), timeFormat);
}

QString shortDateTime(double referenceSeconds)
{
    return shortDateTime(ReferenceDate::toDateTime(referenceSeconds));
}

} // namespace Formatting
