// SPDX-License-Identifier: GPL-3.0-or-later
// What changed inside a text file between two backups.
#pragma once

#include <QString>

#include <qcoro/qcorotask.h>

// The changes between two versions of a file as a unified diff, by diff(1)
// run with an explicit argument list. Binary files and very large ones are
// said to be so instead of compared line by line.
namespace TextDiff {

// Larger files are not compared line by line.
inline constexpr qint64 largestFile = 16 * 1024 * 1024;
// Of a longer diff, this much is shown.
inline constexpr qsizetype longestText = 2 * 1024 * 1024;

struct Result
{
    enum class Kind { same, changed, binary, tooLarge, failed };
    Kind kind = Kind::failed;
    QString text; // the diff; for `failed`, why
};

// `olderLabel` and `newerLabel` stand for the files in the diff's header
// (a remote path and its day), so no local path shows.
QCoro::Task<Result> between(QString older, QString newer, QString olderLabel, QString newerLabel);

} // namespace TextDiff
