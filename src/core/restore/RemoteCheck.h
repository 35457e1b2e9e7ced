// SPDX-License-Identifier: GPL-3.0-or-later
// A backup day read against the server, file contents on both sides.
#pragma once

#include "core/engine/RsyncProbe.h"
#include "core/model/AppSettings.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <optional>

class ProcessStream;

// Runs each enabled path's rsync as a backup would, but in dry run, with
// --checksum and --itemize-changes, between the server and one complete
// day of its backups: every file is read on both sides, nothing is written
// anywhere. What it finds is sorted: files whose contents differ though size
// and modification time agree (a silent change on the server, or damage in
// the copy: neither would be copied again by a backup), files changed on the
// server since (size or time differ), files new there, files gone there.
class RemoteCheck : public QObject
{
    Q_OBJECT

public:
    static constexpr int shownFiles = 1000;

    struct PathResult
    {
        QString name;       // the path's name
        qint64 files = 0;   // regular files the server has (rsync's statistics)
        QStringList silent; // relative names, the first shownFiles
        qint64 silentCount = 0;
        qint64 changed = 0; // size or time differ: changed since the backup
        qint64 added = 0;   // on the server, not in the backup
        qint64 gone = 0;    // in the backup, no longer on the server
        QStringList errors; // rsync's lines that are no item
        int exitCode = 0;
        bool missing = false; // the day holds no folder of this path
    };
    struct Result
    {
        QString day; // the day compared (empty: a destination without date folders)
        QList<PathResult> paths;
        QStringList refusal; // why nothing was compared
        bool cancelled = false;
        qint64 silentCount() const;
        // 0: the day agrees with the server; 1: a silent difference was
        // found; rsync's status when a path could not be compared; 2 refused.
        int exitCode() const;
    };

    explicit RemoteCheck(QObject *parent = nullptr);
    ~RemoteCheck() override;

    // `day`: absent for the newest complete day.
    QCoro::Task<Result> run(Server server, AppSettings settings, std::optional<QString> day, RsyncProbe probe);
    void cancel();

    // The check's arguments from those a backup of the path would use.
    static QStringList checkArguments(const QStringList &runArguments);
    // Sorts one line of rsync's output into the path's result.
    static void take(PathResult &result, const QString &line);
    // The lines said about a result, in English for logs and scripts.
    static QStringList report(const Server &server, const Result &result);

private:
    QCoro::Task<PathResult> checkPath(QString rsync, QStringList arguments, QString name);

    QPointer<ProcessStream> m_stream;
    bool m_cancelled = false;
};
