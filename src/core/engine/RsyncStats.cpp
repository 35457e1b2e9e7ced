// SPDX-License-Identifier: GPL-3.0-or-later
// Reading rsync's --stats and summing them into the snapshot line.
#include "core/engine/RsyncStats.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

std::optional<double> RsyncStats::parseNumber(QStringView text)
{
    static const QString units = QStringLiteral("KMGTP");
    QString digits = text.trimmed().toString();
    double scale = 1;
    if (!digits.isEmpty() && units.contains(digits.back().toUpper())) {
        for (qsizetype i = 0; i <= units.indexOf(digits.back().toUpper()); ++i)
            scale *= 1000;
        digits.chop(1);
    }
    digits.remove(u',');
    bool ok = false;
    const double value = digits.toDouble(&ok);
    return ok ? std::optional<double>(value * scale) : std::nullopt;
}

QString RsyncStats::humanSize(double bytes)
{
    if (std::isnan(bytes))
        return QStringLiteral("0");
    if (bytes < 1000)
        return QString::number(qint64(bytes));
    static const char units[] = "KMGTP";
    int unit = 0;
    bytes /= 1000;
    while (bytes >= 1000 && unit < 4) {
        bytes /= 1000;
        ++unit;
    }
    return QString::number(bytes, 'f', 2) + QLatin1Char(units[unit]);
}

void RsyncStats::addSummary(std::optional<RsyncStats> &total, const QStringList &output)
{
    // The summary is rsync's last few lines.
    const auto stats = parse(output.mid(std::max<qsizetype>(output.size() - 40, 0)));
    if (stats && total)
        *total += *stats;
    else
        total.reset();
}

std::optional<RsyncStats> RsyncStats::parse(const QStringList &lines)
{
    // "Number of files: 51 (reg: 50, dir: 1)" (3.x), "Number of files: 51" (2.x),
    // "Number of regular files transferred: 1" or "Number of files transferred: 1",
    // "Total bytes received: 36".
    static const QRegularExpression filesLine(
        QStringLiteral("^Number of files: ([0-9.,]+[KMGTP]?)(?: \\(reg: ([0-9.,]+[KMGTP]?))?"));
    static const QRegularExpression transferredLine(
        QStringLiteral("^Number of (?:regular )?files transferred: ([0-9.,]+[KMGTP]?)"));
    static const QRegularExpression receivedLine(QStringLiteral("^Total bytes received: ([0-9.,]+[KMGTP]?)"));
    RsyncStats stats;
    bool files = false;
    bool received = false;
    for (const QString &line : lines) {
        if (const auto match = filesLine.match(line); match.hasMatch()) {
            const auto count = parseNumber(match.captured(match.lastCapturedIndex() == 2 ? 2 : 1));
            files = count.has_value();
            stats.files = qint64(count.value_or(0));
        } else if (const auto transferred = transferredLine.match(line); transferred.hasMatch()) {
            stats.transferred = qint64(parseNumber(transferred.captured(1)).value_or(0));
        } else if (const auto receivedMatch = receivedLine.match(line); receivedMatch.hasMatch()) {
            const auto bytes = parseNumber(receivedMatch.captured(1));
            received = bytes.has_value();
            stats.bytesReceived = bytes.value_or(0);
        }
    }
    if (!files || !received)
        return std::nullopt;
    return stats;
}

RsyncStats &RsyncStats::operator+=(const RsyncStats &other)
{
    files += other.files;
    transferred += other.transferred;
    bytesReceived += other.bytesReceived;
    return *this;
}

QString RsyncStats::summary(const QString &sharedWith) const
{
    const QLocale english(QLocale::English);
    QString line = QStringLiteral("Snapshot: ") + english.toString(files) + QStringLiteral(" files, ")
                   + humanSize(bytesReceived) + QStringLiteral(" received");
    if (!sharedWith.isEmpty())
        line += QStringLiteral(", ") + english.toString(std::max<qint64>(files - transferred, 0))
                + QStringLiteral(" files shared with ") + sharedWith;
    return line;
}
