// SPDX-License-Identifier: GPL-3.0-or-later
// A name search over a snapshot's tree on a worker thread.
#include "core/restore/SnapshotSearch.h"

#include "core/restore/SnapshotMap.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <filesystem>

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
    stopAndWait();
    auto stop = std::make_shared<std::atomic<bool>>(false);
    m_stop = stop;
    const QList<SnapshotMap::Root> roots = SnapshotMap::roots(server, snapshotFolder);
    m_thread = QThread::create([this, stop, roots, text] {
        namespace fs = std::filesystem;
        QList<Hit> batch;
        int total = 0;
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
        const auto take = [&](const QString &name, const QString &local, const QString &remote, bool isDirectory) {
            if (!name.contains(text, Qt::CaseInsensitive))
                return;
            if (++total <= shownHits)
                batch << Hit{local, remote, isDirectory};
            if (batch.size() >= 100 || (!batch.isEmpty() && sinceBatch.elapsed() > 100))
                flush();
        };
        for (const SnapshotMap::Root &root : roots) {
            if (*stop)
                break;
            const fs::path top(QFile::encodeName(root.localPath).toStdString());
            std::error_code code;
            if (!fs::is_directory(fs::symlink_status(top, code))) {
                take(root.remotePath.section(u'/', -1), root.localPath, root.remotePath, false);
                continue;
            }
            // Never follows a link out of the snapshot.
            for (fs::recursive_directory_iterator it(top, fs::directory_options::skip_permission_denied, code), end;
                 !code && it != end && !*stop; it.increment(code)) {
                const QString local = QFile::decodeName(QByteArray::fromStdString(it->path().string()));
                const QString relative = local.mid(root.localPath.size() + 1);
                QString remote;
                if (root.known)
                    remote = root.remotePath == QStringLiteral("/") ? QString(u'/' + relative)
                                                                    : QString(root.remotePath + u'/' + relative);
                take(QFile::decodeName(QByteArray::fromStdString(it->path().filename().string())), local, remote,
                     it->is_directory(code) && !it->is_symlink(code));
            }
        }
        flush();
        const bool cancelled = *stop;
        QMetaObject::invokeMethod(
            this, [this, total, cancelled] { Q_EMIT finished(total, cancelled); }, Qt::QueuedConnection);
    });
    m_thread->start();
}
