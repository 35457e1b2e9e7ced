// SPDX-License-Identifier: GPL-3.0-or-later
// Finding names in a snapshot, in the background.
#pragma once

#include "core/model/Server.h"

#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class QThread;

// Finds files and folders of one snapshot, or of several, whose name holds a
// text (any case), on a thread of its own: hits arrive in batches as they
// are found, at most shownHits of them, and finished() gives the whole count.
// Over several snapshots (newest first) a path is found once, in the first
// snapshot that has it: a file deleted two days ago is found in the newest
// day that still holds it. A new search or cancel() stops the one before;
// destroying the object stops it too.
class SnapshotSearch : public QObject
{
    Q_OBJECT

public:
    static constexpr int shownHits = 1000;

    struct Hit
    {
        QString localPath;
        QString remotePath;
        bool isDirectory = false;
        QString snapshot; // the name of the snapshot it was found in
    };
    struct Snapshot
    {
        QString name;
        QString folder;
    };

    explicit SnapshotSearch(QObject *parent = nullptr);
    ~SnapshotSearch() override;

    void start(const Server &server, const QString &snapshotFolder, const QString &text);
    void start(const Server &server, const QList<Snapshot> &snapshots, const QString &text);
    void cancel();
    bool isRunning() const;

Q_SIGNALS:
    void hitsFound(const QList<SnapshotSearch::Hit> &hits);
    void finished(int total, bool cancelled);

private:
    void stopAndWait();

    QThread *m_thread = nullptr;
    std::shared_ptr<std::atomic<bool>> m_stop;
};
