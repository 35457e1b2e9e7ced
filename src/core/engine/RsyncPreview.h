// SPDX-License-Identifier: GPL-3.0-or-later
// What a run of one path would copy and leave out, without copying anything.
#pragma once

#include "core/engine/RsyncProbe.h"
#include "core/model/AppSettings.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUuid>

#include <qcoro/qcorotask.h>

class ProcessStream;

// Runs rsync with the path's real arguments (the run's own target folder and
// the snapshot it links to) plus --dry-run and --itemize-changes twice, which
// also names what stays unchanged (and, where rsync has it, --debug=FILTER1
// on both ends, which names each excluded file) over ssh, and sorts what it
// says: items that would be copied, files taken unchanged from the earlier
// snapshot, items left out by an exclude pattern, and anything else (errors).
// Runs on the event loop; cancel() stops it.
class RsyncPreview : public QObject
{
    Q_OBJECT

public:
    static constexpr int shownLines = 200;
    static constexpr int shownTopLevel = 50;

    struct Result
    {
        int copied = 0;         // files and folders a run would create or update
        int copiedFiles = 0;    // of those, files whose data would be sent
        int unchangedFiles = 0; // files the run would take as they are (linked or already there)
        QString base;           // the earlier snapshot unchanged files come from (its date), if any
        QStringList topLevel;   // what the run includes at the top of the path, first shownTopLevel
        int excluded = 0;       // left out by an exclude pattern
        QStringList lines;      // rsync's first shownLines lines, in order
        bool truncated = false; // more lines than that
        QStringList refusal;    // why no preview ran (the run would be refused too)
        int exitCode = 0;
        bool cancelled = false;
    };

    explicit RsyncPreview(QObject *parent = nullptr);
    ~RsyncPreview() override;

    QCoro::Task<Result> run(Server server, QUuid pathID, AppSettings settings, RsyncProbe probe);
    void cancel();
    bool isRunning() const;

    // The arguments of the preview, from those of the real run.
    static QStringList previewArguments(const QStringList &runArguments, const RsyncProbe &probe,
                                        bool remoteNamesExcluded = true);
    // Sorts one line of rsync's output into the result.
    static void take(Result &result, const QString &line);

private:
    QPointer<ProcessStream> m_stream;
    bool m_cancelled = false;
};
