// SPDX-License-Identifier: GPL-3.0-or-later
// Asking systemd-analyze what a calendar expression means.
#include "core/schedule/ScheduleCalendar.h"

#include "core/model/Schedule.h"
#include "core/system/Subprocess.h"

#include <QCoreApplication>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>
#include <QStringList>
#include <QTimeZone>

namespace {

// "Mon 2026-12-14 03:00:00 UTC": the date and time of such a line.
std::optional<QDateTime> timeOn(const QString &line, bool utc)
{
    static const QRegularExpression stamp(QStringLiteral("(\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2})"));
    const auto match = stamp.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    QDateTime time = QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!time.isValid())
        return std::nullopt;
    if (utc)
        time.setTimeZone(QTimeZone::utc());
    return time.toUTC();
}

} // namespace

ScheduleCalendar::ScheduleCalendar(QString tool)
    : m_tool(std::move(tool))
{ }

QStringList ScheduleCalendar::arguments(const QString &expression, int times) const
{
    return {QStringLiteral("calendar"), QStringLiteral("--iterations=%1").arg(times), QStringLiteral("--"), expression};
}

ScheduleCalendar::Reading ScheduleCalendar::parse(const QString &output)
{
    Reading reading;
    const QStringList lines = output.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.startsWith(QStringLiteral("Normalized form:"))) {
            reading.normalized = line.mid(16).trimmed();
            continue;
        }
        if (!line.startsWith(QStringLiteral("Next elapse:")) && !line.startsWith(QStringLiteral("Iter.")))
            continue;
        // Outside UTC, the next line gives the same time in UTC; in UTC, this one is.
        const QString next = i + 1 < lines.size() ? lines.at(i + 1).trimmed() : QString();
        const bool utcFollows = next.startsWith(QStringLiteral("(in UTC):"));
        const auto time = utcFollows ? timeOn(next, true) : timeOn(line, line.endsWith(QStringLiteral(" UTC")));
        if (time)
            reading.next << *time;
    }
    return reading;
}

tl::expected<ScheduleCalendar::Reading, Error> ScheduleCalendar::reading(const QString &expression, int status,
                                                                         const QString &out, const QString &err)
{
    const Reading parsed = parse(out);
    if (status != 0 || parsed.normalized.isEmpty()) {
        QString reason = err.trimmed();
        // systemd names the expression in quotes first; the reason follows.
        const QString named = u'\'' + expression + QStringLiteral("': ");
        if (const qsizetype at = reason.indexOf(named); at >= 0)
            reason = reason.mid(at + named.size());
        return tl::unexpected(Error{Error::Code::invalid,
                                    QCoreApplication::translate("ScheduleCalendar", "systemd does not take “%1”: %2")
                                        .arg(expression, reason.isEmpty() ? QStringLiteral("?") : reason)});
    }
    return parsed;
}

QCoro::Task<tl::expected<ScheduleCalendar::Reading, Error>> ScheduleCalendar::read(QString expression, int times) const
{
    if (!Schedule::isCalendarText(expression))
        co_return tl::unexpected(Error{Error::Code::invalid,
                                       QCoreApplication::translate("ScheduleCalendar", "systemd does not take “%1”: %2")
                                           .arg(expression, QStringLiteral("?"))});
    const QStringList args = arguments(expression, times);
    const Subprocess::Result result = co_await Subprocess::run(m_tool, args);
    if (!result)
        co_return tl::unexpected(Error{Error::Code::toolFailed, result.error().message});
    co_return reading(expression, result->status, QString::fromUtf8(result->out), QString::fromUtf8(result->err));
}

tl::expected<ScheduleCalendar::Reading, Error> ScheduleCalendar::readBlocking(const QString &expression,
                                                                              int times) const
{
    if (!Schedule::isCalendarText(expression))
        return tl::unexpected(Error{Error::Code::invalid, QStringLiteral("not a calendar")});
    const Subprocess::Result result = Subprocess::runBlocking(m_tool, arguments(expression, times));
    if (!result)
        return tl::unexpected(Error{Error::Code::toolFailed, result.error().message});
    return reading(expression, result->status, QString::fromUtf8(result->out), QString::fromUtf8(result->err));
}

std::optional<qint64> ScheduleCalendar::longestGapSeconds(const QString &expression) const
{
    static QMutex mutex;
    static QHash<QString, std::optional<qint64>> known;
    {
        const QMutexLocker lock(&mutex);
        if (const auto it = known.constFind(expression); it != known.cend())
            return *it;
    }
    std::optional<qint64> gap;
    if (const auto read = readBlocking(expression, 12); read && read->next.size() >= 2) {
        qint64 longest = 0;
        for (qsizetype i = 1; i < read->next.size(); ++i)
            longest = std::max(longest, read->next.at(i - 1).secsTo(read->next.at(i)));
        gap = longest;
    }
    const QMutexLocker lock(&mutex);
    known.insert(expression, gap);
    return gap;
}
