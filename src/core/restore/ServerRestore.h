// SPDX-License-Identifier: GPL-3.0-or-later
// Putting files of a snapshot back on their server.
#pragma once

#include "core/engine/RsyncProbe.h"
#include "core/engine/TransferRunner.h"
#include "core/model/AppSettings.h"
#include "core/model/Server.h"
#include "core/restore/RestoreInvocation.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QUuid>

#include <qcoro/qcorotask.h>

#include <functional>
#include <optional>

// A restore of snapshot items to the server, with rsync over ssh and the
// server's own settings. preview() is a dry run that changes nothing and
// counts what would be created and replaced; run() writes, keeping every
// file it replaces on the server in a folder of its own per restore (see
// RestoreInvocation), logs like a backup ("<ID>.restore.log", headed
// "# Tidewell restore log") and holds the server's run lock: never beside a
// backup of that server.
class ServerRestore : public TransferRunner
{
    Q_OBJECT

public:
    using Item = RestoreInvocation::Item;

    // What to restore, from where, to where.
    struct Request
    {
        Server server;
        AppSettings settings;
        RsyncProbe probe;
        QList<Item> items;
        // Another folder of the server than the items' own; made when missing.
        std::optional<QString> otherFolder;
        QString snapshotName; // the day restored from, for the log
    };

    struct Preview
    {
        int created = 0;
        int replaced = 0;
        QStringList lines;  // rsync's first lines
        QStringList errors; // why it could not tell
        int exitCode = 0;
    };

    explicit ServerRestore(QObject *parent = nullptr);

    QCoro::Task<Preview> preview(Request request);
    // The restore's exit code: rsync's, 75 when a backup of the server runs,
    // 20 when cancelled (what was written by then is in the log).
    QCoro::Task<int> run(Request request);
    // Where the last run kept the files it replaced; none when it replaced none.
    QStringList replacedFolders() const { return m_replacedFolders; }
    int replacedFiles() const { return m_replacedFiles; }
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    // "12 files would be created, 3 would be replaced".
    static QString summary(const Preview &preview);
    // Sorts one itemized line of a dry run into the counts.
    static void take(Preview &preview, const QString &line);
    // Whether an itemized line of a push says an existing file was replaced.
    static bool isReplacement(const QString &line);

Q_SIGNALS:
    void restoreFinished(const QUuid &serverID, std::optional<int> exitCode);

private:
    // Makes the other folder (and its parents) on the server, or leaves it to
    // rsync through sudo; false when neither can (said in the log, exit code set).
    QCoro::Task<bool> makeOtherFolder(Server server, QString folder, RsyncProbe probe);
    // The items' entries whose owner or group the account on the server
    // cannot give them (asked with id); 0 when that cannot be told.
    QCoro::Task<int> countUnownable(Server server, QList<Item> items);
    // Each item in turn; its exit code (the first failure's).
    QCoro::Task<int> restoreItems(Request request, QString replacedName);
    // The closing lines, the log file and restoreFinished().
    void finish(const QUuid &serverID, const QDateTime &startedAt, int exit);

    QStringList m_replacedFolders;
    QStringList m_written; // destinations restored completely
    // The other folder is made by rsync itself (through sudo), not by mkdir.
    bool m_makeFolders = false;
    int m_replacedFiles = 0;
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTime(); };
};
