// SPDX-License-Identifier: GPL-3.0-or-later
// Dates as the windows show them.
#pragma once

#include <QDateTime>
#include <QString>

// Dates as the windows show them, in the user's locale.
namespace Formatting {

// "2 hours ago", "in 5 minutes": the largest whole unit, wide names.
QString relativeTime(const QDateTime &when, const QDateTime &now = QDateTime::currentDateTime());
// Abbreviated date and short time, e.g. "5 Mar 2025, 14:02".
QString shortDateTime(const QDateTime &when);
// Same, for a configuration date (seconds since 2001).
QString shortDateTime(double referenceSeconds);

} // namespace Formatting
