// SPDX-License-Identifier: GPL-3.0-or-later
// Converting configuration dates (seconds since 2001) to and from QDateTime.
#include "core/model/ReferenceDate.h"

#include <cmath>

namespace ReferenceDate {

double fromDateTime(const QDateTime &dateTime)
{
    return dateTime.toMSecsSinceEpoch() / 1000.0 - unixOffsetSeconds;
}

QDateTime toDateTime(double seconds)
{
    return QDateTime::fromMSecsSinceEpoch(std::llround((seconds + unixOffsetSeconds) * 1000.0));
}

double now()
{
    return fromDateTime(QDateTime::currentDateTimeUtc());
}

} // namespace ReferenceDate
