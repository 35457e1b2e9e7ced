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
// file it replaces on the server (see RestoreInvocation), logs like a backup
// ("<ID>.restore.log", headed "# Tidewell restore log") and holds the
// server's run lock: never beside a backup of that server.
class ServerRestore : public TransferRunner
{
    Q_OBJECT

public:
    using Item = RestoreInvocation::Item;

    struct Preview
    {
        int created = 0;
        int replaced = 0;
        QStringList lines;  // rsync's first lines
        QStringList errors; // why it could not tell
        int exitCode = 0;
    };

    explicit ServerRestore(QObject *parent = nullptr);

    QCoro::Task<Preview> preview(Server server, QList<Item> items, std::optional<QString> otherFolder,
                                 AppSettings settings, RsyncProbe probe);
    // The restore's exit code: rsync's, 75 when a backup of the server runs,
    // 20 when cancelled (what was written by then is in the log).
    QCoro::Task<int> run(Server server, QList<Item> items, std::optional<QString> otherFolder, AppSettings settings,
                         RsyncProbe probe, QString snapshotName);
    // The folders where replaced files of the last run were kept.
    QStringList replacedFolders() const { return m_replacedFolders; }
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    // "12 files would be created, 3 would be replaced".
    static QString summary(const Preview &preview);
    // Sorts one itemized line of a dry run into the counts.
    static void take(Preview &preview, const QString &line);

Q_SIGNALS:
    void restoreFinished(const QUuid &serverID, std::optional<int> exitCode);

private:
    QStringList m_replacedFolders;
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTime(); };
};
