// SPDX-License-Identifier: GPL-3.0-or-later
// Copying files from a snapshot to a folder of this computer.
#pragma once

#include "core/model/Error.h"

#include <tl/expected.hpp>

#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>

// Copies files and folders out of a snapshot into a folder of this
// computer with rsync, keeping what the backup kept (times, modes, links as
// links, and as the server's settings say hard links, ACLs, extended
// attributes, holes of sparse files, and what a copy made without root
// keeps in its attributes). It never overwrites silently: plan() first
// lists what would be copied and which names are already there, the
// caller decides for each of those (replace, keep both, skip), and copy()
// does it. Both block: run them with Background::run().
//
// It writes only what it made, only inside the target folder: rsync writes
// into a fresh private folder in it, and what it made is moved into place
// by descriptor, never through a link (a link in the target is a conflict,
// never followed). Special files (FIFOs, sockets, devices) and setuid or
// setgid bits come back only when asked for, and only for root.
namespace LocalRestore {

struct Item
{
    QString source; // in the snapshot, reached without passing a link
    QString name;   // its name in the target folder
};

// What the copies keep, as the server's settings say.
struct Options
{
    QString rsync = QStringLiteral("/usr/bin/rsync");
    bool hardLinks = false;
    bool acls = false;
    bool xattrs = false;
    bool sparse = false;
    // rsync gives up when nothing moves for this long (0: never).
    int ioTimeoutSeconds = 0;
    // Devices, FIFOs, sockets and setuid/setgid bits as the copy has them
    // (for root only; see refusal()).
    bool keepSpecial = false;
};

struct Plan
{
    enum class Kind { folder, file, link, special };
    struct Entry
    {
        QString source;
        QString relative; // under the target folder: "sub/keep.txt"
        Kind kind = Kind::file;
        qint64 size = 0;
        bool privileged = false; // setuid or setgid
        int item = 0;            // the index of the item it belongs to
    };
    QString targetFolder;
    QList<Item> items;
    QList<Entry> entries;  // per item, folders before what they hold
    QStringList conflicts; // targets that exist already (files, links, or a folder in a file's way)
    QStringList special;   // relative paths of FIFOs, sockets and devices
    int privileged = 0;    // setuid or setgid files and folders
    qint64 bytes = 0;
    // The copies keep owners and special files in attributes (rsync's --fake-super).
    bool fakeSuper = false;
    Options options;
    QString target(const Entry &entry) const { return targetFolder + u'/' + entry.relative; }
};

enum class Choice { replace, keepBoth, skip };

struct Outcome
{
    int copied = 0;
    int skipped = 0;
    QStringList keptBoth;       // the names the restored copies were given
    QStringList skippedSpecial; // special files left out
    QStringList notes;          // what could not be kept, said once each
    QStringList failures;       // "path: reason"
    qint64 bytes = 0;
    bool cancelled = false;
};

// Whether this process can use these options (code denied, and why, when not).
tl::expected<void, Error> check(const Options &options);
Plan plan(const QList<Item> &items, const QString &targetFolder, const Options &options = {});
// `choices` has an answer for each conflict (a missing one skips); `done`
// counts the bytes copied so far, for a progress bar; `stop` ends it early.
Outcome copy(const Plan &plan, const QHash<QString, Choice> &choices, const QDate &snapshotDate,
             std::atomic<qint64> *done = nullptr, const std::atomic<bool> *stop = nullptr);
// What copy() would write, one line each, for a dry run.
QStringList describe(const Plan &plan, const QHash<QString, Choice> &choices, const QDate &snapshotDate);

// "report (restored 2026-12-07).pdf" for "report.pdf" (a free name: " 2", " 3"… when taken),
// shortened to fit in 255 bytes.
QString keepBothName(const QString &target, const QDate &snapshotDate);
// The name part of keepBothName() for the n-th try (1, 2, …), at most 255 bytes.
QString keepBothFileName(const QString &name, const QDate &snapshotDate, int attempt);
// ~/Restored/<server name>/<yyyy-MM-dd>
QString defaultFolder(const QString &serverName, const QString &snapshotDate);

} // namespace LocalRestore
