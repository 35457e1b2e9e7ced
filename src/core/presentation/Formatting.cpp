// SPDX-License-Identifier: GPL-3.0-or-later
// Relative and short date texts in the user's locale.
#include "core/presentation/Formatting.h"

#include "core/model/ReferenceDate.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace Formatting {

QString relativeTime(const QDateTime &when, const QDateTime &now)
{
    const qint64 seconds = when.secsTo(now);
    const qint64 magnitude = std::llabs(seconds);
    // Whole sentences per unit and direction: languages order and inflect
    // "in 3 days" and "3 days ago" differently.
    struct Unit
    {
        qint64 seconds;
        const char *past;
        const char *future;
    };
    static const Unit units[] = {
        {365 * 86400, QT_TRANSLATE_N_NOOP("Formatting", "%n year(s) ago"),
         QT_TRANSLATE_N_NOOP("Formatting", "in %n year(s)")},
        {30 * 86400, QT_TRANSLATE_N_NOOP("Formatting", "%n month(s) ago"),
         QT_TRANSLATE_N_NOOP("Formatting", "in %n month(s)")},
        {7 * 86400, QT_TRANSLATE_N_NOOP("Formatting", "%n week(s) ago"),
         QT_TRANSLATE_N_NOOP("Formatting", "in %n week(s)")},
        {86400, QT_TRANSLATE_N_NOOP("Formatting", "%n day(s) ago"), QT_TRANSLATE_N_NOOP("Formatting", "in %n day(s)")},
        {3600, QT_TRANSLATE_N_NOOP("Formatting", "%n hour(s) ago"), QT_TRANSLATE_N_NOOP("Formatting", "in %n hour(s)")},
        {60, QT_TRANSLATE_N_NOOP("Formatting", "%n minute(s) ago"),
         QT_TRANSLATE_N_NOOP("Formatting", "in %n minute(s)")},
        {1, QT_TRANSLATE_N_NOOP("Formatting", "%n second(s) ago"),
         QT_TRANSLATE_N_NOOP("Formatting", "in %n second(s)")},
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
    return QCoreApplication::translate("Formatting", seconds < 0 ? unit->future : unit->past, nullptr, int(count));
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
