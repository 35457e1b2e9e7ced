// SPDX-License-Identifier: GPL-3.0-or-later
// What systemd makes of a calendar expression: its normal form and next times.
#pragma once

#include "core/model/Error.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <qcoro/qcorotask.h>

#include <optional>

#include <tl/expected.hpp>

// A custom schedule's calendar as systemd reads it, asked of
// `systemd-analyze calendar`: the expression refused with systemd's reason,
// or its normal form and the next times it elapses.
class ScheduleCalendar
{
public:
    struct Reading
    {
        QString normalized;
        QList<QDateTime> next; // UTC, soonest first
    };

    // Test seam: the systemd-analyze to ask.
    explicit ScheduleCalendar(QString tool = QStringLiteral("/usr/bin/systemd-analyze"));

    QCoro::Task<tl::expected<Reading, Error>> read(QString expression, int times = 3) const;
    tl::expected<Reading, Error> readBlocking(const QString &expression, int times = 3) const;
    // The longest time between two of the next dozen elapses: a custom
    // schedule's period, for telling when its server is overdue. Asked once
    // per expression in a process; none when systemd cannot say.
    std::optional<qint64> longestGapSeconds(const QString &expression) const;

    // The reading of systemd-analyze's output (for the tests).
    static Reading parse(const QString &output);

private:
    QStringList arguments(const QString &expression, int times) const;
    static tl::expected<Reading, Error> reading(const QString &expression, int status, const QString &out,
                                                const QString &err);

    QString m_tool;
};
