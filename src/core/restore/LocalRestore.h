// SPDX-License-Identifier: GPL-3.0-or-later
// Copying files from a snapshot to a folder of this computer.
#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

// Copies files and folders out of a snapshot into a folder of this
// computer, keeping their modification times and permissions (and links as
// links). It never overwrites silently: plan() first lists what would be
// copied and which files are already there, the caller decides for each
// of those (replace, keep both, skip), and copy() does it. Both block: run
// them with Background::run(). A replaced file is written beside and then
// renamed over the old one, so it is never half written.
namespace LocalRestore {

struct Item
{
    QString source; // in the snapshot
    QString name;   // its name in the target folder
};

struct Plan
{
    struct Entry
    {
        QString source;
        QString target;
        bool isDirectory = false;
        bool isLink = false;
        qint64 size = 0;
    };
    QList<Entry> entries;  // folders before what they hold
    QStringList conflicts; // targets that exist already (files, links, or a folder in a file's way)
    qint64 bytes = 0;
};

enum class Choice { replace, keepBoth, skip };

struct Outcome
{
    int copied = 0;
    int skipped = 0;
    QStringList keptBoth; // the names the restored copies were given
    QStringList failures; // "path: reason"
    qint64 bytes = 0;
    bool cancelled = false;
};

Plan plan(const QList<Item> &items, const QString &targetFolder);
// `choices` has an answer for each conflict (a missing one skips); `done`
// counts the bytes copied so far, for a progress bar; `stop` ends it early.
Outcome copy(const Plan &plan, const QHash<QString, Choice> &choices, const QDate &snapshotDate,
             std::atomic<qint64> *done = nullptr, const std::atomic<bool> *stop = nullptr);

// "report (restored 2026-12-07).pdf" for "report.pdf" (a free name: " 2", " 3"… when taken).
QString keepBothName(const QString &target, const QDate &snapshotDate);
// ~/Restored/<server name>/<yyyy-MM-dd>
QString defaultFolder(const QString &serverName, const QString &snapshotDate);

} // namespace LocalRestore
