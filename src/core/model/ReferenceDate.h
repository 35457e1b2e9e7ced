// SPDX-License-Identifier: GPL-3.0-or-later
// Dates as the configuration stores them: seconds since 2001-01-01 UTC.
#pragma once

#include <QDateTime>

// Dates in the configuration are seconds since 2001-01-01 00:00:00 UTC,
// with a fraction; these convert them to and from QDateTime.
namespace ReferenceDate {

constexpr qint64 unixOffsetSeconds = 978307200;

double fromDateTime(const QDateTime &dateTime);
QDateTime toDateTime(double seconds);
double now();

} // namespace ReferenceDate
