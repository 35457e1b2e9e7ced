// SPDX-License-Identifier: GPL-3.0-or-later
// What rsync's --stats say a transfer copied.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// The figures of rsync's --stats summary that tell what a snapshot cost:
// regular files in it, how many of them were transferred (the rest were
// unchanged, hard-linked to the previous snapshot), and the bytes received.
struct RsyncStats
{
    qint64 files = 0;
    qint64 transferred = 0;
    double bytesReceived = 0;

    // Reads the summary from the end of rsync's output; absent when there is none.
    static std::optional<RsyncStats> parse(const QStringList &lines);
    // "1.23K" and "1,234" as rsync prints them (with --human-readable, 1000 to a K).
    static std::optional<double> parseNumber(QStringView text);
    // Bytes as rsync prints them with --human-readable: "36", "3.52K", "41.94M".
    static QString humanSize(double bytes);

    RsyncStats &operator+=(const RsyncStats &other);
    // Adds the summary at the end of one path's output to a run's total; a
    // path without one makes the total unknown.
    static void addSummary(std::optional<RsyncStats> &total, const QStringList &output);
    // "Snapshot: 5,000 files, 3.52K received, 4,950 files shared with 2025-01-30".
    QString summary(const QString &sharedWith) const;
};
