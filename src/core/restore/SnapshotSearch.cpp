// SPDX-License-Identifier: GPL-3.0-or-later
// A name search over a snapshot's tree on a worker thread.
#include "core/restore/SnapshotSearch.h"

#include "core/restore/SnapshotMap.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <filesystem>
#include <functional>

SnapshotSearch::SnapshotSearch(QObject *parent)
    : QObject(parent)
{ }

SnapshotSearch::~SnapshotSearch()
{
    stopAndWait();
}

bool SnapshotSearch::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

void SnapshotSearch::cancel()
{
    if (m_stop)
        *m_stop = true;
}

void SnapshotSearch::stopAndWait()
{
    cancel();
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
}

void SnapshotSearch::start(const Server &server, const QString &snapshotFolder, const QString &text)
{
    start(server, {Snapshot{QFileInfo(snapshotFolder).fileName(), snapshotFolder}}, text);
}

namespace {

struct Source
{
    QString snapshot;
    QList<SnapshotMap::Root> roots;
};

using Take = std::function<void(const QString &name, const SnapshotSearch::Hit &hit, const QString &key)>;

// Every name under the snapshot's roots, given to `take` with the key that
// names the same path in another snapshot.
void walk(const Source &source, const std::atomic<bool> &stop, const Take &take)
{
    namespace fs = std::filesystem;
    for (const SnapshotMap::Root &root : source.roots) {
        if (stop)
            return;
        const fs::path top(QFile::encodeName(root.localPath).toStdString());
        std::error_code code;
        if (!fs::is_directory(fs::symlink_status(top, code))) {
            take(root.remotePath.section(u'/', -1), {root.localPath, root.remotePath, false, source.snapshot},
                 root.known ? root.remotePath : root.name);
            continue;
        }
        // Never follows a link out of the snapshot.
        for (fs::recursive_directory_iterator it(top, fs::directory_options::skip_permission_denied, code), end;
             !code && it != end && !stop; it.increment(code)) {
            const QString local = QFile::decodeName(QByteArray::fromStdString(it->path().string()));
            const QString relative = local.mid(root.localPath.size() + 1);
            QString remote;
            if (root.known)
                remote = root.remotePath == QStringLiteral("/") ? QString(u'/' + relative)
                                                                : QString(root.remotePath + u'/' + relative);
            take(QFile::decodeName(QByteArray::fromStdString(it->path().filename().string())),
                 {local, remote, it->is_directory(code) && !it->is_symlink(code), source.snapshot},
                 root.known ? remote : root.name + u'\n' + relative);
        }
    }
}

} // namespace

void SnapshotSearch::start(const Server &server, const QList<Snapshot> &snapshots, const QString &text)
{
    stopAndWait();
    auto stop = std::make_shared<std::atomic<bool>>(false);
    m_stop = stop;
    QList<Source> sources;
    for (const Snapshot &snapshot : snapshots)
        sources << Source{snapshot.name, SnapshotMap::roots(server, snapshot.folder)};
    m_thread = QThread::create([this, stop, sources, text] {
        QList<Hit> batch;
        int total = 0;
        // What was found in a newer snapshot is not found again in an older one.
        QSet<QString> seen;
        QElapsedTimer sinceBatch;
        sinceBatch.start();
        const auto flush = [&] {
            if (batch.isEmpty())
                return;
            QMetaObject::invokeMethod(
                this, [this, batch] { Q_EMIT hitsFound(batch); }, Qt::QueuedConnection);
            batch.clear();
            sinceBatch.restart();
        };
        const auto take = [&](const QString &name, const Hit &hit, const QString &key) {
            if (!name.contains(text, Qt::CaseInsensitive) || seen.contains(key))
                return;
            seen.insert(key);
            if (++total <= shownHits)
                batch << hit;
            if (batch.size() >= 100 || (!batch.isEmpty() && sinceBatch.elapsed() > 100))
                flush();
        };
        for (const Source &source : sources)
            walk(source, *stop, take);
        flush();
        const bool cancelled = *stop;
        QMetaObject::invokeMethod(
            this, [this, total, cancelled] { Q_EMIT finished(total, cancelled); }, Qt::QueuedConnection);
    });
    m_thread->start();
}
