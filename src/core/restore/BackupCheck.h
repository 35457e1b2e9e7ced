// SPDX-License-Identifier: GPL-3.0-or-later
// A check of a server's copies against their fingerprints.
#pragma once

#include "core/model/Error.h"
#include "core/model/Server.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <tl/expected.hpp>

#include <functional>

// Reads every file of the chosen days once, however many days link to it,
// and compares it with the fingerprint the run stored. A check that is
// stopped keeps its place beside the days and continues there when it is
// started again for the same days.
namespace BackupCheck {

// The place of a stopped check, in the server's folder.
inline const QString progressName = QStringLiteral(".tidewell-check");

struct Options
{
    // The days to read (folder names), in any order; empty: the server's
    // folder itself (a backup without dated folders).
    QStringList days;
    // A share of the files: of `parts` parts, the `count` from `first` on
    // (a file's part follows from its inode). The same files every time:
    // one part a day reads every copy once in `parts` days.
    int parts = 1;
    int first = 0;
    int count = 1;
    // Asked between files: true stops the check where it is.
    std::function<bool()> stop;
    // Told now and then: files read (this time and before) of `total`.
    std::function<void(qint64 done, qint64 total)> progress;
};

struct Damaged
{
    QString path; // in the day: "www/img/a.jpg"
    QString firstDay;
    QString lastDay;
    // "www/img/a.jpg (2026-11-02 … 2026-12-07)"
    QString shown() const;
};

struct Result
{
    qint64 total = 0;     // distinct files of the days (of the part)
    qint64 resumedAt = 0; // read by the check this one continues
    qint64 done = 0;      // read in all, with those
    qint64 bytes = 0;     // read this time
    qint64 fresh = 0;     // had no fingerprint yet (older copies): given one now
    qint64 unreadable = 0;
    QString firstUnreadable;
    QList<Damaged> damaged;
    bool finished = false; // false: stopped, the place is kept
    bool manifest = false; // the prints are in the manifest
};

// Every complete day of the server's folder, oldest first; none when the
// server keeps no dated folders (its folder is the copy).
QStringList allDays(const QString &serverFolder, bool dated);
// What the configuration keeps as the server's damaged files after a check
// that found `found`: a check of every file of every day says it; a part
// of the history only adds to what is known, never hides it.
qint64 damageToRecord(const Server &server, qint64 found, bool whole);

// `attributes`: the file system keeps user extended attributes (else the
// server's manifest holds the prints). Fails only when the server's folder
// or a day cannot be read at all.
tl::expected<Result, Error> run(const QString &serverFolder, bool attributes, const Options &options);

} // namespace BackupCheck
